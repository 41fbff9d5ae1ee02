#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/table_field.h"
#include "link/session.h"

namespace ptk {

// The register's four header lines (table 6, rows 1 to 4, field 1), read and written through the
// packet driver while the register is in mode 4. Results are driver results, for
// ShowDriverResult.

inline constexpr int kHeaderLineCount = 4;
inline constexpr std::uint8_t kWriteTableFieldCode = 0x50;
inline constexpr std::uint8_t kHeaderTable = 6;
inline constexpr std::uint8_t kHeaderField = 1;

// The lines' texts as the form holds them, UTF-8, markup included.
using HeaderLineTexts = std::array<std::string, kHeaderLineCount>;

// The register bytes of line (0 to 3); *length: capacity in, bytes out.
PacketResult ReadHeaderLine(Session& session, int line, std::uint8_t* bytes, std::size_t* length);
// Stores count bytes as line (0 to 3); an empty line travels as the one byte 0x00.
PacketResult WriteHeaderLine(Session& session, int line, const std::uint8_t* bytes,
                             std::size_t count);

// Reads the four lines into texts, in order; on a failure the lines not read yet keep their
// texts.
PacketResult ReadHeaderLines(Session& session, HeaderLineTexts& texts);
// Encodes all four texts first and sends nothing unless every one of them encodes and fits a
// packet; then writes them in order.
PacketResult WriteHeaderLines(Session& session, const HeaderLineTexts& texts);

// The first of the four lines that cannot be written as it stands, with why, in the inspector's
// words; line -1 when all four can.
struct UnwritableHeaderLine {
    int line = -1;
    std::string reason;
};
UnwritableHeaderLine FindUnwritableHeaderLine(const Session& session, const HeaderLineTexts& texts);

// Whether all four lines can be written; otherwise an error box of owner's names the first that
// cannot and why. A registration asks this before it sends anything.
bool CheckHeaderLinesWritable(Session& session, const HeaderLineTexts& texts, OwnerHandle owner);
// After the lines were read: a warning of owner's names a line that could not be written back as
// it stands (too long for a packet, say), so that it is mended before a registration.
void WarnOfUnwritableHeaderLines(Session& session, const HeaderLineTexts& texts, OwnerHandle owner);

}  // namespace ptk
