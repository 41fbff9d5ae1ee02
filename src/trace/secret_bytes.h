#pragma once

#include <cstddef>
#include <cstdint>

namespace ptk::trace {

// The secrets a trace never writes, by their place in a message (command: link password bytes 0
// and 1, code 2, data from 3; answer: type byte 0, error code 1, data from 2). Each runs to the
// end of its message, so that a frame cut short inside it and sent again whole is masked to its
// end, whatever of it arrived where:
// - the access password of a mode entry (0x56): command bytes 4 on;
// - the new fiscal-memory password of a registration (0x62): command bytes 14 on, the last four
//   of its fifteen data bytes;
// - the programming password in table 3 row 30 field 1: the value written to it (0x50 with that
//   address, command bytes 7 on);
// - the answer to any table read (type byte 0x46): answer bytes 2 on. Which field an answer
//   carries only its command tells, and an answer may arrive late, after the next command went
//   out; so every table read's answer is masked.
// A code counts both as it travelled and as read with the code shift: the packet driver never
// shifts while the command exchange may, and a secret must stay hidden whichever sent it.
// Whether a byte is secret depends only on the bytes before it, never on its own value.

// Whether byte index of a command message is secret; message holds the bytes before it.
bool commandByteIsSecret(const std::uint8_t* message, std::size_t index);

// Whether byte index of an answer message is secret; message holds the bytes before it.
bool answerByteIsSecret(const std::uint8_t* message, std::size_t index);

}  // namespace ptk::trace
