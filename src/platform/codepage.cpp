// The two Cyrillic single-byte pages the program meets, each as the Unicode code points of its
// upper half (bytes 0x00-0x7F are ASCII in both).

#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace ptk::platform {
namespace {

using UpperHalf = std::array<char16_t, 128>;

constexpr char16_t kUndefined = 0;
constexpr char kReplacement = '?';
constexpr char32_t kInvalidUtf8 = 0xFFFFFFFF;

// clang-format off
// Windows-1251. 0x98 is the one byte the page leaves unassigned.
constexpr UpperHalf kCp1251 = {
    // 0x80
    u'Ђ', u'Ѓ', u'‚', u'ѓ', u'„', u'…', u'†', u'‡', u'€', u'‰', u'Љ', u'‹', u'Њ', u'Ќ', u'Ћ', u'Џ',
    // 0x90
    u'ђ', u'‘', u'’', u'“', u'”', u'•', u'–', u'—', kUndefined, u'™', u'љ', u'›', u'њ', u'ќ', u'ћ', u'џ',
    // 0xA0: no-break space, ..., soft hyphen at 0xAD
    u'\u00A0', u'Ў', u'ў', u'Ј', u'¤', u'Ґ', u'¦', u'§', u'Ё', u'©', u'Є', u'«', u'¬', u'\u00AD', u'®', u'Ї',
    // 0xB0
    u'°', u'±', u'І', u'і', u'ґ', u'µ', u'¶', u'·', u'ё', u'№', u'є', u'»', u'ј', u'Ѕ', u'ѕ', u'ї',
    // 0xC0
    u'А', u'Б', u'В', u'Г', u'Д', u'Е', u'Ж', u'З', u'И', u'Й', u'К', u'Л', u'М', u'Н', u'О', u'П',
    // 0xD0
    u'Р', u'С', u'Т', u'У', u'Ф', u'Х', u'Ц', u'Ч', u'Ш', u'Щ', u'Ъ', u'Ы', u'Ь', u'Э', u'Ю', u'Я',
    // 0xE0
    u'а', u'б', u'в', u'г', u'д', u'е', u'ж', u'з', u'и', u'й', u'к', u'л', u'м', u'н', u'о', u'п',
    // 0xF0
    u'р', u'с', u'т', u'у', u'ф', u'х', u'ц', u'ч', u'ш', u'щ', u'ъ', u'ы', u'ь', u'э', u'ю', u'я',
};

// Code page 866, the DOS page the register speaks: every byte is assigned.
constexpr UpperHalf kCp866 = {
    // 0x80
    u'А', u'Б', u'В', u'Г', u'Д', u'Е', u'Ж', u'З', u'И', u'Й', u'К', u'Л', u'М', u'Н', u'О', u'П',
    // 0x90
    u'Р', u'С', u'Т', u'У', u'Ф', u'Х', u'Ц', u'Ч', u'Ш', u'Щ', u'Ъ', u'Ы', u'Ь', u'Э', u'Ю', u'Я',
    // 0xA0
    u'а', u'б', u'в', u'г', u'д', u'е', u'ж', u'з', u'и', u'й', u'к', u'л', u'м', u'н', u'о', u'п',
    // 0xB0: shades and box drawing
    u'░', u'▒', u'▓', u'│', u'┤', u'╡', u'╢', u'╖', u'╕', u'╣', u'║', u'╗', u'╝', u'╜', u'╛', u'┐',
    // 0xC0
    u'└', u'┴', u'┬', u'├', u'─', u'┼', u'╞', u'╟', u'╚', u'╔', u'╩', u'╦', u'╠', u'═', u'╬', u'╧',
    // 0xD0
    u'╨', u'╤', u'╥', u'╙', u'╘', u'╒', u'╓', u'╫', u'╪', u'┘', u'┌', u'█', u'▄', u'▌', u'▐', u'▀',
    // 0xE0
    u'р', u'с', u'т', u'у', u'ф', u'х', u'ц', u'ч', u'ш', u'щ', u'ъ', u'ы', u'ь', u'э', u'ю', u'я',
    // 0xF0: 0xF9 is the bullet operator, 0xFF the no-break space
    u'Ё', u'ё', u'Є', u'є', u'Ї', u'ї', u'Ў', u'ў', u'°', u'∙', u'·', u'√', u'№', u'¤', u'■', u'\u00A0',
};
// clang-format on

// The reverse direction: code point to byte, sorted for binary search.
using ReverseTable = std::array<std::pair<char16_t, std::uint8_t>, 128>;

ReverseTable buildReverse(const UpperHalf& table) {
    ReverseTable reverse{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        reverse[i] = {table[i], static_cast<std::uint8_t>(0x80 + i)};
    }
    std::sort(reverse.begin(), reverse.end());
    return reverse;
}

// Decodes the UTF-8 sequence at text[pos] and moves pos past it. A malformed sequence gives
// kInvalidUtf8 and moves past its longest valid beginning (at least one byte), so one bad
// sequence becomes one replacement character.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;
    int continuations = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80;  // allowed range of the second byte, narrower for some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return kInvalidUtf8;
    }
    for (int i = 0; i < continuations; ++i) {
        if (pos >= text.size()) return kInvalidUtf8;
        const auto next = static_cast<unsigned char>(text[pos]);
        if (next < low || next > high) return kInvalidUtf8;
        low = 0x80;
        high = 0xBF;
        codePoint = (codePoint << 6) | (next & 0x3F);
        ++pos;
    }
    return codePoint;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        // The tables hold only characters of the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string encode(std::string_view utf8, const ReverseTable& reverse) {
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t codePoint = nextCodePoint(utf8, pos);
        if (codePoint < 0x80) {
            bytes += static_cast<char>(codePoint);
            continue;
        }
        const auto found = std::lower_bound(
            reverse.begin(), reverse.end(), codePoint,
            [](const auto& entry, char32_t wanted) { return entry.first < wanted; });
        const bool known = found != reverse.end() && found->first == codePoint;
        bytes += known ? static_cast<char>(found->second) : kReplacement;
    }
    return bytes;
}

std::string decode(std::string_view bytes, const UpperHalf& table) {
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else if (const char16_t codePoint = table[byte - 0x80]; codePoint != kUndefined) {
            appendUtf8(utf8, codePoint);
        } else {
            utf8 += kReplacement;
        }
    }
    return utf8;
}

const ReverseTable& reverseCp1251() {
    static const ReverseTable table = buildReverse(kCp1251);
    return table;
}

const ReverseTable& reverseCp866() {
    static const ReverseTable table = buildReverse(kCp866);
    return table;
}

}  // namespace

std::string utf8ToCp1251(std::string_view utf8) {
    return encode(utf8, reverseCp1251());
}
std::string cp1251ToUtf8(std::string_view bytes) {
    return decode(bytes, kCp1251);
}
std::string utf8ToCp866(std::string_view utf8) {
    return encode(utf8, reverseCp866());
}
std::string cp866ToUtf8(std::string_view bytes) {
    return decode(bytes, kCp866);
}

}  // namespace ptk::platform
