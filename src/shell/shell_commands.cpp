#include "shell/shell_commands.h"

#include <algorithm>

namespace ptk {
namespace {

constexpr std::size_t kModeAnswerLength = 6;
constexpr std::size_t kProbeAnswerLength = 7;
// The probe clears this much of AnswerCopy first, so that a probe that got no answer cannot be
// read as the previous answer's code set.
constexpr std::size_t kProbeClearedBytes = 60;

ExchangeResult sendWithoutData(Session& session, std::uint8_t code) {
    const MessageBuilder message = session.message(code);
    CommandCall call = commandCall(message, kModeAnswerLength, ShortAnswer::Refused);
    call.answerKept = AnswerKept::AsReceived;
    return session.exchange.SendFormCommand(call);
}

}  // namespace

ExchangeResult ExitCurrentMode(Session& session) {
    return sendWithoutData(session, kExitModeCode);
}

ExchangeResult CancelReceipt(Session& session) {
    return sendWithoutData(session, kCancelReceiptCode);
}

ExchangeResult ProbeCommand(Session& session, std::uint8_t a, std::uint8_t b) {
    MessageBuilder message = session.message(kProbeCode);
    message.byte(a).byte(b);
    CommandCall call = commandCall(message, kProbeAnswerLength, ShortAnswer::Taken);
    call.unknownCommand = UnknownCommandAnswer::IsAResult;
    auto& copy = session.exchange.AnswerCopy;
    std::fill_n(copy.begin(), kProbeClearedBytes, std::uint8_t{0});
    return session.exchange.SendFormCommand(call);
}

}  // namespace ptk
