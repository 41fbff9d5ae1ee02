#include "device/mode_switch.h"

#include <string>

#include "device/short_status.h"
#include "link/bcd.h"
#include "platform/codepage.h"

namespace ptk {
namespace {

constexpr std::size_t kModeAnswerLength = 6;

// A command whose answer carries nothing but its error code, read from the bytes as received.
ExchangeResult sendModeCommand(Session& session, const MessageBuilder& message) {
    CommandCall call = commandCall(message, kModeAnswerLength, ShortAnswer::Refused);
    call.answerKept = AnswerKept::AsReceived;
    return session.exchange.SendFormCommand(call);
}

ExchangeResult enter(Session& session, std::uint8_t mode, const ModePassword& password) {
    if (const std::string* typed = password.typedText()) return EnterMode(session, mode, *typed);
    const TableFieldReply kept = ReadTableField(session, *password.field());
    if (!kept.result.succeeded()) return kept.result;
    return EnterMode(session, mode, passwordFromTableField(kept.value));
}

}  // namespace

std::array<std::uint8_t, 4> packAccessPassword(std::string_view password) {
    std::string digits = platform::utf8ToCp866(password);
    if (digits.size() < kAccessPasswordLength) {
        digits.insert(0, kAccessPasswordLength - digits.size(), '0');
    }
    DigitPacker packer;
    const std::uint8_t* packed = packer.PackDigits(digits.data(), kAccessPasswordLength);
    return {packed[0], packed[1], packed[2], packed[3]};
}

ExchangeResult EnterMode(Session& session, std::uint8_t mode, std::string_view password) {
    const auto packedPassword = packAccessPassword(password);
    MessageBuilder message = session.message(kEnterModeCode);
    message.byte(mode).bytes(packedPassword.data(), packedPassword.size());
    return sendModeCommand(session, message);
}

ExchangeResult ExitCurrentMode(Session& session) {
    return sendModeCommand(session, session.message(kExitModeCode));
}

ExchangeResult SwitchToMode(Session& session, std::uint8_t mode, const ModePassword& password,
                            Leaving leaving) {
    if (leaving == Leaving::Always) {
        const ExchangeResult left = ExitCurrentMode(session);
        // Whether the mode was left shows in the entry: the register refuses it in another mode.
        return mode == kSelectionMode ? left : enter(session, mode, password);
    }
    const ShortStatusReply status = QueryStatusCode(session);
    ExchangeResult result = status.result;
    if (result.succeeded() && !status.status.inSelectionMode()) result = ExitCurrentMode(session);
    if (!result.succeeded() || mode == kSelectionMode) return result;
    return enter(session, mode, password);
}

}  // namespace ptk
