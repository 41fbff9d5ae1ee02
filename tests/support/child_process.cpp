#include "support/child_process.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace ptk::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

ChildProcess::ChildProcess(const fs::path& program, const std::vector<std::string>& args,
                           const fs::path& workingDirectory, const fs::path& log,
                           const std::vector<std::string>& environment,
                           const fs::path& separateOutput) {
    // Everything the child needs is prepared before the fork.
    std::vector<std::string> strings;
    strings.push_back(program.string());
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables(environment);

    // Unwritten output of ours would otherwise be written once more by the child.
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ != 0) return;
    if (::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
    if (std::freopen(log.c_str(), "w", stdout) == nullptr) ::_exit(126);
    if (::dup2(::fileno(stdout), STDERR_FILENO) < 0) ::_exit(126);
    if (!separateOutput.empty() && std::freopen(separateOutput.c_str(), "w", stdout) == nullptr) {
        ::_exit(126);
    }
    for (std::string& variable : variables) ::putenv(variable.data());
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::running() {
    if (pid_ <= 0) return false;
    if (::waitpid(pid_, &status_, WNOHANG) == 0) return true;
    pid_ = -1;
    return false;
}

int ChildProcess::stop() {
    if (pid_ <= 0) return status_;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid_, &status_, WNOHANG) == pid_) {
            pid_ = -1;
            return status_;
        }
        std::this_thread::sleep_for(10ms);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status_, 0);
    pid_ = -1;
    return status_;
}

int ChildProcess::kill() {
    if (pid_ <= 0) return status_;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status_, 0);
    pid_ = -1;
    return status_;
}

int ChildProcess::waitForExit(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (running()) {
        if (std::chrono::steady_clock::now() >= end) return -1;
        std::this_thread::sleep_for(10ms);
    }
    return status_;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitForText(const fs::path& file, const std::string& text, ChildProcess& process,
                 std::chrono::milliseconds limit, std::chrono::microseconds poll) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (readFile(file).find(text) != std::string::npos) return true;
        if (!process.running()) return readFile(file).find(text) != std::string::npos;
        std::this_thread::sleep_for(poll);
    }
    return false;
}

bool waitForPath(const fs::path& path, ChildProcess& process, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end && process.running()) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

}  // namespace ptk::testing
