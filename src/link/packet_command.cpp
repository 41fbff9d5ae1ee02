#include "link/packet_command.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace ptk {

std::int32_t PacketCommand(Session& session, std::uint8_t code, const std::uint8_t* data,
                           std::size_t dataLength, std::uint8_t* answer,
                           std::size_t* answerLength) {
    std::array<char, 5> password{};
    const std::size_t digits = std::min<std::size_t>(session.LinkPassword.size(), 4);
    std::copy_n(session.LinkPassword.begin(), digits, password.begin());
    const std::int32_t result = session.packets.PacketDriver(
        code, data, dataLength, std::string_view(password.data(), digits), answer, answerLength);
    if (result != packet_result::Done || answer == nullptr || answerLength == nullptr) {
        return result;
    }
    if (*answerLength < 2) return packet_result::NoAnswer;
    return PacketResultForDeviceCode(answer[1]);
}

}  // namespace ptk
