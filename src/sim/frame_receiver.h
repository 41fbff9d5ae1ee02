#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ptk::sim {

namespace control {
inline constexpr std::uint8_t STX = 0x02, ETX = 0x03, EOT = 0x04, ENQ = 0x05, ACK = 0x06,
                              DLE = 0x10, NAK = 0x15;
}

// The longest frame the computer's buffers hold, STX to checksum.
inline constexpr std::size_t kMaxFrameBytes = 260;

// STX, the message with each DLE and ETX preceded by DLE, ETX, and the XOR of everything after
// STX up to and including that ETX. The checksum itself is never escaped.
std::vector<std::uint8_t> buildFrame(std::span<const std::uint8_t> message);

// Takes a frame from the computer byte by byte, from its STX to its checksum: the closing ETX is
// the first one that no escaping DLE precedes (a DLE escapes only when it is not escaped itself).
class FrameReceiver {
public:
    enum class Outcome {
        Pending,   // more bytes to come
        Complete,  // checksum byte taken
        Overflow,  // longer than any frame the computer sends: dropped
    };

    // Starts a frame; the STX itself is not passed to feed.
    void start() {
        message_.clear();
        checksum_ = 0;
        received_ = 1;
        escaped_ = false;
        closed_ = false;
        active_ = true;
    }
    void reset() { active_ = false; }
    bool active() const { return active_; }

    Outcome feed(std::uint8_t byte);

    // Valid after Complete.
    bool checksumMatches() const { return checksumMatches_; }
    const std::vector<std::uint8_t>& message() const { return message_; }

private:
    std::vector<std::uint8_t> message_;
    std::uint8_t checksum_ = 0;
    std::size_t received_ = 0;
    bool escaped_ = false;
    bool closed_ = false;
    bool active_ = false;
    bool checksumMatches_ = false;
};

}  // namespace ptk::sim
