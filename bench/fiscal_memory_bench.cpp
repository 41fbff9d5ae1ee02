// Figures for the fiscal-memory report of the real ptk-inspector against ptk-sim on a virtual
// display: the processor share of the whole program while a 60 s report prints, and the time from
// a click on "Аварийный выход" to the program's end. Prints, never judges. Needs Xvfb and
// xdotool.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"
#include "fiskpam_spots.h"
#include "virtual_desktop.h"

namespace {

using namespace ptk::e2e;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The processor time a process has used so far (user and system), from /proc.
double processorSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The fields after the command name, which ends with the last ')': state is field 3, utime
    // field 14, stime field 15.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14) ticks += std::stol(field);
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// One register, one display, one program, driven through the fiscal-memory form to a report.
class Run {
public:
    Run()
        : workplace_({"--fiscal-memory", "25:2012-03-05:2012-03-07", "--serial", "123",
                      "--report-seconds", "60"}),
          desktop_(workplace_.directory().path()) {}

    bool start() {
        if (!workplace_.simReady() || desktop_.display().empty()) return false;
        inspector_ = std::make_unique<ChildProcess>(
            PTK_INSPECTOR_PATH, std::vector<std::string>{}, workplace_.directory().path(),
            workplace_.inspectorLog(),
            std::vector<std::string>{"QT_QPA_PLATFORM=xcb", "DISPLAY=" + desktop_.display()});
        return waitForLog("short status", 1, 30s);
    }

    // Opens the form from the menu and starts the report of shifts 1 to 25.
    bool startReport() {
        const std::string main = desktop_.window("Программа налогового инспектора");
        if (main.empty()) return false;
        std::this_thread::sleep_for(500ms);
        desktop_.xdotool("mousemove --window " + main + " 30 8 click 1");
        std::this_thread::sleep_for(300ms);
        desktop_.xdotool("key --delay 100 Right Right Right Return");
        if (desktop_.window("ВХОД В РЕЖИМ ДОСТУПА К ФП").empty()) return false;
        desktop_.xdotool("type --delay 50 55555555");
        desktop_.xdotool("key Return");
        // The mode entry, then the form's own return to mode 5 after reading the header lines.
        if (!waitForLog("73 01 56 05 55 55 55 55", 2, 30s)) return false;
        form_ = desktop_.window("Режим работы с ФП");
        if (form_.empty()) return false;
        click(kReportPage);
        click(kByShiftPage);
        click(kFirstShiftEdit);
        desktop_.xdotool("type 1");
        click(kLastShiftEdit);
        desktop_.xdotool("type 25");
        click(kReportButton);
        return waitForLog("fiscal memory report by shifts", 1, 30s);
    }

    // The processor share of the program over the next seconds, in percent of one core.
    double processorShare(std::chrono::seconds span) {
        const double before = processorSeconds(inspector_->pid());
        const auto start = Clock::now();
        std::this_thread::sleep_for(span);
        const double used = processorSeconds(inspector_->pid()) - before;
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        return 100.0 * used / wall;
    }

    // Clicks "Аварийный выход" and waits for the program to end: the milliseconds from just
    // before the click (the start of xdotool included) to the end, or a negative value when it
    // did not end within 5 s.
    double stopAndTimeExit() {
        const auto start = Clock::now();
        desktop_.clickAt(form_, kStopButton.x, kStopButton.y);
        while (inspector_->running()) {
            if (Clock::now() - start > 5s) return -1;
            std::this_thread::sleep_for(1ms);
        }
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    // How long one xdotool call takes by itself, in milliseconds.
    double xdotoolMs() {
        const auto start = Clock::now();
        desktop_.xdotool("getmouselocation");
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    std::string logs() const {
        return readFile(workplace_.simLog()) + "\n" + readFile(workplace_.inspectorLog());
    }

private:
    void click(Spot spot) {
        desktop_.clickAt(form_, spot.x, spot.y);
        std::this_thread::sleep_for(200ms);
    }

    bool waitForLog(const std::string& text, std::size_t count, std::chrono::seconds limit) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            if (occurrences(readFile(workplace_.simLog()), text) >= count) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    SimulatedWorkplace workplace_;
    VirtualDesktop desktop_;
    std::unique_ptr<ChildProcess> inspector_;
    std::string form_;
};

}  // namespace

int main() {
    // Unbuffered: the programs started below are forked from this one, and must not take a copy
    // of lines not yet written.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!installed("Xvfb") || !installed("xdotool")) {
        std::printf("fiscal_memory_bench: Xvfb and xdotool are needed; nothing measured\n");
        return 0;
    }
    constexpr int kStopRuns = 5;
    for (int run = 0; run < kStopRuns; ++run) {
        Run bench;
        if (!bench.start() || !bench.startReport()) {
            std::printf("run %d: the report did not start\n%s\n", run, bench.logs().c_str());
            return 1;
        }
        if (run == 0) {
            std::this_thread::sleep_for(1s);
            const double share = bench.processorShare(50s);
            std::printf(
                "processor share of ptk-inspector over 50 s while a 60 s fiscal-memory report "
                "prints: %.3f %% of a core\n",
                share);
        } else {
            std::this_thread::sleep_for(2s);
        }
        const double xdotool = bench.xdotoolMs();
        const double exitMs = bench.stopAndTimeExit();
        if (exitMs < 0) {
            std::printf("run %d: the program did not end within 5 s of the stop\n", run);
            continue;
        }
        std::printf(
            "run %d: \"Аварийный выход\" to the program's end: %.1f ms (of which an xdotool call "
            "alone takes about %.1f ms)\n",
            run, exitMs, xdotool);
    }
    return 0;
}
