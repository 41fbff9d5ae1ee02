#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ptk::sim {

// A count of fault occurrences still to come; kAlways never runs out.
inline constexpr int kAlways = -1;

// Takes one occurrence off count; true when the fault applies this time.
inline bool consumeFault(int& count) {
    if (count == kAlways) return true;
    if (count <= 0) return false;
    --count;
    return true;
}

// The steps at which the register can stay silent. Silence means the bytes of that step are lost
// on the line; the register itself carries on as if it had sent them.
enum class SilentStep : std::uint8_t {
    LineAck = 0,        // the ACK to the computer's ENQ
    FrameReply = 1,     // the ACK or NAK to the command frame
    AnswerRequest = 2,  // the ENQ with which the register asks for the line after the command
    AnswerFrame = 3,    // the answer frame (each sending, repeats included)
    Closing = 4,        // the EOT after the computer acknowledged the answer
};
inline constexpr std::size_t kSilentStepCount = 5;

std::string_view silentStepName(SilentStep step);  // "enq-ack", "frame-ack", ...
bool parseSilentStep(std::string_view name, SilentStep& step);

// Faults the register shows on request. Counts are occurrences still to come (kAlways: every
// time); the printer faults are register state (RegisterState::printer).
struct FaultPlan {
    // Refuse the next n command frames with NAK although their checksum is right.
    int nakFrames = 0;
    // Send the next n answer frames (repeats included) with a wrong checksum.
    int badChecksumAnswers = 0;
    // Lose the register's bytes at a step, n times, by step.
    std::array<int, kSilentStepCount> silent{};
    // Work this much longer before asking for the line, for the next delayedAnswers answers.
    std::uint64_t answerDelayUs = 0;
    int delayedAnswers = 0;
    // Stop for pauseUs inside the next framePauses answer frames, after afterByte bytes of the
    // frame (STX counts as byte 1) have gone out.
    std::size_t pauseAfterByte = 0;
    std::uint64_t pauseUs = 0;
    int framePauses = 0;
    // Answer a command (as interpreted) with an error code instead of carrying it out.
    struct InjectedError {
        std::uint8_t code = 0;
        std::uint8_t error = 0;
        int count = 1;
    };
    std::vector<InjectedError> errors;

    int& silentAt(SilentStep step) { return silent[static_cast<std::size_t>(step)]; }
};

}  // namespace ptk::sim
