// Start-up figures of ptk-inspector against ptk-sim on a pseudo-terminal, offscreen: the time from
// exec to the main window shown (its first activation starts the connect sequence, whose opening
// of the port is the trace's first event), the time to the end of the connect sequence, and the
// resident memory then. A second set of rounds runs without the trace and times exec to the
// probe as ptk-sim logs it. Prints, never judges; run the release build's copy
// (build/release/bench/startup_bench) for the figures that count.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/scratch_directory.h"

namespace {

namespace testing = ptk::testing;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;

struct Round {
    double shownMs = -1;      // exec to the main window shown (traced) or to the probe (untraced)
    double connectedMs = -1;  // exec to the end of the connect sequence
    long residentKiB = 0;
    long peakKiB = 0;
};

// A memory figure of a running process from /proc, in KiB; 0 when unknown.
long statusFieldKiB(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    }
    return 0;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Round oneRound(bool traced) {
    Round round;
    const testing::ScratchDirectory folder;
    folder.write("num_port.ini", "COM9\n");
    folder.write("baude_fr.ini", "CBR_115200\n");
    folder.write("pass_fr.ini", "7301\n");
    // In a mode, so that the connect sequence takes it out: probe, short status, leave mode.
    testing::ChildProcess sim(PTK_SIM_PATH, {"--link", "COM9", "--mode", "0x01"}, folder.path(),
                              folder.path() / "sim.log");
    testing::waitForPath(folder.path() / "COM9", sim, 5s);
    std::vector<std::string> args;
    if (traced) args = {"--trace", "trace.log"};
    const auto trace = folder.path() / "trace.log";
    const auto simLog = folder.path() / "sim.log";

    const Clock::time_point start = Clock::now();
    testing::ChildProcess inspector(PTK_INSPECTOR_PATH, args, folder.path(),
                                    folder.path() / "pc.log", {"QT_QPA_PLATFORM=offscreen"});
    // Looked at often, since the moment is the figure.
    const auto seen = [&inspector](const std::filesystem::path& file, const char* text) {
        return testing::waitForText(file, text, inspector, 30s, 200us);
    };
    if (traced) {
        if (seen(trace, "port COM9 opened")) round.shownMs = msSince(start);
        if (seen(trace, "end of 0x52 leave mode")) round.connectedMs = msSince(start);
    } else {
        if (seen(simLog, "0xE0 probe")) round.shownMs = msSince(start);
        // The register logs a command when it starts on it; its answer and closing byte follow.
        if (seen(simLog, "leave mode")) std::this_thread::sleep_for(500ms);
    }
    round.residentKiB = statusFieldKiB(inspector.pid(), "VmRSS");
    round.peakKiB = statusFieldKiB(inspector.pid(), "VmHWM");
    return round;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void report(bool traced) {
    std::vector<double> shown, connected, resident, peak;
    for (int i = 0; i < kRounds; ++i) {
        const Round round = oneRound(traced);
        std::printf("  round %d: %s %.1f ms", i + 1,
                    traced ? "exec -> main window shown:" : "exec -> probe at the register:",
                    round.shownMs);
        if (round.connectedMs >= 0) std::printf(", connected at %.1f ms", round.connectedMs);
        std::printf(", resident %.1f MiB (peak %.1f MiB)\n", round.residentKiB / 1024.0,
                    round.peakKiB / 1024.0);
        shown.push_back(round.shownMs);
        connected.push_back(round.connectedMs);
        resident.push_back(round.residentKiB / 1024.0);
        peak.push_back(round.peakKiB / 1024.0);
    }
    std::printf("  median of %d: %s %.1f ms", kRounds,
                traced ? "exec -> main window shown" : "exec -> probe at the register",
                median(shown));
    if (traced) std::printf(", exec -> connected %.1f ms", median(connected));
    std::printf(", resident after the connect sequence %.1f MiB (peak %.1f MiB)\n",
                median(resident), median(peak));
}

}  // namespace

int main() {
    std::printf("ptk-inspector start-up, offscreen, against ptk-sim on a pseudo-terminal\n");
    std::printf("with --trace (the window is shown when its first activation opens the port):\n");
    report(true);
    std::printf("without a trace:\n");
    report(false);
    return 0;
}
