#pragma once

#include <cstdint>

#include "sim/register_state.h"

namespace ptk::sim {

// Re-registrations the register allows after its fiscalisation.
inline constexpr int kMaxReRegistrations = 4;

// A fiscalised register whose fiscal memory holds the registration on first and then shifts
// 1 to shiftCount closed on days spread evenly from first to last (the last one on last), each
// with sales of its own. The registration takes the register's current РНМ and ИНН. False, with
// the state untouched, unless 1 <= shiftCount <= 9999 and first is not after last.
bool fillFiscalMemory(RegisterState& state, int shiftCount, const DateTime& first,
                      const DateTime& last);

}  // namespace ptk::sim
