// The fiscal-memory form driven as the inspector drives it, against the simulated register in
// virtual time: its opening, the serial number, the registration with its double password and
// date repeat, the picture panel, the reports on their thread with the emergency exit, and the
// ranges. Starts threads, so it also runs under ThreadSanitizer.
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "fiscal_memory/Fiskpam.h"
#include "fiscal_memory/range_page.h"
#include "fiscal_memory/registration_page.h"
#include "fiscal_memory/report_page.h"
#include "fiscal_memory/serial_number_page.h"
#include "sim/commands_fiscal_memory.h"
#include "sim/engine_line_peer.h"
#include "support/child_window_bench.h"
#include "ui/up_down.h"

using ptk::MessageIcon;
using Box = ptk::testing::RecordingFrontEnd::Box;
using Codes = std::vector<std::uint8_t>;
using Bytes = std::vector<std::uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {

constexpr const char* kSuccess = "00 - Ошибок нет. Команда выполнена.";
constexpr const char* kCheckAndRepeat =
    "ВНИМАНИЕ!!! Проверьте правильность ввода реквизитов и\r\nповторите ввод пароля";
constexpr const char* kRegistrationQuestion =
    "Провести регистрацию ПТК \nс данным набором реквизитов ?";
// What one registration sends once its requisites are confirmed: the date and time, the header
// lines in mode 4, back to mode 5, the registration.
const Codes kRegistrationCodes = {0x64, 0x4B, 0x52, 0x46, 0x56, 0x50,
                                  0x50, 0x50, 0x50, 0x52, 0x56, 0x62};

const QDate kToday(2013, 5, 7);  // the simulated register's clock reads this day too

// Stands between the line and the register: once the register has taken a command and works on
// it, the thread that sent it is held there, once, until the test lets it go, so that the test
// can act while a report runs.
class WorkHold final : public ptk::platform::LinePeer {
public:
    WorkHold(ptk::sim::EngineLinePeer& inner, ptk::sim::RegisterEngine& engine,
             ptk::platform::MemoryLine& line)
        : inner_(inner), engine_(engine), line_(line) {
        line_.attach(this);
    }
    ~WorkHold() override { line_.attach(&inner_); }
    WorkHold(const WorkHold&) = delete;
    WorkHold& operator=(const WorkHold&) = delete;

    void onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) override {
        inner_.onReceived(data, count, nowUs);
        if (engine_.phase() != ptk::sim::RegisterEngine::Phase::Working) return;
        std::unique_lock lock(mutex_);
        if (released_) return;
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
    }

    bool waitUntilHeld() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [this] { return held_; });
    }
    void release() {
        const std::scoped_lock lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    ptk::sim::EngineLinePeer& inner_;
    ptk::sim::RegisterEngine& engine_;
    ptk::platform::MemoryLine& line_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
};

// The simulated register in mode 5 as the mode entry leaves it, the form, and the two windows it
// hands control back to. The form's clock reads the register's day; the program's end is
// recorded instead of happening.
struct Bench : ptk::testing::ChildWindowBench<> {
    Bench() {
        modeEntry.show();
        modeEntry.hide();
        rig.state().mode.set(ptk::sim::ModeFiscalMemory);
        form.setHandBack(&mainWindow, &modeEntry);
        form.setNowSource([] { return QDateTime(kToday, QTime(9, 5, 30, 250)); });
        form.setQuitApplication([this] {
            ++quits;
            boxesBeforeQuit = rig.frontEnd.boxes.size();
        });
    }

    // As the mode entry opens the form; the start-up exchange is forgotten afterwards.
    bool open() {
        if (!form.prepareForEntry(entry)) return false;
        form.show();
        clear();
        return true;
    }
    void clear() {
        rig.commands.clear();
        rig.messages.clear();
        rig.frontEnd.clear();
        rig.frontEnd.questions.clear();
    }
    std::vector<Box>& boxes() { return rig.frontEnd.boxes; }
    int stage() const { return form.registration().stage(); }
    void fillRequisites(const QString& password = "12345678") {
        form.pg_FiskPam->setCurrentWidget(form.tbch_Registr);
        form.tbch_Registr->ed_RegNum->setText("77");
        form.tbch_Registr->ed_INN->setText("770123456789");
        form.tbch_Registr->ed_PassNew->setText(password);
    }
    // The two clicks of a registration whose requisites pass, the question answered with yes.
    void confirmRegistration(const QString& password = "12345678") {
        fillRequisites(password);
        QTest::mouseClick(form.tbch_Registr->bt_Registr, Qt::LeftButton);
        form.tbch_Registr->ed_PassNew->setText(password);
        rig.frontEnd.answers = {true};
        QTest::mouseClick(form.tbch_Registr->bt_Registr, Qt::LeftButton);
    }
    void chooseShiftReport(const QString& first, const QString& last, bool full) {
        form.pg_FiskPam->setCurrentWidget(form.tbch_Otch);
        form.tbch_Otch->pg_Otch->setCurrentWidget(form.tbch_Otch->tbch_OtchNumSm);
        form.tbch_Otch->ed_OtchNSmFirst->setText(first);
        form.tbch_Otch->ed_OtchNSmLast->setText(last);
        (full ? form.tbch_Otch->rb_OtchNSmPoln : form.tbch_Otch->rb_OtchNSmSokr)->setChecked(true);
    }
    // Shifts over days of March 2012 in the register's fiscal memory.
    bool fillMemory(int shifts, int firstDay = 5, int lastDay = 7) {
        return ptk::sim::fillFiscalMemory(rig.state(), shifts, {2012, 3, firstDay, 0, 0, 0},
                                          {2012, 3, lastDay, 0, 0, 0});
    }
    // Opens the form and starts the full report of shifts 1 to 3; while the register works on
    // it the worker is held, and whileRunning acts on the form. False when the worker was never
    // held there.
    bool runHeldReport(const std::function<void()>& whileRunning) {
        if (!fillMemory(3) || !open()) return false;
        chooseShiftReport("1", "3", true);
        WorkHold hold(rig.peer, rig.engine, rig.line);
        bool held = false;
        QTimer::singleShot(0, &form, [&] {
            held = hold.waitUntilHeld();
            if (held) whileRunning();
            hold.release();
        });
        QTest::mouseClick(form.tbch_Otch->bt_OtchOk, Qt::LeftButton);
        return held;
    }
    // Everything a running report disables is enabled again, and the stop button is not.
    bool reportControlsRestored() const {
        for (const QWidget* w :
             {static_cast<QWidget*>(form.tbch_Otch->bt_OtchOk),
              static_cast<QWidget*>(form.bt_FiskPamClose), static_cast<QWidget*>(form.pg_FiskPam),
              static_cast<QWidget*>(form.tbch_Otch->pg_Otch),
              static_cast<QWidget*>(form.tbch_Otch->ed_OtchNSmFirst),
              static_cast<QWidget*>(form.tbch_Otch->ed_OtchNSmLast),
              static_cast<QWidget*>(form.tbch_Otch->dtp_OtchDateFirst),
              static_cast<QWidget*>(form.tbch_Otch->rb_OtchNSmPoln)}) {
            if (!w->isEnabled()) return false;
        }
        return !form.bt_StopReport->isEnabled() && !form.pn_Sleep->isVisible();
    }

    QWidget modeEntry;
    // The password the inspector typed to enter mode 5.
    const ptk::ui::ModeEntry entry{"55555555"};
    Tfm_FiskPam form{rig.session};
    const ptk::OwnerHandle formOwner = ptk::ui::ownerOf(&form);
    int quits = 0;
    std::size_t boxesBeforeQuit = 0;
};

void typeCharacter(QWidget* edit, QChar character) {
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

}  // namespace

class FiskPamWindowTest : public QObject {
    Q_OBJECT

private slots:
    void openingResetsTheFormAndReadsTheHeaderLines();
    void numberEditsTakeDigitsOnly();
    void serialNumber_data();
    void serialNumber();
    void wholeFiscalisation();
    void refusedRequisites_data();
    void refusedRequisites();
    void sevenDigitPasswordIsRefusedAtEveryStage();
    void differentRepeatedPasswordStartsOver();
    void noToTheQuestionSendsNothing();
    void dateConfirmationTakesOneMoreClick();
    void reopenedFormDoesNotSendStaleRequisites();
    void changedRequisitesAfterDateRepeatAreCheckedAgain();
    void longRegisterLinesAreKeptWhole();
    void lineTooLongToWriteStopsTheRegistrationBeforeTheClock();
    void picturePanel();
    void shiftReportNeedsBothShifts();
    void reports_data();
    void reports();
    void closeIsRefusedWhileAReportRuns();
    void emergencyExitEndsTheProgram();
    void ranges();
    void pageChangeMovesTheFocus();
};

void FiskPamWindowTest::openingResetsTheFormAndReadsTheHeaderLines() {
    Bench bench;
    Tfm_FiskPam& form = bench.form;
    for (QLineEdit* edit :
         {form.tbch_ZavNum->ed_ZavNum, form.tbch_Registr->ed_RegNum, form.tbch_Registr->ed_INN,
          form.tbch_Registr->ed_PassNew, form.tbch_Otch->ed_OtchNSmFirst,
          form.tbch_Diapazon->ed_DDateFirst, form.tbch_Diapazon->ed_DNSmLast}) {
        edit->setText("1");
    }
    form.tbch_Otch->rb_OtchDateSokr->setChecked(true);
    form.pg_FiskPam->setCurrentWidget(form.tbch_Diapazon);
    form.tbch_Otch->pg_Otch->setCurrentWidget(form.tbch_Otch->tbch_OtchNumSm);
    form.bt_StopReport->setEnabled(true);

    QVERIFY(form.prepareForEntry(bench.entry));

    QCOMPARE(bench.rig.commands, (Codes{0x52, 0x46, 0x56, 0x46, 0x46, 0x46, 0x46, 0x52, 0x56}));
    QCOMPARE(bench.rig.state().mode.mode, std::uint8_t{ptk::sim::ModeFiscalMemory});
    for (QLineEdit* edit :
         {form.tbch_ZavNum->ed_ZavNum, form.tbch_Registr->ed_RegNum, form.tbch_Registr->ed_INN,
          form.tbch_Registr->ed_PassNew, form.tbch_Otch->ed_OtchNSmFirst,
          form.tbch_Diapazon->ed_DDateFirst, form.tbch_Diapazon->ed_DNSmLast}) {
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    }
    QCOMPARE(form.tbch_Registr->ed_Name1->text(), QString("МАГАЗИН"));
    QCOMPARE(form.tbch_Registr->ed_Name2->text(), QString("ДОБРО ПОЖАЛОВАТЬ"));
    QCOMPARE(form.pg_FiskPam->currentWidget(), form.tbch_ZavNum);
    QCOMPARE(form.tbch_Otch->pg_Otch->currentWidget(), form.tbch_Otch->tbch_OtchDate);
    QVERIFY(form.tbch_Otch->rb_OtchDatePoln->isChecked());
    QVERIFY(form.tbch_Otch->rb_OtchNSmPoln->isChecked());
    QVERIFY(!form.bt_StopReport->isEnabled());
    QCOMPARE(form.tbch_Registr->dt_Date->date(), kToday);
    QCOMPARE(form.tbch_Registr->dt_Time->time(), QTime(9, 5, 30));
    QCOMPARE(form.tbch_Otch->dtp_OtchDateFirst->date(), kToday);
    QCOMPARE(form.tbch_Otch->dtp_OtchDateLast->date(), kToday);
    QVERIFY(bench.boxes().empty());
}

// Each number edit takes digits up to its length; anything else, Backspace included, beeps.
void FiskPamWindowTest::numberEditsTakeDigitsOnly() {
    Bench bench;
    bench.form.show();
    const struct {
        QLineEdit* edit;
        int length;
    } edits[] = {
        {bench.form.tbch_ZavNum->ed_ZavNum, 7},     {bench.form.tbch_Registr->ed_RegNum, 10},
        {bench.form.tbch_Registr->ed_INN, 12},      {bench.form.tbch_Registr->ed_PassNew, 8},
        {bench.form.tbch_Otch->ed_OtchNSmFirst, 4}, {bench.form.tbch_Otch->ed_OtchNSmLast, 4}};
    for (const auto& e : edits) {
        bench.rig.frontEnd.beeps = 0;
        e.edit->clear();
        for (const QChar c : QString("1234567890123456aж ,")) typeCharacter(e.edit, c);
        QTest::keyClick(e.edit, Qt::Key_Backspace);
        QCOMPARE(e.edit->text(), QString("1234567890123456").left(e.length));
        QCOMPARE(bench.rig.frontEnd.beeps, 5);
        // Keys that type nothing still edit.
        QTest::keyClick(e.edit, Qt::Key_Home);
        QTest::keyClick(e.edit, Qt::Key_Delete);
        QCOMPARE(e.edit->text().size(), e.length - 1);
    }
    // The header lines take anything.
    typeCharacter(bench.form.tbch_Registr->ed_Name3, QChar(0x0436));
    typeCharacter(bench.form.tbch_Registr->ed_Name3, QChar('~'));
    QCOMPARE(bench.form.tbch_Registr->ed_Name3->text(), QString("ж~"));
    QVERIFY(bench.rig.commands.empty());
}

void FiskPamWindowTest::serialNumber_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("alreadySet");
    QTest::addColumn<Bytes>("sent");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("programmed") << true << "123" << false
                                << Bytes{0x73, 0x01, 0x61, 0x00, 0x00, 0x01, 0x23} << QStringList{};
    QTest::newRow("no to the question") << false << "123" << false << Bytes{} << QStringList{};
    QTest::newRow("empty") << true << "" << false << Bytes{}
                           << QStringList{"Введите заводской номер ПТК."};
    QTest::newRow("second time") << true << "4567" << true
                                 << Bytes{0x73, 0x01, 0x61, 0x00, 0x00, 0x45, 0x67}
                                 << QStringList{"9E - Заводской номер уже задан."};
}

void FiskPamWindowTest::serialNumber() {
    QFETCH(bool, yes);
    QFETCH(QString, typed);
    QFETCH(bool, alreadySet);
    QFETCH(Bytes, sent);
    QFETCH(QStringList, boxes);
    Bench bench;
    bench.rig.state().identity.serialNumber = alreadySet ? 123 : 0;
    QVERIFY(bench.open());
    bench.form.tbch_ZavNum->ed_ZavNum->setText(typed);
    bench.rig.frontEnd.answers = {yes};

    QTest::mouseClick(bench.form.tbch_ZavNum->bt_ZavNumOk, Qt::LeftButton);

    QCOMPARE(bench.rig.frontEnd.questions,
             std::vector<std::string>{"Запрограммировать данный номер ПТК ?"});
    QCOMPARE(bench.rig.messages.empty() ? Bytes{} : bench.rig.messages.back(), sent);
    QStringList shown;
    for (const Box& box : bench.boxes()) shown << QString::fromStdString(box.text);
    QCOMPARE(shown, boxes);
    if (!sent.empty() && boxes.isEmpty()) {
        QCOMPARE(bench.rig.frontEnd.resultText, std::string(kSuccess));
        QCOMPARE(bench.rig.state().identity.serialNumber, 123u);
    }
    for (QWidget* w :
         {static_cast<QWidget*>(&bench.form), static_cast<QWidget*>(bench.form.pg_FiskPam),
          static_cast<QWidget*>(bench.form.tbch_ZavNum->ed_ZavNum),
          static_cast<QWidget*>(bench.form.tbch_ZavNum->bt_ZavNumOk),
          static_cast<QWidget*>(bench.form.bt_FiskPamClose)}) {
        QVERIFY(w->isEnabled());
    }
}

void FiskPamWindowTest::wholeFiscalisation() {
    Bench bench;
    QVERIFY(bench.open());
    bench.fillRequisites();

    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QCOMPARE(
        bench.boxes(),
        (std::vector<Box>{{MessageIcon::Warning, "Сообщение", kCheckAndRepeat, bench.formOwner}}));
    QCOMPARE(bench.form.tbch_Registr->ed_RegNum->text(), QString("0000000077"));
    QVERIFY(bench.form.tbch_Registr->ed_PassNew->text().isEmpty());
    QCOMPARE(bench.stage(), 2);
    QVERIFY(bench.rig.commands.empty());

    bench.form.tbch_Registr->ed_PassNew->setText("12345678");
    bench.rig.frontEnd.answers = {true};
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);

    QCOMPARE(bench.rig.frontEnd.questions, std::vector<std::string>{kRegistrationQuestion});
    QCOMPARE(bench.rig.commands, kRegistrationCodes);
    QCOMPARE(bench.rig.messages[0], (Bytes{0x73, 0x01, 0x64, 0x07, 0x05, 0x13}));
    QCOMPARE(bench.rig.messages[1], (Bytes{0x73, 0x01, 0x4B, 0x09, 0x05, 0x30}));
    QCOMPARE(bench.rig.messages.back(),
             (Bytes{0x73, 0x01, 0x62, 0x00, 0x00, 0x00, 0x00, 0x77, 0x77, 0x01, 0x23, 0x45, 0x67,
                    0x89, 0x12, 0x34, 0x56, 0x78}));
    const auto& fiscal = bench.rig.state().fiscal;
    QVERIFY(fiscal.fiscalised);
    QCOMPARE(fiscal.rnm, 77u);
    QCOMPARE(fiscal.inn, 770123456789u);
    QCOMPARE(bench.rig.state().tables.headerLines[0], std::string("\x8C\x80\x83\x80\x87\x88\x8D"));
    QCOMPARE(bench.rig.state().mode.mode, std::uint8_t{ptk::sim::ModeFiscalMemory});
    QCOMPARE(bench.boxes().size(), std::size_t{1});
    QCOMPARE(bench.rig.frontEnd.resultText, std::string(kSuccess));
    QCOMPARE(bench.stage(), 1);
    QCOMPARE(bench.form.dateRepeatTag(), 0);
    QVERIFY(!bench.form.pn_Sleep->isVisible());
    QVERIFY(bench.form.isEnabled() && bench.form.tbch_Registr->bt_Registr->isEnabled() &&
            bench.form.bt_FiskPamClose->isEnabled());
}

void FiskPamWindowTest::refusedRequisites_data() {
    QTest::addColumn<QString>("regNum");
    QTest::addColumn<QString>("inn");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("regNumAfter");
    QTest::newRow("no registration number") << ""
                                            << "1"
                                            << "12345678"
                                            << "A"
                                            << "Введите регистрационный номер ПТК."
                                            << "";
    QTest::newRow("blank registration number") << "  "
                                               << "1"
                                               << "12345678"
                                               << "A"
                                               << "Введите регистрационный номер ПТК."
                                               << "  ";
    QTest::newRow("no taxpayer number") << "5"
                                        << ""
                                        << "12345678"
                                        << "A"
                                        << "Введите ИНН."
                                        << "0000000005";
    QTest::newRow("no password") << "5"
                                 << "1"
                                 << ""
                                 << "A"
                                 << "Введите новый пароль доступа к ФП."
                                 << "0000000005";
    QTest::newRow("short password") << "5"
                                    << "1"
                                    << "1234567"
                                    << "A"
                                    << "Пароль доступа к ФП должен быть 8 знаков."
                                    << "0000000005";
    QTest::newRow("no name") << "5"
                             << "1"
                             << "12345678"
                             << " "
                             << "Введите наименование."
                             << "0000000005";
}

void FiskPamWindowTest::refusedRequisites() {
    QFETCH(QString, regNum);
    QFETCH(QString, inn);
    QFETCH(QString, password);
    QFETCH(QString, name);
    QFETCH(QString, refusal);
    QFETCH(QString, regNumAfter);
    Bench bench;
    QVERIFY(bench.open());
    bench.form.tbch_Registr->ed_RegNum->setText(regNum);
    bench.form.tbch_Registr->ed_INN->setText(inn);
    bench.form.tbch_Registr->ed_PassNew->setText(password);
    bench.form.tbch_Registr->ed_Name1->setText(name);

    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);

    QCOMPARE(
        bench.boxes(),
        (std::vector<Box>{{MessageIcon::Error, "Ошибка", refusal.toStdString(), bench.formOwner}}));
    QCOMPARE(bench.form.tbch_Registr->ed_RegNum->text(), regNumAfter);
    QCOMPARE(bench.form.tbch_Registr->ed_PassNew->text(), password);
    QCOMPARE(bench.stage(), 1);
    QVERIFY(bench.rig.commands.empty());
    if (name.trimmed().isEmpty())
        QCOMPARE(bench.form.focusWidget(), bench.form.tbch_Registr->ed_Name1);
}

void FiskPamWindowTest::sevenDigitPasswordIsRefusedAtEveryStage() {
    Bench bench;
    QVERIFY(bench.open());
    bench.fillRequisites();
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QCOMPARE(bench.stage(), 2);
    bench.clear();

    bench.form.tbch_Registr->ed_PassNew->setText("1234567");
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QCOMPARE(bench.rig.frontEnd.boxTexts(),
             std::vector<std::string>{"Пароль доступа к ФП должен быть 8 знаков."});
    QCOMPARE(bench.stage(), 2);

    // The repeat typed in full then goes on to the question.
    bench.form.tbch_Registr->ed_PassNew->setText("12345678");
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QCOMPARE(bench.rig.frontEnd.questions, std::vector<std::string>{kRegistrationQuestion});
    QVERIFY(bench.rig.commands.empty());
}

void FiskPamWindowTest::differentRepeatedPasswordStartsOver() {
    Bench bench;
    QVERIFY(bench.open());
    bench.fillRequisites();
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QCOMPARE(bench.form.registration().firstPasswordEntry(), std::string("12345678"));
    bench.clear();

    bench.form.tbch_Registr->ed_PassNew->setText("87654321");
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QCOMPARE(bench.boxes(), (std::vector<Box>{{MessageIcon::Error, "Ошибка",
                                               "Неверный повтор пароля!", bench.formOwner}}));
    QVERIFY(bench.form.tbch_Registr->ed_PassNew->text().isEmpty());
    QCOMPARE(bench.stage(), 1);

    // The next click is the first of a new registration: the warning again.
    bench.clear();
    bench.form.tbch_Registr->ed_PassNew->setText("87654321");
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QCOMPARE(bench.rig.frontEnd.boxTexts(), std::vector<std::string>{kCheckAndRepeat});
    QCOMPARE(bench.form.registration().firstPasswordEntry(), std::string("87654321"));
    QVERIFY(bench.rig.commands.empty());
    QVERIFY(bench.rig.frontEnd.questions.empty());
}

void FiskPamWindowTest::noToTheQuestionSendsNothing() {
    Bench bench;
    QVERIFY(bench.open());
    bench.fillRequisites();
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    bench.form.tbch_Registr->ed_PassNew->setText("12345678");
    bench.rig.frontEnd.answers = {false};
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);

    QCOMPARE(bench.rig.frontEnd.questions, std::vector<std::string>{kRegistrationQuestion});
    QVERIFY(bench.rig.commands.empty());
    QCOMPARE(bench.stage(), 1);
    QVERIFY(!bench.rig.state().fiscal.fiscalised);
}

void FiskPamWindowTest::dateConfirmationTakesOneMoreClick() {
    Bench bench;
    QVERIFY(bench.open());
    bench.form.tbch_Registr->dt_Date->setDate(kToday.addDays(13));
    bench.confirmRegistration();

    QCOMPARE(bench.rig.commands, Codes{0x64});
    QCOMPARE(
        bench.boxes(),
        (std::vector<Box>{{MessageIcon::Warning, "Сообщение", kCheckAndRepeat, bench.formOwner},
                          {MessageIcon::Warning, "Предупреждение", "Требуется повторный ввод даты",
                           ptk::OwnerHandle{}}}));
    QCOMPARE(bench.form.dateRepeatTag(), 22);
    QCOMPARE(bench.form.tbch_Registr->dt_Date->date(), kToday);
    QCOMPARE(bench.stage(), 1);
    QVERIFY(!bench.rig.state().fiscal.fiscalised);
    QVERIFY(bench.form.isEnabled() && bench.form.tbch_Registr->bt_Registr->isEnabled());

    // The next click goes straight to the date, now the day the inspector checked.
    bench.clear();
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);
    QVERIFY(bench.rig.frontEnd.questions.empty());
    QVERIFY(bench.boxes().empty());
    QCOMPARE(bench.rig.commands, kRegistrationCodes);
    QCOMPARE(bench.rig.messages[0], (Bytes{0x73, 0x01, 0x64, 0x07, 0x05, 0x13}));
    QVERIFY(bench.rig.state().fiscal.fiscalised);
    QCOMPARE(bench.form.dateRepeatTag(), 0);
}

void FiskPamWindowTest::reopenedFormDoesNotSendStaleRequisites() {
    Bench bench;
    QVERIFY(bench.open());
    bench.form.tbch_Registr->dt_Date->setDate(kToday.addDays(13));
    bench.confirmRegistration();
    QCOMPARE(bench.form.dateRepeatTag(), 22);
    bench.form.close();
    QVERIFY(bench.mainWindow.isEnabled());

    bench.mainWindow.setEnabled(false);
    QVERIFY(bench.open());
    QCOMPARE(bench.form.dateRepeatTag(), 0);
    bench.form.pg_FiskPam->setCurrentWidget(bench.form.tbch_Registr);
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);

    QCOMPARE(bench.rig.frontEnd.boxTexts(),
             std::vector<std::string>{"Введите регистрационный номер ПТК."});
    QVERIFY(bench.rig.commands.empty());
}

void FiskPamWindowTest::changedRequisitesAfterDateRepeatAreCheckedAgain() {
    Bench bench;
    QVERIFY(bench.open());
    bench.form.tbch_Registr->dt_Date->setDate(kToday.addDays(13));
    bench.confirmRegistration();
    QCOMPARE(bench.form.dateRepeatTag(), 22);
    bench.clear();

    bench.form.tbch_Registr->ed_INN->setText("5");
    QTest::mouseClick(bench.form.tbch_Registr->bt_Registr, Qt::LeftButton);

    QCOMPARE(bench.rig.frontEnd.boxTexts(), std::vector<std::string>{kCheckAndRepeat});
    QCOMPARE(bench.form.tbch_Registr->ed_INN->text(), QString("000000000005"));
    QCOMPARE(bench.form.dateRepeatTag(), 0);
    QCOMPARE(bench.stage(), 2);
    QVERIFY(bench.rig.commands.empty());
}

// Lines the register holds may be longer than the 42 characters an inspector may type, once their
// markup is written out; the form shows them whole and writes them back unchanged, and typing
// never makes them longer.
void FiskPamWindowTest::longRegisterLinesAreKeptWhole() {
    Bench bench;
    auto& lines = bench.rig.state().tables.headerLines;
    lines[1] = std::string(50, '\x9C');                                    // 50 times 'Ь'
    lines[2] = std::string(38, 'A') + std::string("\x0A\xFF\xFF\xFF", 4);  // 53 characters
    lines[3] = std::string(30, '{');                                       // 60 characters
    const auto before = lines;
    QVERIFY(bench.open());
    QCOMPARE(bench.form.tbch_Registr->ed_Name2->text(), QString(50, QChar(0x042C)));
    QCOMPARE(bench.form.tbch_Registr->ed_Name3->text(), QString(38, 'A') + "{IMG 255:65535}");
    QCOMPARE(bench.form.tbch_Registr->ed_Name4->text().size(), 60);

    bench.confirmRegistration();
    QVERIFY(bench.rig.state().fiscal.fiscalised);
    QCOMPARE(lines, before);

    bench.form.tbch_Registr->ed_Name2->end(false);
    QTest::keyClicks(bench.form.tbch_Registr->ed_Name2, "x");
    QCOMPARE(bench.form.tbch_Registr->ed_Name2->text().size(), 50);
    // A line cut back to the limit takes typing again, up to the limit.
    bench.form.tbch_Registr->ed_Name2->selectAll();
    QTest::keyClicks(bench.form.tbch_Registr->ed_Name2, QString(50, 'y'));
    QCOMPARE(bench.form.tbch_Registr->ed_Name2->text(), QString(42, 'y'));
}

void FiskPamWindowTest::lineTooLongToWriteStopsTheRegistrationBeforeTheClock() {
    Bench bench;
    bench.rig.state().tables.headerLines[0] = std::string(83, 'A');
    QVERIFY(bench.form.prepareForEntry(bench.entry));
    QCOMPARE(bench.boxes().size(), std::size_t{1});  // said when the form read it
    QCOMPARE(bench.boxes()[0].icon, MessageIcon::Warning);
    bench.clear();

    bench.confirmRegistration();
    QVERIFY(bench.rig.commands.empty());  // not even the date
    QCOMPARE(bench.boxes().back().icon, MessageIcon::Error);
    QVERIFY(bench.boxes().back().text.starts_with("Строка 1 наименования не может"));
}

void FiskPamWindowTest::picturePanel() {
    Bench bench;
    Tfm_FiskPam& form = bench.form;
    form.show();
    QCOMPARE(form.tbch_Registr->eimgidx->text(), QString("1"));
    QCOMPARE(form.tbch_Registr->eimgstr->text(), QString("1"));
    QCOMPARE(form.tbch_Registr->eimgoffset->text(), QString("0"));

    form.tbch_Registr->eimgoffset->clear();
    QTest::keyClicks(form.tbch_Registr->eimgoffset, "700");
    QCOMPARE(form.tbch_Registr->eimgoffset->text(), QString("600"));
    form.tbch_Registr->eimgstr->setText("");
    QCOMPARE(form.tbch_Registr->eimgstr->text(), QString("1"));
    form.tbch_Registr->eimgidx->setText("-5");
    QCOMPARE(form.tbch_Registr->eimgidx->text(), QString("1"));

    // The arrows step inside the range and do not wrap.
    form.tbch_Registr->eimgstr->setText("4");
    QTest::mouseClick(form.tbch_Registr->udimgstr->upButton, Qt::LeftButton);
    QCOMPARE(form.tbch_Registr->eimgstr->text(), QString("4"));
    QTest::mouseClick(form.tbch_Registr->udimgstr->downButton, Qt::LeftButton);
    QCOMPARE(form.tbch_Registr->eimgstr->text(), QString("3"));
    form.tbch_Registr->eimgidx->setText("1");
    QTest::mouseClick(form.tbch_Registr->udimgidx->downButton, Qt::LeftButton);
    QCOMPARE(form.tbch_Registr->eimgidx->text(), QString("1"));
    form.tbch_Registr->eimgidx->setText("2");
    QTest::keyClick(form.tbch_Registr->eimgidx, Qt::Key_Up);
    QCOMPARE(form.tbch_Registr->eimgidx->text(), QString("3"));
    form.tbch_Registr->eimgoffset->setText("48");

    const QString before[] = {"a", "b", "c", "d"};
    QLineEdit* names[] = {form.tbch_Registr->ed_Name1, form.tbch_Registr->ed_Name2,
                          form.tbch_Registr->ed_Name3, form.tbch_Registr->ed_Name4};
    for (int i = 0; i < 4; ++i) names[i]->setText(before[i]);
    QTest::mouseClick(form.tbch_Registr->btnimgpaste, Qt::LeftButton);
    QCOMPARE(form.tbch_Registr->ed_Name3->text(), QString("{IMG 3:48}"));
    for (int i : {0, 1, 3}) QCOMPARE(names[i]->text(), before[i]);
    QVERIFY(bench.rig.commands.empty());
}

void FiskPamWindowTest::shiftReportNeedsBothShifts() {
    Bench bench;
    QVERIFY(bench.open());
    bench.chooseShiftReport("1", "", true);

    QTest::mouseClick(bench.form.tbch_Otch->bt_OtchOk, Qt::LeftButton);

    QCOMPARE(bench.boxes(),
             (std::vector<Box>{{MessageIcon::Error, "Ошибка", "Введите диапазон номеров смен ПТК.",
                                bench.formOwner}}));
    QVERIFY(bench.rig.commands.empty());
    QVERIFY(bench.reportControlsRestored());
}

void FiskPamWindowTest::reports_data() {
    QTest::addColumn<bool>("byShifts");
    QTest::addColumn<bool>("full");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<Bytes>("sent");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("dates, full") << false << true << 5 << Bytes{0x73, 0x01, 0x65, 0x01, 0x05,
                                                                0x03, 0x12, 0x07, 0x03, 0x12}
                                 << QStringList{};
    QTest::newRow("shifts, short, nearly ten minutes")
        << true << false << 590 << Bytes{0x73, 0x01, 0x66, 0x00, 0x00, 0x01, 0x00, 0x25}
        << QStringList{};
    QTest::newRow("shifts, longer than ten minutes")
        << true << false << 610 << Bytes{0x73, 0x01, 0x66, 0x00, 0x00, 0x01, 0x00, 0x25}
        << QStringList{"Нет ответа"};
}

void FiskPamWindowTest::reports() {
    QFETCH(bool, byShifts);
    QFETCH(bool, full);
    QFETCH(int, seconds);
    QFETCH(Bytes, sent);
    QFETCH(QStringList, boxes);
    Bench bench;
    QVERIFY(bench.fillMemory(25));
    bench.rig.state().fiscal.reportDurationUs = std::uint64_t(seconds) * 1'000'000;
    QVERIFY(bench.open());
    if (byShifts) {
        bench.chooseShiftReport("1", "25", full);
    } else {
        bench.form.pg_FiskPam->setCurrentWidget(bench.form.tbch_Otch);
        bench.form.tbch_Otch->dtp_OtchDateFirst->setDate(QDate(2012, 3, 5));
        bench.form.tbch_Otch->dtp_OtchDateLast->setDate(QDate(2012, 3, 7));
        (full ? bench.form.tbch_Otch->rb_OtchDatePoln : bench.form.tbch_Otch->rb_OtchDateSokr)
            ->setChecked(true);
    }

    QTest::mouseClick(bench.form.tbch_Otch->bt_OtchOk, Qt::LeftButton);

    QCOMPARE(bench.rig.messages.back(), sent);
    QStringList shown;
    for (const Box& box : bench.boxes()) {
        QCOMPARE(box.owner, bench.formOwner);
        shown << QString::fromStdString(box.text);
    }
    QCOMPARE(shown, boxes);
    const auto& tape = bench.rig.state().tape.lines();
    QCOMPARE(std::count(tape.begin(), tape.end(), std::string("КОНЕЦ ОТЧЕТА ФП")), 1);
    QVERIFY(bench.reportControlsRestored());
    QCOMPARE(bench.quits, 0);
    QVERIFY(!bench.form.reportRunning());
}

void FiskPamWindowTest::closeIsRefusedWhileAReportRuns() {
    Bench bench;
    struct Seen {
        bool closed = true;
        bool visible = false;
        bool stopEnabled = false;
        bool sleeping = false;
        bool startEnabled = true;
        bool running = false;
    } seen;
    QVERIFY(bench.runHeldReport([&] {
        seen.closed = bench.form.close();
        QTest::mouseClick(bench.form.bt_FiskPamClose, Qt::LeftButton);
        seen.visible = bench.form.isVisible();
        seen.stopEnabled = bench.form.bt_StopReport->isEnabled();
        seen.sleeping = bench.form.pn_Sleep->isVisible();
        seen.startEnabled = bench.form.tbch_Otch->bt_OtchOk->isEnabled();
        seen.running = bench.form.reportRunning();
    }));

    QVERIFY(!seen.closed);
    QVERIFY(seen.visible);
    QVERIFY(seen.stopEnabled);
    QVERIFY(seen.sleeping);
    QVERIFY(!seen.startEnabled);
    QVERIFY(seen.running);
    // The report ran to its end; now the form closes and hands back.
    QVERIFY(bench.boxes().empty());
    QCOMPARE(bench.quits, 0);
    QVERIFY(bench.reportControlsRestored());
    QVERIFY(!bench.mainWindow.isEnabled());
    QVERIFY(bench.form.close());
    QVERIFY(bench.mainWindow.isEnabled());
}

void FiskPamWindowTest::emergencyExitEndsTheProgram() {
    Bench bench;
    std::uint64_t stoppedAtUs = 0;
    QVERIFY(bench.runHeldReport([&] {
        QTest::mouseClick(bench.form.bt_StopReport, Qt::LeftButton);
        stoppedAtUs = bench.rig.clock.nowUs();
    }));

    QVERIFY(bench.rig.session.StopRequested.load());
    QCOMPARE(bench.rig.commands, Codes{0x66});
    // The worker gave up within one stop slice, long before the register's answer was due.
    QVERIFY(bench.rig.clock.nowUs() - stoppedAtUs <= 50'000);
    // The program was told to end before the result was shown, which cannot hold it up.
    QCOMPARE(bench.quits, 1);
    QCOMPARE(bench.boxesBeforeQuit, std::size_t{0});
    QCOMPARE(bench.boxes(),
             (std::vector<Box>{{MessageIcon::Error, "Ошибка", "Операция прервана пользователем",
                                bench.formOwner}}));
    QVERIFY(!bench.form.reportRunning());
    QVERIFY(bench.reportControlsRestored());
}

void FiskPamWindowTest::ranges() {
    Bench bench;
    QVERIFY(bench.open());
    bench.form.pg_FiskPam->setCurrentWidget(bench.form.tbch_Diapazon);
    for (QLineEdit* edit :
         {bench.form.tbch_Diapazon->ed_DDateFirst, bench.form.tbch_Diapazon->ed_DDateLast,
          bench.form.tbch_Diapazon->ed_DNSmFirst, bench.form.tbch_Diapazon->ed_DNSmLast}) {
        edit->setText("x");
    }

    // An empty fiscal memory: the register's refusal, the edits as they were.
    QTest::mouseClick(bench.form.tbch_Diapazon->bt_ZaprosOk, Qt::LeftButton);
    QCOMPARE(bench.rig.frontEnd.boxTexts(), std::vector<std::string>{"AA - Нет отчетов."});
    QCOMPARE(bench.form.tbch_Diapazon->ed_DDateFirst->text(), QString("x"));

    QVERIFY(ptk::sim::fillFiscalMemory(bench.rig.state(), 7, {2009, 2, 1, 0, 0, 0},
                                       {2012, 3, 7, 0, 0, 0}));
    bench.clear();
    QTest::mouseClick(bench.form.tbch_Diapazon->bt_ZaprosOk, Qt::LeftButton);
    QCOMPARE(bench.rig.commands, Codes{0x63});
    QCOMPARE(bench.form.tbch_Diapazon->ed_DDateFirst->text(), QString("01/02/09"));
    QCOMPARE(bench.form.tbch_Diapazon->ed_DDateLast->text(), QString("07/03/12"));
    QCOMPARE(bench.form.tbch_Diapazon->ed_DNSmFirst->text(), QString("0001"));
    QCOMPARE(bench.form.tbch_Diapazon->ed_DNSmLast->text(), QString("0007"));
    QCOMPARE(bench.rig.frontEnd.resultText, std::string(kSuccess));
    QVERIFY(bench.form.pg_FiskPam->isVisible());
    QVERIFY(!bench.form.pn_Sleep->isVisible());
    QVERIFY(bench.form.isEnabled() && bench.form.bt_FiskPamClose->isEnabled());
}

void FiskPamWindowTest::pageChangeMovesTheFocus() {
    Bench bench;
    QVERIFY(bench.open());
    bench.form.bt_StopReport->setEnabled(true);
    bench.form.pg_FiskPam->setCurrentWidget(bench.form.tbch_Registr);
    QCOMPARE(bench.form.focusWidget(), bench.form.tbch_Registr->ed_RegNum);
    QVERIFY(!bench.form.bt_StopReport->isEnabled());
    bench.form.pg_FiskPam->setCurrentWidget(bench.form.tbch_ZavNum);
    QCOMPARE(bench.form.focusWidget(), bench.form.tbch_ZavNum->ed_ZavNum);
}

QTEST_MAIN(FiskPamWindowTest)
#include "fiskpam_window_test.moc"
