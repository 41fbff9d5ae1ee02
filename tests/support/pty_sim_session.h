#pragma once

// ptk-sim serving ./COM9 in a scratch working directory, and a session of the real link code (the
// POSIX serial backend and the real clock) with COM9 open at 115200 baud: for the tests that run
// the link against the simulator as a program.

#include <filesystem>
#include <string>
#include <vector>

#include "link/session.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "support/child_process.h"
#include "support/recording_front_end.h"
#include "support/results.h"
#include "support/scoped_work_dir.h"

namespace ptk::testing {

struct PtySimSession {
    static constexpr int kPort = 8;  // COM9

    explicit PtySimSession(const std::vector<std::string>& simArgs)
        : sim(PTK_SIM_PATH, withLink(simArgs), workDir.path(), logPath()) {
        session.LinkPassword = "7301";
        ready = waitForPath(workDir.path() / "COM9", sim, std::chrono::seconds(5)) &&
                session.channel.OpenPort(kPort) && session.channel.ConfigurePort(kPort, 4);
    }

    std::filesystem::path logPath() const { return workDir.path() / "ptk-sim.log"; }
    std::string log() const { return readFile(logPath()); }

    // The wait status of ptk-sim, stopped once the port is closed.
    int stopSim() {
        session.channel.ClosePort(kPort);
        return sim.stop();
    }

    ScopedWorkDir workDir;  // the working directory, where ./COM9 appears
    ChildProcess sim;
    RecordingFrontEnd frontEnd;
    platform::SystemClock clock;
    platform::SystemSerialOpener opener;
    Session session{frontEnd, clock, opener};
    bool ready = false;

private:
    static std::vector<std::string> withLink(const std::vector<std::string>& simArgs) {
        std::vector<std::string> args = {"--link", "COM9"};
        args.insert(args.end(), simArgs.begin(), simArgs.end());
        return args;
    }
};

}  // namespace ptk::testing
