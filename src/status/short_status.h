#pragma once

#include <cstddef>
#include <cstdint>

#include "link/session.h"

namespace ptk {

inline constexpr std::uint8_t kShortStatusCode = 0x45;
// The short status answer as it is read and kept: 55 logical bytes, STX included.
inline constexpr std::size_t kShortStatusLength = 55;

// Printer flags of the short status answer's flags byte (answer byte 2).
namespace status_flag {
inline constexpr std::uint8_t NoPaper = 0x01;
inline constexpr std::uint8_t NoPrinterLink = 0x02;
inline constexpr std::uint8_t CoverOpen = 0x04;
inline constexpr std::uint8_t NoRoll = 0x08;
}  // namespace status_flag

// Asks the register for its short status (command 0x45). The answer is taken even when it comes
// short, and its first 55 bytes go to session.StatusCopy (mode byte at position 2, flags byte at
// position 3; places that did not arrive read 0). No device error code is judged here: the
// callers look at the mode byte themselves, so the result field always reads "no errors".
// Done when the register completed the exchange; Failed on a link failure (already shown) or a
// missing closing byte, ChecksumWrong when the answer's checksum stayed wrong.
ExchangeResult QueryStatusCode(Session& session);

// Sets DeviceModeByte and the four printer flags from the status copy that the last
// QueryStatusCode left.
void DecodeStatusFlags(Session& session);

}  // namespace ptk
