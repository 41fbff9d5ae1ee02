// The state, EKLZ state and registration windows and the mode-entry dialog, driven as the
// inspector drives them, against the simulated register in virtual time.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "realistic_state_lines.h"
#include "status/Regcomm.h"
#include "status/Reginf.h"
#include "status/Sosteklz.h"
#include "status/Sostfr.h"
#include "support/child_window_bench.h"
#include "ui/sample_mode_form.h"

using Codes = std::vector<std::uint8_t>;

namespace {

constexpr const char* kNoErrors = "00 - Ошибок нет. Команда выполнена.";

// The simulated register, with the commands it received, and a stand-in for the main window.
struct Bench : ptk::testing::ChildWindowBench<> {
    ptk::sim::RegisterState& state() { return rig.state(); }
    std::vector<std::string> boxTexts() const { return rig.frontEnd.boxTexts(); }
};

QStringList linesOf(const QPlainTextEdit* box) {
    return box->toPlainText().split('\n');
}

// A register in a realistic state for the whole-window comparisons.
void fillRegister(ptk::sim::RegisterState& state) {
    state.identity.cashier = 1;
    state.identity.hallNumber = 3;
    state.identity.serialNumber = 4567;
    state.identity.version = 300;
    state.clock.set({2024, 11, 28, 14, 37, 59}, 0);
    state.fiscal.fiscalised = true;
    state.shift.open = true;
    state.shift.lastClosed = 17;
    state.mode.set(ptk::sim::ModeRegistration);
    state.receipt = {ptk::sim::ReceiptKind::Sale, 42, 15000, 1};
    state.printer.noRoll = true;
}

}  // namespace

class StatusWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void stateWindowShowsRegisterAndPrinter();
    void failedStateRequestLeavesOnlyPrinterLines();
    void failedPrinterRequestKeepsWindowShut_data();
    void failedPrinterRequestKeepsWindowShut();
    void closingStateWindowEnablesMainWindow();
    void eklzWindowShowsEklz();
    void refusedEklzRequestKeepsOldText();
    void registrationWindowShowsThreeRegisters();
    void failedFirstRegisterReadSendsNothingMore_data();
    void failedFirstRegisterReadSendsNothingMore();

    void shortPasswordSendsNothing_data();
    void shortPasswordSendsNothing();
    void opensTheFormOfEachMode_data();
    void opensTheFormOfEachMode();
    void formNotReadyGivesMainWindowBack();
    void modeWithoutFormIsNeverEntered_data();
    void modeWithoutFormIsNeverEntered();
    void failingExitSendsNoEntry();
    void refusedPasswordKeepsDialogOpen();
    void enterPressApplies();
    void entryGoesOutShiftedWithoutDirectCodes();
    void passwordFieldTakesDigitsOnly();
    void backspaceCorrectsPassword_data();
    void backspaceCorrectsPassword();
    void cancelClosesDialog_data();
    void cancelClosesDialog();
};

// --- Device state -------------------------------------------------------------------------------

void StatusWindowsTest::stateWindowShowsRegisterAndPrinter() {
    Bench bench;
    fillRegister(bench.state());
    Tfm_SostFR window(bench.rig.session);

    QVERIFY(window.RunRequests());
    QStringList expected;
    for (const auto& line : ptk::testing::realisticStateLines()) {
        expected << QString::fromStdString(line);
    }
    expected << QStringList{
        "Бумага в принтере есть",
        "Связь с принтером есть",
        "Крышка принтера закрата",
        "Нет рулона бумаги",
    };
    QCOMPARE(linesOf(window.mem_SostFR), expected);
    QCOMPARE(bench.rig.commands, (Codes{0x3F, 0x45}));
    QVERIFY(bench.rig.frontEnd.boxes.empty());
    QCOMPARE(QString::fromStdString(bench.rig.frontEnd.resultText), QString(kNoErrors));
}

void StatusWindowsTest::failedStateRequestLeavesOnlyPrinterLines() {
    Bench bench;
    Tfm_SostFR window(bench.rig.session);
    QVERIFY(window.RunRequests());  // an earlier opening filled the box
    bench.rig.commands.clear();

    bench.rig.faults().errors.push_back({0x3F, 0x68, 1});
    bench.state().printer.paperOut = true;
    QVERIFY(window.RunRequests());
    const QStringList expected = {"Бумаги в принтере нет", "Связь с принтером есть",
                                  "Крышка принтера закрата", "Рулон бумаги есть"};
    QCOMPARE(linesOf(window.mem_SostFR), expected);
    QCOMPARE(bench.rig.commands, (Codes{0x3F, 0x45}));
    QCOMPARE(bench.boxTexts(), std::vector<std::string>{"68 - Нет связи с принтером."});
}

void StatusWindowsTest::failedPrinterRequestKeepsWindowShut_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("box");
    QTest::newRow("no answer") << 0 << "Нет ответа!";
    QTest::newRow("no closing byte") << 1 << "";
}

void StatusWindowsTest::failedPrinterRequestKeepsWindowShut() {
    QFETCH(int, fault);
    QFETCH(QString, box);
    Bench bench;
    Tfm_SostFR window(bench.rig.session);
    if (fault == 0) {
        // The state request goes through; then the register stops answering the line requests.
        bench.rig.engine.setCommandObserver([&](const ptk::sim::CommandRecord& record) {
            bench.rig.commands.push_back(record.code);
            if (record.code == 0x3F) {
                bench.rig.faults().silentAt(ptk::sim::SilentStep::LineAck) = ptk::sim::kAlways;
            }
        });
    } else {
        // Both closing bytes are lost; only the printer-state request looks at its own.
        bench.rig.faults().silentAt(ptk::sim::SilentStep::Closing) = 2;
    }

    QVERIFY(!window.RunRequests());
    QCOMPARE(bench.rig.commands, (fault == 0 ? Codes{0x3F} : Codes{0x3F, 0x45}));
    QVERIFY(!window.isVisible());
    std::vector<std::string> expectedBoxes;
    if (!box.isEmpty()) expectedBoxes.push_back(box.toStdString());
    QCOMPARE(bench.boxTexts(), expectedBoxes);
}

void StatusWindowsTest::closingStateWindowEnablesMainWindow() {
    Bench bench;
    Tfm_SostFR window(bench.rig.session);
    window.setMainWindow(&bench.mainWindow);
    window.show();
    QTest::mouseClick(window.bt_SostFRExit, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
    QVERIFY(bench.rig.commands.empty());

    // Closing by the window frame does the same.
    bench.mainWindow.setEnabled(false);
    window.show();
    window.close();
    QVERIFY(bench.mainWindow.isEnabled());
    QCOMPARE(window.bt_SostFRExit->text(), QString("&Закрыть"));
    QCOMPARE(window.bt_SostFRExit->toolTip(), QString("Выйти из режима"));
    QCOMPARE(window.windowTitle(), QString("Состояние ПТК"));
}

// --- EKLZ state ---------------------------------------------------------------------------------

void StatusWindowsTest::eklzWindowShowsEklz() {
    Bench bench;
    bench.state().eklz.number = 1234567;
    bench.state().eklz.activated = true;
    bench.state().eklz.archiveOpen = false;
    bench.state().eklz.lastKpk = 123;
    bench.state().eklz.lastOperation = {2024, 11, 28, 14, 37, 0};
    bench.state().shift.open = true;
    bench.state().shift.lastClosed = 17;
    Tfm_SostEKLZ window(bench.rig.session);

    QVERIFY(window.RequestEklzState().succeeded());
    const QString separator(38, '_');
    const QStringList expected = {"Итог текущего документа: 00000000.00",
                                  "Дата последней операции: 28/11/24",
                                  "Время последней операции: 14:37",
                                  "Последний номер КПК: 0000000123",
                                  separator,
                                  "Номер ЭКЛЗ: 0001234567",
                                  separator,
                                  "Продажа",
                                  "Архив закрыт",
                                  "ЭКЛЗ активизировано",
                                  "Нет отчета",
                                  "Документ закрыт",
                                  "Смена открыта",
                                  "Нет неисправимой ошибки",
                                  separator,
                                  "Номер текущей/новой смены: 0018"};
    QCOMPARE(linesOf(window.mem_SostEKLZ), expected);
    QCOMPARE(bench.rig.commands, (Codes{0xAE}));
    QCOMPARE(window.windowTitle(), QString("Состояние ЭКЛЗ"));
}

void StatusWindowsTest::refusedEklzRequestKeepsOldText() {
    Bench bench;
    Tfm_SostEKLZ window(bench.rig.session);
    QVERIFY(window.RequestEklzState().succeeded());
    const QString before = window.mem_SostEKLZ->toPlainText();
    bench.rig.faults().errors.push_back({0xAE, 0xD2, 1});
    QVERIFY(!window.RequestEklzState().succeeded());
    QCOMPARE(window.mem_SostEKLZ->toPlainText(), before);
    QCOMPARE(bench.boxTexts(),
             std::vector<std::string>{"D2 - Ошибка обмена ЭКЛЗ на уровне интерфейса."});
}

// --- Registration information -------------------------------------------------------------------

void StatusWindowsTest::registrationWindowShowsThreeRegisters() {
    Bench bench;
    bench.state().eklz.activationNumber = 2;
    bench.state().eklz.activationsLeft = 3;
    bench.state().eklz.number = 1234567;
    bench.state().fiscal.inn = 770123456789;
    bench.state().fiscal.rnm = 123456;
    bench.state().fiscal.initialShift = 1;
    bench.state().fiscal.registeredOn = {2024, 3, 15, 0, 0, 0};
    Tfm_RegInf window(bench.rig.session);

    QVERIFY(window.RunRequests().succeeded());
    const QString separator(54, '_');
    const QStringList expected = {
        " ",
        " НОМЕР ТЕКУЩЕЙ АКТИВИЗАЦИИ ЭКЛЗ:" + QString(10, ' ') + "2",
        separator,
        " ",
        " КОЛ-ВО ОСТАВШИХСЯ АКТИВИЗАЦИЙ ЭКЛЗ:" + QString(3, ' ') + "3",
        separator,
        " ",
        " ИНН:" + QString(64, ' ') + "770123456789",
        separator,
        " ",
        " РНМ:" + QString(64, ' ') + "0000123456",
        separator,
        " ",
        " НАЧАЛЬНАЯ СМЕНА:" + QString(40, ' ') + "0001",
        separator,
        " ",
        " ДАТА ФИСКАЛИЗ./ПЕРЕРЕГИСТР.:" + QString(19, ' ') + "15/03/24",
        separator,
        " ",
        " НОМЕР ЭКЛЗ:" + QString(51, ' ') + "0001234567",
        " ",
    };
    QCOMPARE(linesOf(window.mem_RegInf), expected);
    QCOMPARE(bench.rig.commands, (Codes{0x91, 0x91, 0x91}));
    QCOMPARE(window.windowTitle(), QString("Регистрационная информация ПТК"));
}

void StatusWindowsTest::failedFirstRegisterReadSendsNothingMore_data() {
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("box");
    QTest::newRow("refused") << true << "6C - Неверный номер регистра.";
    QTest::newRow("no link") << false << "Нет ответа!";
}

void StatusWindowsTest::failedFirstRegisterReadSendsNothingMore() {
    QFETCH(bool, refused);
    QFETCH(QString, box);
    Bench bench;
    Tfm_RegInf window(bench.rig.session);
    if (refused) {
        bench.rig.faults().errors.push_back({0x91, 0x6C, 1});
    } else {
        bench.rig.faults().silentAt(ptk::sim::SilentStep::LineAck) = ptk::sim::kAlways;
    }

    QVERIFY(!window.RunRequests().succeeded());
    QCOMPARE(bench.boxTexts(), std::vector<std::string>{box.toStdString()});
    QCOMPARE(bench.rig.commands, (refused ? Codes{0x91} : Codes{}));
    // One transaction only: one EOT handing the line over.
    int handovers = 0;
    for (const auto& write : bench.rig.line.writes()) handovers += write.bytes == Codes{0x04};
    QCOMPARE(handovers, 1);
    QVERIFY(!window.isVisible());
}

// --- Mode entry ---------------------------------------------------------------------------------

namespace {

using ptk::testing::SampleModeForm;

// The register's modes that have a form in the program.
const std::vector<int> kFormModes = {1, 3, 5, 6};

// The mode-entry dialog opened by the main menu for a mode, with a form registered for each of
// the given modes.
struct EntryBench : Bench {
    std::map<int, std::unique_ptr<SampleModeForm>> forms;
    Tfm_RegComm dialog{rig.session};

    explicit EntryBench(int targetMode, const std::vector<int>& modesWithForms = kFormModes) {
        for (const int mode : modesWithForms) {
            forms[mode] = std::make_unique<SampleModeForm>();
            dialog.setModeForm(mode, forms[mode].get());
        }
        // After the forms: program start may register a form made before the dialog knows the
        // main window.
        dialog.setMainWindow(&mainWindow);
        // As the main menu opens it; a mode without a form opens nothing.
        dialog.openFor(targetMode);
    }

    SampleModeForm& form(int mode) { return *forms.at(mode); }
    // The modes whose forms are up.
    std::vector<int> shownForms() const {
        std::vector<int> shown;
        for (const auto& [mode, form] : forms) {
            if (form->isVisible()) shown.push_back(mode);
        }
        return shown;
    }
    void type(const QString& text) { QTest::keyClicks(dialog.ed_Pass, text); }
    void apply(const QString& password) {
        type(password);
        QTest::mouseClick(dialog.bt_RegCommOk, Qt::LeftButton);
    }
    bool dialogIdle() const {
        return dialog.isEnabled() && dialog.ed_Pass->isEnabled() &&
               dialog.bt_RegCommOk->isEnabled() && dialog.bt_RegCommNo->isEnabled();
    }
};

QString passwordOf(int mode) {
    return QString(8, QChar('0' + mode));
}

}  // namespace

void StatusWindowsTest::shortPasswordSendsNothing_data() {
    QTest::addColumn<QString>("password");
    QTest::newRow("empty") << "";
    QTest::newRow("seven digits") << "1111111";
}

void StatusWindowsTest::shortPasswordSendsNothing() {
    QFETCH(QString, password);
    EntryBench bench(1);
    bench.apply(password);
    QVERIFY(bench.rig.line.writes().empty());
    QVERIFY(bench.rig.frontEnd.boxes.empty());
    QVERIFY(bench.dialog.isVisible());
    QVERIFY(bench.dialogIdle());
    QCOMPARE(bench.dialog.ed_Pass->selectedText(), password);
    QCOMPARE(bench.form(1).preparations, 0);
}

void StatusWindowsTest::opensTheFormOfEachMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("modeBefore");  // the register's mode when the dialog opens
    QTest::addColumn<Codes>("sent");
    for (const int mode : kFormModes) {
        QTest::addRow("mode %d from selection", mode) << mode << 0 << Codes{0x45, 0x56};
        QTest::addRow("mode %d from X reports", mode) << mode << 2 << Codes{0x45, 0x52, 0x56};
    }
}

void StatusWindowsTest::opensTheFormOfEachMode() {
    QFETCH(int, mode);
    QFETCH(int, modeBefore);
    QFETCH(Codes, sent);
    EntryBench bench(mode);
    if (modeBefore != 0) bench.state().mode.set(static_cast<std::uint8_t>(modeBefore), 2);
    bench.rig.frontEnd.resultText = "stale";
    bench.apply(passwordOf(mode));

    QCOMPARE(bench.rig.commands, sent);
    QCOMPARE(int{bench.state().mode.mode}, mode);
    QVERIFY(bench.rig.frontEnd.boxes.empty());
    // Only the form of the mode is prepared, once, while still hidden, then shown.
    for (const int other : kFormModes) {
        QCOMPARE(bench.form(other).preparations, other == mode ? 1 : 0);
    }
    QVERIFY(!bench.form(mode).shownWhilePreparing);
    QCOMPARE(bench.shownForms(), std::vector<int>{mode});
    QVERIFY(!bench.dialog.isVisible());
    QVERIFY(bench.dialogIdle());
    QVERIFY(!bench.mainWindow.isEnabled());
    QCOMPARE(bench.form(mode).lastEntry.accessPassword, passwordOf(mode).toStdString());
    QVERIFY(bench.rig.frontEnd.resultText.empty());

    // Closing the form closes the hidden dialog and gives the main window back.
    bench.form(mode).close();
    QVERIFY(!bench.dialog.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
}

void StatusWindowsTest::formNotReadyGivesMainWindowBack() {
    EntryBench bench(5);
    bench.form(5).ready = false;
    bench.apply(passwordOf(5));
    QCOMPARE(bench.rig.commands, (Codes{0x45, 0x56}));
    QCOMPARE(bench.form(5).preparations, 1);
    QVERIFY(bench.shownForms().empty());
    QVERIFY(!bench.dialog.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
}

void StatusWindowsTest::modeWithoutFormIsNeverEntered_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<std::vector<int>>("modesWithForms");
    QTest::newRow("fiscal memory, no form") << 5 << std::vector<int>{1, 3};
    QTest::newRow("EKLZ, no form") << 6 << std::vector<int>{1, 3, 5};
    QTest::newRow("receipt, no form") << 1 << std::vector<int>{3, 5, 6};
    QTest::newRow("no forms at all") << 3 << std::vector<int>{};
    QTest::newRow("programming mode") << 4 << kFormModes;
    QTest::newRow("outside the modes") << 9 << kFormModes;
    QTest::newRow("negative") << -1 << kFormModes;
}

void StatusWindowsTest::modeWithoutFormIsNeverEntered() {
    QFETCH(int, mode);
    QFETCH(std::vector<int>, modesWithForms);
    EntryBench bench(mode, modesWithForms);
    for (const int each : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) {
        const bool registered =
            std::find(modesWithForms.begin(), modesWithForms.end(), each) != modesWithForms.end();
        QCOMPARE(bench.dialog.hasModeForm(each), registered);
    }
    bench.apply("11111111");

    QVERIFY(bench.rig.line.writes().empty());
    QVERIFY(bench.rig.frontEnd.boxes.empty());
    QCOMPARE(int{bench.state().mode.mode}, 0);
    QVERIFY(bench.shownForms().empty());
    QVERIFY(!bench.dialog.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
}

void StatusWindowsTest::failingExitSendsNoEntry() {
    EntryBench bench(3);
    bench.state().mode.set(ptk::sim::ModeRegistration);
    bench.state().receipt.kind = ptk::sim::ReceiptKind::Sale;  // an open receipt blocks the exit
    bench.apply("33333333");
    QCOMPARE(bench.rig.commands, (Codes{0x45, 0x52}));
    QCOMPARE(bench.boxTexts(),
             std::vector<std::string>{"89 - Открыт чек продажи - операция невозможна."});
    QVERIFY(bench.dialog.isVisible());
    QVERIFY(bench.dialogIdle());
    QCOMPARE(bench.form(3).preparations, 0);
    QVERIFY(bench.shownForms().empty());
}

void StatusWindowsTest::refusedPasswordKeepsDialogOpen() {
    EntryBench bench(1);
    bench.apply("12345678");
    QCOMPARE(bench.rig.commands, (Codes{0x45, 0x56}));
    QCOMPARE(bench.boxTexts(), std::vector<std::string>{"8C - Неверный пароль."});
    QCOMPARE(QString::fromStdString(bench.rig.frontEnd.resultText),
             QString("8C - Неверный пароль."));
    QVERIFY(bench.dialog.isVisible());
    QVERIFY(bench.dialogIdle());
    QCOMPARE(bench.dialog.ed_Pass->text(), QString("12345678"));
    QCOMPARE(bench.form(1).preparations, 0);
    QVERIFY(bench.shownForms().empty());
    QVERIFY(!bench.mainWindow.isEnabled());
}

void StatusWindowsTest::enterPressApplies() {
    EntryBench bench(1);
    bench.type("11111111");
    QTest::keyClick(bench.dialog.ed_Pass, Qt::Key_Return);
    QCOMPARE(bench.rig.commands, (Codes{0x45, 0x56}));
    QCOMPARE(bench.shownForms(), std::vector<int>{1});
}

void StatusWindowsTest::entryGoesOutShiftedWithoutDirectCodes() {
    EntryBench bench(1);
    bench.state().link.unshiftedCodes = false;
    bench.rig.session.exchange.setCodeSet(ptk::CodeSet::Shifted);
    std::vector<std::uint8_t> received;
    bench.rig.engine.setCommandObserver(
        [&](const ptk::sim::CommandRecord& record) { received.push_back(record.receivedCode); });
    bench.apply("11111111");
    QCOMPARE(received, (Codes{0x17, 0x28}));
    QCOMPARE(bench.state().mode.mode, ptk::sim::ModeRegistration);
}

void StatusWindowsTest::passwordFieldTakesDigitsOnly() {
    EntryBench bench(1);
    bench.type("12a3");
    QTest::sendKeyEvent(QTest::Click, bench.dialog.ed_Pass, Qt::Key_unknown, QString("д"),
                        Qt::NoModifier);
    QCOMPARE(bench.dialog.ed_Pass->text(), QString("123"));
    QCOMPARE(bench.rig.frontEnd.beeps, 2);
    // A paste that comes from no key (the context menu, Shift+Insert) is held to digits as well.
    QGuiApplication::clipboard()->setText("4b");
    bench.dialog.ed_Pass->paste();
    QCOMPARE(bench.dialog.ed_Pass->text(), QString("123"));
    QGuiApplication::clipboard()->setText("45");
    bench.dialog.ed_Pass->paste();
    QCOMPARE(bench.dialog.ed_Pass->text(), QString("12345"));
    QCOMPARE(bench.dialog.ed_Pass->maxLength(), 8);
    QCOMPARE(bench.dialog.ed_Pass->echoMode(), QLineEdit::Password);
}

void StatusWindowsTest::backspaceCorrectsPassword_data() {
    // Keys: digits type themselves, 'b' is Backspace, 'd' is Delete, 'h' is Home.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("last digit") << QString("1111112b11") << QString("11111111");
    QTest::newRow("all digits") << QString("999bbb11111111") << QString("11111111");
    QTest::newRow("on an empty field") << QString("bb11111111") << QString("11111111");
    QTest::newRow("first digit") << QString("21111111hdb1") << QString("11111111");
    QTest::newRow("full field") << QString("11111112b1") << QString("11111111");
    QTest::newRow("short after correction") << QString("1111111bb") << QString("11111");
}

void StatusWindowsTest::backspaceCorrectsPassword() {
    QFETCH(QString, keys);
    QFETCH(QString, text);
    EntryBench bench(1);
    for (const QChar key : keys) {
        if (key == 'b') {
            QTest::keyClick(bench.dialog.ed_Pass, Qt::Key_Backspace);
        } else if (key == 'd') {
            QTest::keyClick(bench.dialog.ed_Pass, Qt::Key_Delete);
        } else if (key == 'h') {
            QTest::keyClick(bench.dialog.ed_Pass, Qt::Key_Home);
        } else {
            QTest::keyClick(bench.dialog.ed_Pass, key.toLatin1());
        }
    }
    QCOMPARE(bench.dialog.ed_Pass->text(), text);
    QCOMPARE(bench.rig.frontEnd.beeps, 0);

    // The corrected password is the one that goes out; a short one still sends nothing.
    QTest::keyClick(bench.dialog.ed_Pass, Qt::Key_Return);
    const bool complete = text.size() == 8;
    QCOMPARE(bench.rig.commands, (complete ? Codes{0x45, 0x56} : Codes{}));
    QCOMPARE(bench.dialog.isVisible(), !complete);
    QCOMPARE(bench.form(1).lastEntry.accessPassword, complete ? text.toStdString() : std::string());
}

void StatusWindowsTest::cancelClosesDialog_data() {
    QTest::addColumn<bool>("byEsc");
    QTest::newRow("button") << false;
    QTest::newRow("Esc") << true;
}

void StatusWindowsTest::cancelClosesDialog() {
    QFETCH(bool, byEsc);
    EntryBench bench(5);
    bench.type("5555");
    if (byEsc) {
        QTest::keyClick(bench.dialog.ed_Pass, Qt::Key_Escape);
    } else {
        QTest::mouseClick(bench.dialog.bt_RegCommNo, Qt::LeftButton);
    }
    QVERIFY(!bench.dialog.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
    QVERIFY(bench.rig.line.writes().empty());
}

QTEST_MAIN(StatusWindowsTest)
#include "status_windows_test.moc"
