#pragma once

#include <cstdint>
#include <string_view>

namespace ptk::trace {

// The name of a register command the program sends, or an empty view for any other code.
std::string_view commandName(std::uint8_t code);

// The code of a command message as the register reads it: while codes travel shifted, every code
// but the probe's (0xE0) went out reduced by 0x2E.
std::uint8_t codeAsRead(std::uint8_t codeSent, bool codesShifted);

}  // namespace ptk::trace
