#pragma once

#include <cstdint>

#include "link/exchange_result.h"

namespace ptk {
class Session;
}

namespace ptk::sales {

inline constexpr std::uint8_t kShiftClosingReportCode = 0x5A;
// The register prints the whole shift before it answers.
inline constexpr std::uint32_t kShiftReportAnswerStartMs = 40000;

// Prints the report with clearing, which closes the shift. A failure has shown its message.
ExchangeResult PrintShiftClosingReport(Session& session);

}  // namespace ptk::sales
