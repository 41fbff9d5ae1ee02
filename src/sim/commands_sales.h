#pragma once

#include <cstdint>

namespace ptk::sim {

// How long the register works on the report with clearing before it asks for the line: it
// prints the shift's totals and writes the fiscal memory, which takes seconds on a real printer.
inline constexpr std::uint64_t kShiftReportWorkUs = 12'000'000;

// A new date this many days past the register's own date, or any date before it, is taken only
// when it is sent a second time.
inline constexpr int kDateStepWithoutConfirmationDays = 1;

}  // namespace ptk::sim
