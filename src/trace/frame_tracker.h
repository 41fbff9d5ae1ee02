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
};

// Follows the bytes of one direction of the line and finds its frames (STX, the message with
// its DLE stuffing, the closing ETX that no DLE escapes, the checksum), deciding for every byte
// how the trace may write it. Allocates nothing.
class FrameTracker {
public:
    enum class Event { None, FrameComplete, FrameBroken };

    explicit FrameTracker(FrameKind kind) : kind_(kind) {}

    FrameKind kind() const { return kind_; }
    // Answers only: the first answer byte that is secret, as the command they answer says.
    void setAnswerSecretsFrom(std::size_t first) { answerSecretsFrom_ = first; }

    Event feed(std::uint8_t byte, Shown& shown);
    bool inFrame() const { return state_ != State::Idle; }
    // Gives up the frame in progress (its remaining bytes were thrown away); true when there
    // was one, which frame() then describes.
    bool abandon();
    // The frame completed or broken off last.
    const Frame& frame() const { return frame_; }
    // Whether the frame in progress has or may yet have secret bytes: an answer to a command
    // whose answer is secret, or any command (its secrets may lie further on).
    bool mayCarrySecret() const {
        return frame_.carriesSecret || kind_ == FrameKind::Command ||
               frameSecretsFrom_ != kNoSecret;
    }

private:
    enum class State { Idle, Message, Checksum };

    Event take(std::uint8_t byte, Shown& shown);
    Event breakOff();
    bool secretAt(std::size_t index) const;

    FrameKind kind_;
    std::size_t answerSecretsFrom_ = kNoSecret;
    std::size_t frameSecretsFrom_ = kNoSecret;  // answerSecretsFrom_ when the frame began
    State state_ = State::Idle;
    bool escaped_ = false;
    std::uint8_t checksum_ = 0;
    Frame frame_;
};

}  // namespace ptk::trace
