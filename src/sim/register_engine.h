#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/command_table.h"
#include "sim/faults.h"
#include "sim/frame_receiver.h"
#include "sim/register_state.h"

namespace ptk::sim {

// One byte the register sends, and the time (µs, the engine's clock) it goes on the line.
struct TimedByte {
    std::uint64_t atUs = 0;
    std::uint8_t value = 0;
    bool operator==(const TimedByte&) const = default;
};

struct EngineOptions {
    // Line speed; the bytes of a frame go out one wire time (10 bits) apart.
    std::uint32_t baud = 115200;
    // How long the register takes to answer a byte or frame of the computer.
    std::uint64_t replyLatencyUs = 1'000;
    // A pause this long inside a frame from the computer abandons the frame.
    std::uint64_t interByteTimeoutUs = 100'000;
    // How long the register waits for the computer's ACK to its ENQ and for the ACK or NAK to its
    // answer frame before it drops the answer and goes idle.
    std::uint64_t replyTimeoutUs = 2'000'000;
    // How often the register sends an answer frame again after NAKs before it gives up.
    int maxAnswerRepeats = 10;
};

// A command the register carried out (or refused), for logs and tests.
struct CommandRecord {
    std::uint64_t atUs = 0;             // when the computer handed the line over (EOT)
    std::uint8_t receivedCode = 0;      // the code byte of the frame
    std::uint8_t code = 0;              // as interpreted
    std::string_view name;              // empty for an unknown command
    std::vector<std::uint8_t> message;  // the whole command message, password first
    std::vector<std::uint8_t> answer;   // the answer message
    std::uint64_t durationUs = 0;       // work time, an injected delay included
};

// The simulated register's side of the serial protocol, without any I/O. The driver feeds it the
// bytes the computer sent with the time they arrived (receive), lets waits run out (advance), and
// puts the bytes it returns (takeOutput) on the line at their times. Times are microseconds on one
// monotonic clock chosen by the driver; calls must come in time order.
//
// One exchange, as the register plays it:
//   computer ENQ            -> ACK
//   computer frame          -> ACK (checksum right) or NAK (wrong; the computer sends it again)
//   computer EOT            -> the command is carried out (the register does not listen meanwhile)
//                           -> ENQ when the work is done
//   computer ACK            -> the stuffed answer frame with its checksum
//   computer NAK            -> the same frame again (at most maxAnswerRepeats times)
//   computer ACK            -> EOT; idle
// An ENQ at any point outside a frame starts over. A message may come without the link password
// (the packet driver's may): when its first two bytes are not the password but its first byte is
// a command the register knows, it is that command. A frame with the wrong link password is
// accepted and answered with error 0x8C; an unknown code with 0x46; a code not allowed in the
// current mode with 0x66. Waits that run out (replyTimeoutUs) and frames that stall
// (interByteTimeoutUs) send the register back to idle, so it never wedges.
class RegisterEngine {
public:
    enum class Phase {
        Idle,              // waiting for ENQ
        AwaitFrame,        // line granted, waiting for the command frame
        AwaitEot,          // frame accepted, waiting for EOT
        Working,           // carrying out the command
        AwaitLineGrant,    // ENQ sent, waiting for ACK
        AwaitAnswerReply,  // answer frame sent, waiting for ACK or NAK
    };

    explicit RegisterEngine(RegisterState state = {}, EngineOptions options = {});

    void receive(const std::uint8_t* data, std::size_t count, std::uint64_t nowUs);
    // Lets waits that end before nowUs run out.
    void advance(std::uint64_t nowUs);
    // The bytes scheduled since the last call, in time order.
    std::vector<TimedByte> takeOutput();

    RegisterState& state() { return state_; }
    const RegisterState& state() const { return state_; }
    FaultPlan& faults() { return faults_; }
    CommandTable& commands() { return commands_; }
    const EngineOptions& options() const { return options_; }
    Phase phase() const { return phase_; }
    // When the last byte scheduled so far has left the register.
    std::uint64_t lineFreeAtUs() const { return lineFreeAtUs_; }
    std::uint64_t byteTimeUs() const { return byteTimeUs_; }
    std::size_t commandsCarriedOut() const { return commandsCarriedOut_; }

    void setCommandObserver(std::function<void(const CommandRecord&)> observer) {
        commandObserver_ = std::move(observer);
    }
    // Line events in words (frame refused, answer repeated, started over, ...).
    void setLinkObserver(std::function<void(std::uint64_t atUs, std::string_view text)> observer) {
        linkObserver_ = std::move(observer);
    }

private:
    void takeByte(std::uint8_t byte, std::uint64_t nowUs);
    void onFrameComplete(std::uint64_t nowUs);
    void onEot(std::uint64_t nowUs);
    void startOver(std::uint64_t nowUs);
    void sendAnswerFrame(std::uint64_t nowUs, bool repeat);
    void sendControl(std::uint8_t byte, std::uint64_t nowUs, SilentStep step);
    void scheduleControl(std::uint8_t byte, std::uint64_t atUs, SilentStep step);
    void schedule(const std::vector<std::uint8_t>& bytes, std::uint64_t startUs,
                  std::size_t pauseAfter, std::uint64_t pauseUs);
    CommandReply carryOut(const std::vector<std::uint8_t>& message, std::uint64_t nowUs,
                          CommandRecord& record);
    void note(std::uint64_t atUs, std::string_view text);
    std::uint64_t replyTime(std::uint64_t nowUs) const;

    RegisterState state_;
    EngineOptions options_;
    FaultPlan faults_;
    CommandTable commands_;
    std::uint64_t byteTimeUs_;

    Phase phase_ = Phase::Idle;
    FrameReceiver receiver_;
    std::vector<std::uint8_t> command_;      // the accepted command message
    std::vector<std::uint8_t> answerFrame_;  // the answer frame as it goes on the line
    int answerRepeats_ = 0;
    std::uint64_t waitEndsUs_ = 0;  // when the current wait for the computer runs out
    std::uint64_t lineFreeAtUs_ = 0;
    std::uint64_t lastInputUs_ = 0;
    bool discarding_ = false;  // an over-long frame is being skipped
    std::size_t ignoredWhileWorking_ = 0;
    std::vector<TimedByte> output_;
    std::size_t commandsCarriedOut_ = 0;

    std::function<void(const CommandRecord&)> commandObserver_;
    std::function<void(std::uint64_t, std::string_view)> linkObserver_;
};

}  // namespace ptk::sim
