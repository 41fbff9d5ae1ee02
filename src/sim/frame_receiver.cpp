#include "sim/frame_receiver.h"

namespace ptk::sim {

std::vector<std::uint8_t> buildFrame(std::span<const std::uint8_t> message) {
    std::vector<std::uint8_t> frame;
    frame.reserve(message.size() * 2 + 3);
    frame.push_back(control::STX);
    std::uint8_t checksum = 0;
    auto put = [&](std::uint8_t byte) {
        frame.push_back(byte);
        checksum ^= byte;
    };
    for (std::uint8_t byte : message) {
        if (byte == control::DLE || byte == control::ETX) put(control::DLE);
        put(byte);
    }
    put(control::ETX);
    frame.push_back(checksum);
    return frame;
}

FrameReceiver::Outcome FrameReceiver::feed(std::uint8_t byte) {
    if (!active_) return Outcome::Overflow;
    ++received_;
    if (closed_) {
        checksumMatches_ = byte == checksum_;
        active_ = false;
        return Outcome::Complete;
    }
    if (received_ >= kMaxFrameBytes) {
        // Even the checksum would not fit the computer's buffer: no real frame is this long.
        active_ = false;
        return Outcome::Overflow;
    }
    checksum_ ^= byte;
    if (escaped_) {
        escaped_ = false;
        message_.push_back(byte);
    } else if (byte == control::DLE) {
        escaped_ = true;
    } else if (byte == control::ETX) {
        closed_ = true;
    } else {
        message_.push_back(byte);
    }
    return Outcome::Pending;
}

}  // namespace ptk::sim
