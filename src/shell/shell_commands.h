#pragma once

#include <cstdint>

#include "link/session.h"

namespace ptk {

inline constexpr std::uint8_t kCancelReceiptCode = 0x59;

// Cancels the open receipt (command 0x59). Done when the register confirmed; a failure has shown
// its message.
ExchangeResult CancelReceipt(Session& session);

}  // namespace ptk
