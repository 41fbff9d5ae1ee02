// The main window as the inspector meets it: the connect sequence, the menu, its questions and
// the commands it sends, against the simulated register in virtual time.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/Help.h"
#include "app/folder_search_animation.h"
#include "app/window_bench.h"
#include "fiscal_memory/Avarreport.h"
#include "settings/Config.h"
#include "status/Regcomm.h"

using ptk::MessageIcon;
using ptk::testing::WindowBench;
using Codes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Codes)

namespace {

constexpr auto kNoErrors = "00 - Ошибок нет. Команда выполнена.";

QStringList captionsOf(const QList<QAction*>& actions) {
    QStringList captions;
    for (const QAction* action : actions)
        captions << (action->isSeparator() ? "-" : action->text());
    return captions;
}

// The seven top-level items that the busy state disables.
QList<QAction*> busySet(ptk::ui::Tfm_MainFr& main) {
    return {main.mi_Config->menuAction(),
            main.mi_Chek,
            main.mi_Gash,
            main.mi_FiskPam,
            main.mi_EKLZ,
            main.mi_Help,
            main.mi_Exit};
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsItsSizeAndHidesTheAnimation();
    void menuHasItsItemsInOrder();
    void everyMenuItemIsOfferedWhenIdle();
    void connectSequence_data();
    void connectSequence();
    void connectRunsBusyWithTheAnimation();
    void connectRunsOncePerRun();
    void showingTheWindowConnects();
    void missingPortLeavesAnIdleWindowWithTheFullMenu();
    void exitQuestion_data();
    void exitQuestion();
    void leaveModeQuestion_data();
    void leaveModeQuestion();
    void cancelReceiptQuestion_data();
    void cancelReceiptQuestion();
    void refusedCommandReachesResultFieldAndBox();
    void aboutBoxDisablesMainWindowUntilClosed();
    void emergencyReportTakesAStopWhileItsCommandRuns();
};

void MainWindowTest::windowKeepsItsSizeAndHidesTheAnimation() {
    WindowBench bench;
    bench.start();
    auto& main = bench.main();
    QCOMPARE(main.centralWidget()->size(), QSize(670, 491));
    // Fixed border: the window cannot be resized, from the start.
    QCOMPARE(main.minimumSize(), main.maximumSize());
    QVERIFY(main.pn_Animate->isHidden());
    QVERIFY(!main.an_Animate->isActive());
}

void MainWindowTest::menuHasItsItemsInOrder() {
    WindowBench bench;
    bench.start();
    auto& main = bench.main();
    QCOMPARE(captionsOf(main.menuBar()->actions()),
             QStringList({"Конфигуратор", "Чек", "Гашение", "Фискальная память", "ЭКЛЗ",
                          "О программе", "Выход"}));
    QCOMPARE(captionsOf(main.mi_Config->actions()),
             QStringList({"Настройка ...", "-", "Запрос регистрационной информации ПТК",
                          "Запрос состояния ПТК", "Запрос состояния ЭКЛЗ", "Аварийный отчет по ФП",
                          "Установить дату", "-", "Выход из текущего режима", "Отменить чек"}));
}

void MainWindowTest::everyMenuItemIsOfferedWhenIdle() {
    WindowBench bench;
    bench.start();
    auto& main = bench.main();
    QList<QAction*> items = main.menuBar()->actions() + main.mi_Config->actions();
    for (QAction* item : items) {
        QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));
    }
}

void MainWindowTest::connectSequence_data() {
    QTest::addColumn<int>("modeByte");
    QTest::addColumn<bool>("knowsProbe");
    QTest::addColumn<Codes>("codes");
    QTest::addRow("register idle") << 0x00 << true << Codes{0xE0, 0x45};
    QTest::addRow("register left in a mode") << 0x13 << true << Codes{0xE0, 0x45, 0x52};
    QTest::addRow("model without the probe") << 0x00 << false << Codes{0xE0, 0x45};
}

void MainWindowTest::connectSequence() {
    QFETCH(int, modeByte);
    QFETCH(bool, knowsProbe);
    QFETCH(Codes, codes);
    WindowBench bench;
    bench.state().mode.set(modeByte & 0x0F, modeByte >> 4);
    bench.state().link.knowsProbe = knowsProbe;
    bench.session.exchange.setCodeSet(ptk::CodeSet::AsWritten);
    bench.startAndConnect();

    QCOMPARE(bench.receivedCodes(), codes);
    // The probe went out while codes were shifted (it is the one code that never is), the rest
    // as written.
    QCOMPARE(bench.session.exchange.codeSet(), ptk::CodeSet::AsWritten);
    QCOMPARE(bench.session.channel.currentPort(), WindowBench::kPort);
    QCOMPARE(bench.state().mode.mode, std::uint8_t{0});
    QVERIFY(bench.alerts.boxes.empty());
    auto& main = bench.main();
    QVERIFY(main.started());
    QVERIFY(main.isEnabled());
    QVERIFY(main.ed_rezult->text().isEmpty());
    QVERIFY(main.pn_Animate->isHidden());
    QVERIFY(!main.an_Animate->isActive());
    for (QAction* item : busySet(main)) {
        if (item == main.mi_Config->menuAction() || item == main.mi_Exit)
            QVERIFY(item->isEnabled());
    }
}

void MainWindowTest::connectRunsBusyWithTheAnimation() {
    WindowBench bench;
    bench.state().mode.set(1);
    struct Seen {
        bool windowEnabled;
        bool anyBusyItemEnabled;
        bool panelShown;
        bool animating;
    };
    std::vector<Seen> seen;
    bench.start();
    auto& main = bench.main();
    main.show();
    bench.duringCommand = [&](const ptk::sim::CommandRecord&) {
        bool anyEnabled = false;
        for (QAction* item : busySet(main)) anyEnabled = anyEnabled || item->isEnabled();
        seen.push_back({main.isEnabled(), anyEnabled, main.pn_Animate->isVisible(),
                        main.an_Animate->isActive()});
    };
    main.FormActivate();
    QCOMPARE(seen.size(), std::size_t{3});
    for (const Seen& s : seen) {
        QVERIFY(!s.windowEnabled);
        QVERIFY(!s.anyBusyItemEnabled);
        QVERIFY(s.panelShown);
        QVERIFY(s.animating);
    }
    QVERIFY(main.isEnabled());
    QVERIFY(!main.pn_Animate->isVisible());
}

void MainWindowTest::connectRunsOncePerRun() {
    WindowBench bench;
    bench.state().mode.set(1);
    bench.startAndConnect();
    const std::size_t afterConnect = bench.records.size();
    QCOMPARE(afterConnect, std::size_t{3});

    // The register is put in a mode again; a reactivated main window must not take it out.
    bench.state().mode.set(1);
    auto& main = bench.main();
    main.show();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&main, &activate);
    main.FormActivate();
    QTest::qWait(20);
    QCOMPARE(bench.records.size(), afterConnect);
    QCOMPARE(bench.state().mode.mode, std::uint8_t{1});
}

void MainWindowTest::showingTheWindowConnects() {
    WindowBench bench;
    bench.start();
    bench.main().show();
    QTRY_VERIFY(bench.main().started());
    QCOMPARE(bench.receivedCodes(), (Codes{0xE0, 0x45}));
}

void MainWindowTest::missingPortLeavesAnIdleWindowWithTheFullMenu() {
    WindowBench bench;
    bench.directory.write("num_port.ini", "COM5\n");
    bool idleWhilePortMessageShown = false;
    bench.alerts.whileShown = [&](const ptk::testing::RecordingAlerts::Box& box) {
        if (box.text == "Порт недоступен!") idleWhilePortMessageShown = !bench.main().busy();
    };
    bench.startAndConnect();

    QVERIFY(bench.alerts.boxes.size() >= 1);
    const auto& first = bench.alerts.boxes.front();
    QCOMPARE(first.text, QString("Порт недоступен!"));
    QCOMPARE(first.caption, QString("Ошибка"));
    QCOMPARE(first.icon, MessageIcon::Error);
    QVERIFY(!first.question);
    QVERIFY(idleWhilePortMessageShown);
    // The sequence goes on and the link tells its own failure once.
    QCOMPARE(bench.alerts.texts(), QStringList({"Порт недоступен!", "Нет связи!"}));
    QVERIFY(bench.records.empty());

    auto& main = bench.main();
    QVERIFY(main.started());
    QVERIFY(main.isEnabled());
    QVERIFY(main.mi_Config->menuAction()->isEnabled());
    QVERIFY(main.mi_Nastr->isEnabled());
    QVERIFY(main.mi_ExitRegim->isEnabled());
    QVERIFY(main.mi_Help->isEnabled());
    QVERIFY(main.mi_Exit->isEnabled());
    QCOMPARE(bench.session.channel.currentPort(), 4);
}

void MainWindowTest::exitQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::addRow("yes") << true;
    QTest::addRow("no") << false;
}

void MainWindowTest::exitQuestion() {
    QFETCH(bool, yes);
    WindowBench bench;
    bench.startAndConnect();
    auto& main = bench.main();
    main.show();
    bench.alerts.answers = {yes};
    main.mi_Exit->trigger();

    QCOMPARE(bench.alerts.boxes.size(), std::size_t{1});
    const auto& box = bench.alerts.boxes[0];
    QVERIFY(box.question);
    QCOMPARE(box.caption, QString("Вопрос"));
    QCOMPARE(box.icon, MessageIcon::Question);
    QCOMPARE(box.text, QString("Вы действительно хотите выйти из программы?"));
    QVERIFY(box.owner == ptk::ui::ownerOf(&main));
    QCOMPARE(box.ownerWindow, static_cast<QWidget*>(&main));
    // Yes closes the window and the port; No leaves everything as it was.
    QCOMPARE(main.isVisible(), !yes);
    QCOMPARE(bench.session.channel.portSlot(WindowBench::kPort).device == nullptr, yes);
    QVERIFY(main.isEnabled());
}

void MainWindowTest::leaveModeQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::addRow("yes") << true;
    QTest::addRow("no") << false;
}

void MainWindowTest::leaveModeQuestion() {
    QFETCH(bool, yes);
    WindowBench bench;
    bench.startAndConnect();
    bench.records.clear();
    bench.state().mode.set(2);
    auto& main = bench.main();
    main.ed_rezult->setText("earlier result");
    bool busyDuringCommand = false;
    bench.duringCommand = [&](const ptk::sim::CommandRecord&) {
        busyDuringCommand = !main.isEnabled() && !main.mi_Config->menuAction()->isEnabled();
    };
    bench.alerts.answers = {yes};
    main.mi_ExitRegim->trigger();

    QCOMPARE(bench.alerts.texts(),
             QStringList({"Выйти из текущего режима и \nвернуться в состояние <<Выбор>> ?"}));
    QVERIFY(bench.alerts.boxes[0].question);
    QCOMPARE(bench.receivedCodes(), yes ? Codes{0x52} : Codes{});
    QCOMPARE(int{bench.state().mode.mode}, yes ? 0 : 2);
    QCOMPARE(busyDuringCommand, yes);
    QCOMPARE(main.ed_rezult->text(), yes ? QString(kNoErrors) : QString());
    QVERIFY(main.isEnabled());
    QVERIFY(main.mi_Config->menuAction()->isEnabled());
}

void MainWindowTest::cancelReceiptQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::addRow("yes") << true;
    QTest::addRow("no") << false;
}

void MainWindowTest::cancelReceiptQuestion() {
    QFETCH(bool, yes);
    WindowBench bench;
    bench.state().mode.set(1);
    bench.startAndConnect();  // leaves the registration mode
    bench.records.clear();
    bench.state().mode.set(1);
    bench.state().receipt.kind = ptk::sim::ReceiptKind::Sale;
    bench.alerts.answers = {yes};
    bench.main().mi_IgnoreChek->trigger();

    QCOMPARE(bench.alerts.texts(), QStringList({"Отменить текущий чек?"}));
    QCOMPARE(bench.receivedCodes(), yes ? Codes{0x59} : Codes{});
    QCOMPARE(bench.state().receipt.isOpen(), !yes);
    QVERIFY(bench.main().isEnabled());
}

void MainWindowTest::refusedCommandReachesResultFieldAndBox() {
    WindowBench bench;
    bench.startAndConnect();
    bench.state().mode.set(1);
    bench.state().receipt.kind = ptk::sim::ReceiptKind::Sale;
    bench.alerts.answers = {true};
    bench.main().mi_ExitRegim->trigger();

    const QString message = "89 - Открыт чек продажи - операция невозможна.";
    QCOMPARE(bench.main().ed_rezult->text(), message);
    QCOMPARE(bench.alerts.texts(), QStringList({bench.alerts.boxes[0].text, message}));
    QCOMPARE(bench.alerts.boxes[1].caption, QString("Ошибка"));
    QVERIFY(bench.alerts.boxes[1].owner == ptk::OwnerHandle{});
}

void MainWindowTest::aboutBoxDisablesMainWindowUntilClosed() {
    WindowBench bench;
    bench.startAndConnect();
    auto& main = bench.main();
    main.show();
    main.mi_Help->trigger();
    auto& help = *bench.windows->fm_Help;
    QVERIFY(help.isVisible());
    QVERIFY(!main.isEnabled());
    QVERIFY(help.isEnabled());
    QCOMPARE(help.windowTitle(), QString("О программе"));
    QCOMPARE(help.lb_Title->text(), QString("Программа налогового инспектора"));
    QCOMPARE(help.lb_Version->text(), QString("Версия " PTK_VERSION));
    QVERIFY(help.lb_Family->text().contains("ПТК"));

    help.bt_HelpOk->click();
    QVERIFY(!help.isVisible());
    QVERIFY(main.isEnabled());
    QVERIFY(bench.records.size() == 2);  // nothing was sent for the about box
}

// The emergency report opened from the menu, with the program's own front end: a click on
// "Прервать" arrives while the report command waits for the register, through the window
// messages the exchange turns, and the first status request decides.
void MainWindowTest::emergencyReportTakesAStopWhileItsCommandRuns() {
    WindowBench bench;
    bench.startAndConnect();
    auto& main = bench.main();
    main.show();
    bench.records.clear();
    main.ed_rezult->setText("left from before");
    main.mi_AvarReport->trigger();
    auto* report = bench.windows->fm_AvarReport.get();
    QVERIFY(report != nullptr);
    QVERIFY(report->isVisible());
    QVERIFY(!main.isEnabled());
    QVERIFY(!report->bt_StopReport->isEnabled());
    QVERIFY(report->pn_Sleep->isHidden());
    QVERIFY(main.ed_rezult->text().isEmpty());

    bench.state().emergencyReport.printUs = 60'000'000;
    report->setPause([&bench](std::uint32_t ms) {
        bench.clock.sleepMs(ms);
        return true;
    });
    bench.duringCommand = [report](const ptk::sim::CommandRecord& record) {
        if (record.code != 0x60) return;
        QTimer::singleShot(0, report->bt_StopReport,
                           [report] { QTest::mouseClick(report->bt_StopReport, Qt::LeftButton); });
    };
    report->bt_Otch->click();

    QCOMPARE(bench.receivedCodes(), (Codes{0x60, 0x45, 0x52}));
    QCOMPARE(bench.alerts.texts(), QStringList{"Прервано пользователем!"});
    QCOMPARE(bench.alerts.boxes[0].icon, MessageIcon::Information);
    QCOMPARE(bench.alerts.boxes[0].caption, QString("Информация"));
    QCOMPARE(bench.alerts.boxes[0].ownerWindow, static_cast<QWidget*>(report));
    QVERIFY(report->bt_Close->isEnabled());
    report->bt_Close->click();
    QVERIFY(!report->isVisible());
    QVERIFY(main.isEnabled());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
