#include "status/Sostfr.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>

#include "link/session.h"
#include "status/device_state.h"
#include "status/window_look.h"

using namespace ptk;

namespace {
// The desktop-background colour of the classic workstation look, under white text.
const QColor kDesktopColour(0x3A, 0x6E, 0xA5);
}  // namespace

Tfm_SostFR::Tfm_SostFR(Session& session, QWidget* parent)
    : ChildWindow(parent, kFixedDialog, Centring::OnEveryShow), session_(session) {
    setObjectName("fm_SostFR");
    setWindowTitle("Состояние ПТК");
    setFixedSize(kClientWidth, kClientHeight);

    pn_SostFR = status_ui::makeReportPanel(this, "pn_SostFR", {8, 8, 289, 417});

    mem_SostFR = status_ui::makeReportBox(pn_SostFR, "mem_SostFR", Qt::white, kDesktopColour);
    mem_SostFR->setGeometry(8, 8, 273, 401);
    mem_SostFR->setAccessibleName(windowTitle());

    bt_SostFRExit = status_ui::makeCloseButton(this, "bt_SostFRExit", {312, 8, 145, 33});
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
