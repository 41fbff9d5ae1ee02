// The main menu's report items and mode entry with the program's real windows, against the
// simulated register in virtual time.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "app/window_bench.h"
#include "sales/Chek.h"
#include "status/Regcomm.h"
#include "status/Reginf.h"
#include "status/Sosteklz.h"
#include "status/Sostfr.h"
#include "ui/sample_mode_form.h"

using ptk::testing::WindowBench;
using Codes = std::vector<std::uint8_t>;

namespace {

// The program started and connected to a register in the selection mode, with what the connect
// sequence sent forgotten.
struct MenuBench : WindowBench {
    MenuBench() {
        startAndConnect();
        records.clear();
        alerts.boxes.clear();
    }
    Codes codes() const {
        Codes all;
        for (const auto& record : records) all.push_back(record.code);
        return all;
    }
    bool mainIdle() { return main().isEnabled() && main().mi_Chek->isEnabled(); }
};

}  // namespace

class StatusMenuTest : public QObject {
    Q_OBJECT

private slots:
    void stateReport_data();
    void stateReport();
    void registrationReport_data();
    void registrationReport();
    void eklzReport_data();
    void eklzReport();
    void modeEntryOpensReceipt();
    void modeItemsFollowTheRegisteredForms();
};

void StatusMenuTest::stateReport_data() {
    QTest::addColumn<int>("fault");  // 0 none, 1 state refused, 2 printer state unanswered
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("both answered") << 0 << true << 29 << QStringList();
    QTest::newRow("state refused") << 1 << true << 4 << QStringList{"68 - Нет связи с принтером."};
    QTest::newRow("printer state unanswered") << 2 << false << 0 << QStringList{"Нет ответа!"};
}

void StatusMenuTest::stateReport() {
    QFETCH(int, fault);
    QFETCH(bool, opens);
    QFETCH(int, lines);
    QFETCH(QStringList, boxes);
    MenuBench bench;
    auto& report = *bench.windows->fm_SostFR;
    if (fault == 1) bench.engine.faults().errors.push_back({0x3F, 0x68, 1});
    if (fault == 2) {
        bench.duringCommand = [&](const ptk::sim::CommandRecord& record) {
            if (record.code == 0x3F) {
                bench.engine.faults().silentAt(ptk::sim::SilentStep::LineAck) = ptk::sim::kAlways;
            }
        };
    }

    bench.main().mi_SostKKM->trigger();
    QCOMPARE(bench.codes(), (fault == 2 ? Codes{0x3F} : Codes{0x3F, 0x45}));
    QCOMPARE(bench.alerts.texts(), boxes);
    QCOMPARE(report.isVisible(), opens);
    QCOMPARE(bench.mainIdle(), !opens);
    if (opens) {
        QCOMPARE(report.mem_SostFR->toPlainText().split('\n').size(), lines);
        QCOMPARE(report.focusWidget(), report.bt_SostFRExit);
        report.bt_SostFRExit->click();
        QVERIFY(!report.isVisible());
        QVERIFY(bench.mainIdle());
    }
}

void StatusMenuTest::registrationReport_data() {
    QTest::addColumn<int>("failingRegister");  // 0: none
    QTest::addColumn<Codes>("sent");
    QTest::newRow("all read") << 0 << Codes{0x91, 0x91, 0x91};
    QTest::newRow("26 refused") << 26 << Codes{0x91};
    QTest::newRow("27 refused") << 27 << Codes{0x91, 0x91};
    QTest::newRow("28 refused") << 28 << Codes{0x91, 0x91, 0x91};
}

void StatusMenuTest::registrationReport() {
    QFETCH(int, failingRegister);
    QFETCH(Codes, sent);
    MenuBench bench;
    auto& report = *bench.windows->fm_RegInf;
    bench.duringCommand = [&](const ptk::sim::CommandRecord& record) {
        // Refuse the read of the failing register from the next command on.
        if (record.code == 0x91 && record.message.at(3) + 1 == failingRegister) {
            bench.engine.faults().errors.push_back({0x91, 0x6C, 1});
        }
    };
    if (failingRegister == 26) bench.engine.faults().errors.push_back({0x91, 0x6C, 1});

    bench.main().mi_RegInf->trigger();
    QCOMPARE(bench.codes(), sent);
    QCOMPARE(report.isVisible(), failingRegister == 0);
    QCOMPARE(bench.mainIdle(), failingRegister != 0);
    if (failingRegister != 0) {
        QCOMPARE(bench.alerts.texts(), QStringList{"6C - Неверный номер регистра."});
    } else {
        QCOMPARE(report.focusWidget(), report.bt_RegInfExit);
    }
}

void StatusMenuTest::eklzReport_data() {
    QTest::addColumn<bool>("refused");
    QTest::newRow("answered") << false;
    QTest::newRow("refused") << true;
}

void StatusMenuTest::eklzReport() {
    QFETCH(bool, refused);
    MenuBench bench;
    auto& report = *bench.windows->fm_SostEKLZ;
    if (refused) bench.engine.faults().errors.push_back({0xAE, 0xD4, 1});

    bench.main().mi_SostEKLZ->trigger();
    QCOMPARE(bench.codes(), Codes{0xAE});
    QCOMPARE(report.isVisible(), !refused);
    QCOMPARE(bench.mainIdle(), refused);
    if (!refused) {
        QCOMPARE(report.focusWidget(), report.bt_SostEKLZExit);
        report.close();
        QVERIFY(bench.mainIdle());
    }
}

void StatusMenuTest::modeEntryOpensReceipt() {
    MenuBench bench;
    auto& dialog = *bench.windows->fm_RegComm;
    bench.main().mi_Chek->trigger();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowTitle(), QString("ВХОД В РЕЖИМ РЕГИСТРАЦИЙ"));
    QVERIFY(!bench.main().isEnabled());

    QTest::keyClicks(dialog.ed_Pass, "11111111");
    QTest::keyClick(dialog.ed_Pass, Qt::Key_Return);
    QCOMPARE(bench.codes(), (Codes{0x45, 0x56}));
    auto& receipt = *static_cast<Tfm_Chek*>(bench.windows->fm_Chek.get());
    QVERIFY(receipt.isVisible());
    QVERIFY(!dialog.isVisible());
    QVERIFY(!bench.main().isEnabled());

    receipt.close();
    QVERIFY(!dialog.isVisible());
    QVERIFY(bench.mainIdle());
}

// The main menu offers a mode exactly when the mode-entry dialog has a form for it, and a form
// registered at start is opened through the menu like the receipt.
void StatusMenuTest::modeItemsFollowTheRegisteredForms() {
    MenuBench bench;
    auto& dialog = *bench.windows->fm_RegComm;
    ptk::testing::SampleModeForm fiscalMemory;
    const auto items = [&] {
        return std::vector<bool>{
            bench.main().mi_Chek->isEnabled(), bench.main().mi_Gash->isEnabled(),
            bench.main().mi_FiskPam->isEnabled(), bench.main().mi_EKLZ->isEnabled()};
    };
    QCOMPARE(items(), (std::vector<bool>{true, true, true, true}));
    // Without their forms, the items of the fiscal memory and the EKLZ go.
    dialog.setModeForm(5, nullptr);
    dialog.setModeForm(6, nullptr);
    bench.main().updateMenu();
    QCOMPARE(items(), (std::vector<bool>{true, true, false, false}));

    // Triggered anyway, an item without a form opens nothing.
    bench.main().mi_FiskPam->trigger();
    QVERIFY(!dialog.isVisible());
    QVERIFY(bench.mainIdle());

    dialog.setModeForm(5, &fiscalMemory);
    dialog.setModeForm(1, nullptr);
    bench.main().updateMenu();
    QCOMPARE(items(), (std::vector<bool>{false, true, true, false}));
    bench.main().mi_Chek->trigger();
    QVERIFY(!dialog.isVisible());

    bench.main().mi_FiskPam->trigger();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowTitle(), QString("ВХОД В РЕЖИМ ДОСТУПА К ФП"));
    QTest::keyClicks(dialog.ed_Pass, "55555555");
    QTest::keyClick(dialog.ed_Pass, Qt::Key_Return);
    QCOMPARE(bench.codes(), (Codes{0x45, 0x56}));
    QCOMPARE(bench.records.back().message.at(3), std::uint8_t{5});
    QCOMPARE(fiscalMemory.preparations, 1);
    QVERIFY(fiscalMemory.isVisible());
    QVERIFY(!bench.main().isEnabled());

    fiscalMemory.close();
    QVERIFY(!dialog.isVisible());
    QVERIFY(bench.main().isEnabled());
}

QTEST_MAIN(StatusMenuTest)
#include "status_menu_test.moc"
