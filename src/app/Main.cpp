#include "app/Main.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>

#include "app/Help.h"
#include "app/folder_search_animation.h"
#include "app/windows.h"
#include "device/connection.h"
#include "device/mode_switch.h"
#include "fiscal_memory/Avarreport.h"
#include "sales/Datefr.h"
#include "settings/Config.h"
#include "shell/connect_sequence.h"
#include "shell/shell_commands.h"
#include "status/Regcomm.h"
#include "status/Reginf.h"
#include "status/Sosteklz.h"
#include "status/Sostfr.h"
#include "ui/child_window.h"
#include "ui/qt_front_end.h"

namespace ptk::ui {
namespace {

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kBlue(0x00, 0x00, 0xFF);
// The classic inactive-border grey behind the result field.
const QColor kInactiveBorder(0xD4, 0xD0, 0xC8);

constexpr std::string_view kExitQuestion = "Вы действительно хотите выйти из программы?";
constexpr std::string_view kExitModeQuestion =
    "Выйти из текущего режима и \nвернуться в состояние <<Выбор>> ?";
constexpr std::string_view kCancelReceiptQuestion = "Отменить текущий чек?";

QLabel* boldLabel(QWidget* parent, const QString& text, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

}  // namespace

Tfm_MainFr::Tfm_MainFr(Session& session, QtFrontEnd& frontEnd, SettingsFiles settings,
                       Windows& windows)
    : session_(session), frontEnd_(frontEnd), settings_(std::move(settings)), windows_(windows) {
    setObjectName(QStringLiteral("fm_MainFr"));
    setWindowTitle(QStringLiteral("Программа налогового инспектора"));
    // A fixed border: the window can be moved and minimised, not resized or maximised.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    buildMenu();
    buildResultField(client);
    buildAnimationPanel(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();

    frontEnd_.setResultField(ed_rezult);
    FormCreate();
}

void Tfm_MainFr::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu_Fr"));
    // Actions added to the bar itself are the top-level items that act when clicked.
    const auto item = [this](QWidget* owner, const char* name, const QString& caption,
                             void (Tfm_MainFr::*handler)()) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        owner->addAction(action);
        return action;
    };
    const auto separator = [this](const char* name) {
        QAction* action = mi_Config->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    mi_Config = bar->addMenu(QStringLiteral("Конфигуратор"));
    mi_Config->setObjectName(QStringLiteral("mi_Config"));
    mi_Config->menuAction()->setObjectName(QStringLiteral("mi_Config"));
    mi_Nastr =
        item(mi_Config, "mi_Nastr", QStringLiteral("Настройка ..."), &Tfm_MainFr::mi_NastrClick);
    N1 = separator("N1");
    mi_RegInf =
        item(mi_Config, "mi_RegInf", QStringLiteral("Запрос регистрационной информации ПТК"),
             &Tfm_MainFr::mi_RegInfClick);
    mi_SostKKM = item(mi_Config, "mi_SostKKM", QStringLiteral("Запрос состояния ПТК"),
                      &Tfm_MainFr::mi_SostKKMClick);
    mi_SostEKLZ = item(mi_Config, "mi_SostEKLZ", QStringLiteral("Запрос состояния ЭКЛЗ"),
                       &Tfm_MainFr::mi_SostEKLZClick);
    mi_AvarReport = item(mi_Config, "mi_AvarReport", QStringLiteral("Аварийный отчет по ФП"),
                         &Tfm_MainFr::mi_AvarReportClick);
    mi_SetDate = item(mi_Config, "mi_SetDate", QStringLiteral("Установить дату"),
                      &Tfm_MainFr::mi_SetDateClick);
    N2 = separator("N2");
    mi_ExitRegim = item(mi_Config, "mi_ExitRegim", QStringLiteral("Выход из текущего режима"),
                        &Tfm_MainFr::mi_ExitRegimClick);
    mi_IgnoreChek = item(mi_Config, "mi_IgnoreChek", QStringLiteral("Отменить чек"),
                         &Tfm_MainFr::mi_IgnoreChekClick);
    mi_Chek = item(bar, "mi_Chek", QStringLiteral("Чек"), &Tfm_MainFr::mi_ChekClick);
    mi_Gash = item(bar, "mi_Gash", QStringLiteral("Гашение"), &Tfm_MainFr::mi_GashClick);
    mi_FiskPam =
        item(bar, "mi_FiskPam", QStringLiteral("Фискальная память"), &Tfm_MainFr::mi_FiskPamClick);
    mi_EKLZ = item(bar, "mi_EKLZ", QStringLiteral("ЭКЛЗ"), &Tfm_MainFr::mi_EKLZClick);
    mi_Help = item(bar, "mi_Help", QStringLiteral("О программе"), &Tfm_MainFr::mi_HelpClick);
    mi_Exit = item(bar, "mi_Exit", QStringLiteral("Выход"), &Tfm_MainFr::mi_ExitClick);
}

void Tfm_MainFr::buildResultField(QWidget* client) {
    // The two lines of the caption fit the 128 pixels left of the field.
    QLabel* top = boldLabel(client, QStringLiteral("Результат"), kMaroon);
    top->setObjectName(QStringLiteral("lb_Rezult1"));
    QLabel* bottom = boldLabel(client, QStringLiteral("выполнения команды"), kMaroon);
    bottom->setObjectName(QStringLiteral("lb_Rezult2"));
    constexpr int kCaptionWidth = 128;
    // Fonts differ in width between systems; the caption shrinks until its longer line fits.
    QFont font = bottom->font();
    font.setPointSize(8);
    while (font.pointSize() > 6 &&
           QFontMetrics(font).horizontalAdvance(bottom->text()) > kCaptionWidth) {
        font.setPointSize(font.pointSize() - 1);
    }
    top->setFont(font);
    bottom->setFont(font);
    top->setGeometry(144 - kCaptionWidth - 4, 447, kCaptionWidth, 16);
    bottom->setGeometry(144 - kCaptionWidth - 4, 463, kCaptionWidth, 16);

    ed_rezult = new QLineEdit(client);
    ed_rezult->setObjectName(QStringLiteral("ed_rezult"));
    ed_rezult->setReadOnly(true);
    ed_rezult->setGeometry(144, 453, 505, 21);
    ed_rezult->setAccessibleName(QStringLiteral("Результат выполнения команды"));
    QPalette palette = ed_rezult->palette();
    palette.setColor(QPalette::Text, kBlue);
    palette.setColor(QPalette::Base, kInactiveBorder);
    ed_rezult->setPalette(palette);
    top->setBuddy(ed_rezult);
}

void Tfm_MainFr::buildAnimationPanel(QWidget* client) {
    pn_Animate = new QFrame(client);
    pn_Animate->setObjectName(QStringLiteral("pn_Animate"));
    pn_Animate->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pn_Animate->setLineWidth(1);
    pn_Animate->setGeometry((kClientWidth - 385) / 2, (kClientHeight - 153) / 2, 385, 153);

    lb_Animate = boldLabel(pn_Animate, QStringLiteral("Идет настройка оборудования..."), kNavy);
    lb_Animate->setObjectName(QStringLiteral("lb_Animate"));
    lb_Animate->setAlignment(Qt::AlignCenter);
    lb_Animate->setGeometry(8, 24, 385 - 16, 24);

    an_Animate = new FolderSearchAnimation(pn_Animate);
    an_Animate->setObjectName(QStringLiteral("an_Animate"));
    an_Animate->move((385 - an_Animate->width()) / 2, 64);
    showAnimation(false);
}

void Tfm_MainFr::FormCreate() {
    started_ = false;
}

void Tfm_MainFr::showAnimation(bool shown) {
    pn_Animate->setVisible(shown);
    lb_Animate->setVisible(shown);
    an_Animate->setVisible(shown);
    an_Animate->setActive(shown);
}

void Tfm_MainFr::FormActivate() {
    if (started_ || connecting_) return;
    // The sequence turns the message loop while it waits; a second activation meanwhile must
    // not start it again.
    connecting_ = true;
    settings_.loadAll(session_);
    OpenConfiguredPort(session_);
    ed_rezult->clear();
    setBusy(true);
    showAnimation(true);
    ConnectToRegister(session_);
    setBusy(false);
    showAnimation(false);
    ed_rezult->clear();
    connecting_ = false;
    started_ = true;
}

void Tfm_MainFr::FormClose() {
    session_.channel.ClosePort(session_.channel.openPortIndex());
}

void Tfm_MainFr::setBusy(bool busy) {
    busy_ = busy;
    setEnabled(!busy);
    updateMenu();
}

bool Tfm_MainFr::modeHasForm(int mode) const {
    return windows_.fm_RegComm->hasModeForm(mode);
}

void Tfm_MainFr::updateMenu() {
    const bool idle = !busy_;
    mi_Config->menuAction()->setEnabled(idle);
    // A mode is offered only when the mode-entry dialog has a form to open in it.
    mi_Chek->setEnabled(idle && modeHasForm(kRegistrationMode));
    mi_Gash->setEnabled(idle && modeHasForm(kZReportMode));
    mi_FiskPam->setEnabled(idle && modeHasForm(kFiscalMemoryMode));
    mi_EKLZ->setEnabled(idle && modeHasForm(kEklzMode));
    mi_Help->setEnabled(idle);
    mi_Exit->setEnabled(idle);
}

void Tfm_MainFr::runBusy(const std::function<void()>& command) {
    setBusy(true);
    command();
    setBusy(false);
}

void Tfm_MainFr::openChild(QWidget* window) {
    setEnabled(false);
    window->show();
    window->raise();
    window->activateWindow();
}

void Tfm_MainFr::mi_ExitClick() {
    if (frontEnd_.askQuestion(kExitQuestion, ownerOf(this))) close();
}

void Tfm_MainFr::mi_HelpClick() {
    openChild(windows_.fm_Help.get());
}

void Tfm_MainFr::mi_NastrClick() {
    ed_rezult->clear();
    openChild(windows_.fm_Config.get());
    windows_.fm_Config->showSettingsFromFiles();
}

void Tfm_MainFr::mi_ExitRegimClick() {
    ed_rezult->clear();
    if (!frontEnd_.askQuestion(kExitModeQuestion, ownerOf(this))) return;
    runBusy([this] { ExitCurrentMode(session_); });
}

void Tfm_MainFr::mi_IgnoreChekClick() {
    ed_rezult->clear();
    if (!frontEnd_.askQuestion(kCancelReceiptQuestion, ownerOf(this))) return;
    runBusy([this] { CancelReceipt(session_); });
}

void Tfm_MainFr::openReportWindow(QWidget* window, QWidget* exitButton,
                                  const std::function<bool()>& requests) {
    ed_rezult->clear();
    bool succeeded = false;
    runBusy([&] { succeeded = requests(); });
    if (!succeeded) return;
    openChild(window);
    exitButton->setFocus();
}

// The report windows bring the requests that fill them.
void Tfm_MainFr::mi_SostKKMClick() {
    // The state request (clearing mem_SostFR when it fails), then the printer-state request,
    // whose result decides.
    Tfm_SostFR* report = windows_.fm_SostFR.get();
    openReportWindow(report, report->bt_SostFRExit, [report] { return report->RunRequests(); });
}

void Tfm_MainFr::mi_RegInfClick() {
    // Data registers 26, 27 and 28 in turn, each only after the one before succeeded.
    Tfm_RegInf* report = windows_.fm_RegInf.get();
    openReportWindow(report, report->bt_RegInfExit,
                     [report] { return report->RunRequests().succeeded(); });
}

void Tfm_MainFr::mi_SostEKLZClick() {
    Tfm_SostEKLZ* report = windows_.fm_SostEKLZ.get();
    openReportWindow(report, report->bt_SostEKLZExit,
                     [report] { return report->RequestEklzState().succeeded(); });
}

void Tfm_MainFr::openModeEntry(int targetMode) {
    Tfm_RegComm* dialog = windows_.fm_RegComm.get();
    if (!dialog->hasModeForm(targetMode)) return;
    ed_rezult->clear();
    setEnabled(false);
    dialog->openFor(targetMode);
}

void Tfm_MainFr::mi_ChekClick() {
    openModeEntry(kRegistrationMode);
}

void Tfm_MainFr::mi_GashClick() {
    openModeEntry(kZReportMode);
}

void Tfm_MainFr::mi_FiskPamClick() {
    openModeEntry(kFiscalMemoryMode);
}

void Tfm_MainFr::mi_EKLZClick() {
    openModeEntry(kEklzMode);
}

void Tfm_MainFr::mi_AvarReportClick() {
    Tfm_AvarReport* report = windows_.fm_AvarReport.get();
    ed_rezult->clear();
    setEnabled(false);
    report->bt_StopReport->setEnabled(false);
    report->pn_Sleep->hide();
    report->bt_Otch->setFocus();
    report->show();
    report->raise();
    report->activateWindow();
}

void Tfm_MainFr::mi_SetDateClick() {
    Tfm_DateFR* dateWindow = windows_.fm_DateFR.get();
    ed_rezult->clear();
    // Today and now to the second: the pickers show whole seconds.
    const QTime now = QTime::currentTime();
    dateWindow->ed_Date->setDate(QDate::currentDate());
    dateWindow->ed_Time->setTime(QTime(now.hour(), now.minute(), now.second()));
    openChild(dateWindow);
    dateWindow->bt_DateOk->setFocus();
}

bool Tfm_MainFr::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !started_ && !connecting_) {
        // Run after the activation has been handled, not inside it.
        QTimer::singleShot(0, this, &Tfm_MainFr::FormActivate);
    }
    return QMainWindow::event(event);
}

void Tfm_MainFr::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!centred_) {
        centreOnScreen(*this);
        centred_ = true;
    }
    // A window system without a window manager may never activate the window; showing it is
    // enough to connect.
    if (!started_) QTimer::singleShot(0, this, &Tfm_MainFr::FormActivate);
}

void Tfm_MainFr::closeEvent(QCloseEvent* event) {
    // A disabled window cannot be closed: a command is running, or a child window has the user.
    if (!isEnabled() || connecting_) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

}  // namespace ptk::ui
