#include "trace/frame_tracker.h"

namespace ptk::trace {
namespace {

using namespace control;

// A stuffed message takes at most two line bytes a message byte.
constexpr std::size_t kMostLineBytes = 2 * kBufferSize + 3;

}  // namespace

bool FrameTracker::secretAt(std::size_t index) const {
    if (kind_ == FrameKind::Answer) return index >= frameSecretsFrom_;
    return commandByteIsSecret(frame_.message.data(), index);
}

FrameTracker::Event FrameTracker::breakOff() {
    state_ = State::Idle;
    return Event::FrameBroken;
}

bool FrameTracker::abandon() {
    if (state_ == State::Idle) return false;
    state_ = State::Idle;
    return true;
}

FrameTracker::Event FrameTracker::take(std::uint8_t byte, Shown& shown) {
    if (frame_.length == frame_.message.size()) {
        shown = Shown::Hex;
        return breakOff();  // longer than any frame the program or the register sends
    }
    const bool secret = secretAt(frame_.length);
    frame_.message[frame_.length] = byte;
    frame_.secret[frame_.length] = secret;
    ++frame_.length;
    frame_.carriesSecret = frame_.carriesSecret || secret;
    shown = secret ? Shown::Secret : Shown::Hex;
    return Event::None;
}

FrameTracker::Event FrameTracker::feed(std::uint8_t byte, Shown& shown) {
    shown = Shown::Hex;
    switch (state_) {
        case State::Idle:
            if (byte == STX) {
                state_ = State::Message;
                frameSecretsFrom_ = answerSecretsFrom_;
                escaped_ = false;
                checksum_ = 0;
                frame_.length = 0;
                frame_.lineBytes = 1;
                frame_.checksumRight = false;
                frame_.carriesSecret = false;
            }
            return Event::None;
        case State::Message:
            if (++frame_.lineBytes > kMostLineBytes) return breakOff();
            checksum_ ^= byte;
            if (escaped_) {
                escaped_ = false;
                return take(byte, shown);
            }
            if (byte == DLE) {
                escaped_ = true;
                if (frame_.length < frame_.message.size() && secretAt(frame_.length)) {
                    shown = Shown::Hidden;
                }
                return Event::None;
            }
            if (byte == ETX) {
                state_ = State::Checksum;
                return Event::None;
            }
            return take(byte, shown);
        case State::Checksum:
            ++frame_.lineBytes;
            frame_.checksumRight = byte == checksum_;
            // The checksum is the XOR of everything, secrets included: it would give them away.
            shown = frame_.carriesSecret ? Shown::Secret : Shown::Hex;
            state_ = State::Idle;
            return Event::FrameComplete;
    }
    return Event::None;
}

}  // namespace ptk::trace
