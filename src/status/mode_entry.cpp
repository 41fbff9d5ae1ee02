#include "status/mode_entry.h"

#include <string>

#include "link/bcd.h"
#include "platform/codepage.h"

namespace ptk {

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
    auto message = session.message(kEnterModeCode);
    message.byte(mode).bytes(packedPassword.data(), packedPassword.size());
    CommandCall call = commandCall(message, 6, ShortAnswer::Refused);
    // The answer carries nothing but its error code, read from the bytes as received.
    call.answerKept = AnswerKept::AsReceived;
    return session.exchange.SendFormCommand(call);
}

}  // namespace ptk
