// The emergency report's window driven as the inspector drives it, against the simulated register:
// which controls are live while the register prints, the stop button taken while the watch
// waits, and the controls restored on every ending.
#include <QFrame>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <vector>

#include "emergency_rig.h"
#include "fiscal_memory/Avarreport.h"
#include "link/front_end.h"
#include "support/child_window_bench.h"

using ptk::MessageIcon;
using Box = ptk::testing::RecordingFrontEnd::Box;
using Codes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint64_t kOneSecondUs = 1'000'000;

// The window over the simulated register, its pauses in virtual time with a hook at each.
struct Bench : ptk::testing::ChildWindowBench<ptk::testing::EmergencyRig> {
    Tfm_AvarReport window{rig.session};
    int pauses = 0;
    std::function<void(int pause)> atPause;

    Bench() {
        window.setMainWindow(&mainWindow);
        window.setPause([this](std::uint32_t ms) {
            rig.clock.sleepMs(ms);
            ++pauses;
            if (atPause) atPause(pauses);
            return true;
        });
        window.show();
    }
    std::vector<Box>& boxes() { return rig.frontEnd.boxes; }
};

// The controls as the inspector finds them between two reports.
bool idle(const Tfm_AvarReport& w) {
    return w.isEnabled() && w.bt_Otch->isEnabled() && w.bt_Close->isEnabled() &&
           !w.bt_StopReport->isEnabled() && w.pn_Sleep->isHidden() && !w.reportRunning();
}

// While the register prints, only the stop button starts anything.
bool watching(const Tfm_AvarReport& w) {
    return w.isEnabled() && !w.bt_Otch->isEnabled() && !w.bt_Close->isEnabled() &&
           w.bt_StopReport->isEnabled() && w.pn_Sleep->isVisible() && w.reportRunning();
}

}  // namespace

class AvarReportWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithItsControls();
    void everyEndingRestoresTheControls_data();
    void everyEndingRestoresTheControls();
    void stopButtonIsTakenWhileTheWatchWaits();
    void escStartsTheReport();
    void eventLoopPauseTakesTheStopButton();
};

void AvarReportWindowTest::opensWithItsControls() {
    Bench bench;
    QVERIFY(idle(bench.window));
    QVERIFY(bench.rig.records.empty());
    // Like the other report forms: no close box, no system menu.
    QVERIFY(!bench.window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!bench.window.windowFlags().testFlag(Qt::WindowSystemMenuHint));

    // Closing hands control back to the main window without a word to the register.
    bench.window.bt_Close->click();
    QVERIFY(!bench.window.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
    QVERIFY(bench.rig.records.empty());
}

void AvarReportWindowTest::everyEndingRestoresTheControls_data() {
    QTest::addColumn<std::uint8_t>("flagsAtEnd");
    QTest::addColumn<std::uint8_t>("modeAtEnd");
    QTest::addColumn<bool>("paperOutAtStart");
    QTest::addColumn<int>("statusFailsAtPause");  // 0: never
    QTest::addColumn<QString>("message");
    QTest::newRow("printed") << std::uint8_t{0} << std::uint8_t{0x05} << false << 0 << "";
    QTest::newRow("no paper") << std::uint8_t{1} << std::uint8_t{0x05} << false << 0
                              << "Нет бумаги!";
    QTest::newRow("broken off") << std::uint8_t{0} << std::uint8_t{0x00} << false << 0
                                << "Снятие отчета прервалось!";
    QTest::newRow("command refused")
        << std::uint8_t{0} << std::uint8_t{0x05} << true << 0 << "67 - Нет бумаги.";
    QTest::newRow("status failed")
        << std::uint8_t{0} << std::uint8_t{0x05} << false << 2 << "Нет ответа!";
}

void AvarReportWindowTest::everyEndingRestoresTheControls() {
    QFETCH(std::uint8_t, flagsAtEnd);
    QFETCH(std::uint8_t, modeAtEnd);
    QFETCH(bool, paperOutAtStart);
    QFETCH(int, statusFailsAtPause);
    QFETCH(QString, message);
    Bench bench;
    bench.rig.plan(kOneSecondUs, flagsAtEnd, modeAtEnd);
    bench.rig.state().printer.paperOut = paperOutAtStart;
    bench.rig.frontEnd.setResultText("left from before");
    std::vector<bool> watchingAtPauses;
    bench.atPause = [&](int pause) {
        watchingAtPauses.push_back(watching(bench.window));
        // Neither the frame nor Esc closes or restarts anything meanwhile.
        bench.window.close();
        QTest::keyClick(&bench.window, Qt::Key_Escape);
        if (pause == statusFailsAtPause) {
            bench.rig.faults().silentAt(ptk::sim::SilentStep::LineAck) = ptk::sim::kAlways;
        }
    };

    QTest::mouseClick(bench.window.bt_Otch, Qt::LeftButton);

    QCOMPARE(bench.rig.frontEnd.resultHistory.at(1), std::string());
    QCOMPARE(bench.rig.count(0x60), std::size_t{1});
    QCOMPARE(watchingAtPauses, std::vector<bool>(static_cast<std::size_t>(bench.pauses), true));
    QCOMPARE(bench.window.isVisible(), true);
    QVERIFY(idle(bench.window));
    QVERIFY(!bench.mainWindow.isEnabled());
    QVERIFY(!bench.rig.session.StopRequested);
    QStringList shown;
    for (const Box& box : bench.boxes()) shown << QString::fromStdString(box.text);
    QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList{message});
}

void AvarReportWindowTest::stopButtonIsTakenWhileTheWatchWaits() {
    Bench bench;
    bench.rig.plan(60 * kOneSecondUs);
    std::size_t commandsAtClick = 0;
    bench.atPause = [&](int pause) {
        if (pause != 3) return;
        QTest::mouseClick(bench.window.bt_StopReport, Qt::LeftButton);
        commandsAtClick = bench.rig.records.size();
        // Pressed once: the button goes off at once; the watch carries the stop out.
        QVERIFY(!bench.window.bt_StopReport->isEnabled());
        QVERIFY(bench.rig.session.StopRequested);
    };

    QTest::mouseClick(bench.window.bt_Otch, Qt::LeftButton);

    const Box interrupted{MessageIcon::Information, "Информация", "Прервано пользователем!",
                          ptk::ui::ownerOf(&bench.window)};
    QCOMPARE(bench.boxes(), std::vector<Box>{interrupted});
    // The status of the turn in which it was pressed, the one of the next turn that decides, then
    // the mode exit.
    QCOMPARE(bench.rig.records.size(), commandsAtClick + 3);
    QCOMPARE(bench.rig.codes().back(), std::uint8_t{0x52});
    QVERIFY(bench.rig.tapeHas("ОТЧЕТ ПРЕРВАН"));
    QVERIFY(idle(bench.window));
}

void AvarReportWindowTest::escStartsTheReport() {
    Bench bench;
    bench.rig.plan(kOneSecondUs);
    QTest::keyClick(&bench.window, Qt::Key_Escape);
    QCOMPARE(bench.rig.codes().front(), std::uint8_t{0x60});
    QVERIFY(bench.rig.tapeHas("КОНЕЦ ОТЧЕТА"));
    QVERIFY(bench.boxes().empty());
    QVERIFY(idle(bench.window));
}

// The window's own pause, a nested event loop: a click that arrives while it waits is taken. The
// register would print for a minute; only the stop ends the report.
void AvarReportWindowTest::eventLoopPauseTakesTheStopButton() {
    ptk::testing::ChildWindowBench<ptk::testing::EmergencyRig> bench;
    Tfm_AvarReport window(bench.rig.session);
    window.setMainWindow(&bench.mainWindow);
    window.show();
    bench.rig.plan(60 * kOneSecondUs);
    // Nothing but the pause turns the event loop here: the recording front end pumps no events.
    QTimer::singleShot(30, window.bt_StopReport,
                       [&window] { QTest::mouseClick(window.bt_StopReport, Qt::LeftButton); });

    QTest::mouseClick(window.bt_Otch, Qt::LeftButton);

    QCOMPARE(bench.rig.frontEnd.boxes.size(), std::size_t{1});
    QCOMPARE(bench.rig.frontEnd.boxes.front().text, std::string("Прервано пользователем!"));
    QCOMPARE(bench.rig.codes().back(), std::uint8_t{0x52});
    QVERIFY(idle(window));
}

QTEST_MAIN(AvarReportWindowTest)
#include "avar_report_window_test.moc"
