#pragma once

#include <cstddef>
#include <cstdint>

#include "link/session.h"

namespace ptk {

inline constexpr std::uint8_t kExitModeCode = 0x52;
inline constexpr std::uint8_t kCancelReceiptCode = 0x59;
// Where the probe's answer byte 2 (which command codes the register expects) lies in AnswerCopy.
inline constexpr std::size_t kProbeCodeSetPosition = 3;

// Takes the register back to the selection mode (command 0x52). Done when the register
// confirmed; any failure has shown its message.
ExchangeResult ExitCurrentMode(Session& session);

// Cancels the open receipt (command 0x59); results as ExitCurrentMode.
ExchangeResult CancelReceipt(Session& session);

// Command 0xE0 with the data bytes a and b; its code is never shifted. The answer is taken even
// when it comes short and lies un-stuffed in AnswerCopy. UnknownCommand when the register does
// not know the command (0x7A or 0x46, no message); any other failure has shown its message.
ExchangeResult ProbeCommand(Session& session, std::uint8_t a, std::uint8_t b);

}  // namespace ptk
