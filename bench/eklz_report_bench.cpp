// The processor share of the program while an EKLZ report keeps the register printing: the real
// EKLZ dialog, report thread, Qt front end and serial link, against ptk-sim on a pseudo-terminal,
// in real time. ptk-sim runs as a process of its own, so its work is not counted. Prints, never
// judges.
//
//   eklz_report_bench [SECONDS]     the time the register works on the report (60)
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "eklz/Eklz.h"
#include "link/session.h"
#include "platform/clock.h"
#include "platform/serial_device.h"
#include "processor_time.h"
#include "support/child_process.h"
#include "ui/qt_front_end.h"
#include "ui/user_alerts.h"

namespace {

using Clock = std::chrono::steady_clock;
using ptk::bench::processorSeconds;

// Boxes go to the standard error instead of waiting for a hand.
class PrintedAlerts final : public ptk::ui::UserAlerts {
public:
    void showBox(const ptk::ui::BoxRequest& request) override {
        std::fprintf(stderr, "box: %s\n", request.text.toUtf8().constData());
    }
    bool askYesNo(const ptk::ui::BoxRequest&) override { return true; }
    void beep() override {}
};

}  // namespace

int main(int argc, char** argv) {
    const std::string seconds = argc > 1 ? argv[1] : "60";
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    const auto dir =
        std::filesystem::temp_directory_path() / ("ptk-eklz-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    int status = 0;
    {
        // ptk-sim as ./COM9 in the EKLZ access mode with an activated EKLZ that holds shifts 1 to
        // 30, working the given seconds on each operation.
        ptk::testing::ChildProcess sim(PTK_SIM_PATH,
                                       {"--link", "COM9", "--mode", "0x06", "--eklz-activated",
                                        "--last-shift", "30", "--eklz-time", seconds},
                                       dir, dir / "ptk-sim.log");
        if (!ptk::testing::waitForPath(dir / "COM9", sim, std::chrono::seconds(10))) {
            std::fprintf(stderr, "ptk-sim did not start (%s)\n", PTK_SIM_PATH);
            status = 1;
        } else {
            ptk::platform::SystemClock clock;
            ptk::platform::SystemSerialOpener opener;
            ptk::ui::QtFrontEnd frontEnd;
            PrintedAlerts alerts;
            QLineEdit resultField;
            frontEnd.useAlerts(&alerts);
            frontEnd.setResultField(&resultField);
            ptk::Session session(frontEnd, clock, opener);
            session.LinkPassword = "7301";
            session.channel.OpenPort(8);
            session.channel.ConfigurePort(8, 4);

            Tfm_EKLZ form(session);
            form.prepareForEntry({});
            form.show();
            form.pg_Otch->setCurrentWidget(form.tbch_OtchNumSm);
            form.ed_OtchNSmFirst->setText("1");
            form.ed_OtchNSmLast->setText("30");

            const double processorBefore = processorSeconds();
            const auto start = Clock::now();
            form.bt_OtchOkClick();
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            const double processor = processorSeconds() - processorBefore;
            std::printf(
                "EKLZ report by shifts, register working %s s: %.2f s wall, %.3f s processor "
                "(user-interface thread and report thread) = %.3f %% of a core; result: %s\n",
                seconds.c_str(), wall, processor, 100.0 * processor / wall,
                resultField.text().toUtf8().constData());
        }
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return status;
}
