#pragma once

// ptk-sim as a child process in a scratch working directory, for the tests that reach it through
// ./COMn with the POSIX serial backend.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ptk::testing {

namespace fs = std::filesystem;

// A scratch directory that is the working directory while the object lives.
class ScratchDirectory {
public:
    ScratchDirectory() : previous_(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "ptk-sim-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        fs::current_path(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path previous_;
    fs::path path_;
};

// ptk-sim running as a child process with its standard output in a file; stopped with SIGTERM
// (and reaped) when the object goes.
class SimProcess {
public:
    SimProcess(const std::string& program, const std::vector<std::string>& args,
               const fs::path& logPath) {
        pid_ = ::fork();
        if (pid_ == 0) {
            std::FILE* log = std::freopen(logPath.c_str(), "w", stdout);
            if (!log || ::dup2(::fileno(stdout), STDERR_FILENO) < 0) ::_exit(127);
            std::vector<char*> argv;
            std::string path = program;
            argv.push_back(path.data());
            std::vector<std::string> copies(args);
            for (std::string& arg : copies) argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(path.c_str(), argv.data());
            ::_exit(127);
        }
    }
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool started() const { return pid_ > 0 || exited_; }
    bool running() {
        if (pid_ <= 0) return false;
        if (::waitpid(pid_, &status_, WNOHANG) == 0) return true;
        pid_ = -1;
        exited_ = true;
        return false;
    }
    // Returns the wait status.
    int stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, &status_, 0);
            pid_ = -1;
            exited_ = true;
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = -1;
};

inline bool waitForPath(const fs::path& path, SimProcess& process) {
    for (int i = 0; i < 500 && process.running(); ++i) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace ptk::testing
