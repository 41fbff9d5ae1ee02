// The settings window as the inspector uses it: what it shows, what applying writes and sends,
// and the password field's key filter, against the simulated register in virtual time.
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "app/window_bench.h"
#include "settings/Config.h"

using ptk::MessageIcon;
using ptk::testing::WindowBench;
using Codes = std::vector<std::uint8_t>;

namespace {

// Opens the settings window from the menu of a connected main window.
ptk::ui::Tfm_Config& openSettings(WindowBench& bench) {
    bench.startAndConnect();
    bench.records.clear();
    bench.main().show();
    bench.main().mi_Nastr->trigger();
    return *bench.windows->fm_Config;
}

void typeCharacter(QWidget* widget, QChar character) {
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

}  // namespace

class ConfigWindowTest : public QObject {
    Q_OBJECT

private slots:
    void listsThePortsOfTheSystemAndOfTheWorkingDirectory();
    void withoutFilesShowsTheDefaultsAndMakesNoFile();
    void unknownBaudNameLeavesTheRateAlone();
    void refusedBaudFileAtStartShowsAndKeepsTheRateInUse_data();
    void refusedBaudFileAtStartShowsAndKeepsTheRateInUse();
    void portTwelveIsIndexElevenAndSelectedOnlyWhenListed();
    void applyWritesTheFilesReopensAndProbes();
    void probeAnswerDecidesTheCodeSet_data();
    void probeAnswerDecidesTheCodeSet();
    void applyWithoutSelectedPortKeepsThePortInUse();
    void applyOfAPortOutsideTheTableIsRefused();
    void applyToAMissingPortSaysSoAndGivesTheWindowBack();
    void discardReloadsTheFiles();
    void applyClosesThePortReallyOpenAfterTheFilesChanged();
    void closingGivesTheMainWindowBack();
    void passwordFieldTakesDigitsOnly();
};

void ConfigWindowTest::listsThePortsOfTheSystemAndOfTheWorkingDirectory() {
    WindowBench bench;
    bench.start();
    const auto& config = *bench.windows->fm_Config;
    // ./COM9 links to a device; a link whose target is missing names no usable port.
    QVERIFY(config.cbport->findText("COM9") >= 0);
    QVERIFY(!config.cbport->isEditable());
    std::error_code noLinkHere;
    std::filesystem::create_symlink("/nonexistent", bench.directory.path() / "COM10", noLinkHere);
    ptk::ui::Tfm_Config another(bench.session, ptk::SettingsFiles{}, &bench.main());
    QCOMPARE(another.cbport->findText("COM10"), -1);
    QVERIFY(another.cbport->findText("COM9") >= 0);
}

void ConfigWindowTest::withoutFilesShowsTheDefaultsAndMakesNoFile() {
    WindowBench bench;
    for (const char* name : {"num_port.ini", "baude_fr.ini", "pass_fr.ini"}) {
        std::filesystem::remove(bench.directory.path() / name);
    }
    bench.start();
    bench.main().mi_Nastr->trigger();
    const auto& config = *bench.windows->fm_Config;
    QCOMPARE(bench.session.channel.currentPort(), 0);
    QCOMPARE(config.cbport->currentText(), config.cbport->findText("COM1") >= 0 ? "COM1" : "");
    QCOMPARE(config.rg_BaudeFrItems->checkedId(), 4);
    QCOMPARE(config.ed_PassFr->text(), QString("7301"));
    QCOMPARE(bench.session.LinkPassword, std::string("7301"));
    for (const char* name : {"num_port.ini", "baude_fr.ini", "pass_fr.ini"}) {
        QVERIFY2(!bench.directory.exists(name), name);
    }
}

void ConfigWindowTest::unknownBaudNameLeavesTheRateAlone() {
    WindowBench bench;
    bench.directory.write("baude_fr.ini", "CBR_57600\n");
    auto& config = openSettings(bench);
    QCOMPARE(config.rg_BaudeFrItems->checkedId(), 3);

    bench.directory.write("baude_fr.ini", "CBR_4800\n");
    config.bt_ConfigNo->click();
    QCOMPARE(bench.session.BaudIndex, 3);
    QCOMPARE(config.rg_BaudeFrItems->checkedId(), 3);
    QVERIFY(bench.alerts.texts().last().contains("baude_fr.ini"));
}

void ConfigWindowTest::refusedBaudFileAtStartShowsAndKeepsTheRateInUse_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("unknown name") << QByteArray("CBR_4800\n");
    QTest::newRow("word too long") << QByteArray("CBR_1152000\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("lower case") << QByteArray("cbr_115200\n");
}

void ConfigWindowTest::refusedBaudFileAtStartShowsAndKeepsTheRateInUse() {
    QFETCH(QByteArray, content);
    WindowBench bench;
    bench.directory.write("baude_fr.ini", content.toStdString());
    auto& config = openSettings(bench);
    // No rate was ever taken: the line runs at the first one of the table.
    QCOMPARE(bench.session.BaudIndex, 0);
    QCOMPARE(bench.line.configuredBaud(), 9600u);
    QCOMPARE(config.rg_BaudeFrItems->checkedId(), 0);

    // Applying without touching the rates keeps the rate in use, and says so in the file.
    config.bt_ConfigOk->click();
    QCOMPARE(bench.session.BaudIndex, 0);
    QCOMPARE(bench.line.configuredBaud(), 9600u);
    QCOMPARE(bench.directory.read("baude_fr.ini"), std::string("CBR_9600\n"));
}

void ConfigWindowTest::portTwelveIsIndexElevenAndSelectedOnlyWhenListed() {
    WindowBench bench;
    bench.directory.write("num_port.ini", "COM12\n");
    bench.start();
    bench.main().mi_Nastr->trigger();
    auto& config = *bench.windows->fm_Config;
    QCOMPARE(bench.session.channel.currentPort(), 11);
    const bool listed = config.cbport->findText("COM12") >= 0;
    QCOMPARE(config.cbport->currentIndex() >= 0, listed);

    // Once the system lists it, the window selects it.
    config.cbport->addItem("COM12");
    config.showSettingsFromFiles();
    QCOMPARE(config.cbport->currentText(), QString("COM12"));
}

void ConfigWindowTest::applyWritesTheFilesReopensAndProbes() {
    WindowBench bench;
    auto& config = openSettings(bench);
    config.rg_BaudeFrItems->button(2)->setChecked(true);
    config.ed_PassFr->setText("42");
    bool windowDisabledDuringProbe = false;
    bench.duringCommand = [&](const ptk::sim::CommandRecord&) {
        windowDisabledDuringProbe = !config.isEnabled() && !config.bt_ConfigExit->isEnabled();
    };
    bench.state().link.password = {0x42, 0x00};
    config.bt_ConfigOk->click();

    QCOMPARE(bench.directory.read("num_port.ini"), std::string("COM9\n"));
    QCOMPARE(bench.directory.read("baude_fr.ini"), std::string("CBR_38400\n"));
    QCOMPARE(bench.directory.read("pass_fr.ini"), std::string("42\n"));
    QCOMPARE(bench.session.BaudIndex, 2);
    QCOMPARE(bench.line.configuredBaud(), 38400u);
    QCOMPARE(bench.opener.openCount(), 2);
    QCOMPARE(bench.receivedCodes(), Codes{0xE0});
    QCOMPARE(bench.records[0].message, (Codes{0x42, 0x00, 0xE0, 0x00, 0x00}));
    QVERIFY(windowDisabledDuringProbe);
    QVERIFY(config.isEnabled());
    QVERIFY(config.bt_ConfigOk->isEnabled());
    QVERIFY(config.isVisible());
    QVERIFY(bench.alerts.boxes.empty());
}

void ConfigWindowTest::probeAnswerDecidesTheCodeSet_data() {
    QTest::addColumn<bool>("unshiftedModel");
    QTest::addColumn<bool>("knowsProbe");
    QTest::addColumn<bool>("asWritten");
    QTest::addColumn<int>("leaveModeOnTheWire");
    QTest::addRow("answer byte 2 is 1") << true << true << true << 0x52;
    QTest::addRow("answer byte 2 is 0") << false << true << false << 0x24;
    QTest::addRow("probe unknown") << true << false << true << 0x52;
}

void ConfigWindowTest::probeAnswerDecidesTheCodeSet() {
    QFETCH(bool, unshiftedModel);
    QFETCH(bool, knowsProbe);
    QFETCH(bool, asWritten);
    QFETCH(int, leaveModeOnTheWire);
    WindowBench bench;
    auto& config = openSettings(bench);
    bench.state().link.unshiftedCodes = unshiftedModel;
    bench.state().link.knowsProbe = knowsProbe;
    config.bt_ConfigOk->click();
    QCOMPARE(bench.session.exchange.codeSet() == ptk::CodeSet::AsWritten, asWritten);

    // The next command from the main menu goes out in that code set, and the register takes it.
    config.close();
    bench.state().mode.set(2);
    bench.records.clear();
    bench.alerts.answers = {true};
    bench.main().mi_ExitRegim->trigger();
    QCOMPARE(bench.records.size(), std::size_t{1});
    QCOMPARE(int{bench.records[0].receivedCode}, leaveModeOnTheWire);
    QCOMPARE(int{bench.state().mode.mode}, 0);
}

void ConfigWindowTest::applyWithoutSelectedPortKeepsThePortInUse() {
    WindowBench bench;
    auto& config = openSettings(bench);
    config.cbport->setCurrentIndex(-1);
    config.bt_ConfigOk->click();
    QCOMPARE(bench.alerts.texts(), QStringList({"Порт не выбран. Оставлен порт COM9."}));
    QCOMPARE(bench.alerts.boxes[0].caption, QString("Предупреждение"));
    QVERIFY(bench.alerts.boxes[0].owner == ptk::ui::ownerOf(&config));
    QCOMPARE(bench.directory.read("num_port.ini"), std::string("COM9\n"));
    QCOMPARE(bench.session.channel.currentPort(), WindowBench::kPort);
    QCOMPARE(bench.receivedCodes(), Codes{0xE0});
    QVERIFY(config.isEnabled());
}

void ConfigWindowTest::applyOfAPortOutsideTheTableIsRefused() {
    WindowBench bench;
    auto& config = openSettings(bench);
    config.cbport->addItem("COM300");
    config.cbport->setCurrentText("COM300");
    config.bt_ConfigOk->click();
    QCOMPARE(bench.alerts.texts(),
             QStringList({"Неверное имя порта «COM300»: допустимы имена от COM1 до COM256. "
                          "Оставлен порт COM9."}));
    QCOMPARE(bench.alerts.boxes[0].icon, MessageIcon::Error);
    QCOMPARE(bench.directory.read("num_port.ini"), std::string("COM9\n"));
    QCOMPARE(bench.session.channel.currentPort(), WindowBench::kPort);
    QVERIFY(config.isEnabled());
}

void ConfigWindowTest::applyToAMissingPortSaysSoAndGivesTheWindowBack() {
    WindowBench bench;
    auto& config = openSettings(bench);
    config.cbport->addItem("COM5");
    config.cbport->setCurrentText("COM5");
    config.bt_ConfigOk->click();
    // The new value stays saved; the port that was in use is closed, nothing is sent.
    QCOMPARE(bench.alerts.texts(), QStringList({"Порт недоступен!"}));
    QCOMPARE(bench.directory.read("num_port.ini"), std::string("COM5\n"));
    QCOMPARE(bench.session.channel.currentPort(), 4);
    QVERIFY(bench.session.channel.portSlot(WindowBench::kPort).device == nullptr);
    QVERIFY(bench.records.empty());
    QVERIFY(config.isEnabled());
    QVERIFY(config.bt_ConfigExit->isEnabled());
}

void ConfigWindowTest::discardReloadsTheFiles() {
    WindowBench bench;
    auto& config = openSettings(bench);
    config.ed_PassFr->setText("1");
    config.rg_BaudeFrItems->button(0)->setChecked(true);
    config.bt_ConfigNo->click();
    QCOMPARE(config.ed_PassFr->text(), QString("7301"));
    QCOMPARE(config.rg_BaudeFrItems->checkedId(), 4);
    QCOMPARE(config.cbport->currentText(), QString("COM9"));
    QVERIFY(bench.records.empty());
}

void ConfigWindowTest::applyClosesThePortReallyOpenAfterTheFilesChanged() {
    WindowBench bench;
    auto& config = openSettings(bench);
    // The file is edited while the program runs; discarding the edits reloads it, which moves
    // the port number but not the open port.
    bench.directory.write("num_port.ini", "COM3\n");
    config.bt_ConfigNo->click();
    QCOMPARE(bench.session.channel.currentPort(), 2);
    config.cbport->addItem("COM5");
    config.cbport->setCurrentText("COM5");
    config.bt_ConfigOk->click();
    // COM9, open all along, is closed rather than left behind.
    QVERIFY(bench.session.channel.portSlot(WindowBench::kPort).device == nullptr);
    QCOMPARE(bench.session.channel.openPortIndex(), -1);
}

void ConfigWindowTest::closingGivesTheMainWindowBack() {
    WindowBench bench;
    auto& config = openSettings(bench);
    QVERIFY(config.isVisible());
    QVERIFY(!bench.main().isEnabled());
    config.bt_ConfigExit->click();
    QVERIFY(!config.isVisible());
    QVERIFY(bench.main().isEnabled());
    QVERIFY(bench.records.empty());
}

void ConfigWindowTest::passwordFieldTakesDigitsOnly() {
    WindowBench bench;
    auto& config = openSettings(bench);
    QLineEdit* field = config.ed_PassFr;
    field->setFocus();
    field->clear();
    for (QChar c : QString("1a2ж")) typeCharacter(field, c);
    QCOMPARE(field->text(), QString("12"));
    QCOMPARE(bench.alerts.beeps, 2);

    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QString("12"));
    QCOMPARE(bench.alerts.beeps, 3);

    QApplication::clipboard()->setText("99");
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field->text(), QString("12"));

    // Moving and deleting with the caret keys stays possible; digits stop at four.
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QString("2"));
    for (QChar c : QString("34567")) typeCharacter(field, c);
    QCOMPARE(field->text(), QString("3452"));
}

QTEST_MAIN(ConfigWindowTest)
#include "config_window_test.moc"
