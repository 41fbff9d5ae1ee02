#include "link/packet_driver.h"

#include <algorithm>

#include "link/bcd.h"
#include "link/command_exchange.h"
#include "platform/system_error.h"

namespace ptk {

using namespace control;
using namespace packet_result;

namespace {

constexpr int kHandshakeTries = 5;
constexpr int kFrameAckReads = 10;
constexpr std::string_view kGetLastErrorCaption = "GetLastError";

struct CommandTimeout {
    std::uint8_t code;
    std::uint32_t seconds;
};
constexpr CommandTimeout kCommandTimeouts[] = {
    {0x4A, 20},  {0x62, 20},  {0xA6, 20},  {0xA7, 20},  {0x5A, 40},  {0x91, 45},  {0xA8, 120},
    {0xA9, 120}, {0xAA, 120}, {0xAB, 120}, {0xAC, 120}, {0xAD, 120}, {0x65, 600}, {0x66, 600},
};
constexpr std::uint32_t kOrdinaryCommandSeconds = 10;

// The read time-out as the packet driver asks the port for it: one total constant, no per-byte
// part, no write limits.
platform::CommTimeouts readConstant(std::uint32_t ms) {
    platform::CommTimeouts timeouts;
    timeouts.readIntervalMs = 0;
    timeouts.readTotalMultiplierMs = 0;
    timeouts.readTotalConstantMs = ms;
    timeouts.writeTotalMultiplierMs = 0;
    timeouts.writeTotalConstantMs = 0;
    return timeouts;
}

}  // namespace

std::uint32_t PacketTimeout(std::uint8_t code) {
    for (const CommandTimeout& entry : kCommandTimeouts) {
        if (entry.code == code) return entry.seconds * 1000;
    }
    return kOrdinaryCommandSeconds * 1000;
}

BcdBytes ToBcd(std::uint64_t value, std::size_t byteCount) {
    BcdBytes bytes{};
    packDecimal(value, bytes.data(), std::min(byteCount, bytes.size()));
    return bytes;
}

PacketResult PacketResultForDeviceCode(std::uint8_t code) {
    switch (code) {
        case 0x00:
            return Done;
        case 0x16:
            return ConfirmationNeeded;
        case 0x66:
            return NotInThisMode;
        case 0x67:
            return NoPaper;
        case 0x88:
            return ShiftTooLong;
        case 0x8C:
            return WrongPassword;
        default:
            return PacketResult::device(code);
    }
}

PacketResult PacketExchange::checkMessageFits(std::optional<std::string_view> password,
                                              std::uint8_t code, const std::uint8_t* data,
                                              std::size_t dataLength) {
    const std::size_t head = password ? 3 : 1;
    if (head + dataLength > kPacketLimit) return MessageTooLong;
    std::size_t stuffed = stuffedLength(&code, 1) + stuffedLength(data, dataLength);
    if (password) {
        const auto packed = packLinkPassword(*password);
        stuffed += stuffedLength(packed.data(), packed.size());
    }
    return stuffed >= kPacketLimit ? MessageTooLong : Done;
}

PacketResult PacketExchange::buildMessage(std::uint8_t code, const std::uint8_t* data,
                                          std::size_t dataLength,
                                          std::optional<std::string_view> password,
                                          std::size_t& frameLength) {
    if (const PacketResult fits = checkMessageFits(password, code, data, dataLength);
        fits != Done) {
        return fits;
    }
    std::size_t length = 0;
    if (password) {
        const auto packed = packLinkPassword(*password);
        message_[length++] = packed[0];
        message_[length++] = packed[1];
    }
    message_[length++] = code;
    std::copy_n(data, dataLength, message_.begin() + static_cast<std::ptrdiff_t>(length));
    length += dataLength;
    frameLength = buildFrame(message_.data(), length, frame_.data(), frame_.size());
    return Done;
}

PacketResult PacketExchange::PacketDriver(std::uint8_t code, const std::uint8_t* data,
                                          std::size_t dataLength,
                                          std::optional<std::string_view> password,
                                          std::uint8_t* answer, std::size_t* answerLength) {
    const SerialChannel::Transaction onTheLine(channel_);
    std::size_t frameLength = 0;
    const PacketResult built = buildMessage(code, data, dataLength, password, frameLength);
    if (built != Done) return built;
    if (channel_.stopRequested()) return Stopped;
    device_ = channel_.currentDevice();
    if (!device_) return PortError;
    readTimeoutMs_ = 0;
    const PacketResult result = transact(code, frameLength, answer, answerLength);
    // Whatever the outcome, the port gets the channel's own time-outs back (unless it was lost),
    // so that the next command exchange reads with its per-byte rule again.
    if (device_) device_->setTimeouts(platform::CommTimeouts{});
    device_ = nullptr;
    return result;
}

PacketResult PacketExchange::transact(std::uint8_t code, std::size_t frameLength,
                                      std::uint8_t* answer, std::size_t* answerLength) {
    // Whatever lies unread belongs to an exchange that is over; it must not pass for the
    // register's answer to our ENQ.
    device_->purge(platform::PurgeRxClear);
    if (const PacketResult r = handshake(); r != Done) return r;
    if (const PacketResult r = sendFrame(frameLength); r != Done) return r;
    writeControl(EOT);  // its outcome shows in the next step
    if (answer == nullptr || answerLength == nullptr) return Done;
    if (const PacketResult r = awaitAnswerRequest(code); r != Done) return r;
    if (const PacketResult r = receiveAnswer(answer, answerLength); r != Done) return r;
    return closeExchange();
}

PacketResult PacketExchange::handshake() {
    if (!setReadTimeout(kPacketHandshakeMs)) {
        // The one step that tells the inspector itself: a port that takes no time-outs is a
        // fault of this workstation, not of the register.
        const std::string reason = platform::lastSystemErrorText();
        channel_.frontEnd().showMessage(MessageIcon::Information, kGetLastErrorCaption, reason);
        return PortError;
    }
    for (int attempt = 1; attempt <= kHandshakeTries; ++attempt) {
        if (!writeControl(ENQ)) return PortError;
        std::uint8_t byte = 0;
        const Wait wait = readByte(byte);
        if (wait == Wait::Stopped || wait == Wait::PortLost) return notByte(wait, NoLink);
        if (wait == Wait::Byte && byte == ACK) return Done;
    }
    return NoLink;
}

PacketResult PacketExchange::sendFrame(std::size_t frameLength) {
    if (!setReadTimeout(kPacketByteMs)) return PortError;
    if (!writeBytes(frame_.data(), frameLength)) return PortError;
    // A NAK is waited past, not answered with the frame again.
    for (int read = 1; read <= kFrameAckReads; ++read) {
        std::uint8_t byte = 0;
        const Wait wait = readByte(byte);
        if (wait != Wait::Byte) return notByte(wait, NotAcknowledged);
        if (byte == ACK) return Done;
        if (byte != NAK) return NotAcknowledged;
    }
    return NotAcknowledged;
}

PacketResult PacketExchange::awaitAnswerRequest(std::uint8_t code) {
    if (!setReadTimeout(PacketTimeout(code))) return PortError;
    std::uint8_t byte = 0;
    const Wait wait = readByte(byte);
    if (wait != Wait::Byte) return notByte(wait, NoAnswer);
    if (byte == ENQ && !writeControl(ACK)) return PortError;
    return Done;
}

PacketResult PacketExchange::receiveAnswer(std::uint8_t* answer, std::size_t* answerLength) {
    // An answer stays below the packet limit, unless the caller made room for a longer one (a
    // whole header line): then the frame may hold that answer, every byte stuffed.
    const std::size_t longest = std::clamp(*answerLength, kPacketLimit - 1, kLongestPacketAnswer);
    const std::size_t mostReceived = longest < kPacketLimit ? kPacketLimit - 1 : 2 * longest + 2;
    // Every byte of this step counts against the limit, those dropped before STX included, so
    // that a line that babbles ends the wait too.
    std::size_t received = 0;
    std::size_t stored = 0;
    bool escaped = false;
    for (;;) {
        if (!setReadTimeout(received == 0 ? kPacketAnswerStartMs : kPacketByteMs)) {
            return PortError;
        }
        std::uint8_t byte = 0;
        const Wait wait = readByte(byte);
        if (wait != Wait::Byte) return notByte(wait, NoAnswer);
        if (++received > mostReceived) return AnswerTooLong;
        if (stored == 0) {
            if (byte == STX) received_[stored++] = byte;
            continue;
        }
        received_[stored++] = byte;
        if (escaped) {
            escaped = false;
        } else if (byte == DLE) {
            escaped = true;
        } else if (byte == ETX) {
            break;
        }
    }
    std::uint8_t checksum = 0;
    if (const Wait wait = readByte(checksum); wait != Wait::Byte) return notByte(wait, NoAnswer);
    // After STX, up to and including the closing ETX.
    if (xorChecksum(received_.data() + 1, stored - 1) != checksum) return ChecksumMismatch;
    // Between STX and the closing ETX; the message is never longer than its stuffed form.
    const std::size_t length = unstuffMessage(received_.data() + 1, stored - 2, received_.data());
    if (length > longest) return AnswerTooLong;
    if (length > *answerLength) return BufferTooSmall;
    std::copy_n(received_.begin(), length, answer);
    *answerLength = length;
    return Done;
}

PacketResult PacketExchange::closeExchange() {
    if (!writeControl(ACK)) return PortError;
    if (!setReadTimeout(kPacketByteMs)) return PortError;
    std::uint8_t closing = 0;  // its value is not looked at
    const Wait wait = readByte(closing);
    return wait == Wait::Byte ? Done : notByte(wait, NoAnswer);
}

PacketResult PacketExchange::notByte(Wait wait, PacketResult onSilence) {
    switch (wait) {
        case Wait::Stopped:
            return Stopped;
        case Wait::PortLost:
            return PortError;
        case Wait::Silence:
        case Wait::Byte:
            break;
    }
    return onSilence;
}

bool PacketExchange::setReadTimeout(std::uint32_t ms) {
    if (!device_) return false;
    if (readTimeoutMs_ == ms) return true;
    if (!device_->setTimeouts(readConstant(ms))) return false;
    readTimeoutMs_ = ms;
    return true;
}

bool PacketExchange::writeBytes(const std::uint8_t* bytes, std::size_t count) {
    if (!device_) return false;
    std::size_t written = 0;
    if (device_->write(bytes, count, written) && written == count) return true;
    if (device_->hungUp()) lose();
    return false;
}

void PacketExchange::lose() {
    channel_.portFailed();
    device_ = nullptr;
}

PacketExchange::Wait PacketExchange::readByte(std::uint8_t& byte) {
    platform::Clock& clock = channel_.clock();
    const std::uint32_t start = clock.tickMs();
    for (;;) {
        if (channel_.stopRequested()) return Wait::Stopped;
        if (!device_) return Wait::PortLost;
        const std::uint32_t spent = clock.tickMs() - start;
        if (spent >= readTimeoutMs_) return Wait::Silence;
        const std::uint32_t slice = std::min(readTimeoutMs_ - spent, kStopSliceMs);
        if (!device_->waitForInput(slice)) continue;
        switch (device_->readByte(byte)) {
            case platform::ReadOutcome::Byte:
                return Wait::Byte;
            case platform::ReadOutcome::NoByte:
                continue;
            case platform::ReadOutcome::Failed:
                // The port failed or hung up: the call ends now, and the port is opened again
                // by the next one.
                lose();
                return Wait::PortLost;
        }
    }
}

}  // namespace ptk
