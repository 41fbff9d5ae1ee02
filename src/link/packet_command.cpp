#include "link/packet_command.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace ptk {

PacketResult PacketCommand(Session& session, std::uint8_t code, const std::uint8_t* data,
                           std::size_t dataLength, std::uint8_t* answer,
                           std::size_t* answerLength) {
    std::array<char, 5> password{};
    const std::size_t digits = std::min<std::size_t>(session.LinkPassword.size(), 4);
    std::copy_n(session.LinkPassword.begin(), digits, password.begin());
    PacketResult result = session.packets.PacketDriver(
        code, data, dataLength, std::string_view(password.data(), digits), answer, answerLength);
    if (result == packet_result::Done && answer != nullptr && answerLength != nullptr) {
        result = *answerLength < 2 ? packet_result::NoAnswer : PacketResultForDeviceCode(answer[1]);
    }
    // Told with the register's error already mapped, so that a trace shows what the caller sees.
    session.channel.reportPacketEnd(code, result);
    return result;
}

}  // namespace ptk
