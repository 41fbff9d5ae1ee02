#include "sales/shift_report.h"

#include "link/session.h"

namespace ptk::sales {

int PrintShiftClosingReport(Session& session) {
    const auto message = session.message(kShiftClosingReportCode);
    CommandCall call;
    call.message = message.data();
    call.messageLength = message.size();
    call.answerLength = 6;
    call.acceptShortAnswer = false;
    call.deadlines.tAnswerStart = kShiftReportAnswerStartMs;
    return session.exchange.SendFormCommand(call);
}

}  // namespace ptk::sales
