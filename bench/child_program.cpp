#include "child_program.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace ptk::bench {

namespace fs = std::filesystem;

ChildProgram::ChildProgram(const fs::path& program, const std::vector<std::string>& args,
                           const fs::path& workingDirectory, const fs::path& log,
                           const std::vector<std::string>& environment) {
    std::vector<std::string> strings{program.string()};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables(environment);
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ != 0) return;
    if (::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
    if (std::freopen(log.c_str(), "w", stdout) == nullptr) ::_exit(126);
    ::dup2(::fileno(stdout), STDERR_FILENO);
    for (std::string& variable : variables) ::putenv(variable.data());
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

ChildProgram::~ChildProgram() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

bool ChildProgram::running() {
    return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0;
}

namespace {

long statusField(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    }
    return 0;
}

}  // namespace

long ChildProgram::residentKiB() const {
    return statusField(pid_, "VmRSS");
}

long ChildProgram::peakResidentKiB() const {
    return statusField(pid_, "VmHWM");
}

std::string readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitForText(const fs::path& file, const std::string& text, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (readWholeFile(file).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "ptk-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
}

void ScratchFolder::write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ / name, std::ios::binary) << content;
}

}  // namespace ptk::bench
