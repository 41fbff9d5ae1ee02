#pragma once

#include <cstddef>
#include <cstdint>

namespace ptk::trace {

// The secrets a trace never writes, by their place in a message (command: link password bytes 0
// and 1, code 2, data from 3; answer: type byte 0, error code 1, data from 2):
// - the access password of a mode entry (0x56): command bytes 4 to 7;
// - the new fiscal-memory password of a registration (0x62): command bytes 14 to 17, the last
//   four of its fifteen data bytes;
// - the programming password in table 3 row 30 field 1: the value written to it (0x50, command
//   bytes 7 on) and the answer to a read of it (0x46 with data 03 00 1E 01, answer bytes 2 on).
// A code counts both as it travelled and as read with the code shift: the packet driver never
// shifts while the command exchange may, and a secret must stay hidden whichever sent it.

inline constexpr std::size_t kNoSecret = static_cast<std::size_t>(-1);

// Whether byte index of a command message is secret; message holds the bytes before it.
bool commandByteIsSecret(const std::uint8_t* message, std::size_t index);

// The first byte of the answer to this command message that is secret, or kNoSecret.
std::size_t answerSecretsFrom(const std::uint8_t* message, std::size_t length);

}  // namespace ptk::trace
