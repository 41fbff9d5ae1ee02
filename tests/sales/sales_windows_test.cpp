// The receipt, shift-closing and clock windows driven as the inspector drives them, against the
// simulated register in virtual time.
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>

#include <algorithm>
#include <memory>

#include "link/front_end.h"
#include "sales/Chek.h"
#include "sales/Datefr.h"
#include "sales/Gash.h"
#include "sales_rig.h"
#include "sim/commands_sales.h"
#include "support/child_window_bench.h"
#include "support/scoped_locale.h"

using ptk::MessageIcon;
using Box = ptk::testing::RecordingFrontEnd::Box;
using Codes = std::vector<std::uint8_t>;

namespace {

constexpr const char* kSuccess = "00 - Ошибок нет. Команда выполнена.";

// A register and the two windows a sales window hands control back to.
struct Bench : ptk::testing::ChildWindowBench<ptk::testing::SalesRig> {
    QWidget modeEntry;

    Bench() {
        // As during a mode entry: the main window disabled, the mode entry hidden but open.
        modeEntry.show();
        modeEntry.hide();
    }
    std::vector<Box>& boxes() { return rig.frontEnd.boxes; }
};

bool allEnabled(std::initializer_list<QWidget*> widgets) {
    for (QWidget* widget : widgets) {
        if (!widget->isEnabled()) return false;
    }
    return true;
}

void typeCharacter(QWidget* edit, QChar character) {
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

}  // namespace

class SalesWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void receiptIsPrinted_data();
    void receiptIsPrinted();
    void refusedPriceLeavesReceiptOpen_data();
    void refusedPriceLeavesReceiptOpen();
    void escPrintsReceipt();
    void numberEditsRefuseOtherKeys_data();
    void numberEditsRefuseOtherKeys();
    void numberEditsRefusePasteKey_data();
    void numberEditsRefusePasteKey();
    void closingReceiptHandsBack();
    void shiftReportAnswerStart_data();
    void shiftReportAnswerStart();
    void escStartsShiftReport();
    void closingShiftReportHandsBack();
    void dateAnsweredWithConfirmationRequest();
    void dateConfirmedOnSecondPress();
    void failedDateSendsNoTime_data();
    void failedDateSendsNoTime();
    void closingDateDialogEnablesMainWindow();
};

void SalesWindowsTest::receiptIsPrinted_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("price");
    QTest::newRow("comma") << QLocale(QLocale::Russian, QLocale::Russia) << "1,11";
    QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates) << "1.11";
}

// The receipt as the mode entry opens it: the sample price written with the workstation's
// decimal separator, section 2.
void SalesWindowsTest::receiptIsPrinted() {
    QFETCH(QLocale, locale);
    QFETCH(QString, price);
    Bench bench;
    bench.rig.enterMode(ptk::sim::ModeRegistration);
    Tfm_Chek chek(bench.rig.session);
    chek.setHandBack(&bench.mainWindow, &bench.modeEntry);
    chek.ed_Sek->setText("12");
    {
        const ptk::testing::ScopedLocale workstation(locale);
        QVERIFY(chek.prepareForEntry({}));
    }
    chek.show();
    QCOMPARE(chek.ed_Price->text(), price);
    QCOMPARE(chek.ed_Sek->text(), QString("2"));

    QTest::mouseClick(chek.bt_Chek, Qt::LeftButton);

    QCOMPARE(bench.rig.commands, (Codes{0x92, 0x48, 0x4A}));
    QVERIFY(bench.rig.tapeHas("1.11 X 1.000 = 1.11"));
    QVERIFY(bench.rig.tapeHas("СЕКЦИЯ 02"));
    QVERIFY(bench.boxes().empty());
    QCOMPARE(bench.rig.frontEnd.resultText, std::string(kSuccess));
    QVERIFY(!bench.rig.state().receipt.isOpen());
    QVERIFY(chek.isVisible());
    QVERIFY(allEnabled(
        {&chek, chek.pn_Chek, chek.ed_Price, chek.ed_Sek, chek.bt_Chek, chek.bt_ChekClose}));
}

void SalesWindowsTest::refusedPriceLeavesReceiptOpen_data() {
    QTest::addColumn<QString>("price");
    QTest::newRow("empty") << "";
    QTest::newRow("three decimals") << "1,111";
    QTest::newRow("eleven digits") << "12345678901";
    QTest::newRow("two separators") << "1,1.";
    QTest::newRow("separator alone") << ",";
}

void SalesWindowsTest::refusedPriceLeavesReceiptOpen() {
    QFETCH(QString, price);
    Bench bench;
    bench.rig.enterMode(ptk::sim::ModeRegistration);
    Tfm_Chek chek(bench.rig.session);
    chek.prepareForEntry({});
    chek.show();
    chek.ed_Price->setText(price);

    QTest::mouseClick(chek.bt_Chek, Qt::LeftButton);

    QCOMPARE(bench.rig.commands, Codes{0x92});
    QCOMPARE(bench.boxes(), (std::vector<Box>{{MessageIcon::Error, "Ошибка", "Неверный формат!",
                                               ptk::ui::ownerOf(&chek)}}));
    QVERIFY(bench.rig.state().receipt.isOpen());
    QVERIFY(chek.isVisible());
    QVERIFY(allEnabled(
        {&chek, chek.pn_Chek, chek.ed_Price, chek.ed_Sek, chek.bt_Chek, chek.bt_ChekClose}));

    // What the main window's "Отменить чек" sends.
    QVERIFY(bench.rig.send(0x59).succeeded());
    QVERIFY(!bench.rig.state().receipt.isOpen());
    QVERIFY(bench.rig.tapeHas("ЧЕК 0001 АННУЛИРОВАН"));
}

void SalesWindowsTest::escPrintsReceipt() {
    Bench bench;
    bench.rig.enterMode(ptk::sim::ModeRegistration);
    Tfm_Chek chek(bench.rig.session);
    chek.prepareForEntry({});
    chek.show();

    QTest::keyClick(chek.ed_Price, Qt::Key_Escape);
    QCOMPARE(bench.rig.commands, (Codes{0x92, 0x48, 0x4A}));
    QTest::keyClick(&chek, Qt::Key_Escape);
    QCOMPARE(bench.rig.commands.size(), std::size_t{6});
    QCOMPARE(bench.rig.state().totals.sales, 2u);
    QVERIFY(chek.isVisible());
}

void SalesWindowsTest::numberEditsRefuseOtherKeys_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QChar>("character");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("price letter") << "ed_Price" << QChar('a') << false;
    QTest::newRow("price Cyrillic") << "ed_Price" << QChar(0x0436) << false;
    QTest::newRow("price backspace") << "ed_Price" << QChar('\b') << false;
    QTest::newRow("price minus") << "ed_Price" << QChar('-') << false;
    QTest::newRow("price digit") << "ed_Price" << QChar('5') << true;
    QTest::newRow("price comma") << "ed_Price" << QChar(',') << true;
    QTest::newRow("price point") << "ed_Price" << QChar('.') << true;
    QTest::newRow("section letter") << "ed_Sek" << QChar('x') << false;
    QTest::newRow("section backspace") << "ed_Sek" << QChar('\b') << false;
    QTest::newRow("section comma") << "ed_Sek" << QChar(',') << false;
    QTest::newRow("section digit") << "ed_Sek" << QChar('7') << true;
}

void SalesWindowsTest::numberEditsRefuseOtherKeys() {
    QFETCH(QString, edit);
    QFETCH(QChar, character);
    QFETCH(bool, accepted);
    Bench bench;
    Tfm_Chek chek(bench.rig.session);
    chek.show();
    auto* field = chek.findChild<QLineEdit*>(edit);
    QVERIFY(field != nullptr);
    field->setText("1");
    field->end(false);

    if (character == QChar('\b')) {
        QTest::keyClick(field, Qt::Key_Backspace);
    } else {
        typeCharacter(field, character);
    }

    QCOMPARE(field->text(), accepted ? QString("1") + character : QString("1"));
    QCOMPARE(bench.rig.frontEnd.beeps, accepted ? 0 : 1);
    // Keys that type nothing still work.
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text().size(), accepted ? 1 : 0);
    QCOMPARE(bench.rig.frontEnd.beeps, accepted ? 0 : 1);
    QVERIFY(bench.rig.commands.empty());
}

void SalesWindowsTest::numberEditsRefusePasteKey_data() {
    QTest::addColumn<QString>("edit");
    QTest::newRow("price") << "ed_Price";
    QTest::newRow("section") << "ed_Sek";
}

// Ctrl+V types a control character like any other key, and the number edits drop it: letters
// on the clipboard do not get in that way.
void SalesWindowsTest::numberEditsRefusePasteKey() {
    QFETCH(QString, edit);
    Bench bench;
    Tfm_Chek chek(bench.rig.session);
    chek.show();
    auto* field = chek.findChild<QLineEdit*>(edit);
    QVERIFY(field != nullptr);
    field->setText("1");
    field->end(false);
    QGuiApplication::clipboard()->setText("x");

    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);

    QCOMPARE(field->text(), QString("1"));
    QCOMPARE(bench.rig.frontEnd.beeps, 1);
}

void SalesWindowsTest::closingReceiptHandsBack() {
    for (const bool byButton : {true, false}) {
        Bench bench;
        Tfm_Chek chek(bench.rig.session);
        chek.setHandBack(&bench.mainWindow, &bench.modeEntry);
        chek.prepareForEntry({});
        chek.show();
        bench.rig.frontEnd.setResultText("9A - Чек закрыт - операция невозможна.");

        if (byButton) {
            QTest::mouseClick(chek.bt_ChekClose, Qt::LeftButton);
        } else {
            chek.close();
        }

        QVERIFY(!chek.isVisible());
        QVERIFY(!bench.modeEntry.isVisible());
        QVERIFY(bench.mainWindow.isEnabled());
        QCOMPARE(bench.rig.frontEnd.resultText, std::string());
        QVERIFY(chek.isEnabled());
        // The next mode entry enables the close button again.
        QVERIFY(!chek.bt_ChekClose->isEnabled());
        chek.prepareForEntry({});
        QVERIFY(chek.bt_ChekClose->isEnabled());
        QVERIFY(bench.rig.commands.empty());
    }
}

void SalesWindowsTest::shiftReportAnswerStart_data() {
    QTest::addColumn<qulonglong>("answerStartUs");
    QTest::addColumn<bool>("served");
    QTest::newRow("39 s") << qulonglong{39'000'000} << true;
    QTest::newRow("40 s") << qulonglong{40'100'000} << false;
}

void SalesWindowsTest::shiftReportAnswerStart() {
    QFETCH(qulonglong, answerStartUs);
    QFETCH(bool, served);
    Bench bench;
    bench.rig.enterMode(ptk::sim::ModeZReports);
    bench.rig.state().shift.open = true;
    bench.rig.faults().answerDelayUs = answerStartUs - ptk::sim::kShiftReportWorkUs;
    bench.rig.faults().delayedAnswers = 1;
    Tfm_Gash gash(bench.rig.session);
    gash.show();

    QTest::mouseClick(gash.bt_Otch, Qt::LeftButton);

    QCOMPARE(bench.rig.commands, Codes{0x5A});
    if (served) {
        QVERIFY(bench.boxes().empty());
        QCOMPARE(bench.rig.frontEnd.resultText, std::string(kSuccess));
    } else {
        QCOMPARE(
            bench.boxes(),
            (std::vector<Box>{{MessageIcon::Error, "Ошибка", "Нет ответа!", ptk::OwnerHandle{}}}));
    }
    QVERIFY(gash.isVisible());
    QVERIFY(allEnabled({&gash, gash.pn_Gash, gash.bt_Otch, gash.bt_GashClose}));
}

void SalesWindowsTest::escStartsShiftReport() {
    Bench bench;
    bench.rig.enterMode(ptk::sim::ModeZReports);
    bench.rig.state().shift.open = true;
    Tfm_Gash gash(bench.rig.session);
    gash.show();

    QTest::keyClick(&gash, Qt::Key_Escape);
    QCOMPARE(bench.rig.commands, Codes{0x5A});
    QVERIFY(bench.rig.tapeHas("СМЕНА ЗАКРЫТА"));

    // The shift is closed now: the register refuses the second report, the dialog stays.
    QTest::keyClick(gash.bt_Otch, Qt::Key_Escape);
    QCOMPARE(bench.rig.commands, (Codes{0x5A, 0x5A}));
    QCOMPARE(bench.rig.frontEnd.boxTexts(),
             std::vector<std::string>{"8F - Обнуленная касса (повторное гашение невозможно)."});
    QVERIFY(gash.isVisible());
    QVERIFY(allEnabled({&gash, gash.pn_Gash, gash.bt_Otch, gash.bt_GashClose}));
}

void SalesWindowsTest::closingShiftReportHandsBack() {
    for (const bool byButton : {true, false}) {
        Bench bench;
        Tfm_Gash gash(bench.rig.session);
        gash.setHandBack(&bench.mainWindow, &bench.modeEntry);
        gash.show();
        bench.rig.frontEnd.setResultText("8F - Обнуленная касса (повторное гашение невозможно).");

        if (byButton) {
            QTest::mouseClick(gash.bt_GashClose, Qt::LeftButton);
        } else {
            gash.close();
        }

        QVERIFY(!gash.isVisible());
        QVERIFY(!bench.modeEntry.isVisible());
        QVERIFY(bench.mainWindow.isEnabled());
        QCOMPARE(bench.rig.frontEnd.resultText, std::string());
        QVERIFY(allEnabled({&gash, gash.bt_Otch, gash.bt_GashClose}));
        QVERIFY(bench.rig.commands.empty());
    }
}

void SalesWindowsTest::dateAnsweredWithConfirmationRequest() {
    Bench bench;
    bench.rig.state().clock.set({2013, 5, 7, 9, 5, 0}, 0);
    Tfm_DateFR dateFR(bench.rig.session);
    dateFR.setTodaySource([] { return QDate(2024, 3, 15); });
    dateFR.show();
    dateFR.ed_Date->setDate(QDate(2000, 1, 1));
    dateFR.ed_Time->setTime(QTime(0, 0, 0));

    QTest::mouseClick(dateFR.bt_DateOk, Qt::LeftButton);

    QCOMPARE(bench.rig.commands, Codes{0x64});
    QCOMPARE(bench.rig.messages[0], (Codes{0x73, 0x01, 0x64, 0x01, 0x01, 0x00}));
    QCOMPARE(bench.boxes(),
             (std::vector<Box>{{MessageIcon::Warning, "Предупреждение",
                                "Требуется повторный ввод даты", ptk::OwnerHandle{}}}));
    QCOMPARE(bench.rig.frontEnd.resultText,
             std::string("16 - Требуется подтверждение ввода даты."));
    QCOMPARE(dateFR.ed_Date->date(), QDate(2024, 3, 15));
    QVERIFY(dateFR.isVisible());
    QVERIFY(allEnabled(
        {&dateFR, dateFR.ed_Date, dateFR.ed_Time, dateFR.bt_DateOk, dateFR.bt_DateFRExit}));
}

void SalesWindowsTest::dateConfirmedOnSecondPress() {
    Bench bench;
    bench.rig.state().clock.set({2013, 5, 7, 9, 5, 0}, 0);
    Tfm_DateFR dateFR(bench.rig.session);
    dateFR.setTodaySource([] { return QDate(2099, 12, 31); });
    dateFR.show();
    dateFR.ed_Date->setDate(QDate(2099, 12, 31));
    dateFR.ed_Time->setTime(QTime(9, 5, 7));

    QTest::mouseClick(dateFR.bt_DateOk, Qt::LeftButton);
    QCOMPARE(bench.rig.commands, Codes{0x64});
    QTest::mouseClick(dateFR.bt_DateOk, Qt::LeftButton);

    QCOMPARE(bench.rig.commands, (Codes{0x64, 0x64, 0x4B}));
    QCOMPARE(bench.rig.messages[1], (Codes{0x73, 0x01, 0x64, 0x31, 0x12, 0x99}));
    QCOMPARE(bench.rig.messages[2], (Codes{0x73, 0x01, 0x4B, 0x09, 0x05, 0x07}));
    QCOMPARE(bench.rig.frontEnd.resultText, std::string(kSuccess));
    QCOMPARE(bench.boxes().size(), std::size_t{1});  // the warning of the first press
    const auto now = bench.rig.state().clock.now(bench.rig.clock.nowUs());
    QCOMPARE(now, (ptk::sim::DateTime{2099, 12, 31, 9, 5, 7}));
    QVERIFY(dateFR.isVisible());
}

void SalesWindowsTest::failedDateSendsNoTime_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("timeSent");
    QTest::newRow("device error") << 0 << "94 - Неверная дата." << false;
    QTest::newRow("silent register") << 1 << "Нет ответа!" << false;
    QTest::newRow("checksum failure") << 2 << "Ошибка контрольной суммы!" << true;
}

void SalesWindowsTest::failedDateSendsNoTime() {
    QFETCH(int, fault);
    QFETCH(QString, box);
    QFETCH(bool, timeSent);
    Bench bench;
    auto& faults = bench.rig.faults();
    if (fault == 0) faults.errors.push_back({0x64, 0x94, 1});
    if (fault == 1) faults.silentAt(ptk::sim::SilentStep::AnswerRequest) = 1;
    if (fault == 2) faults.badChecksumAnswers = 6;
    Tfm_DateFR dateFR(bench.rig.session);
    dateFR.show();
    const auto today = bench.rig.state().clock.now(0);
    dateFR.ed_Date->setDate(QDate(today.year, today.month, today.day));

    QTest::mouseClick(dateFR.bt_DateOk, Qt::LeftButton);

    QVERIFY(!bench.boxes().empty());
    QCOMPARE(QString::fromStdString(bench.boxes().front().text), box);
    QCOMPARE(bench.boxes().front().icon, MessageIcon::Error);
    // Whether the program went on to the time: a second transaction asks for the line again,
    // whatever then becomes of it (a register still repeating a refused answer may spoil it).
    const auto& writes = bench.rig.line.writes();
    const auto lineRequests = std::count_if(
        writes.begin(), writes.end(), [](const auto& write) { return write.bytes == Codes{0x05}; });
    const bool timeWent = lineRequests > 1;
    QCOMPARE(timeWent, timeSent);
    QVERIFY(dateFR.isVisible());
    QVERIFY(allEnabled(
        {&dateFR, dateFR.ed_Date, dateFR.ed_Time, dateFR.bt_DateOk, dateFR.bt_DateFRExit}));
}

void SalesWindowsTest::closingDateDialogEnablesMainWindow() {
    Bench bench;
    Tfm_DateFR dateFR(bench.rig.session);
    dateFR.setMainWindow(&bench.mainWindow);
    dateFR.show();
    QTest::mouseClick(dateFR.bt_DateFRExit, Qt::LeftButton);
    QVERIFY(!dateFR.isVisible());
    QVERIFY(bench.mainWindow.isEnabled());
    QVERIFY(bench.rig.commands.empty());
}

QTEST_MAIN(SalesWindowsTest)
#include "sales_windows_test.moc"
