#include "status/Sosteklz.h"

#include <string>
#include <vector>

#include "status/eklz_state.h"

using namespace ptk;

namespace {
const QColor kTeal(0x00, 0x80, 0x80);
}  // namespace

Tfm_SostEKLZ::Tfm_SostEKLZ(Session& session, QWidget* parent)
    : ReportWindow(session,
                   {.windowName = "fm_SostEKLZ",
                    .title = "Состояние ЭКЛЗ",
                    .clientSize = {kClientWidth, kClientHeight},
                    .panelName = "pn_SostEKLZ",
                    .panel = {8, 8, 289, 241},
                    .boxName = "mem_SostEKLZ",
                    .box = {8, 8, 273, 225},
                    .text = kTeal,
                    .background = Qt::white,
                    .closeName = "bt_SostEKLZExit",
                    .close = {312, 8, 131, 33},
                    .closeFirst = true},
                   parent),
      bt_SostEKLZExit(closeButton()),
      pn_SostEKLZ(panel()),
      mem_SostEKLZ(box()) {}

ExchangeResult Tfm_SostEKLZ::RequestEklzState() {
    std::vector<std::string> lines;
    const ExchangeResult result = ptk::RequestEklzState(session(), lines);
    if (result.succeeded()) showLines(lines);
    return result;
}
