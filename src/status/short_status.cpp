#include "status/short_status.h"

#include <algorithm>

namespace ptk {

ExchangeResult QueryStatusCode(Session& session) {
    const MessageBuilder message = session.message(kShortStatusCode);
    CommandCall call = commandCall(message, kShortStatusLength, ShortAnswer::Taken);
    call.errorCode = ErrorCodeRule::None;
    // The register may be busy printing when it is asked; it gets longer to take the line.
    call.deadlines.tEnqAck = 2000;
    call.deadlines.tFrameAck = 2000;
    call.resultField = ResultFieldText::NoErrorsOnAnswer;

    // Cleared first, so that a transaction that never got an answer cannot leave the previous
    // status (or stray bytes) to be read as the register's mode.
    session.StatusCopy.fill(0);
    const ExchangeResult result = session.exchange.SendFormCommand(call);
    const auto& answer = session.exchange.RxBuffer;
    std::copy_n(answer.begin(), kShortStatusLength, session.StatusCopy.begin());
    return result;
}

void DecodeStatusFlags(Session& session) {
    const std::uint8_t flags = session.StatusCopy[3];
    session.DeviceModeByte = session.StatusCopy[2];
    session.NoPaperFlag = (flags & status_flag::NoPaper) ? 1 : 0;
    session.NoPrinterLinkFlag = (flags & status_flag::NoPrinterLink) ? 1 : 0;
    session.CoverOpenFlag = (flags & status_flag::CoverOpen) ? 1 : 0;
    session.NoRollFlag = (flags & status_flag::NoRoll) ? 1 : 0;
}

}  // namespace ptk
