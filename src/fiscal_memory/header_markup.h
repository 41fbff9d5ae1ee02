#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/packet_result.h"

namespace ptk {

// The markup between a header line as the inspector types it and the bytes the register keeps
// (both in the register's code page, 866):
//   \x      the character x itself (for \, { and ~)
//   ~x      the byte 0x09, then x (whatever x is)
//   {IMG n:m}  a picture element: 0x0A, n (low 8 bits), m as 16 bits, high byte first; it ends
//              the line (nothing after it is sent)
//   other   itself
// A NUL ends a register line, unless it is one of a picture element's three bytes after 0x0A.
// The text of a line holds no NUL, and no line feed or tab but as the byte after ~ (or a tab
// after \ at its very end): the register reads them as the end, a picture and the prefix.
// Results are driver results: 0, 0xA0 (bad markup), 0x101 (does not fit), 0x194 (tag unknown).

// A register line holds at most this many bytes, and its text at most this many characters.
inline constexpr std::size_t kHeaderLineLimit = 90;
// Bytes of a picture element.
inline constexpr std::size_t kPictureElementSize = 4;
inline constexpr std::uint8_t kPictureElementByte = 0x0A;
inline constexpr std::uint8_t kPrefixByte = 0x09;

// Reads the words after a tag's name (the text between the name and the closing brace) and
// writes the tag's bytes; length is the room on the way in and the bytes written on the way out.
using PictureTagParser = PacketResult (*)(std::string_view words, std::uint8_t* out,
                                          std::size_t* length);

struct PictureTag {
    char name[33];  // compared exactly, case included
    PictureTagParser parser;
};

// The picture element: the number, then the offset (a missing offset is 0). 0xA0 without a
// number, 0x101 with less than four bytes of room.
PacketResult ParsePictureTag(std::string_view words, std::uint8_t* out, std::size_t* length);

// The tags the markup knows, ended by the entry with an empty name.
extern const PictureTag PictureTagTable[2];

// The text of the picture element at element (available bytes from there on): {IMG n:m}. 0xA0
// when it is no picture element or is cut short; 0x101 when the text is longer than *length.
PacketResult FormatPictureElement(const std::uint8_t* element, std::size_t available, char* out,
                                  std::size_t* length);

// Why a line's text cannot become register bytes.
enum class HeaderTextFault {
    None,
    ControlCharacter,   // a NUL, line feed or tab where the register would read markup
    BadMarkup,          // \ or ~ at the end, a tag without its number or closing brace, ...
    TooManyBytes,       // more than 90 bytes (or the capacity given)
    TooLongToReadBack,  // its bytes would read back as more than 90 characters
};

// Encodes a line's text (code page 866) into register bytes; *length: capacity in, bytes out.
// Only text that reads back as itself (in its normal form: no needless escapes, the picture tag
// as {IMG n:m}) within 90 characters is taken.
HeaderTextFault EncodeHeaderText(std::string_view text, std::uint8_t* out, std::size_t* length);

// EncodeHeaderText with a driver result: 0xA0 for a control character or bad markup, 0x101 for
// a line too long either way.
PacketResult HeaderTextToDevice(std::string_view text, std::uint8_t* out, std::size_t* length);
PacketResult HeaderTextResult(HeaderTextFault fault);

// Decodes register bytes into a line's text (code page 866); *length: capacity in, characters
// out. The line ends at its first picture element or at a NUL, whichever comes first; nothing
// after the end is read. 0x101 when the text would be longer than 90 characters or the
// capacity. The text encodes back into the bytes of the line.
PacketResult HeaderDeviceToText(const std::uint8_t* bytes, std::size_t count, char* out,
                                std::size_t* length);

// The text of a picture tag, {IMG number:offset}, NUL-terminated; returns its length.
inline constexpr std::size_t kPictureTagTextSize = 40;
std::size_t printPictureTag(char (&text)[kPictureTagTextSize], int number, int offset);

// The leading decimal number of text as the C library's atoi reads it (blanks, a sign, digits),
// 0 when there is none; held to the range of int instead of overflowing.
int leadingDecimalNumber(std::string_view text);

}  // namespace ptk
