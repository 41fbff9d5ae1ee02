#include "scripted_register.h"

namespace ptk::testing {

using namespace control;

std::optional<std::uint8_t> ScriptedRegister::next(std::deque<std::optional<std::uint8_t>>& queue,
                                                   std::optional<std::uint8_t> fallback) {
    if (queue.empty()) return fallback;
    auto value = queue.front();
    queue.pop_front();
    return value;
}

void ScriptedRegister::sendByte(std::uint64_t atUs, std::optional<std::uint8_t> byte) {
    if (!byte) return;
    std::uint8_t value = *byte;
    std::uint64_t at = atUs + shiftUs_;
    const std::uint64_t planned = at;
    const bool keep = !outgoingFault || outgoingFault(bytesSent, value, at);
    ++bytesSent;
    if (at > planned) shiftUs_ += at - planned;
    if (keep) line_.send(at, {value});
}

void ScriptedRegister::sendAnswer(std::uint64_t atUs) {
    if (answerSilent) return;
    std::vector<std::uint8_t> frame;
    if (!rawAnswers.empty()) {
        frame = rawAnswers.front();
        rawAnswers.pop_front();
    } else {
        frame = goodAnswerFrame();
    }
    std::uint64_t at = atUs;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        sendByte(at, frame[i]);
        at += kByteUs;
        if (pauseAfterByte && i == *pauseAfterByte) at += pauseUs;
    }
}

void ScriptedRegister::onReceived(const std::uint8_t* data, std::size_t count,
                                  std::uint64_t nowUs) {
    // Whatever was delayed before has been overtaken by the program's next move.
    if (line_.pendingBytes() == 0) shiftUs_ = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t byte = data[i];
        const bool keep = !incomingFault || incomingFault(bytesReceived, byte);
        ++bytesReceived;
        if (keep) handle(byte, nowUs);
    }
}

void ScriptedRegister::handle(std::uint8_t byte, std::uint64_t nowUs) {
    const std::uint64_t reply = nowUs + kByteUs;
    if (state_ == State::InFrame && nowUs - lastByteUs_ > kFrameGapUs) state_ = State::Idle;
    lastByteUs_ = nowUs;
    if (state_ == State::InFrame) {
        frame_.push_back(byte);
        if (checksumNext_) {
            framesReceived.push_back(frame_);
            state_ = State::Idle;
            sendByte(reply, next(frameReplies, frameReply));
        } else if (escaped_) {
            escaped_ = false;
        } else if (byte == DLE) {
            escaped_ = true;
        } else if (byte == ETX) {
            checksumNext_ = true;
        }
        return;
    }
    if (state_ == State::AwaitAnswerAck && byte == ACK) {
        state_ = State::AwaitAnswerReply;
        sendAnswer(reply);
        return;
    }
    if (state_ == State::AwaitAnswerReply && (byte == ACK || byte == NAK)) {
        if (byte == ACK) {
            ++answerAcks;
            state_ = State::Idle;
            sendByte(reply, closingByte);
        } else {
            ++answerNaks;
            sendAnswer(reply);
        }
        return;
    }
    switch (byte) {
        case ENQ:
            ++enqCount;
            state_ = State::Idle;
            sendByte(reply, next(enqReplies, enqReply));
            break;
        case STX:
            state_ = State::InFrame;
            frame_.assign(1, STX);
            escaped_ = false;
            checksumNext_ = false;
            break;
        case EOT:
            ++eotCount;
            state_ = State::AwaitAnswerAck;
            sendByte(nowUs + commandUs, answerRequest);
            break;
        default:
            break;
    }
}

}  // namespace ptk::testing
