// Figures for the emergency report's watch against ptk-sim on a pseudo-terminal: the processor
// share of this program while the register prints for a minute (the window's own event-loop
// pauses, real time), beside what the same number of status requests cost back to back. Prints,
// never judges. Usage: emergency_bench [seconds of printing, default 60]
#include <unistd.h>

#include <QApplication>
#include <QPushButton>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "device/short_status.h"
#include "fiscal_memory/Avarreport.h"
#include "link/session.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "processor_time.h"
#include "support/child_process.h"
#include "ui/qt_front_end.h"
#include "ui/user_alerts.h"

namespace {

using namespace ptk;
using SteadyClock = std::chrono::steady_clock;
using bench::processorSeconds;

constexpr int kPort = 8;  // COM9
constexpr int kSampleExchanges = 50;

double secondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// Boxes go to the standard error instead of the screen: nobody is there to press OK.
class PrintedAlerts final : public ui::UserAlerts {
public:
    void showBox(const ui::BoxRequest& request) override {
        std::fprintf(stderr, "box: %s\n", request.text.toUtf8().constData());
    }
    bool askYesNo(const ui::BoxRequest&) override { return false; }
    void beep() override {}
};

std::size_t countInLog(const std::string& text) {
    std::ifstream log("sim.log");
    std::size_t count = 0;
    for (std::string line; std::getline(log, line);) count += line.find(text) != std::string::npos;
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string printSeconds = argc > 1 ? argv[1] : "60";
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const auto dir =
        std::filesystem::temp_directory_path() / ("ptk-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);

    int exitCode = 0;
    {
        // ptk-sim serving the register as ./COM9 in the working directory, its log in sim.log.
        ptk::testing::ChildProcess sim(
            PTK_SIM_PATH,
            {"--link", "COM9", "--fiscalised", "--emergency-report-time", printSeconds}, dir,
            dir / "sim.log");
        if (!ptk::testing::waitForPath(dir / "COM9", sim, std::chrono::seconds(5))) {
            std::fprintf(stderr, "ptk-sim did not come up\n");
            exitCode = 1;
        } else {
            QApplication app(argc, argv);
            ui::QtFrontEnd frontEnd;
            PrintedAlerts alerts;
            frontEnd.useAlerts(&alerts);
            platform::SystemClock clock;
            platform::SystemSerialOpener opener;
            Session session{frontEnd, clock, opener};
            session.LinkPassword = "7301";
            session.channel.OpenPort(kPort);
            session.channel.ConfigurePort(kPort, 4);

            Tfm_AvarReport window(session);
            window.show();
            const double cpuBefore = processorSeconds();
            const auto start = SteadyClock::now();
            window.bt_Otch->click();
            const double watchWall = secondsSince(start);
            const double watchCpu = processorSeconds() - cpuBefore;

            // The exchanges alone: status requests back to back, as many as a sample needs.
            const double sampleCpuBefore = processorSeconds();
            int answered = 0;
            for (int i = 0; i < kSampleExchanges; ++i)
                answered += QueryStatusCode(session).result.succeeded() ? 1 : 0;
            const double perExchange = (processorSeconds() - sampleCpuBefore) / kSampleExchanges;

            sim.stop();
            const std::size_t statusRequests =
                countInLog("short status") - static_cast<std::size_t>(kSampleExchanges);
            const double exchangesCpu = perExchange * static_cast<double>(statusRequests);
            std::printf(
                "emergency report watch against ptk-sim: %.1f s wall, %zu status requests "
                "(%.0f ms a turn), %.3f s processor = %.3f %% of a core\n",
                watchWall, statusRequests, 1000.0 * watchWall / static_cast<double>(statusRequests),
                watchCpu, 100.0 * watchCpu / watchWall);
            std::printf(
                "one status request back to back (%d/%d answered): %.3f ms processor; the "
                "watch's requests alone %.3f s\n",
                answered, kSampleExchanges, 1000.0 * perExchange, exchangesCpu);
            std::printf("beyond the exchanges themselves: %.3f s = %.3f %% of a core\n",
                        watchCpu - exchangesCpu, 100.0 * (watchCpu - exchangesCpu) / watchWall);
        }
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return exitCode;
}
