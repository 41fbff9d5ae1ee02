#include "sales/shift_report.h"

#include "link/session.h"

namespace ptk::sales {

ExchangeResult PrintShiftClosingReport(Session& session) {
    const auto message = session.message(kShiftClosingReportCode);
    CommandCall call = commandCall(message, 6, ShortAnswer::Refused);
    call.deadlines.tAnswerStart = kShiftReportAnswerStartMs;
    return session.exchange.SendFormCommand(call);
}

}  // namespace ptk::sales
