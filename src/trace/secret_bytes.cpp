#include "trace/secret_bytes.h"

#include "trace/command_names.h"

namespace ptk::trace {
namespace {

constexpr std::uint8_t kEnterMode = 0x56;
constexpr std::uint8_t kFiscalRegistration = 0x62;
constexpr std::uint8_t kReadTableField = 0x46;
constexpr std::uint8_t kWriteTableField = 0x50;

// Table 3, row 30 (two bytes, high first), field 1: the programming-mode password.
constexpr std::size_t kFieldAddressLength = 4;
constexpr std::uint8_t kPasswordField[kFieldAddressLength] = {0x03, 0x00, 0x1E, 0x01};

bool isCode(std::uint8_t codeSent, std::uint8_t wanted) {
    return codeSent == wanted || codeAsRead(codeSent, true) == wanted;
}

// The data (from byte 3) begin with the address of the password field.
bool addressesPasswordField(const std::uint8_t* message) {
    for (std::size_t i = 0; i < kFieldAddressLength; ++i) {
        if (message[3 + i] != kPasswordField[i]) return false;
    }
    return true;
}

}  // namespace

bool commandByteIsSecret(const std::uint8_t* message, std::size_t index) {
    if (index < 4) return false;
    const std::uint8_t code = message[2];
    if (isCode(code, kEnterMode)) return true;
    if (isCode(code, kFiscalRegistration)) return index >= 14;
    return isCode(code, kWriteTableField) && index >= 3 + kFieldAddressLength &&
           addressesPasswordField(message);
}

bool answerByteIsSecret(const std::uint8_t* message, std::size_t index) {
    return index >= 2 && isCode(message[0], kReadTableField);
}

}  // namespace ptk::trace
