#include "e2e_support.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace ptk::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "ptk-e2e-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void ScratchDirectory::write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ / name, std::ios::binary) << content;
}

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

fs::path inspectorProgram() {
    const char* installed = std::getenv("PTK_E2E_INSPECTOR");
    return installed && *installed ? fs::path(installed) : fs::path(PTK_INSPECTOR_PATH);
}

fs::path simProgram() {
    const char* installed = std::getenv("PTK_E2E_SIM");
    return installed && *installed ? fs::path(installed) : fs::path(PTK_SIM_PATH);
}

Finished runToEnd(const fs::path& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& environment, std::chrono::milliseconds limit) {
    const ScratchDirectory directory;
    const fs::path out = directory.path() / "out", err = directory.path() / "err";
    Finished finished;
    {
        // Standard error goes to the log of the child; standard output is sent apart below.
        ChildProcess child(program, args, directory.path(), err, environment, out);
        finished.status = child.waitForExit(limit);
        if (finished.status == -1) child.kill();
    }
    finished.out = readFile(out);
    finished.err = readFile(err);
    return finished;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitForText(const fs::path& file, const std::string& text, ChildProcess& process,
                 std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (readFile(file).find(text) != std::string::npos) return true;
        if (!process.running()) return readFile(file).find(text) != std::string::npos;
        std::this_thread::sleep_for(20ms);
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

SimulatedWorkplace::SimulatedWorkplace(const std::vector<std::string>& simArgs, int portNumber)
    : simLog_(directory_.path() / "ptk-sim.log"),
      inspectorLog_(directory_.path() / "ptk-inspector.log") {
    const std::string port = "COM" + std::to_string(portNumber);
    std::vector<std::string> args = {"--link", port};
    args.insert(args.end(), simArgs.begin(), simArgs.end());
    sim_ = std::make_unique<ChildProcess>(simProgram(), args, directory_.path(), simLog_);
    simReady_ = waitForPath(directory_.path() / port, *sim_, 10s);
    directory_.write("num_port.ini", port + "\n");
    directory_.write("baude_fr.ini", "CBR_115200\n");
    directory_.write("pass_fr.ini", "7301\n");
}

ChildProcess& SimulatedWorkplace::startInspector(const std::vector<std::string>& args) {
    inspector_ =
        std::make_unique<ChildProcess>(inspectorProgram(), args, directory_.path(), inspectorLog_,
                                       std::vector<std::string>{"QT_QPA_PLATFORM=offscreen"});
    return *inspector_;
}

std::vector<std::string> SimulatedWorkplace::commandLines() const {
    std::vector<std::string> lines;
    std::istringstream log(readFile(simLog_));
    for (std::string line; std::getline(log, line);) {
        if (line.find("command| ") != std::string::npos) lines.push_back(line);
    }
    return lines;
}

}  // namespace ptk::e2e
