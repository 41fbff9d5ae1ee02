#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "link/command_exchange.h"
#include "platform/memory_line.h"

namespace ptk::testing {

// A register peer driven by a script rather than by a model of the register: each step of the
// exchange answers as the test says, so a test can put any fault at any step. Unless told
// otherwise it behaves like a healthy register that answers at once.
class ScriptedRegister final : public platform::LinePeer {
public:
    static constexpr std::uint64_t kByteUs = 87;          // one byte at 115200 baud, 10 bits a byte
    static constexpr std::uint64_t kFrameGapUs = 50'000;  // a frame broken off this long is dropped

    explicit ScriptedRegister(platform::MemoryLine& line) : line_(line) { line_.attach(this); }
    ~ScriptedRegister() override { line_.attach(nullptr); }

    // Answers to the ENQ, one per ENQ (then enqReply); nullopt means silence.
    std::deque<std::optional<std::uint8_t>> enqReplies;
    std::optional<std::uint8_t> enqReply = control::ACK;
    // Answers to the command frame, one per frame (then frameReply).
    std::deque<std::optional<std::uint8_t>> frameReplies;
    std::optional<std::uint8_t> frameReply = control::ACK;
    // The register's request to send after the EOT, and how long the command takes.
    std::optional<std::uint8_t> answerRequest = control::ENQ;
    std::uint64_t commandUs = 1000;
    // The answer message (before stuffing). Frames sent in turn for the ACK and each NAK; when
    // rawAnswers runs dry, the good frame built from answer is sent.
    std::vector<std::uint8_t> answer{0x52, 0x00, 0x00};
    std::deque<std::vector<std::uint8_t>> rawAnswers;
    bool answerSilent = false;
    // A pause inside the answer frame: after byte pauseAfterByte, wait pauseUs.
    std::optional<std::size_t> pauseAfterByte;
    std::uint64_t pauseUs = 0;
    // The register's closing byte after the computer acknowledged the answer.
    std::optional<std::uint8_t> closingByte = control::EOT;

    // Faults on the wire: called for every byte the register sends (may change the byte, move
    // it later, or drop it by returning false) and for every byte it receives (may change it or
    // drop it). Each direction counts its bytes from 0.
    std::function<bool(std::size_t index, std::uint8_t& byte, std::uint64_t& atUs)> outgoingFault;
    std::function<bool(std::size_t index, std::uint8_t& byte)> incomingFault;
    std::size_t bytesSent = 0;
    std::size_t bytesReceived = 0;

    // What the register received.
    std::vector<std::vector<std::uint8_t>> framesReceived;  // each frame as it travelled
    int enqCount = 0;
    int eotCount = 0;
    int answerAcks = 0;
    int answerNaks = 0;

    // The frame the register sends for answer.
    std::vector<std::uint8_t> goodAnswerFrame() const {
        std::vector<std::uint8_t> frame(kBufferSize);
        frame.resize(buildFrame(answer.data(), answer.size(), frame.data(), frame.size()));
        return frame;
    }

    void onReceived(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs) override;

private:
    enum class State { Idle, InFrame, AwaitAnswerAck, AwaitAnswerReply };
    void sendByte(std::uint64_t atUs, std::optional<std::uint8_t> byte);
    void handle(std::uint8_t byte, std::uint64_t nowUs);
    std::uint64_t shiftUs_ = 0;  // a delayed byte delays everything after it
    void sendAnswer(std::uint64_t atUs);
    std::optional<std::uint8_t> next(std::deque<std::optional<std::uint8_t>>& queue,
                                     std::optional<std::uint8_t> fallback);

    platform::MemoryLine& line_;
    State state_ = State::Idle;
    std::vector<std::uint8_t> frame_;
    bool escaped_ = false;
    bool checksumNext_ = false;
    std::uint64_t lastByteUs_ = 0;
};

}  // namespace ptk::testing
