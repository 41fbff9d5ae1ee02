#include "trace/frame_tracker.h"

#include <algorithm>

namespace ptk::trace {
namespace {

using namespace control;

// A stuffed message takes at most two line bytes a message byte.
constexpr std::size_t kMostLineBytes = 2 * kBufferSize + 3;

}  // namespace

bool FrameTracker::ownSecretAt(std::size_t from, std::size_t index) const {
    const std::uint8_t* message = current_.message.data() + from;
    return kind_ == FrameKind::Answer ? answerByteIsSecret(message, index - from)
                                      : commandByteIsSecret(message, index - from);
}

bool FrameTracker::secretAt(std::size_t index) const {
    if (index >= maskedFrom_ || ownSecretAt(0, index)) return true;
    for (std::size_t i = 0; i < nestedCount_; ++i) {
        if (index >= nested_[i].from && ownSecretAt(nested_[i].from, index)) return true;
    }
    return false;
}

bool FrameTracker::mayCarrySecret() const {
    if (state_ == State::Idle) return false;
    if (kind_ == FrameKind::Command || current_.carriesSecret || current_.length == 0) return true;
    // A frame begun inside this one may be a table read's answer yet.
    return nestedCount_ > 0 || answerByteIsSecret(current_.message.data(), 2);
}

void FrameTracker::begin(State state) {
    state_ = state;
    escaped_ = false;
    checksum_ = 0;
    nestedCount_ = 0;
    maskedFrom_ = kBufferSize;
    current_.length = 0;
    current_.lineBytes = state == State::Message ? 1 : 0;
    current_.checksumRight = false;
    current_.carriesSecret = false;
    current_.cutShortAfter = 0;
}

FrameTracker::Event FrameTracker::end(Event event) {
    ended_ = current_;
    // A frame with secrets that ended may go on in the bytes that follow (its checksum may have
    // been the STX of the frame sent again): they are followed as its rest, masked where its
    // secrets would lie.
    const bool secretsMayFollow = current_.carriesSecret && event != Event::FrameCutShort;
    if (event == Event::FrameCutShort) {
        begin(State::Message);
    } else {
        begin(secretsMayFollow ? State::Headless : State::Idle);
    }
    return event;
}

// The checksum byte of a frame that is not secret decides which frame arrived: the whole one, or
// the last one begun inside it whose own checksum is right (the whole one was then cut short).
FrameTracker::Event FrameTracker::complete(std::uint8_t checksum) {
    current_.checksumRight = expectsChecksum(checksum);
    if (current_.carriesSecret || current_.checksumRight) return end(Event::FrameComplete);
    for (std::size_t i = nestedCount_; i-- > 0;) {
        const Nested& nested = nested_[i];
        if ((checksum_ ^ nested.checksum) != checksum) continue;
        const std::size_t length = current_.length - nested.from;
        std::copy_n(current_.message.begin() + static_cast<std::ptrdiff_t>(nested.from), length,
                    current_.message.begin());
        std::fill_n(current_.secret.begin(), length, false);
        current_.cutShortAfter = nested.from - 1;  // without the STX
        current_.length = length;
        current_.checksumRight = true;
        break;
    }
    return end(Event::FrameComplete);
}

bool FrameTracker::abandon() {
    if (!inFrame()) return false;
    end(Event::FrameBroken);
    return true;
}

FrameTracker::Event FrameTracker::take(std::uint8_t byte, Shown& shown) {
    if (current_.length == current_.message.size()) {
        // Longer than any frame the program or the register sends.
        shown = Shown::Hex;
        if (state_ == State::Headless) {
            begin(State::Idle);
            return Event::None;
        }
        return end(Event::FrameBroken);
    }
    const bool secret = secretAt(current_.length);
    current_.message[current_.length] = byte;
    current_.secret[current_.length] = secret;
    ++current_.length;
    current_.carriesSecret = current_.carriesSecret || secret;
    shown = secret ? Shown::Secret : Shown::Hex;
    if (byte == STX && !secret && state_ == State::Message) {
        // Data, or the frame sent again from its start: followed both ways.
        if (nestedCount_ == kMostNested) {
            maskedFrom_ = std::min(maskedFrom_, current_.length);
        } else {
            nested_[nestedCount_++] = {current_.length, checksum_};
        }
    }
    return Event::None;
}

FrameTracker::Event FrameTracker::feed(std::uint8_t byte, Shown& shown) {
    shown = Shown::Hex;
    switch (state_) {
        case State::Idle:
            if (byte == STX) begin(State::Message);
            return Event::None;
        case State::Headless:
            if (byte == STX && !secretAt(current_.length)) {
                // Where no secret may lie an STX begins a frame.
                begin(State::Message);
                return Event::None;
            }
            [[fallthrough]];
        case State::Message: {
            if (++current_.lineBytes > kMostLineBytes) return end(Event::FrameBroken);
            checksum_ ^= byte;
            if (escaped_) {
                escaped_ = false;
                return take(byte, shown);
            }
            if (byte == DLE) {
                escaped_ = true;
                if (current_.length < current_.message.size() && secretAt(current_.length)) {
                    shown = Shown::Hidden;
                }
                return Event::None;
            }
            if (byte == ETX) {
                state_ = State::Checksum;
                return Event::None;
            }
            return take(byte, shown);
        }
        case State::Checksum:
            if (!current_.carriesSecret && byte == STX && !expectsChecksum(byte)) {
                return end(Event::FrameCutShort);
            }
            ++current_.lineBytes;
            // The checksum is the XOR of everything, secrets included: it would give them away.
            shown = current_.carriesSecret ? Shown::Secret : Shown::Hex;
            return complete(byte);
    }
    return Event::None;
}

}  // namespace ptk::trace
