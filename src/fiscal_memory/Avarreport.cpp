#include "fiscal_memory/Avarreport.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

#include "fiscal_memory/emergency_report.h"
#include "link/session.h"
#include "ui/waiting_panel.h"

using namespace ptk;

namespace {

// Waits in a nested event loop, so that the window repaints and the stop button is taken while
// the register prints; the loop sleeps until its timer or an event comes. A loop that ends for
// any other reason than its timer was told to by an application that is quitting.
bool waitInEventLoop(std::uint32_t ms) {
    constexpr int kTimeUp = 1;
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(ms), Qt::PreciseTimer, &loop,
                       [&loop] { loop.exit(kTimeUp); });
    return loop.exec() == kTimeUp;
}

}  // namespace

// The window's side of the watch: its pause, and the stop button going off once the stop is
// carried out.
class Tfm_AvarReport::Watcher final : public fiscal_memory::EmergencyReportWatcher {
public:
    explicit Watcher(Tfm_AvarReport& window) : window_(window) {}
    bool pause(std::uint32_t ms) override { return window_.pause_(ms); }
    void stopTaken() override { window_.bt_StopReport->setEnabled(false); }
    OwnerHandle boxOwner() const override { return window_.boxOwner(); }

private:
    Tfm_AvarReport& window_;
};

Tfm_AvarReport::Tfm_AvarReport(Session& session, QWidget* parent)
    : ChildWindow(parent, kReportDialog, Centring::OnEveryShow),
      session_(session),
      pause_(waitInEventLoop) {
    setObjectName("fm_AvarReport");
    setWindowTitle("Аварийный отчет по ФП");

    const ui::WaitingPanel waiting = ui::makeWaitingPanel(this, ui::kGreyWaitingLook);
    pn_Sleep = waiting.panel;
    lb_Sleep = waiting.label;

    bt_Otch = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), "Отчет", this);
    bt_Otch->setObjectName("bt_Otch");
    bt_Otch->setToolTip("Печатать отчет ");
    bt_Otch->setAutoDefault(false);
    bt_StopReport = new QPushButton("Прервать", this);
    bt_StopReport->setObjectName("bt_StopReport");
    bt_StopReport->setToolTip("Прервать отчет");
    bt_StopReport->setAutoDefault(false);
    bt_StopReport->setEnabled(false);
    bt_Close = new QPushButton("&Закрыть", this);
    bt_Close->setObjectName("bt_Close");
    bt_Close->setToolTip("Выйти из режима");
    bt_Close->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bt_Otch);
    buttons->addWidget(bt_StopReport);
    buttons->addWidget(bt_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pn_Sleep);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(bt_Otch, &QPushButton::clicked, this, &Tfm_AvarReport::bt_OtchClick);
    connect(bt_StopReport, &QPushButton::clicked, this, &Tfm_AvarReport::bt_StopReportClick);
    connect(bt_Close, &QPushButton::clicked, this, &QWidget::close);
    // Esc starts the report: the report button is the dialog's cancel button.
    setCancelButton(bt_Otch);
}

void Tfm_AvarReport::bt_OtchClick() {
    if (running_) return;
    running_ = true;
    session_.frontEnd.setResultText("");
    // The stop button stays live while the register prints; whatever could start a second
    // exchange or close the window does not.
    bt_Otch->setEnabled(false);
    bt_Close->setEnabled(false);
    pn_Sleep->show();
    bt_StopReport->setEnabled(true);

    Watcher watcher(*this);
    // Every ending has told what it had to tell.
    fiscal_memory::RunEmergencyReport(session_, watcher);

    setEnabled(true);
    bt_Otch->setEnabled(true);
    bt_Close->setEnabled(true);
    pn_Sleep->hide();
    bt_StopReport->setEnabled(false);
    session_.StopRequested = false;
    running_ = false;
}

void Tfm_AvarReport::bt_StopReportClick() {
    // The flag is shared with the report threads: it is never left set outside a report.
    if (!running_) return;
    session_.StopRequested = true;
    bt_StopReport->setEnabled(false);
}

void Tfm_AvarReport::FormClose() {
    enableMainWindow();
}

void Tfm_AvarReport::closeEvent(QCloseEvent* event) {
    // The report must end before the dialog hands control back.
    if (running_) {
        event->ignore();
        return;
    }
    ChildWindow::closeEvent(event);
}
