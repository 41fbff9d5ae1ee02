// The report thread: the job runs on a worker while the event loop turns, the channel observes
// the stop flag only while a job runs, and what the worker shows reaches the user-interface
// thread. Also run under ThreadSanitizer.
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <thread>

#include "link/session.h"
#include "platform/clock.h"
#include "platform/memory_line.h"
#include "ui/qt_front_end.h"
#include "ui/recording_alerts.h"
#include "ui/report_thread.h"

using ptk::MessageIcon;
using ptk::Session;
using ptk::testing::RecordingAlerts;
using ptk::ui::QtFrontEnd;
using ptk::ui::ReportThread;

namespace {

struct Rig {
    Rig() { frontEnd.useAlerts(&alerts); }

    QtFrontEnd frontEnd;
    RecordingAlerts alerts;
    ptk::platform::VirtualClock clock;
    ptk::platform::MemoryLine line{clock};
    ptk::platform::MemoryLineOpener opener{line, 0};
    Session session{frontEnd, clock, opener};
    ReportThread thread{session};
};

}  // namespace

class ReportThreadTest : public QObject {
    Q_OBJECT

private slots:
    void jobRunsOnAWorkerWhileTheEventLoopTurns();
    void channelObservesTheStopOnlyWhileAJobRuns();
    void workerBoxesAndQuestionsAreAnsweredOnTheUiThread();
};

void ReportThreadTest::jobRunsOnAWorkerWhileTheEventLoopTurns() {
    Rig rig;
    // The job cannot end before the user-interface thread has handled a timer event: only an
    // event loop that turns while the job runs lets it finish.
    std::atomic<bool> timerFired{false};
    bool runningWhileWaiting = false;
    QTimer::singleShot(20, [&] {
        runningWhileWaiting = rig.thread.running();
        timerFired = true;
    });
    std::thread::id jobThread;
    QVERIFY(rig.thread.run([&] {
        jobThread = std::this_thread::get_id();
        while (!timerFired.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }));
    QVERIFY(runningWhileWaiting);
    QVERIFY(!rig.thread.running());
    QVERIFY(jobThread != std::thread::id{});
    QVERIFY(jobThread != std::this_thread::get_id());

    // The next job starts afresh.
    bool ranAgain = false;
    QVERIFY(rig.thread.run([&] { ranAgain = true; }));
    QVERIFY(ranAgain);
}

void ReportThreadTest::channelObservesTheStopOnlyWhileAJobRuns() {
    Rig rig;
    rig.session.StopRequested = true;
    // An exchange of the user-interface thread is never cut off by the flag.
    QVERIFY(!rig.session.channel.stopRequested());
    rig.session.StopRequested = false;

    bool seenBeforeStop = true;
    std::atomic<bool> jobLooked{false};
    // The stop button, pressed while the job runs: only once the job has looked, since a thread
    // may take longer to start than any fixed delay (under Wine on a busy machine it does).
    QTimer stopButton;
    QObject::connect(&stopButton, &QTimer::timeout, [&] {
        if (jobLooked) rig.session.StopRequested = true;
    });
    stopButton.start(10);
    QVERIFY(rig.thread.run([&] {
        seenBeforeStop = rig.session.channel.stopRequested();
        jobLooked = true;
        // The job's waits look at the channel; this one waits for nothing else.
        while (!rig.session.channel.stopRequested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }));
    QVERIFY(!seenBeforeStop);
    QVERIFY(rig.session.StopRequested.load());
    QVERIFY(!rig.session.channel.stopRequested());
}

void ReportThreadTest::workerBoxesAndQuestionsAreAnsweredOnTheUiThread() {
    Rig rig;
    rig.alerts.answers = {true};
    bool yes = false;
    QVERIFY(rig.thread.run([&] {
        rig.frontEnd.showMessage(MessageIcon::Error, "Ошибка", "Нет ответа!");
        yes = rig.frontEnd.askQuestion("Закрыть архив ЭКЛЗ?");
    }));
    QVERIFY(yes);
    QCOMPARE(rig.alerts.texts(), QStringList({"Нет ответа!", "Закрыть архив ЭКЛЗ?"}));
    for (const auto& box : rig.alerts.boxes) QCOMPARE(box.thread, QThread::currentThread());
}

QTEST_MAIN(ReportThreadTest)
#include "report_thread_test.moc"
