// The EKLZ dialog as the program opens it: the main menu's "ЭКЛЗ", the mode entry for the EKLZ
// access mode, an operation with the program's own boxes, and the way back to the main menu.
// Also run under ThreadSanitizer.
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/window_bench.h"
#include "eklz/Eklz.h"
#include "eklz_rig.h"
#include "status/Regcomm.h"

using ptk::testing::WindowBench;
using Codes = std::vector<std::uint8_t>;

class EklzMenuTest : public QObject {
    Q_OBJECT

private slots:
    void menuOpensTheDialogInTheEklzMode();
};

void EklzMenuTest::menuOpensTheDialogInTheEklzMode() {
    WindowBench bench;
    ptk::testing::setUpEklz(bench.state());
    bench.state().mode.set(ptk::sim::ModeSelection);
    bench.state().eklz.activated = false;
    bench.startAndConnect();
    // Never painted: painting hands work to Qt's own thread pool, whose hand-over inside Qt's
    // libraries ThreadSanitizer cannot follow. Shown and hidden all the same.
    for (QWidget* window : std::initializer_list<QWidget*>{bench.windows->fm_MainFr.get(),
                                                           bench.windows->fm_RegComm.get(),
                                                           bench.windows->fm_EKLZ.get()}) {
        window->setUpdatesEnabled(false);
    }
    bench.records.clear();
    auto& main = bench.main();
    auto& dialog = *bench.windows->fm_RegComm;
    auto& eklz = *bench.windows->fm_EKLZ;
    QVERIFY(main.mi_EKLZ->isEnabled());
    // Left as the last opening may have left them.
    eklz.ed_KPK->setText("5");
    eklz.pg_Otch->setCurrentWidget(eklz.tbch_OtchNumSm);

    main.mi_EKLZ->trigger();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowTitle(), QString("ВХОД В РЕЖИМ ДОСТУПА К ЭКЛЗ"));
    QTest::keyClicks(dialog.ed_Pass, "66666666");
    QTest::keyClick(dialog.ed_Pass, Qt::Key_Return);

    QCOMPARE(bench.receivedCodes(), (Codes{0x45, 0x56}));
    QCOMPARE(bench.records.back().message.at(3), std::uint8_t{6});
    QVERIFY(eklz.isVisible());
    QVERIFY(!dialog.isVisible());
    QVERIFY(!main.isEnabled());
    QVERIFY(eklz.ed_KPK->text().isEmpty());
    QCOMPARE(eklz.pg_Otch->currentWidget(), eklz.tbch_OtchDate);
    QVERIFY(!eklz.bt_StopReport->isEnabled());

    // The question belongs to the dialog; the register's answer is shown by the transaction.
    bench.alerts.answers = {true};
    QTest::mouseClick(eklz.bt_Aktiv, Qt::LeftButton);
    QCOMPARE(bench.receivedCodes().back(), std::uint8_t{0xA6});
    QCOMPARE(bench.alerts.boxes.size(), std::size_t{1});
    QCOMPARE(bench.alerts.boxes.front().ownerWindow, &eklz);
    QCOMPARE(main.ed_rezult->text(), QString("00 - Ошибок нет. Команда выполнена."));
    QVERIFY(bench.state().eklz.activated);

    QTest::mouseClick(eklz.bt_EKLZClose, Qt::LeftButton);
    QVERIFY(!eklz.isVisible());
    QVERIFY(!dialog.isVisible());
    QVERIFY(main.isEnabled());
    QVERIFY(main.ed_rezult->text().isEmpty());
    // Closing sends nothing: the register stays in its mode.
    QCOMPARE(bench.receivedCodes().back(), std::uint8_t{0xA6});
    QCOMPARE(bench.state().mode.mode, std::uint8_t{ptk::sim::ModeEklz});
}

QTEST_MAIN(EklzMenuTest)
#include "eklz_menu_test.moc"
