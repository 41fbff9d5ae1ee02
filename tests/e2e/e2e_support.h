#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/scratch_directory.h"

namespace ptk::e2e {

using testing::ChildProcess;
using testing::readFile;
using testing::ScratchDirectory;
using testing::waitForPath;
using testing::waitForText;

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

    // Another ptk-sim on the same port, as a register plugged in again: the one before is
    // stopped (its log kept as ptk-sim.log.1, .2, ...). True once it serves the port.
    bool replaceSim(const std::vector<std::string>& simArgs);

private:
    ScratchDirectory directory_;
    std::filesystem::path simLog_;
    std::filesystem::path inspectorLog_;
    std::unique_ptr<ChildProcess> sim_;
    std::unique_ptr<ChildProcess> inspector_;
    bool simReady_ = false;
    std::string port_;
    int simsBefore_ = 0;
};

}  // namespace ptk::e2e
