#pragma once

#include <cstdint>

namespace ptk {
class Session;
}

namespace ptk::sales {

inline constexpr std::uint8_t kShiftClosingReportCode = 0x5A;
// The register prints the whole shift before it answers.
inline constexpr std::uint32_t kShiftReportAnswerStartMs = 40000;

// Prints the report with clearing, which closes the shift. 1 on success, 0 after a link failure
// or device error (its message has been shown), 3 on a checksum failure.
int PrintShiftClosingReport(Session& session);

}  // namespace ptk::sales
