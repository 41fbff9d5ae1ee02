#include "shell/shell_commands.h"

namespace ptk {

ExchangeResult CancelReceipt(Session& session) {
    const MessageBuilder message = session.message(kCancelReceiptCode);
    CommandCall call = commandCall(message, 6, ShortAnswer::Refused);
    call.answerKept = AnswerKept::AsReceived;
    return session.exchange.SendFormCommand(call);
}

}  // namespace ptk
