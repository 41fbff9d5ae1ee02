// The Windows-1251 and 866 tables, checked against the byte values of the Russian alphabet and
// for completeness of the upper half.

#include "platform/codepage.h"

#include <string>

#include <gtest/gtest.h>

namespace ptk::platform {
namespace {

const std::string kUpper = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
const std::string kLower = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя";

// The alphabet in a page whose letters, Ё and ё aside, run in order: А-Я, а-я.
std::string alphabetBytes(unsigned char upperA, unsigned char lowerA, unsigned char lowerR,
                          unsigned char yoUpper, unsigned char yoLower, bool upper) {
    std::string bytes;
    for (int i = 0; i < 32; ++i) {
        if (i == 6) bytes += static_cast<char>(upper ? yoUpper : yoLower);
        const unsigned char first = upper ? upperA : (i < 16 ? lowerA : lowerR - 16);
        bytes += static_cast<char>(first + i);
    }
    return bytes;
}

struct Page {
    const char* name;
    std::string (*fromUtf8)(std::string_view);
    std::string (*toUtf8)(std::string_view);
    std::string upperBytes;
    std::string lowerBytes;
    std::string numeroSign;
};

class CodePageTest : public ::testing::TestWithParam<Page> {};

TEST_P(CodePageTest, RussianAlphabetRoundTrips) {
    const Page& page = GetParam();
    EXPECT_EQ(page.fromUtf8(kUpper), page.upperBytes);
    EXPECT_EQ(page.fromUtf8(kLower), page.lowerBytes);
    EXPECT_EQ(page.toUtf8(page.upperBytes), kUpper);
    EXPECT_EQ(page.toUtf8(page.lowerBytes), kLower);
    EXPECT_EQ(page.fromUtf8("№ 12"), page.numeroSign + " 12");
    EXPECT_EQ(page.toUtf8(page.numeroSign), "№");
}

TEST_P(CodePageTest, AsciiPassesAndUnknownCharactersBecomeQuestionMarks) {
    const Page& page = GetParam();
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) ascii += static_cast<char>(c);
    EXPECT_EQ(page.fromUtf8(ascii), ascii);
    EXPECT_EQ(page.toUtf8(ascii), ascii);
    // Chinese, an emoji (four bytes), a lone lead byte, a stray continuation byte, an overlong
    // slash and an encoded surrogate: each one character, each one '?'.
    EXPECT_EQ(page.fromUtf8("a中b😀c\xD0"), "a?b?c?");
    EXPECT_EQ(page.fromUtf8("\x80"
                            "x\xC0\xAFy\xED\xA0\x80z"),
              "?x??y???z");
    EXPECT_EQ(page.fromUtf8("Я\xE2\x82"), page.fromUtf8("Я") + "?");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CodePageTest,
    ::testing::Values(Page{"cp1251", utf8ToCp1251, cp1251ToUtf8,
                           alphabetBytes(0xC0, 0xE0, 0xF0, 0xA8, 0xB8, true),
                           alphabetBytes(0xC0, 0xE0, 0xF0, 0xA8, 0xB8, false), "\xB9"},
                      Page{"cp866", utf8ToCp866, cp866ToUtf8,
                           alphabetBytes(0x80, 0xA0, 0xE0, 0xF0, 0xF1, true),
                           alphabetBytes(0x80, 0xA0, 0xE0, 0xF0, 0xF1, false), "\xFC"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every byte of the upper half that the page assigns decodes to a character of its own, which
// encodes back to that byte; 1251 leaves only 0x98 unassigned.
TEST(CodePageTables, UpperHalvesAreCompleteAndOneToOne) {
    for (int value = 0x80; value <= 0xFF; ++value) {
        const std::string byte(1, static_cast<char>(value));
        EXPECT_EQ(utf8ToCp866(cp866ToUtf8(byte)), byte) << std::hex << value;
        EXPECT_NE(cp866ToUtf8(byte), "?") << std::hex << value;
        if (value == 0x98) {
            EXPECT_EQ(cp1251ToUtf8(byte), "?");
        } else {
            EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(byte)), byte) << std::hex << value;
        }
    }
}

TEST(CodePageTables, SpotChecksOfSymbolsAndBoxDrawing) {
    EXPECT_EQ(cp1251ToUtf8("\x88\x96\xAB\xBB\xA0"), "€–«»\u00A0");
    EXPECT_EQ(cp866ToUtf8("\xB0\xB3\xC4\xC9\xDB\xF8\xFD\xFE\xFF"), "░│─╔█°¤■\u00A0");
    // Text taken from a settings file and sent to the register: 1251 in, 866 out.
    EXPECT_EQ(utf8ToCp866(cp1251ToUtf8("\xCA\xC0\xD1\xD1\xC0 \xB9\x31")),
              "\x8A\x80\x91\x91\x80 \xFC\x31");
    EXPECT_EQ(utf8ToCp866("€"), "?") << "866 has no euro sign";
    EXPECT_EQ(utf8ToCp1251("╔"), "?") << "1251 has no box drawing";
}

}  // namespace
}  // namespace ptk::platform
