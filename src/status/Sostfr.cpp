#include "status/Sostfr.h"

#include <QCloseEvent>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "link/session.h"
#include "status/device_state.h"
#include "status/window_look.h"

using namespace ptk;

namespace {
// The desktop-background colour of the classic workstation look, under white text.
const QColor kDesktopColour(0x3A, 0x6E, 0xA5);
}  // namespace

Tfm_SostFR::Tfm_SostFR(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), session_(session) {
    setObjectName("fm_SostFR");
    setWindowTitle("Состояние ПТК");
    setFixedSize(kClientWidth, kClientHeight);

    pn_SostFR = new QFrame(this);
    pn_SostFR->setObjectName("pn_SostFR");
    pn_SostFR->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pn_SostFR->setGeometry(8, 8, 289, 417);

    mem_SostFR = status_ui::makeReportBox(pn_SostFR, "mem_SostFR", Qt::white, kDesktopColour);
    mem_SostFR->setGeometry(8, 8, 273, 401);
    mem_SostFR->setAccessibleName(windowTitle());

    bt_SostFRExit =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Закрыть", this);
    bt_SostFRExit->setObjectName("bt_SostFRExit");
    bt_SostFRExit->setToolTip("Выйти из режима");
    bt_SostFRExit->setGeometry(312, 8, 145, 33);

    connect(bt_SostFRExit, &QPushButton::clicked, this, &QWidget::close);
}

int Tfm_SostFR::RequestState() {
    const int result = RequestDeviceState(session_, lines_);
    status_ui::showLines(*mem_SostFR, lines_);
    return result;
}

int Tfm_SostFR::RequestPrinterState() {
    const int result = ptk::RequestPrinterState(session_, lines_);
    status_ui::showLines(*mem_SostFR, lines_);
    return result;
}

bool Tfm_SostFR::RunRequests() {
    // The box keeps its text between openings, so a failed state request must not leave the
    // state of an earlier opening on show.
    if (RequestState() != 1) {
        lines_.clear();
        mem_SostFR->clear();
    }
    return RequestPrinterState() == 1;
}

void Tfm_SostFR::showEvent(QShowEvent* event) {
    status_ui::centreOnScreen(*this);
    QWidget::showEvent(event);
}

void Tfm_SostFR::FormClose() {
    if (mainWindow_) mainWindow_->setEnabled(true);
}

void Tfm_SostFR::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}
