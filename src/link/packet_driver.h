#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "link/frame.h"
#include "link/packet_result.h"
#include "link/serial_channel.h"

namespace ptk {

// The results of the packet driver and of the calls made through it, by name.
namespace packet_result {
inline constexpr PacketResult Done{DriverCode::Done};
inline constexpr PacketResult BadParameter{DriverCode::BadParameter};
inline constexpr PacketResult PortError{DriverCode::PortError};
inline constexpr PacketResult NoLink{DriverCode::NoLink};
inline constexpr PacketResult NoAnswer{DriverCode::NoAnswer};
inline constexpr PacketResult NotAcknowledged{DriverCode::NotAcknowledged};
inline constexpr PacketResult MessageTooLong{DriverCode::MessageTooLong};
inline constexpr PacketResult AnswerTooLong{DriverCode::AnswerTooLong};
inline constexpr PacketResult ChecksumMismatch{DriverCode::ChecksumMismatch};
inline constexpr PacketResult NoPaper{DriverCode::NoPaper};
inline constexpr PacketResult BufferTooSmall{DriverCode::BufferTooSmall};
inline constexpr PacketResult NotFound{DriverCode::NotFound};
inline constexpr PacketResult ConfirmationNeeded{DriverCode::ConfirmationNeeded};
inline constexpr PacketResult ShiftTooLong{DriverCode::ShiftTooLong};
inline constexpr PacketResult WrongPassword{DriverCode::WrongPassword};
inline constexpr PacketResult NotInThisMode{DriverCode::NotInThisMode};
inline constexpr PacketResult Stopped{DriverCode::Stopped};
}  // namespace packet_result

// Messages, stuffed messages and received answers of the packet driver stay below this size.
inline constexpr std::size_t kPacketLimit = 90;
// The longest answer a caller may make room for: a table field of 90 bytes (a header line the
// register took) after the type byte and the error code. Its frame may take twice as many bytes
// stuffed.
inline constexpr std::size_t kLongestPacketAnswer = 92;

// Fixed waits of the packet transaction, in milliseconds.
inline constexpr std::uint32_t kPacketHandshakeMs = 700;
inline constexpr std::uint32_t kPacketByteMs = 500;
inline constexpr std::uint32_t kPacketAnswerStartMs = 2000;
// The longest a wait sleeps before it looks at the stop request again.
inline constexpr std::uint32_t kStopSliceMs = 50;

// How long the register may work on a command before it asks to answer, in milliseconds.
std::uint32_t PacketTimeout(std::uint8_t code);

// value as 2 x byteCount decimal digits (byteCount at most 9), packed two to a byte, most
// significant first; digits above the field are dropped. Returned by value, so no call
// overwrites the bytes of another.
using BcdBytes = std::array<std::uint8_t, 9>;
BcdBytes ToBcd(std::uint64_t value, std::size_t byteCount);

// The result of a packet command whose answer carries the register's error code: Done for 0, a
// code of DriverResultTable for the errors it has an entry of its own for, and otherwise the
// register's code as a device error, which ShowDriverResult shows through ErrorText.
PacketResult PacketResultForDeviceCode(std::uint8_t code);

// The packet-level transaction: the same framing as the command exchange, blocking waits with a
// time-out per command, 90-byte limits, and a result instead of messages. It never shifts
// the code. Works on the device of the channel's CurrentPort; every wait sleeps at most
// kStopSliceMs at a time and ends the call with packet_result::Stopped once the channel's stop
// signal is set. Whatever the outcome, the port gets the channel's own time-outs back. The
// buffers are members, so nothing is allocated per call. One call at a time.
class PacketExchange {
public:
    explicit PacketExchange(SerialChannel& channel) : channel_(channel) {}

    // password: up to four digits, sent packed as the command exchange sends LinkPassword, or
    // none. answer: where the un-stuffed answer goes (type byte, error code, data), or null when
    // no answer is awaited; answerLength: its capacity on the way in, the answer's length on the
    // way out.
    PacketResult PacketDriver(std::uint8_t code, const std::uint8_t* data, std::size_t dataLength,
                              std::optional<std::string_view> password, std::uint8_t* answer,
                              std::size_t* answerLength);

    // Done when the message fits a packet frame, MessageTooLong otherwise: lets a caller that sends
    // several messages refuse them all before the first goes out.
    // True while a call is on the line, on the thread that made it: what goes out meanwhile
    // carries its code unshifted, whatever DirectCodes says.
    bool inProgress() const { return device_ != nullptr; }

    static PacketResult checkMessageFits(std::optional<std::string_view> password,
                                         std::uint8_t code, const std::uint8_t* data,
                                         std::size_t dataLength);

private:
    enum class Wait { Byte, Silence, Stopped, PortLost };

    PacketResult buildMessage(std::uint8_t code, const std::uint8_t* data, std::size_t dataLength,
                              std::optional<std::string_view> password, std::size_t& frameLength);
    PacketResult transact(std::uint8_t code, std::size_t frameLength, std::uint8_t* answer,
                          std::size_t* answerLength);
    PacketResult handshake();
    PacketResult sendFrame(std::size_t frameLength);
    PacketResult awaitAnswerRequest(std::uint8_t code);
    PacketResult receiveAnswer(std::uint8_t* answer, std::size_t* answerLength);
    PacketResult closeExchange();

    // The result of a wait that brought no byte: Stopped, PortError for a lost port, onSilence.
    static PacketResult notByte(Wait wait, PacketResult onSilence);
    // The port failed: the channel closes it, and this call goes on without it.
    void lose();
    bool setReadTimeout(std::uint32_t ms);
    bool writeBytes(const std::uint8_t* bytes, std::size_t count);
    bool writeControl(std::uint8_t byte) { return writeBytes(&byte, 1); }
    Wait readByte(std::uint8_t& byte);

    SerialChannel& channel_;
    platform::SerialDevice* device_ = nullptr;  // the port's device during a call, null once lost
    std::uint32_t readTimeoutMs_ = 0;
    std::array<std::uint8_t, kPacketLimit> message_{};
    std::array<std::uint8_t, kPacketLimit + 3> frame_{};  // STX, stuffed message, ETX, checksum
    // STX up to the closing ETX.
    std::array<std::uint8_t, 2 * kLongestPacketAnswer + 2> received_{};
};

}  // namespace ptk
