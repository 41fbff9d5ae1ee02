#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace ptk::e2e {

// A fresh directory for one test, removed with everything in it afterwards.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

// A program running as a child process in a working directory of its own, with its standard
// output and error in a log file and extra environment variables. Stopped with SIGTERM (and
// SIGKILL when it does not go) and reaped when the object goes.
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
    // The process id while it runs (for its processor time in /proc), -1 once reaped.
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

// The programs under test: the ones built beside the tests, unless PTK_E2E_INSPECTOR and
// PTK_E2E_SIM name others (the installed ones, for the package check).
std::filesystem::path inspectorProgram();
std::filesystem::path simProgram();

// A program run to its end with its standard output and error apart.
struct Finished {
    int status = -1;  // the wait status; -1 when it had to be killed after the limit
    std::string out;
    std::string err;
};
Finished runToEnd(const std::filesystem::path& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& environment = {},
                  std::chrono::milliseconds limit = std::chrono::seconds(20));

// Waits until the file holds text or the process has ended or the time is up.
bool waitForText(const std::filesystem::path& file, const std::string& text, ChildProcess& process,
                 std::chrono::milliseconds limit);
bool waitForPath(const std::filesystem::path& path, ChildProcess& process,
                 std::chrono::milliseconds limit);

// ptk-sim serving the register as ./COMn in a scratch directory, with the settings files that
// point ptk-inspector at it; ptk-inspector is started there offscreen on request.
class SimulatedWorkplace {
public:
    // simArgs follow "--link COMn".
    explicit SimulatedWorkplace(const std::vector<std::string>& simArgs, int portNumber = 9);

    bool simReady() const { return simReady_; }
    // Starts ptk-inspector in the workplace, without a display.
    ChildProcess& startInspector(const std::vector<std::string>& args = {});

    const std::filesystem::path& simLog() const { return simLog_; }
    const std::filesystem::path& inspectorLog() const { return inspectorLog_; }
    ChildProcess& sim() { return *sim_; }
    const ScratchDirectory& directory() const { return directory_; }

    // The command lines of ptk-sim's log, in order.
    std::vector<std::string> commandLines() const;

private:
    ScratchDirectory directory_;
    std::filesystem::path simLog_;
    std::filesystem::path inspectorLog_;
    std::unique_ptr<ChildProcess> sim_;
    std::unique_ptr<ChildProcess> inspector_;
    bool simReady_ = false;
};

}  // namespace ptk::e2e
