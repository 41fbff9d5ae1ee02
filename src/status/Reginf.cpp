#include "status/Reginf.h"

#include "status/registration_info.h"

using namespace ptk;

namespace {
// The scroll-bar colour of the classic workstation look, under black text.
const QColor kScrollBarColour(0xD4, 0xD0, 0xC8);
}  // namespace

Tfm_RegInf::Tfm_RegInf(Session& session, QWidget* parent)
    : ReportWindow(session,
                   {.windowName = "fm_RegInf",
                    .title = "Регистрационная информация ПТК",
                    .clientSize = {kClientWidth, kClientHeight},
                    .panelName = "pn_RegInf",
                    .panel = {17, 8, 401, 290},
                    .boxName = "mem_RegInf",
                    .box = {8, 8, 385, 273},
                    .text = Qt::black,
                    .background = kScrollBarColour,
                    .closeName = "bt_RegInfExit",
                    .close = {149, 310, 137, 33}},
                   parent),
      pn_RegInf(panel()),
      mem_RegInf(box()),
      bt_RegInfExit(closeButton()) {}

ExchangeResult Tfm_RegInf::RunRequests() {
    const ExchangeResult result = ReadRegistrationInfo(session(), lines_);
    showLines(lines_);
    return result;
}
