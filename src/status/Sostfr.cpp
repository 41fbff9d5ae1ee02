#include "status/Sostfr.h"

#include <QPlainTextEdit>

#include "status/device_state.h"

using namespace ptk;

namespace {
// The desktop-background colour of the classic workstation look, under white text.
const QColor kDesktopColour(0x3A, 0x6E, 0xA5);
}  // namespace

Tfm_SostFR::Tfm_SostFR(Session& session, QWidget* parent)
    : ReportWindow(session,
                   {.windowName = "fm_SostFR",
                    .title = "Состояние ПТК",
                    .clientSize = {kClientWidth, kClientHeight},
                    .panelName = "pn_SostFR",
                    .panel = {8, 8, 289, 417},
                    .boxName = "mem_SostFR",
                    .box = {8, 8, 273, 401},
                    .text = Qt::white,
                    .background = kDesktopColour,
                    .closeName = "bt_SostFRExit",
                    .close = {312, 8, 145, 33}},
                   parent),
      pn_SostFR(panel()),
      mem_SostFR(box()),
      bt_SostFRExit(closeButton()) {}

ExchangeResult Tfm_SostFR::RequestState() {
    const ExchangeResult result = RequestDeviceState(session(), lines_);
    showLines(lines_);
    return result;
}

ExchangeResult Tfm_SostFR::RequestPrinterState() {
    const ExchangeResult result = ptk::RequestPrinterState(session(), lines_);
    showLines(lines_);
    return result;
}

bool Tfm_SostFR::RunRequests() {
    // The box keeps its text between openings, so a failed state request must not leave the
    // state of an earlier opening on show.
    if (!RequestState().succeeded()) {
        lines_.clear();
        mem_SostFR->clear();
    }
    return RequestPrinterState().succeeded();
}
