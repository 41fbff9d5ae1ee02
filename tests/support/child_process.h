#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace ptk::testing {

// A program running as a child process in a working directory of its own, with its standard
// output and error in a log file and extra environment variables. Stopped with SIGTERM (and
// SIGKILL when it does not go) and reaped when the object goes. The one way the tests and the
// benchmarks start ptk-sim and ptk-inspector.
class ChildProcess {
public:
    // With separateOutput, standard output goes there and only standard error to log.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                 const std::filesystem::path& workingDirectory, const std::filesystem::path& log,
                 const std::vector<std::string>& environment = {},
                 const std::filesystem::path& separateOutput = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool running();
    // The wait status once it has ended.
    int stop();
    // The process id while it runs (for its processor time and memory in /proc), -1 once reaped.
    pid_t pid() const { return pid_; }
    // Kills it at once (SIGKILL), as a crash or a pulled plug would end it, and reaps it.
    int kill();
    // Waits for it to end by itself; the wait status, or -1 when it is still running at limit.
    int waitForExit(std::chrono::milliseconds limit);

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

std::string readFile(const std::filesystem::path& path);

// Waits until the file holds text or the process has ended or the time is up, looking every
// poll (benchmarks that time the moment look more often).
bool waitForText(const std::filesystem::path& file, const std::string& text, ChildProcess& process,
                 std::chrono::milliseconds limit,
                 std::chrono::microseconds poll = std::chrono::milliseconds(20));
// Waits until the path exists (a ./COMn link ptk-sim makes) while the process runs.
bool waitForPath(const std::filesystem::path& path, ChildProcess& process,
                 std::chrono::milliseconds limit);

}  // namespace ptk::testing
