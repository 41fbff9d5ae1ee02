// The EKLZ dialog driven as the inspector drives it, against the simulated register in virtual
// time. Every operation runs on the report thread, with the program's own Qt front end carrying
// the worker's boxes and result text over; also run under ThreadSanitizer.
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "eklz/Eklz.h"
#include "eklz_rig.h"
#include "link/session.h"
#include "platform/memory_line.h"
#include "sim/engine_line_peer.h"
#include "sim/register_engine.h"
#include "support/scoped_locale.h"
#include "ui/qt_front_end.h"
#include "ui/recording_alerts.h"

using ptk::MessageIcon;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr const char* kSuccess = "00 - Ошибок нет. Команда выполнена.";

// Stands between the line and the register and can hold the worker inside a transaction: the
// chosen write of the program (1 the line request, 2 the frame, 3 the handover) waits in the
// line while the user-interface thread runs whileHeld, which looks at the dialog, may press its
// buttons, and lets the worker go on when it returns.
class HoldingPeer final : public QObject, public ptk::platform::LinePeer {
    Q_OBJECT

public:
    HoldingPeer(ptk::platform::LinePeer& inner, ptk::platform::MemoryLine& line)
        : inner_(inner), line_(line) {
        line_.attach(this);
    }
    ~HoldingPeer() override { line_.attach(&inner_); }
    HoldingPeer(const HoldingPeer&) = delete;
    HoldingPeer& operator=(const HoldingPeer&) = delete;

    // Set on the user-interface thread before the operation starts.
    void holdAtWrite(int write, std::function<void()> whileHeld) {
        holdAt_ = write;
        whileHeld_ = std::move(whileHeld);
    }

    void onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) override {
        if (holdAt_ > 0 && ++writes_ == holdAt_) holdHere();
        inner_.onReceived(data, count, nowUs);
    }

private:
    // On the worker: wakes the user-interface thread to run whileHeld, and waits until it has.
    // The hand-over is under the standard mutex, so ThreadSanitizer sees it; Qt's queue only
    // wakes the other thread.
    void holdHere() {
        std::unique_lock lock(mutex_);
        held_ = true;
        QMetaObject::invokeMethod(this, "runWhileHeld", Qt::QueuedConnection);
        changed_.wait(lock, [this] { return !held_; });
    }
    Q_INVOKABLE void runWhileHeld() {
        whileHeld_();
        const std::scoped_lock lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }

    ptk::platform::LinePeer& inner_;
    ptk::platform::MemoryLine& line_;
    int holdAt_ = 0;
    int writes_ = 0;
    std::function<void()> whileHeld_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
};

// The dialog as the mode entry opens it, over the in-memory line to the simulated register (see
// setUpEklz), with the main window and the hidden mode-entry dialog it hands back to.
struct Bench {
    static constexpr int kPort = 8;  // COM9

    Bench() {
        frontEnd.useAlerts(&alerts);
        frontEnd.setResultField(&resultField);
        session.LinkPassword = "7301";
        session.channel.OpenPort(kPort);
        session.channel.ConfigurePort(kPort, 4);
        // Called on the worker, which owns the line while it runs; read after it has ended.
        engine.setCommandObserver([this](const ptk::sim::CommandRecord& record) {
            codes.push_back(record.receivedCode);
            messages.push_back(record.message);
        });
        ptk::testing::setUpEklz(engine.state());

        // Never painted: painting hands work to Qt's own thread pool, whose hand-over inside
        // Qt's libraries ThreadSanitizer cannot follow. Shown and hidden all the same.
        for (QWidget* window : {static_cast<QWidget*>(&form), &mainWindow, &modeEntry}) {
            window->setUpdatesEnabled(false);
        }
        mainWindow.setEnabled(false);
        modeEntry.show();
        modeEntry.hide();
        form.setHandBack(&mainWindow, &modeEntry);
        form.setTodaySource([] { return QDate(2013, 5, 7); });
        form.setQuitApplication([this] { ++quitRequests; });
        form.prepareForEntry({});
        form.show();
    }

    // The six buttons that start an operation or close the dialog.
    std::vector<QPushButton*> starters() const {
        return {form.bt_EKLZClose,  form.bt_Aktiv,  form.bt_ItogAktiv,
                form.bt_CloseArhiv, form.bt_OtchOk, form.bt_ZaprosOk};
    }
    bool idle() const {
        for (QPushButton* button : starters()) {
            if (!button->isEnabled()) return false;
        }
        return !form.bt_StopReport->isEnabled() && !form.pn_Sleep->isVisible() && form.isVisible();
    }
    bool running() const {
        for (QPushButton* button : starters()) {
            if (button->isEnabled()) return false;
        }
        return form.bt_StopReport->isEnabled() && form.pn_Sleep->isVisible();
    }
    QStringList boxTexts() const { return alerts.texts(); }
    Bytes dataOf(std::size_t message) const {
        return {messages.at(message).begin() + 3, messages.at(message).end()};
    }

    ptk::platform::VirtualClock clock;
    ptk::platform::MemoryLine line{clock};
    ptk::sim::RegisterEngine engine;
    ptk::sim::EngineLinePeer peer{engine, line};
    HoldingPeer holder{peer, line};
    ptk::platform::MemoryLineOpener opener{line, kPort};
    ptk::ui::QtFrontEnd frontEnd;
    ptk::testing::RecordingAlerts alerts;
    QLineEdit resultField;
    ptk::Session session{frontEnd, clock, opener};
    QWidget mainWindow;
    QWidget modeEntry;
    Tfm_EKLZ form{session};
    Bytes codes;
    std::vector<Bytes> messages;
    int quitRequests = 0;
};

void typeText(QWidget* edit, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
    }
}

// How a number gets into its edit.
enum class Entry { Typed, Set, Pasted };

void enter(QLineEdit* edit, const QString& text, Entry entry) {
    edit->clear();
    switch (entry) {
        case Entry::Typed:
            typeText(edit, text);
            break;
        case Entry::Set:
            edit->setText(text);
            break;
        case Entry::Pasted:
            QGuiApplication::clipboard()->setText(text);
            edit->paste();
            break;
    }
}

QPushButton* buttonNamed(Tfm_EKLZ& form, const QString& name) {
    return form.findChild<QPushButton*>(name);
}

}  // namespace

Q_DECLARE_METATYPE(Entry)

class EklzWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startStateOfEachOpening();
    void singleCommands_data();
    void singleCommands();
    void activationAnswerStart_data();
    void activationAnswerStart();
    void controlTapeCountsAsSuccess();
    void reportByDatesInAnyDateFormat_data();
    void reportByDatesInAnyDateFormat();
    void reportByShifts_data();
    void reportByShifts();
    void requests_data();
    void requests();
    void numberEditsTakeDigitsUpToTheirLength_data();
    void numberEditsTakeDigitsUpToTheirLength();
    void closeIsRefusedWhileAnOperationRuns();
    void emergencyExitEndsTheProgram_data();
    void emergencyExitEndsTheProgram();
    void workerBoxAppearsOnTheUserInterfaceThread();
    void archiveClosingWithShiftedCodes();
};

// Whatever the inspector left the last time, each opening starts the same.
void EklzWindowTest::startStateOfEachOpening() {
    Bench bench;
    const auto flags = bench.form.windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QCOMPARE(bench.form.windowTitle(), QString("Режим работы с ЭКЛЗ"));

    for (int opening = 0; opening < 2; ++opening) {
        bench.form.pg_Otch->setCurrentWidget(bench.form.tbch_OtchNumSm);
        bench.form.rb_OtchDateSokr->setChecked(true);
        bench.form.rb_OtchNSmSokr->setChecked(true);
        bench.form.dtp_OtchDateFirst->setDate(QDate(2013, 2, 1));
        bench.form.dtp_OtchDateLast->setDate(QDate(2013, 2, 28));
        for (QLineEdit* edit : {bench.form.ed_OtchNSmFirst, bench.form.ed_OtchNSmLast,
                                bench.form.ed_NumSm, bench.form.ed_NumSmenKL, bench.form.ed_KPK}) {
            edit->setText("12");
        }
        bench.form.pg_Zapros->setCurrentWidget(bench.form.tbch_Docum);
        bench.form.pn_EKLZ2->hide();
        bench.form.pn_Sleep->show();
        bench.form.bt_StopReport->setEnabled(true);

        QVERIFY(bench.form.prepareForEntry({}));

        QVERIFY(bench.idle());
        for (QWidget* panel : {bench.form.pn_EKLZ1, bench.form.pn_EKLZ2, bench.form.pn_EKLZ3,
                               bench.form.pn_EKLZ4, bench.form.pn_EKLZ5}) {
            QVERIFY2(panel->isVisible(), qPrintable(panel->objectName()));
        }
        QCOMPARE(bench.form.pg_Otch->currentWidget(), bench.form.tbch_OtchDate);
        QVERIFY(bench.form.rb_OtchDatePoln->isChecked());
        QVERIFY(bench.form.rb_OtchNSmPoln->isChecked());
        QCOMPARE(bench.form.dtp_OtchDateFirst->date(), QDate(2013, 5, 7));
        QCOMPARE(bench.form.dtp_OtchDateLast->date(), QDate(2013, 5, 7));
        QCOMPARE(bench.form.pg_Zapros->currentWidget(), bench.form.tbch_ItogSmen);
        for (QLineEdit* edit : {bench.form.ed_OtchNSmFirst, bench.form.ed_OtchNSmLast,
                                bench.form.ed_NumSm, bench.form.ed_NumSmenKL, bench.form.ed_KPK}) {
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
        }
    }
    QVERIFY(bench.codes.empty());
}

void EklzWindowTest::singleCommands_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("printed");
    const struct {
        const char* button;
        const char* question;
        int code;
        const char* printed;
    } buttons[] = {
        {"bt_Aktiv", "Провести активизацию ЭКЛЗ?", 0xA6, "АКТИВИЗАЦИЯ ЭКЛЗ"},
        {"bt_ItogAktiv", "Печатать итоги активизации ЭКЛЗ?", 0xA8, "ИТОГИ АКТИВИЗАЦИИ ЭКЛЗ"},
        {"bt_CloseArhiv", "Закрыть архив ЭКЛЗ?", 0xA7, "ЗАКРЫТИЕ АРХИВА ЭКЛЗ"},
    };
    for (const auto& b : buttons) {
        for (const bool yes : {false, true}) {
            QTest::addRow("%s %s", b.button, yes ? "yes" : "no")
                << b.button << b.question << yes << b.code << b.printed;
        }
    }
}

// The question first; No sends nothing and leaves everything as it was, Yes runs the command on
// the report thread. The result field is not cleared first: the command writes its own outcome.
void EklzWindowTest::singleCommands() {
    QFETCH(QString, button);
    QFETCH(QString, question);
    QFETCH(bool, yes);
    QFETCH(int, code);
    QFETCH(QString, printed);
    Bench bench;
    if (code == 0xA6) bench.engine.state().eklz.activated = false;
    bench.resultField.setText("прежний результат");
    bench.alerts.answers = {yes};
    const auto printedBefore = bench.engine.state().tape.lines().size();

    QTest::mouseClick(buttonNamed(bench.form, button), Qt::LeftButton);

    QCOMPARE(bench.alerts.boxes.size(), std::size_t{1});
    const auto& asked = bench.alerts.boxes.front();
    QVERIFY(asked.question);
    QCOMPARE(asked.text, question);
    QCOMPARE(asked.caption, QString("Вопрос"));
    QVERIFY(asked.owner == ptk::ui::ownerOf(&bench.form));
    if (yes) {
        QCOMPARE(bench.codes, Bytes{static_cast<std::uint8_t>(code)});
        QCOMPARE(bench.resultField.text(), QString(kSuccess));
        QCOMPARE(QString::fromStdString(bench.engine.state().tape.lines().at(printedBefore)),
                 printed);
    } else {
        QVERIFY(bench.codes.empty());
        QVERIFY(bench.line.writes().empty());
        QCOMPARE(bench.resultField.text(), QString("прежний результат"));
        QCOMPARE(bench.engine.state().tape.lines().size(), printedBefore);
    }
    QVERIFY(bench.idle());
    QCOMPARE(bench.quitRequests, 0);
    QVERIFY(!bench.mainWindow.isEnabled());
}

void EklzWindowTest::activationAnswerStart_data() {
    QTest::addColumn<qint64>("workUs");
    QTest::addColumn<bool>("served");
    QTest::newRow("19 s") << qint64{19'000'000} << true;
    QTest::newRow("19.99 s") << qint64{19'990'000} << true;
    QTest::newRow("20 s") << qint64{20'000'000} << false;
}

// The register may take just under 20 s to start its answer to the activation.
void EklzWindowTest::activationAnswerStart() {
    QFETCH(qint64, workUs);
    QFETCH(bool, served);
    Bench bench;
    bench.engine.state().eklz.activated = false;
    bench.engine.state().eklz.operationUs = static_cast<std::uint64_t>(workUs);
    bench.alerts.answers = {true};

    QTest::mouseClick(bench.form.bt_Aktiv, Qt::LeftButton);

    QCOMPARE(bench.codes, Bytes{0xA6});
    if (served) {
        QCOMPARE(bench.boxTexts(), QStringList{"Провести активизацию ЭКЛЗ?"});
        QCOMPARE(bench.resultField.text(), QString(kSuccess));
    } else {
        QCOMPARE(bench.boxTexts(), (QStringList{"Провести активизацию ЭКЛЗ?", "Нет ответа!"}));
        const auto& box = bench.alerts.boxes.back();
        QCOMPARE(box.caption, QString("Ошибка"));
        QCOMPARE(box.icon, MessageIcon::Error);
    }
    QVERIFY(bench.idle());
}

void EklzWindowTest::controlTapeCountsAsSuccess() {
    Bench bench;
    bench.form.pg_Zapros->setCurrentWidget(bench.form.tbch_KL);
    typeText(bench.form.ed_NumSmenKL, "12");
    bench.resultField.setText("прежний результат");

    QTest::mouseClick(bench.form.bt_ZaprosOk, Qt::LeftButton);

    QCOMPARE(bench.codes, Bytes{0xAA});
    QCOMPARE(bench.dataOf(0), (Bytes{0x00, 0x12}));
    QVERIFY(bench.alerts.boxes.empty());
    QCOMPARE(bench.resultField.text(), QString("01 - Контрольная лента обработана без ошибок."));
    QVERIFY(bench.idle());
}

void EklzWindowTest::reportByDatesInAnyDateFormat_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("full");
    QTest::addColumn<Bytes>("data");
    const Bytes full{0x01, 0x01, 0x02, 0x13, 0x28, 0x02, 0x13};
    const Bytes brief{0x00, 0x01, 0x02, 0x13, 0x28, 0x02, 0x13};
    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia) << "01.02.2013" << true
                             << full;
    QTest::newRow("American") << QLocale(QLocale::English, QLocale::UnitedStates) << "2/1/2013"
                              << true << full;
    QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden) << "2013-02-01" << false
                             << brief;
    QTest::newRow("British") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "01/02/2013"
                             << false << brief;
}

// The dates travel as the pickers hold them, day, month, year, whatever order and separators
// the workstation shows them in.
void EklzWindowTest::reportByDatesInAnyDateFormat() {
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QFETCH(bool, full);
    QFETCH(Bytes, data);
    const ptk::testing::ScopedLocale workstation(locale);
    Bench bench;
    bench.form.dtp_OtchDateFirst->setDate(QDate(2013, 2, 1));
    bench.form.dtp_OtchDateLast->setDate(QDate(2013, 2, 28));
    (full ? bench.form.rb_OtchDatePoln : bench.form.rb_OtchDateSokr)->setChecked(true);
    bench.resultField.setText("прежний результат");
    QCOMPARE(bench.form.dtp_OtchDateFirst->text(), shown);

    QTest::mouseClick(bench.form.bt_OtchOk, Qt::LeftButton);

    QCOMPARE(bench.codes, Bytes{0xAC});
    QCOMPARE(bench.dataOf(0), data);
    QVERIFY(bench.alerts.boxes.empty());
    QCOMPARE(bench.resultField.text(), QString(kSuccess));
    QVERIFY(bench.idle());
}

void EklzWindowTest::reportByShifts_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<bool>("full");
    QTest::addColumn<Bytes>("data");  // empty: refused with the range message
    QTest::newRow("typed short") << "1"
                                 << "25" << Entry::Typed << false
                                 << Bytes{0x00, 0x00, 0x01, 0x00, 0x25};
    QTest::newRow("set with blanks")
        << " 7 "
        << "0008" << Entry::Set << true << Bytes{0x01, 0x00, 0x07, 0x00, 0x08};
    QTest::newRow("pasted") << "12"
                            << "30" << Entry::Pasted << true << Bytes{0x01, 0x00, 0x12, 0x00, 0x30};
    QTest::newRow("first empty") << ""
                                 << "25" << Entry::Typed << true << Bytes{};
    QTest::newRow("last blank") << "1"
                                << "   " << Entry::Set << true << Bytes{};
    QTest::newRow("first set too long") << "12345"
                                        << "25" << Entry::Set << true << Bytes{};
    QTest::newRow("last pasted too long") << "1"
                                          << "000025" << Entry::Pasted << true << Bytes{};
    QTest::newRow("letters pasted") << "1"
                                    << "2a" << Entry::Pasted << true << Bytes{};
}

// A range that is empty, or holds more digits than the field or anything but digits, however it
// got there, is refused before anything is sent, and the dialog stays.
void EklzWindowTest::reportByShifts() {
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(Entry, entry);
    QFETCH(bool, full);
    QFETCH(Bytes, data);
    Bench bench;
    bench.form.pg_Otch->setCurrentWidget(bench.form.tbch_OtchNumSm);
    (full ? bench.form.rb_OtchNSmPoln : bench.form.rb_OtchNSmSokr)->setChecked(true);
    enter(bench.form.ed_OtchNSmFirst, first, entry);
    enter(bench.form.ed_OtchNSmLast, last, entry);
    QCOMPARE(bench.form.ed_OtchNSmFirst->text(), first);
    QCOMPARE(bench.form.ed_OtchNSmLast->text(), last);
    bench.resultField.setText("прежний результат");

    QTest::mouseClick(bench.form.bt_OtchOk, Qt::LeftButton);

    if (data.empty()) {
        QVERIFY(bench.line.writes().empty());
        QCOMPARE(bench.boxTexts(), QStringList{"Введите диапазон номеров смен ПТК."});
        QCOMPARE(bench.alerts.boxes.front().caption, QString("Ошибка"));
        QCOMPARE(bench.alerts.boxes.front().icon, MessageIcon::Error);
        QCOMPARE(bench.resultField.text(), QString("прежний результат"));
    } else {
        QCOMPARE(bench.codes, Bytes{0xAD});
        QCOMPARE(bench.dataOf(0), data);
        QVERIFY(bench.alerts.boxes.empty());
        QCOMPARE(bench.resultField.text(), QString(kSuccess));
    }
    QVERIFY(bench.idle());
    QVERIFY(bench.form.isVisible());
}

void EklzWindowTest::requests_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("number");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<Bytes>("message");  // code and data, when sent
    QTest::newRow("totals") << "tbch_ItogSmen"
                            << "ed_NumSm"
                            << "7" << Entry::Typed << "" << Bytes{0xA9, 0x00, 0x07};
    QTest::newRow("document") << "tbch_Docum"
                              << "ed_KPK"
                              << "5" << Entry::Typed << "" << Bytes{0xAB, 0x00, 0x00, 0x00, 0x05};
    QTest::newRow("document of eight digits")
        << "tbch_Docum"
        << "ed_KPK"
        << "00000007" << Entry::Pasted << "" << Bytes{0xAB, 0x00, 0x00, 0x00, 0x07};
    QTest::newRow("totals empty") << "tbch_ItogSmen"
                                  << "ed_NumSm"
                                  << "" << Entry::Typed << "Введите номер смены." << Bytes{};
    QTest::newRow("tape blank") << "tbch_KL"
                                << "ed_NumSmenKL"
                                << "  " << Entry::Set << "Введите номер смены." << Bytes{};
    QTest::newRow("document empty") << "tbch_Docum"
                                    << "ed_KPK"
                                    << "" << Entry::Typed << "Введите номер КПК." << Bytes{};
    QTest::newRow("totals set too long")
        << "tbch_ItogSmen"
        << "ed_NumSm"
        << "12345" << Entry::Set << "Введите номер смены." << Bytes{};
    QTest::newRow("tape pasted too long")
        << "tbch_KL"
        << "ed_NumSmenKL"
        << "123456" << Entry::Pasted << "Введите номер смены." << Bytes{};
    QTest::newRow("document pasted too long")
        << "tbch_Docum"
        << "ed_KPK"
        << "123456789" << Entry::Pasted << "Введите номер КПК." << Bytes{};
}

// Each page asks for its number; what is sent is the number of the page that is showing.
void EklzWindowTest::requests() {
    QFETCH(QString, page);
    QFETCH(QString, edit);
    QFETCH(QString, number);
    QFETCH(Entry, entry);
    QFETCH(QString, refusal);
    QFETCH(Bytes, message);
    Bench bench;
    // The other pages' numbers are valid, so only the page showing can be the one refused.
    for (QLineEdit* other : {bench.form.ed_NumSm, bench.form.ed_NumSmenKL, bench.form.ed_KPK}) {
        other->setText("13");
    }
    bench.form.pg_Zapros->setCurrentWidget(bench.form.findChild<QWidget*>(page));
    enter(bench.form.findChild<QLineEdit*>(edit), number, entry);

    QTest::mouseClick(bench.form.bt_ZaprosOk, Qt::LeftButton);

    if (message.empty()) {
        QVERIFY(bench.line.writes().empty());
        QCOMPARE(bench.boxTexts(), QStringList{refusal});
        QVERIFY(bench.alerts.boxes.front().owner == ptk::ui::ownerOf(&bench.form));
    } else {
        QCOMPARE(bench.messages.size(), std::size_t{1});
        QCOMPARE(Bytes(bench.messages[0].begin() + 2, bench.messages[0].end()), message);
        QVERIFY(bench.alerts.boxes.empty());
        QCOMPARE(bench.resultField.text(), QString(kSuccess));
    }
    QVERIFY(bench.idle());
}

void EklzWindowTest::numberEditsTakeDigitsUpToTheirLength_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("first shift") << "ed_OtchNSmFirst"
                                 << "12a3"
                                 << "123" << 1;
    QTest::newRow("last shift full") << "ed_OtchNSmLast"
                                     << "123456"
                                     << "1234" << 0;
    QTest::newRow("tape shift") << "ed_NumSmenKL"
                                << "-1 2"
                                << "12" << 2;
    QTest::newRow("КПК") << "ed_KPK"
                         << "1234567890"
                         << "12345678" << 0;
    QTest::newRow("КПК Cyrillic") << "ed_KPK"
                                  << "1ж2"
                                  << "12" << 1;
    QTest::newRow("totals shift full, then a letter") << "ed_NumSm"
                                                      << "98765x"
                                                      << "9876" << 1;
}

// The number edits take digits only, and no more than their field holds from the keyboard;
// Backspace is refused like any character that is not a digit.
void EklzWindowTest::numberEditsTakeDigitsUpToTheirLength() {
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    Bench bench;
    auto* field = bench.form.findChild<QLineEdit*>(edit);
    QVERIFY(field != nullptr);
    bench.form.pg_Otch->setCurrentWidget(bench.form.tbch_OtchNumSm);
    if (bench.form.pg_Zapros->indexOf(field->parentWidget()) >= 0) {
        bench.form.pg_Zapros->setCurrentWidget(field->parentWidget());
    }
    field->setFocus();

    typeText(field, typed);
    QCOMPARE(field->text(), text);
    QCOMPARE(bench.alerts.beeps, beeps);

    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), text);
    QCOMPARE(bench.alerts.beeps, beeps + 1);
    // Selected digits are replaced by what is typed, even in a full edit.
    field->selectAll();
    typeText(field, "5");
    QCOMPARE(field->text(), QString("5"));
    QVERIFY(bench.codes.empty());
}

// While an operation runs the dialog cannot be closed and its close button is off; afterwards
// the button closes it and hands back to the main window.
void EklzWindowTest::closeIsRefusedWhileAnOperationRuns() {
    Bench bench;
    bench.form.pg_Otch->setCurrentWidget(bench.form.tbch_OtchNumSm);
    typeText(bench.form.ed_OtchNSmFirst, "1");
    typeText(bench.form.ed_OtchNSmLast, "30");

    bool held = false;
    bool runningSeen = false;
    bool closed = true;
    bool visibleAfterClose = false;
    bool mainWindowEnabled = true;
    bench.holder.holdAtWrite(2, [&] {
        held = true;
        runningSeen = bench.running();
        closed = bench.form.close();
        visibleAfterClose = bench.form.isVisible();
        mainWindowEnabled = bench.mainWindow.isEnabled();
        QTest::mouseClick(bench.form.bt_EKLZClose, Qt::LeftButton);
    });
    QTest::mouseClick(bench.form.bt_OtchOk, Qt::LeftButton);

    QVERIFY(held);
    QVERIFY(runningSeen);
    QVERIFY(!closed);
    QVERIFY(visibleAfterClose);
    QVERIFY(!mainWindowEnabled);
    // The report went on to its end.
    QCOMPARE(bench.codes, Bytes{0xAD});
    QCOMPARE(bench.resultField.text(), QString(kSuccess));
    QVERIFY(bench.idle());

    QTest::mouseClick(bench.form.bt_EKLZClose, Qt::LeftButton);
    QVERIFY(!bench.form.isVisible());
    QVERIFY(!bench.modeEntry.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
    QVERIFY(bench.resultField.text().isEmpty());
    QCOMPARE(bench.codes, Bytes{0xAD});
}

void EklzWindowTest::emergencyExitEndsTheProgram_data() {
    QTest::addColumn<int>("holdAtWrite");  // 0: pressed while the running state is painted
    QTest::addColumn<Bytes>("carriedOut");
    QTest::newRow("as the waiting panel shows") << 0 << Bytes{};
    QTest::newRow("before the command went out") << 1 << Bytes{};
    QTest::newRow("while the register prints") << 3 << Bytes{0xAD};
}

// "Аварийный выход" stops the transaction wherever it is, without a message of the link; the
// worker is joined and the program is asked to end.
void EklzWindowTest::emergencyExitEndsTheProgram() {
    QFETCH(int, holdAtWrite);
    QFETCH(Bytes, carriedOut);
    Bench bench;
    bench.engine.state().eklz.operationUs = 100'000'000;
    bench.form.pg_Otch->setCurrentWidget(bench.form.tbch_OtchNumSm);
    typeText(bench.form.ed_OtchNSmFirst, "1");
    typeText(bench.form.ed_OtchNSmLast, "30");
    bool held = false;
    int quitsWhileRunning = -1;
    const auto pressStop = [&] {
        held = true;
        QTest::mouseClick(bench.form.bt_StopReport, Qt::LeftButton);
        quitsWhileRunning = bench.quitRequests;
    };
    if (holdAtWrite > 0) {
        bench.holder.holdAtWrite(holdAtWrite, pressStop);
    } else {
        // Waits in the queue for the events the dialog handles as it shows its running state.
        QMetaObject::invokeMethod(&bench.form, pressStop, Qt::QueuedConnection);
    }
    QTest::mouseClick(bench.form.bt_OtchOk, Qt::LeftButton);

    QVERIFY(held);
    // The program ends only once the worker has been joined.
    QCOMPARE(quitsWhileRunning, 0);
    QCOMPARE(bench.quitRequests, 1);
    QCOMPARE(bench.codes, carriedOut);
    QVERIFY(bench.alerts.boxes.empty());
    QVERIFY(bench.session.StopRequested.load());
}

// A box the transaction raises on the worker appears on the user-interface thread while the
// dialog is still running, and its text reaches the result field.
void EklzWindowTest::workerBoxAppearsOnTheUserInterfaceThread() {
    Bench bench;
    bench.engine.state().eklz.activated = false;
    bench.engine.state().eklz.activationsLeft = 0;
    bench.alerts.answers = {true};
    bool runningWhileShown = false;
    bench.alerts.whileShown = [&](const ptk::testing::RecordingAlerts::Box& box) {
        if (!box.question) runningWhileShown = bench.running();
    };

    QTest::mouseClick(bench.form.bt_Aktiv, Qt::LeftButton);

    const QString refusal = "CF - В ПТК произведено 50 активизаций.";
    QCOMPARE(bench.boxTexts(), (QStringList{"Провести активизацию ЭКЛЗ?", refusal}));
    for (const auto& box : bench.alerts.boxes) QCOMPARE(box.thread, QThread::currentThread());
    QVERIFY(runningWhileShown);
    QCOMPARE(bench.alerts.boxes.back().caption, QString("Ошибка"));
    QCOMPARE(bench.resultField.text(), refusal);
    QVERIFY(bench.idle());
}

void EklzWindowTest::archiveClosingWithShiftedCodes() {
    Bench bench;
    bench.session.exchange.setCodeSet(ptk::CodeSet::Shifted);
    bench.engine.state().link.unshiftedCodes = false;
    bench.alerts.answers = {true};

    QTest::mouseClick(bench.form.bt_CloseArhiv, Qt::LeftButton);

    QCOMPARE(bench.codes, Bytes{0x79});
    QVERIFY(!bench.engine.state().eklz.archiveOpen);
    QCOMPARE(bench.resultField.text(), QString(kSuccess));
}

QTEST_MAIN(EklzWindowTest)
#include "eklz_window_test.moc"
