#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "link/command_exchange.h"
#include "trace/secret_bytes.h"

namespace ptk::trace {

// What the frames of one direction of the line carry.
enum class FrameKind { Command, Answer };

// How the trace writes one byte of the line.
enum class Shown {
    Hex,     // as two hexadecimal digits
    Secret,  // as "**"
    Hidden,  // not at all: the DLE in front of a secret byte, so that a stuffed secret looks
             // like any other
};

// A frame as it travelled: the message without its stuffing, which message bytes are secret,
// and whether its checksum matched.
struct Frame {
    std::array<std::uint8_t, kBufferSize> message{};
    std::array<bool, kBufferSize> secret{};
    std::size_t length = 0;     // message bytes
    std::size_t lineBytes = 0;  // bytes on the line, from the STX on (stuffing included)
    bool checksumRight = false;
    bool carriesSecret = false;
    // Message bytes of a frame that was cut short right before this one began inside it, or 0.
    std::size_t cutShortAfter = 0;
};

// Follows the bytes of one direction of the line and finds its frames (STX, the message with
// its DLE stuffing, the closing ETX that no DLE escapes, the checksum), deciding for every byte
// how the trace may write it.
//
// No decision looks at the value of a byte that may be secret, so the trace reads the same
// whatever the secrets are; only their places are told:
// - a secret runs to the end of its message (secret_bytes.h); inside it every byte is data but
//   the DLE that escapes and the ETX that closes (a sender stuffs every secret 0x10 and 0x03);
// - anywhere else inside a frame an STX may be data (it is never stuffed) or the start of the
//   frame sent again after a cut. Both are followed: the bytes after it are masked where that
//   second frame would have its secrets, and when the frame ends, a frame without secrets whose
//   checksum is wrong while the second frame's is right was cut short before the second;
// - the byte after the closing ETX of a frame without secrets that is an STX but not the
//   checksum starts a new frame; the checksum of a frame with secrets is never looked at, and
//   the bytes after it are followed as a frame whose STX went by as that checksum (the frame was
//   cut before its checksum and sent again), until an STX where no secret may lie.
// Allocates nothing.
class FrameTracker {
public:
    enum class Event {
        None,
        FrameComplete,  // the frame in progress ended with this byte (its checksum)
        FrameBroken,    // the frame in progress was given up with this byte (too long)
        FrameCutShort,  // the frame in progress was cut short before this byte, which starts
                        // a new frame
    };

    explicit FrameTracker(FrameKind kind) : kind_(kind) {}

    FrameKind kind() const { return kind_; }

    Event feed(std::uint8_t byte, Shown& shown);
    // Inside a frame whose STX was seen.
    bool inFrame() const { return state_ == State::Message || state_ == State::Checksum; }
    // Gives up the frame in progress (its sender gave up on it, or its remaining bytes were
    // thrown away); true when there was one, which frame() then describes.
    bool abandon();
    // The frame completed, cut short or broken off last.
    const Frame& frame() const { return ended_; }
    // Whether the frame in progress has or may yet have secret bytes: any command (its secrets
    // may lie further on), an answer until its type byte is in, one that says it is a table
    // read's, and one with an STX inside, which may have begun such an answer.
    bool mayCarrySecret() const;

private:
    // Headless: after the checksum of a frame with secrets, where a frame may go on whose STX
    // went by as that checksum; bytes count as its message, but nothing is reported unless an
    // ETX closes it.
    enum class State { Idle, Headless, Message, Checksum };

    // A frame that may have begun with an STX inside the frame in progress: its message starts
    // at message index from, and checksum is the frame's own checksum up to and including it.
    struct Nested {
        std::size_t from = 0;
        std::uint8_t checksum = 0;
    };
    static constexpr std::size_t kMostNested = 4;

    Event take(std::uint8_t byte, Shown& shown);
    void begin(State state);
    Event end(Event event);
    Event complete(std::uint8_t checksum);
    bool secretAt(std::size_t index) const;
    bool ownSecretAt(std::size_t from, std::size_t index) const;
    bool expectsChecksum(std::uint8_t byte) const { return byte == checksum_; }

    FrameKind kind_;
    State state_ = State::Idle;
    bool escaped_ = false;
    std::uint8_t checksum_ = 0;
    std::array<Nested, kMostNested> nested_{};
    std::size_t nestedCount_ = 0;
    // With more STX bytes inside a frame than can be followed, everything after is masked.
    std::size_t maskedFrom_ = kBufferSize;
    Frame current_;
    Frame ended_;
};

}  // namespace ptk::trace
