#include <algorithm>

#include "link/command_exchange.h"

namespace ptk {

std::array<std::uint8_t, 2> packLinkPassword(std::string_view linkPassword) {
    // Four digit characters, the missing ones as NUL, whose low half is zero: "73" packs as
    // 0x73 0x00 and an empty password as 0x00 0x00.
    char digits[4] = {0, 0, 0, 0};
    std::copy_n(linkPassword.begin(), std::min<std::size_t>(linkPassword.size(), 4), digits);
    DigitPacker packer;
    const std::uint8_t* packed = packer.PackDigits(digits, 4);
    return {packed[0], packed[1]};
}

MessageBuilder::MessageBuilder(const std::string& linkPassword, std::uint8_t code) {
    const auto password = packLinkPassword(linkPassword);
    message_[0] = password[0];
    message_[1] = password[1];
    message_[2] = code;
    length_ = 3;
}

MessageBuilder& MessageBuilder::byte(std::uint8_t value) {
    if (length_ < message_.size()) message_[length_++] = value;
    return *this;
}

MessageBuilder& MessageBuilder::bytes(const std::uint8_t* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) byte(data[i]);
    return *this;
}

}  // namespace ptk
