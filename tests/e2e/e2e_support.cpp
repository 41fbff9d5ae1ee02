#include "e2e_support.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace ptk::e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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

SimulatedWorkplace::SimulatedWorkplace(const std::vector<std::string>& simArgs, int portNumber)
    : simLog_(directory_.path() / "ptk-sim.log"),
      inspectorLog_(directory_.path() / "ptk-inspector.log") {
    port_ = "COM" + std::to_string(portNumber);
    simReady_ = replaceSim(simArgs);
    directory_.write("num_port.ini", port_ + "\n");
    directory_.write("baude_fr.ini", "CBR_115200\n");
    directory_.write("pass_fr.ini", "7301\n");
}

ChildProcess& SimulatedWorkplace::startInspector(const std::vector<std::string>& args) {
    inspector_ =
        std::make_unique<ChildProcess>(inspectorProgram(), args, directory_.path(), inspectorLog_,
                                       std::vector<std::string>{"QT_QPA_PLATFORM=offscreen"});
    return *inspector_;
}

bool SimulatedWorkplace::replaceSim(const std::vector<std::string>& simArgs) {
    if (sim_) {
        sim_->stop();
        std::filesystem::rename(simLog_, simLog_.string() + "." + std::to_string(++simsBefore_));
    }
    std::vector<std::string> args = {"--link", port_};
    args.insert(args.end(), simArgs.begin(), simArgs.end());
    sim_ = std::make_unique<ChildProcess>(simProgram(), args, directory_.path(), simLog_);
    return waitForPath(directory_.path() / port_, *sim_, 10s);
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
