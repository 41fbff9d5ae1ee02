#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "link/session.h"

namespace ptk {

inline constexpr std::uint8_t kEnterModeCode = 0x56;
inline constexpr std::size_t kAccessPasswordLength = 8;

// The register's modes that the mode-entry dialog enters.
enum RegisterMode : std::uint8_t {
    kSelectionMode = 0,
    kRegistrationMode = 1,
    kZReportMode = 3,
    kProgrammingMode = 4,
    kFiscalMemoryMode = 5,
    kEklzMode = 6,
};

// The access password as it travels: the text filled on the left with "0" to eight characters,
// in the register's code page, its first eight characters packed two to a byte (the low half of
// each character code, so only digits mean what they say).
std::array<std::uint8_t, 4> packAccessPassword(std::string_view password);

// Enters a mode with its access password (0x56). Done: the register is in the mode. Otherwise a
// link failure or the register's refusal, its message shown, or a checksum that stayed wrong.
ExchangeResult EnterMode(Session& session, std::uint8_t mode, std::string_view password);

}  // namespace ptk
