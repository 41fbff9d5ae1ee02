#pragma once

#include <cstdint>
#include <string>

#include "sim/date_time.h"

namespace ptk::sim {

// Texts as the register prints them on its tape.
std::string formatSum(std::uint64_t kopecks);               // "123.45"
std::string formatDate(const DateTime& value);              // "07.05.13"
std::string formatTime(const DateTime& value);              // "09:05"
std::string formatNumber(std::uint64_t value, int digits);  // zero-padded: "0005"

}  // namespace ptk::sim
