#include "settings/Config.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <functional>

#include "device/connection.h"
#include "settings/port_list.h"
#include "ui/digit_edit.h"

namespace ptk::ui {
namespace {

QString inUseName(const Session& session) {
    return QStringLiteral("COM%1").arg(session.channel.currentPort() + 1);
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

// Gives a window back its enabled state on every way out of a handler.
class Reenable {
public:
    explicit Reenable(std::function<void()> enable) : enable_(std::move(enable)) {}
    ~Reenable() { enable_(); }
    Reenable(const Reenable&) = delete;
    Reenable& operator=(const Reenable&) = delete;

private:
    std::function<void()> enable_;
};

}  // namespace

Tfm_Config::Tfm_Config(Session& session, SettingsFiles settings, QWidget* mainWindow)
    : ChildWindow(nullptr, kFixedWindow, Centring::OnFirstShow),
      session_(session),
      settings_(std::move(settings)) {
    setMainWindow(mainWindow);
    setObjectName(QStringLiteral("fm_Config"));
    setWindowTitle(QStringLiteral("Настройка ..."));
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();
    FormCreate();
}

void Tfm_Config::buildControls() {
    pg_Config = new QTabWidget(this);
    pg_Config->setObjectName(QStringLiteral("pg_Config"));
    pg_Config->setGeometry(8, 8, kClientWidth - 16, 322);
    // Page tabs drawn as buttons.
    pg_Config->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { border: 2px outset #b8b8b8; background: #e4e4e4;"
                       " padding: 5px 16px; margin: 2px 4px 4px 0; }"
                       "QTabBar::tab:selected { border-style: inset; background: #d4d4d4; }"));

    tsh_Connect = new QWidget;
    tsh_Connect->setObjectName(QStringLiteral("tsh_Connect"));
    pg_Config->addTab(tsh_Connect, QStringLiteral("Настройка связи"));

    pn_Connect = new QFrame(tsh_Connect);
    pn_Connect->setObjectName(QStringLiteral("pn_Connect"));
    pn_Connect->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pn_Connect->setGeometry(6, 6, kClientWidth - 16 - 16, 322 - 48);

    gbport = new QGroupBox(QStringLiteral(" Порт "), pn_Connect);
    gbport->setObjectName(QStringLiteral("gbport"));
    gbport->setGeometry(16, 12, 217, 64);
    cbport = new QComboBox(gbport);
    cbport->setObjectName(QStringLiteral("cbport"));
    cbport->setEditable(false);
    cbport->setGeometry(16, 26, 185, 24);
    cbport->setAccessibleName(QStringLiteral("Порт"));

    rg_BaudeFr = new QGroupBox(QStringLiteral(" Скорость обмена "), pn_Connect);
    rg_BaudeFr->setObjectName(QStringLiteral("rg_BaudeFr"));
    rg_BaudeFr->setGeometry(16, 86, 217, 172);
    rg_BaudeFrItems = new QButtonGroup(rg_BaudeFr);
    const char* const rates[] = {"9600", "19200", "38400", "57600", "115200"};
    for (int index = 0; index < 5; ++index) {
        auto* item = new QRadioButton(QString::fromLatin1(rates[index]), rg_BaudeFr);
        item->setObjectName(QStringLiteral("rg_BaudeFr_%1").arg(index));
        item->setGeometry(20, 26 + index * 28, 170, 22);
        rg_BaudeFrItems->addButton(item, index);
    }
    rg_BaudeFrItems->button(4)->setChecked(true);

    gb_PassFr = new QGroupBox(QStringLiteral(" Пароль на связь "), pn_Connect);
    gb_PassFr->setObjectName(QStringLiteral("gb_PassFr"));
    gb_PassFr->setGeometry(260, 12, 217, 64);
    ed_PassFr = new QLineEdit(QString::fromLatin1(kDefaultLinkPassword.data(),
                                                  static_cast<int>(kDefaultLinkPassword.size())),
                              gb_PassFr);
    ed_PassFr->setObjectName(QStringLiteral("ed_PassFr"));
    ed_PassFr->setGeometry(16, 26, 185, 24);
    ed_PassFr->setAccessibleName(QStringLiteral("Пароль на связь"));
    // ed_PassFrKeyPress and ed_PassFrContextPopup: nothing but typed digits gets in, and a
    // validator stands behind the key filter for whatever an input method might commit.
    ui::acceptDigitsOnly(*ed_PassFr,
                         {.digits = static_cast<int>(kLinkPasswordDigits),
                          .otherwise = DigitRules::Otherwise::Refused},
                         [this] { session_.frontEnd.beep(); });

    bt_ConfigOk = new QPushButton(QStringLiteral("Применить"), pn_Connect);
    bt_ConfigOk->setObjectName(QStringLiteral("bt_ConfigOk"));
    bt_ConfigOk->setToolTip(QStringLiteral("Применить настройки"));
    bt_ConfigOk->setGeometry(260, 222, 105, 32);
    connect(bt_ConfigOk, &QPushButton::clicked, this, &Tfm_Config::bt_ConfigOkClick);

    bt_ConfigNo = new QPushButton(QStringLiteral("Отменить"), pn_Connect);
    bt_ConfigNo->setObjectName(QStringLiteral("bt_ConfigNo"));
    bt_ConfigNo->setToolTip(QStringLiteral("Отменить настройки"));
    bt_ConfigNo->setGeometry(372, 222, 105, 32);
    connect(bt_ConfigNo, &QPushButton::clicked, this, &Tfm_Config::bt_ConfigNoClick);

    bt_ConfigExit = new QPushButton(QStringLiteral("&Закрыть"), this);
    bt_ConfigExit->setObjectName(QStringLiteral("bt_ConfigExit"));
    bt_ConfigExit->setToolTip(QStringLiteral("Выйти из режима настройки"));
    bt_ConfigExit->setGeometry(kClientWidth - 8 - 113, 342, 113, 32);
    connect(bt_ConfigExit, &QPushButton::clicked, this, &QWidget::close);
    setBusyControls({pg_Config, bt_ConfigExit, ed_PassFr, rg_BaudeFr, bt_ConfigOk, bt_ConfigNo});

    setTabOrder(cbport, rg_BaudeFrItems->button(0));
    setTabOrder(rg_BaudeFrItems->button(0), ed_PassFr);
    setTabOrder(ed_PassFr, bt_ConfigOk);
    setTabOrder(bt_ConfigOk, bt_ConfigNo);
    setTabOrder(bt_ConfigNo, bt_ConfigExit);
}

void Tfm_Config::FormCreate() {
    // The list is taken once: a port added later shows at the next start.
    std::string buffer(kPortListBufferSize, '\0');
    EnumerateSerialPorts(buffer.data(), buffer.size());
    for (const std::string& name : portNamesIn(buffer.data(), buffer.size())) {
        cbport->addItem(QString::fromStdString(name));
    }
}

void Tfm_Config::showSettingsFromFiles() {
    settings_.loadAll(session_);
    for (const Setting which : kAllSettings) ShowSetting(which);
}

void Tfm_Config::ShowSetting(Setting which) {
    switch (which) {
        case Setting::Port: {
            const QString stored = QString::fromStdString(session_.portName);
            cbport->setCurrentIndex(cbport->findText(QStringLiteral("COM") + stored.mid(3)));
            break;
        }
        case Setting::Baud:
            if (const auto index = baudIndexOf(session_.baudName)) {
                rg_BaudeFrItems->button(*index)->setChecked(true);
            }
            break;
        case Setting::Password:
            ed_PassFr->setText(QString::fromStdString(session_.LinkPassword));
            break;
    }
}

bool Tfm_Config::TakeSetting(Setting which) {
    switch (which) {
        case Setting::Port: {
            const QString chosen = cbport->currentText();
            const auto index = portIndexOf(utf8(chosen));
            if (!index) {
                // The port in use stays; it is what gets saved.
                const QString kept = inUseName(session_);
                if (chosen.isEmpty()) {
                    session_.frontEnd.showMessage(
                        MessageIcon::Warning, kWarningCaption,
                        utf8(QStringLiteral("Порт не выбран. Оставлен порт %1.").arg(kept)),
                        boxOwner());
                } else {
                    session_.frontEnd.showMessage(
                        MessageIcon::Error, kErrorCaption,
                        utf8(QStringLiteral("Неверное имя порта «%1»: допустимы имена от COM1 до "
                                            "COM256. Оставлен порт %2.")
                                 .arg(chosen, kept)),
                        boxOwner());
                }
                session_.portName = utf8(kept);
                return false;
            }
            session_.portName = utf8(chosen);
            return true;
        }
        case Setting::Baud: {
            const int index = rg_BaudeFrItems->checkedId();
            if (index < 0 || index >= static_cast<int>(kBaudNames.size())) return false;
            session_.BaudIndex = index;
            session_.baudName = kBaudNames[static_cast<std::size_t>(index)];
            return true;
        }
        case Setting::Password: {
            const std::string typed = utf8(ed_PassFr->text());
            if (!isValidLinkPassword(typed)) {
                session_.frontEnd.showMessage(
                    MessageIcon::Error, kErrorCaption,
                    "Пароль на связь: допустимо не более 4 цифр. Оставлен прежний пароль.",
                    boxOwner());
                return false;
            }
            session_.LinkPassword = typed;
            return true;
        }
    }
    return false;
}

void Tfm_Config::bt_ConfigOkClick() {
    // The window and the controls that could start another exchange or close it are disabled
    // meanwhile; the window stays open.
    setBusy(true);
    const Reenable reenable([this] { setBusy(false); });
    // The port that is open now; the new settings may name another one, and a reload of the
    // files since it was opened may already have moved CurrentPort away from it.
    const int portInUse = session_.channel.openPortIndex();
    for (const Setting which : kAllSettings) TakeSetting(which);
    settings_.saveAll(session_);
    // What counts from here on is what the files hold.
    settings_.loadAll(session_);
    if (ReopenPort(session_, portInUse)) ProbeCodeSet(session_);
}

void Tfm_Config::bt_ConfigNoClick() {
    showSettingsFromFiles();
}

void Tfm_Config::FormClose() {
    bringBackMainWindow();
}

}  // namespace ptk::ui
