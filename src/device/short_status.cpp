#include "device/short_status.h"

namespace ptk {
namespace {

// The mode byte and the flags byte as they lie in the answer read, after STX and the type byte.
constexpr std::size_t kModeBytePosition = 2;
constexpr std::size_t kFlagsPosition = 3;

}  // namespace

ShortStatusReply QueryStatusCode(Session& session) {
    const MessageBuilder message = session.message(kShortStatusCode);
    CommandCall call = commandCall(message, kShortStatusLength, ShortAnswer::Taken);
    call.errorCode = ErrorCodeRule::None;
    // The register may be busy printing when it is asked; it gets longer to take the line.
    call.deadlines.tEnqAck = 2000;
    call.deadlines.tFrameAck = 2000;
    call.resultField = ResultFieldText::NoErrorsOnAnswer;

    ShortStatusReply reply;
    reply.result = session.exchange.SendFormCommand(call);
    const auto& answer = session.exchange.received();
    reply.status = {answer[kModeBytePosition], answer[kFlagsPosition]};
    return reply;
}

}  // namespace ptk
