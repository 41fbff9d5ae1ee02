#pragma once

#include <cstdint>

namespace ptk {

// The register's answer code that asks for the date to be entered once more.
inline constexpr std::uint8_t kConfirmDateCode = 0x16;

// What one command transaction came to.
enum class ExchangeOutcome : std::uint8_t {
    Failed,          // the link failed (its message has been shown), or no closing byte came
    Done,            // the register answered 0x00 or 0x01, or (no code examined) closed the line
    NoMoreData,      // general rules: the end of a data stream (0x84 answered 0x18)
    ChecksumWrong,   // the answer's checksum stayed wrong through every repeat
    DeviceError,     // the register refused with deviceCode; its message has been shown
    UnknownCommand,  // the probe: the register does not know the command; nothing shown
};

// The result of a command transaction: what happened and, for a device error (and an unknown
// command), the register's own code. A plain value: it carries no text, so nothing is allocated.
struct ExchangeResult {
    ExchangeOutcome outcome = ExchangeOutcome::Failed;
    std::uint8_t deviceCode = 0;

    static constexpr ExchangeResult done() { return {ExchangeOutcome::Done, 0}; }
    static constexpr ExchangeResult deviceError(std::uint8_t code) {
        return {ExchangeOutcome::DeviceError, code};
    }

    constexpr bool succeeded() const { return outcome == ExchangeOutcome::Done; }
    // The register wants the date entered again (0x16): its text is in the result field, and no
    // box has been shown, since the caller asks for the date itself.
    constexpr bool dateToConfirm() const {
        return outcome == ExchangeOutcome::DeviceError && deviceCode == kConfirmDateCode;
    }
    bool operator==(const ExchangeResult&) const = default;
};

// The two sets of rules a command transaction follows.
enum class ExchangeRules : std::uint8_t {
    General,  // a hundred tries of the frame; code-dependent end-of-data and probe rules
    Form,     // the windows' variant: five tries a step, the caller's own answer rules
};

}  // namespace ptk
