#pragma once

#include <cstddef>
#include <cstdint>

namespace ptk {

namespace control {
inline constexpr std::uint8_t STX = 0x02, ETX = 0x03, EOT = 0x04, ENQ = 0x05, ACK = 0x06,
                              DLE = 0x10, NAK = 0x15;
}

// The framing both of the program's transactions speak: STX, the message with each DLE and ETX
// preceded by a DLE, ETX, and the XOR of everything after STX up to and including that ETX. The
// checksum itself is never escaped.

// How many bytes the message takes once stuffed.
std::size_t stuffedLength(const std::uint8_t* message, std::size_t length);

// Lays out STX, the stuffed message, ETX and the checksum; returns the frame length, or 0 when the
// frame would not fit.
std::size_t buildFrame(const std::uint8_t* message, std::size_t length, std::uint8_t* frame,
                       std::size_t capacity);

// The XOR of count bytes.
std::uint8_t xorChecksum(const std::uint8_t* bytes, std::size_t count);

// Finds the closing ETX of the frame that starts at position 0: the first ETX that no escaping
// DLE precedes (a DLE escapes only when it is not escaped itself). Its position, or -1 when there
// is none inside the buffer.
int findClosingEtx(const std::uint8_t* frame, std::size_t size);

// Whether the byte after the closing ETX is the XOR of the bytes after STX up to that ETX.
bool checksumMatches(const std::uint8_t* frame, std::size_t size);

// Un-stuffs count stuffed message bytes (no STX, no ETX) into out, which may be the same buffer;
// returns the message length. An escaping DLE goes, the byte after it stays.
std::size_t unstuffMessage(const std::uint8_t* stuffed, std::size_t count, std::uint8_t* out);

// Un-stuffs the frame in place up to its closing ETX, which is kept, followed by the checksum;
// the rest is cleared. False when the frame has no closing ETX.
bool unstuffFrame(std::uint8_t* frame, std::size_t size);

}  // namespace ptk
