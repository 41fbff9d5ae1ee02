#include "fiscal_memory/header_markup.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>

#include "link/packet_driver.h"

namespace ptk {

using namespace packet_result;

namespace {

constexpr std::string_view kWordDelimiters = " \t,:;";

// The next word of text from position on, as strtok finds it; empty when there is none.
std::string_view nextWord(std::string_view text, std::size_t& position) {
    const std::size_t start = text.find_first_not_of(kWordDelimiters, position);
    if (start == std::string_view::npos) {
        position = text.size();
        return {};
    }
    const std::size_t end = std::min(text.find_first_of(kWordDelimiters, start), text.size());
    position = end;
    return text.substr(start, end - start);
}

bool isEscapedOnTheWayOut(std::uint8_t byte) {
    return byte == '\\' || byte == '{' || byte == '~';
}

const PictureTag* findPictureTag(std::string_view name) {
    for (const PictureTag* tag = PictureTagTable; tag->name[0] != '\0'; ++tag) {
        if (name == tag->name) return tag;
    }
    return nullptr;
}

// Encodes the tag whose text (between the braces) is tag at out; length: room in, bytes out.
PacketResult encodePictureTag(std::string_view tag, std::uint8_t* out, std::size_t* length) {
    std::size_t position = 0;
    const std::string_view name = nextWord(tag, position);
    const PictureTag* found = findPictureTag(name);
    if (found == nullptr) return NotFound;
    return found->parser(tag.substr(position), out, length);
}

}  // namespace

const PictureTag PictureTagTable[2] = {
    {"IMG", ParsePictureTag},
    {"", nullptr},
};

std::size_t printPictureTag(char (&text)[kPictureTagTextSize], int number, int offset) {
    const int written =
        std::snprintf(text, sizeof text, "{%s %d:%d}", PictureTagTable[0].name, number, offset);
    return written < 0 ? 0 : std::min(static_cast<std::size_t>(written), sizeof text - 1);
}

int leadingDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL + INT_MAX);
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

PacketResult ParsePictureTag(std::string_view words, std::uint8_t* out, std::size_t* length) {
    if (*length < kPictureElementSize) return BufferTooSmall;
    std::array<std::uint8_t, kPictureElementSize> element{};
    std::size_t position = 0;
    const std::string_view number = nextWord(words, position);
    if (number.empty()) return BadParameter;
    element[1] = static_cast<std::uint8_t>(leadingDecimalNumber(number) & 0xFF);
    const std::string_view offsetWord = nextWord(words, position);
    if (!offsetWord.empty()) {
        const auto offset = static_cast<std::uint16_t>(leadingDecimalNumber(offsetWord) & 0xFFFF);
        element[2] = static_cast<std::uint8_t>(offset >> 8);
        element[3] = static_cast<std::uint8_t>(offset & 0xFF);
    }
    element[0] = kPictureElementByte;
    std::copy(element.begin(), element.end(), out);
    *length = kPictureElementSize;
    return Done;
}

PacketResult FormatPictureElement(const std::uint8_t* element, std::size_t available, char* out,
                                  std::size_t* length) {
    if (available == 0 || element[0] != kPictureElementByte) return BadParameter;
    // A register line cut off inside the element has no offset to show; nothing past its end is
    // read.
    if (available < kPictureElementSize) return BadParameter;
    char text[kPictureTagTextSize];
    const std::size_t size = printPictureTag(text, element[1], element[2] * 256 + element[3]);
    if (size > *length) return BufferTooSmall;
    std::copy_n(text, size, out);
    *length = size;
    return Done;
}

namespace {

// The bytes the register reads as markup: the end of the line, a picture element, the prefix.
bool isMarkupByte(char c) {
    return c == '\0' || c == static_cast<char>(kPictureElementByte) ||
           c == static_cast<char>(kPrefixByte);
}

HeaderTextFault encodeInto(std::string_view text, std::array<std::uint8_t, kHeaderLineLimit>& bytes,
                           std::size_t& position) {
    std::size_t i = 0;
    while (i < text.size()) {
        // Text is left that the register's line has no room for: refused, not cut off.
        if (position >= kHeaderLineLimit) return HeaderTextFault::TooManyBytes;
        const char c = text[i];
        if (c == '\\') {
            if (i + 1 >= text.size()) return HeaderTextFault::BadMarkup;
            const char escaped = text[i + 1];
            // A lone prefix byte can only end a line: anywhere else it would take the next byte.
            const bool lastPrefix =
                escaped == static_cast<char>(kPrefixByte) && i + 2 == text.size();
            if (isMarkupByte(escaped) && !lastPrefix) return HeaderTextFault::ControlCharacter;
            bytes[position++] = static_cast<std::uint8_t>(escaped);
            i += 2;
        } else if (c == '~') {
            bytes[position++] = kPrefixByte;
            if (position >= kHeaderLineLimit) return HeaderTextFault::TooManyBytes;
            if (i + 1 >= text.size()) return HeaderTextFault::BadMarkup;
            // The prefix takes any byte but the one that would end the line.
            if (text[i + 1] == '\0') return HeaderTextFault::ControlCharacter;
            bytes[position++] = static_cast<std::uint8_t>(text[i + 1]);
            i += 2;
        } else if (c == '{') {
            const std::size_t close = text.find('}', i + 1);
            if (close == std::string_view::npos) return HeaderTextFault::BadMarkup;
            std::size_t room = kHeaderLineLimit - position;
            // Whatever went wrong inside the tag, the line's markup is what is wrong.
            if (encodePictureTag(text.substr(i + 1, close - i - 1), bytes.data() + position,
                                 &room) != Done) {
                return HeaderTextFault::BadMarkup;
            }
            position += room;
            break;  // a picture ends the line
        } else if (isMarkupByte(c)) {
            return HeaderTextFault::ControlCharacter;
        } else {
            bytes[position++] = static_cast<std::uint8_t>(c);
            ++i;
        }
    }
    return HeaderTextFault::None;
}

}  // namespace

HeaderTextFault EncodeHeaderText(std::string_view text, std::uint8_t* out, std::size_t* length) {
    std::array<std::uint8_t, kHeaderLineLimit> bytes{};
    std::size_t position = 0;
    if (const HeaderTextFault fault = encodeInto(text, bytes, position);
        fault != HeaderTextFault::None) {
        return fault;
    }
    if (position > *length) return HeaderTextFault::TooManyBytes;
    // Escapes and picture tags may read back longer than they were typed.
    std::array<char, kHeaderLineLimit> shown{};
    std::size_t shownLength = shown.size();
    if (HeaderDeviceToText(bytes.data(), position, shown.data(), &shownLength) != Done) {
        return HeaderTextFault::TooLongToReadBack;
    }
    std::copy_n(bytes.begin(), position, out);
    *length = position;
    return HeaderTextFault::None;
}

PacketResult HeaderTextToDevice(std::string_view text, std::uint8_t* out, std::size_t* length) {
    return HeaderTextResult(EncodeHeaderText(text, out, length));
}

PacketResult HeaderTextResult(HeaderTextFault fault) {
    switch (fault) {
        case HeaderTextFault::None:
            return Done;
        case HeaderTextFault::ControlCharacter:
        case HeaderTextFault::BadMarkup:
            return BadParameter;
        case HeaderTextFault::TooManyBytes:
        case HeaderTextFault::TooLongToReadBack:
            break;
    }
    return BufferTooSmall;
}

PacketResult HeaderDeviceToText(const std::uint8_t* bytes, std::size_t count, char* out,
                                std::size_t* length) {
    std::array<char, kHeaderLineLimit> text{};
    std::size_t position = 0;
    const auto put = [&](std::uint8_t value) {
        if (position >= kHeaderLineLimit) return false;
        text[position++] = static_cast<char>(value);
        return true;
    };
    std::size_t i = 0;
    // A NUL ends the line; a picture element's own NUL bytes are taken with it.
    while (i < count && bytes[i] != 0x00) {
        const std::uint8_t byte = bytes[i];
        if (byte == kPrefixByte && i + 1 < count && bytes[i + 1] != 0x00) {
            // The prefix takes the next byte as it is, just as the encoding writes it.
            if (!put('~') || !put(bytes[i + 1])) return BufferTooSmall;
            i += 2;
        } else if (isEscapedOnTheWayOut(byte) || byte == kPrefixByte) {
            // A prefix byte that ends the line has nothing to take: written as an escaped byte.
            if (!put('\\') || !put(byte)) return BufferTooSmall;
            ++i;
        } else if (byte == kPictureElementByte) {
            std::size_t room = kHeaderLineLimit - position;
            const PacketResult result =
                FormatPictureElement(bytes + i, count - i, text.data() + position, &room);
            if (result != Done) return result;
            position += room;
            break;  // a picture ends the line
        } else {
            if (!put(byte)) return BufferTooSmall;
            ++i;
        }
    }
    if (position > *length) return BufferTooSmall;
    std::copy_n(text.begin(), position, out);
    *length = position;
    return Done;
}

}  // namespace ptk
