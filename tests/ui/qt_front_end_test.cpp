// The Qt front end: the boxes it builds, calls from a worker thread, and the message pump.
#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <atomic>
#include <thread>

#include "ui/box_owner.h"
#include "ui/qt_front_end.h"
#include "ui/recording_alerts.h"

using ptk::MessageIcon;
using ptk::OwnerHandle;
using ptk::testing::RecordingAlerts;
using ptk::ui::BoxRequest;
using ptk::ui::QtFrontEnd;

class QtFrontEndTest : public QObject {
    Q_OBJECT

private slots:
    void boxesReadTheSameInEveryLanguage_data();
    void boxesReadTheSameInEveryLanguage();
    void boxOfADisabledWindowStaysUsable();
    void ownerWindowIsTheWindowOfTheHandle();
    void workerThreadCallsAreCarriedOutOnTheUiThread();
    void pumpHandlesPendingEventsUntilQuitting();
    void pumpReportsTheEndOfTheMessageLoop();
};

void QtFrontEndTest::boxesReadTheSameInEveryLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addRow("C") << "C";
    QTest::addRow("German") << "de_DE";
    QTest::addRow("Russian") << "ru_RU";
}

void QtFrontEndTest::boxesReadTheSameInEveryLanguage() {
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    BoxRequest request{MessageIcon::Question, "Вопрос", "Отменить текущий чек?", OwnerHandle{},
                       nullptr};
    const auto question = ptk::ui::buildMessageBox(request, true);
    QCOMPARE(question->windowTitle(), QString("Вопрос"));
    QCOMPARE(question->icon(), QMessageBox::Question);
    QCOMPARE(question->text(), QString("Отменить текущий чек?"));
    QCOMPARE(question->buttons().size(), 2);
    QCOMPARE(question->button(QMessageBox::Yes)->text(), QString("Да"));
    QCOMPARE(question->button(QMessageBox::No)->text(), QString("Нет"));
    QCOMPARE(question->escapeButton(), question->button(QMessageBox::No));

    request = {MessageIcon::Error, "Ошибка", "Нет связи!", OwnerHandle{}, nullptr};
    const auto error = ptk::ui::buildMessageBox(request, false);
    QCOMPARE(error->icon(), QMessageBox::Critical);
    QCOMPARE(error->buttons().size(), 1);
    QCOMPARE(error->button(QMessageBox::Ok)->text(), QString("OK"));

    request.icon = MessageIcon::Warning;
    QCOMPARE(ptk::ui::buildMessageBox(request, false)->icon(), QMessageBox::Warning);
    request.icon = MessageIcon::Information;
    QCOMPARE(ptk::ui::buildMessageBox(request, false)->icon(), QMessageBox::Information);
    QLocale::setDefault(QLocale::c());
}

void QtFrontEndTest::boxOfADisabledWindowStaysUsable() {
    // The main window is disabled while a command runs, which is when link failures are told; it
    // may also be disabled while a box of its is up (a worker's box while the window goes busy).
    QWidget owner;
    owner.show();
    const BoxRequest request{MessageIcon::Error, "Ошибка", "Нет ответа!", ptk::ui::ownerOf(&owner),
                             &owner};
    const auto box = ptk::ui::buildMessageBox(request, false);
    owner.setEnabled(false);
    QVERIFY(box->isEnabled());
    QVERIFY(box->button(QMessageBox::Ok)->isEnabled());
    QVERIFY(box->windowHandle() != nullptr);
    QCOMPARE(box->windowHandle()->transientParent(), owner.windowHandle());
}

void QtFrontEndTest::ownerWindowIsTheWindowOfTheHandle() {
    QtFrontEnd frontEnd;
    RecordingAlerts alerts;
    frontEnd.useAlerts(&alerts);
    QWidget config;
    OwnerHandle gone;
    {
        QWidget closed;
        gone = ptk::ui::ownerOf(&closed);
    }
    frontEnd.showMessage(MessageIcon::Warning, "Предупреждение", "text", ptk::ui::ownerOf(&config));
    frontEnd.showMessage(MessageIcon::Error, "Ошибка", "text", gone);
    frontEnd.showMessage(MessageIcon::Error, "Ошибка", "text");
    QCOMPARE(alerts.boxes.size(), std::size_t{3});
    QCOMPARE(alerts.boxes[0].ownerWindow, &config);
    QVERIFY(alerts.boxes[0].owner == ptk::ui::ownerOf(&config));
    QCOMPARE(alerts.boxes[0].caption, QString("Предупреждение"));
    QCOMPARE(alerts.boxes[0].icon, MessageIcon::Warning);
    // A window that is gone, and the program as a whole, hand their boxes to whatever window is
    // active.
    QCOMPARE(alerts.boxes[1].ownerWindow, QApplication::activeWindow());
    QCOMPARE(alerts.boxes[2].ownerWindow, QApplication::activeWindow());
}

void QtFrontEndTest::workerThreadCallsAreCarriedOutOnTheUiThread() {
    QtFrontEnd frontEnd;
    RecordingAlerts alerts;
    alerts.answers = {true, false};
    frontEnd.useAlerts(&alerts);
    QLineEdit resultField;
    frontEnd.setResultField(&resultField);

    std::atomic<bool> done{false};
    bool firstAnswer = false;
    bool secondAnswer = true;
    bool pumpOnWorker = false;
    std::thread worker([&] {
        frontEnd.setResultText("67 - Нет бумаги.");
        frontEnd.showMessage(MessageIcon::Error, "Ошибка", "67 - Нет бумаги.");
        firstAnswer = frontEnd.askQuestion("Первый?");
        secondAnswer = frontEnd.askQuestion("Второй?");
        frontEnd.beep();
        pumpOnWorker = frontEnd.pumpMessages();
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
    worker.join();

    QVERIFY(firstAnswer);
    QVERIFY(!secondAnswer);
    QVERIFY(pumpOnWorker);
    QCOMPARE(alerts.beeps, 1);
    QCOMPARE(resultField.text(), QString("67 - Нет бумаги."));
    QCOMPARE(alerts.texts(), QStringList({"67 - Нет бумаги.", "Первый?", "Второй?"}));
    for (const auto& box : alerts.boxes) QCOMPARE(box.thread, QThread::currentThread());
    QCOMPARE(alerts.boxes[1].caption, QString("Вопрос"));
    QCOMPARE(alerts.boxes[1].icon, MessageIcon::Question);
}

void QtFrontEndTest::pumpHandlesPendingEventsUntilQuitting() {
    QtFrontEnd frontEnd;
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });
    QVERIFY(frontEnd.pumpMessages());
    QVERIFY(delivered);

    frontEnd.markQuitting();
    bool deliveredLater = false;
    QTimer::singleShot(0, [&] { deliveredLater = true; });
    QVERIFY(!frontEnd.pumpMessages());
    QVERIFY(!deliveredLater);
    QCoreApplication::processEvents();
}

void QtFrontEndTest::pumpReportsTheEndOfTheMessageLoop() {
    QtFrontEnd frontEnd;
    bool pumpWhileQuitting = true;
    // Connected after the front end's own connection, so it sees what a transaction would see.
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [&] { pumpWhileQuitting = frontEnd.pumpMessages(); });
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    QVERIFY(!pumpWhileQuitting);
}

QTEST_MAIN(QtFrontEndTest)
#include "qt_front_end_test.moc"
