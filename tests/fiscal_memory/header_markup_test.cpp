// The header-line markup both ways, case by case, then randomized: valid lines survive the trip
// to the register's bytes and back, and any bytes a register may hold decode within bounds. The
// buffers of the randomized cases are heap blocks of their exact size, so the sanitizer build
// sees any step outside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "fiscal_memory/header_markup.h"
#include "fiscal_memory/picture_panel.h"
#include "link/packet_driver.h"
#include "platform/codepage.h"
#include "support/results.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// count times byte, then tail. Made in one piece: filling a vector and inserting after the fill
// trips a false -Warray-bounds of GCC 12 at -O3.
Bytes repeatedThen(std::size_t count, std::uint8_t byte, std::initializer_list<std::uint8_t> tail) {
    Bytes bytes(count + tail.size(), byte);
    std::copy(tail.begin(), tail.end(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
    return bytes;
}
using namespace packet_result;

struct Encoded {
    PacketResult result;
    Bytes bytes;
};

Encoded encode(std::string_view oemText, std::size_t capacity = kHeaderLineLimit) {
    auto out = std::make_unique<std::uint8_t[]>(capacity);
    std::size_t length = capacity;
    const PacketResult result = HeaderTextToDevice(oemText, out.get(), &length);
    return {result, result == Done ? Bytes(out.get(), out.get() + length) : Bytes{}};
}

struct Decoded {
    PacketResult result;
    std::string text;
};

Decoded decode(const Bytes& bytes) {
    // Exactly the bytes, on the heap: a read past them is seen by the sanitizer.
    auto in = std::make_unique<std::uint8_t[]>(bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), in.get());
    auto out = std::make_unique<char[]>(kHeaderLineLimit);
    std::size_t length = kHeaderLineLimit;
    const PacketResult result = HeaderDeviceToText(in.get(), bytes.size(), out.get(), &length);
    return {result, result == Done ? std::string(out.get(), length) : std::string()};
}

std::string oem(std::string_view utf8) {
    return platform::utf8ToCp866(utf8);
}

TEST(HeaderMarkupTest, TextToRegisterBytes) {
    struct Case {
        std::string text;  // UTF-8
        PacketResult result;
        Bytes bytes;
    };
    const Case cases[] = {
        {"МАГАЗИН", Done, {0x8C, 0x80, 0x83, 0x80, 0x87, 0x88, 0x8D}},
        {"~A", Done, {0x09, 0x41}},
        {"~~", Done, {0x09, 0x7E}},
        {"\\{", Done, {0x7B}},
        {"\\\\\\~", Done, {0x5C, 0x7E}},
        {"{IMG 2:100}", Done, {0x0A, 0x02, 0x00, 0x64}},
        {"{IMG 2}", Done, {0x0A, 0x02, 0x00, 0x00}},
        {"{IMG 1:0}abc", Done, {0x0A, 0x01, 0x00, 0x00}},
        {"ab{IMG 300:70000}", Done, {0x61, 0x62, 0x0A, 0x2C, 0x11, 0x70}},
        {"{ IMG,3;48 and more}", Done, {0x0A, 0x03, 0x00, 0x30}},
        {"{IMG x:y}", Done, {0x0A, 0x00, 0x00, 0x00}},
        {"{IMG 7:12px}", Done, {0x0A, 0x07, 0x00, 0x0C}},
        {"", Done, {}},
        {"{img 2:0}", BadParameter, {}},
        {"{IMG}", BadParameter, {}},
        {"{IMG 2:100", BadParameter, {}},
        {"{", BadParameter, {}},
        {"{PIC 1}", BadParameter, {}},
        {"abc\\", BadParameter, {}},
        {"abc~", BadParameter, {}},
        {std::string(90, 'A'), Done, Bytes(90, 0x41)},
        {std::string(91, 'A'), BufferTooSmall, {}},
        {std::string(89, 'A') + "~B", BufferTooSmall, {}},
        {std::string(81, 'A') + "{IMG 1:2}", Done,
         repeatedThen(81, 0x41, {0x0A, 0x01, 0x00, 0x02})},
        // Three bytes of room are too few for the element: the tag, and so the line, is refused.
        {std::string(87, 'A') + "{IMG 1:2}", BadParameter, {}},
        // What would not read back as it was typed: raw markup bytes, or more than 90 characters.
        {"\nABC", BadParameter, {}},
        {"A\\\n", BadParameter, {}},
        {"A~" + std::string(1, '\0'), BadParameter, {}},
        {"\\\t", Done, {0x09}},
        {"\\\tA", BadParameter, {}},
        {std::string(89, 'A') + "\t", BadParameter, {}},
        {[] {
             std::string text;
             for (int i = 0; i < 46; ++i) text += "\\{";
             return text;
         }(),
         BufferTooSmall,
         {}},
        {std::string(82, 'A') + "{IMG 1}", BufferTooSmall, {}},
    };
    for (const Case& c : cases) {
        const Encoded got = encode(oem(c.text));
        EXPECT_EQ(got.result, c.result) << c.text;
        EXPECT_EQ(got.bytes, c.bytes) << c.text;
    }
    // A capacity below what the line needs.
    EXPECT_EQ(encode("abc", 2).result, BufferTooSmall);
}

TEST(HeaderMarkupTest, RegisterBytesToText) {
    struct Case {
        Bytes bytes;
        PacketResult result;
        std::string text;  // UTF-8
    };
    const Case cases[] = {
        {{0x8C, 0x80, 0x83, 0x80, 0x87, 0x88, 0x8D}, Done, "МАГАЗИН"},
        {{0x09, 0x41}, Done, "~A"},
        {{0x7B}, Done, "\\{"},
        {{0x5C, 0x7E}, Done, "\\\\\\~"},
        {{0x0A, 0x02, 0x00, 0x64}, Done, "{IMG 2:100}"},
        {{0x61, 0x0A, 0xFF, 0xFF, 0xFF, 0x62}, Done, "a{IMG 255:65535}"},
        {{}, Done, ""},
        // The prefix takes the next byte as it is, so the text encodes back into the same bytes.
        {{0x09, 0x7B}, Done, "~{"},
        {{0x41, 0x09}, Done, "A\\\t"},
        // A NUL ends the line, unless it belongs to a picture element.
        {{0x09, 0x00}, Done, "\\\t"},
        {{0x41, 0x00, 0x7B, 0x7B}, Done, "A"},
        {repeatedThen(1, 0x41,
                      {0x00, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B,
                       0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B,
                       0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B,
                       0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B, 0x7B}),
         Done, "A"},
        {{0x0A, 0x02, 0x00, 0x64, 0x41}, Done, "{IMG 2:100}"},
        // A picture element cut short is not read past the line's end.
        {{0x41, 0x0A, 0x02, 0x00}, BadParameter, ""},
        {Bytes(45, 0x7B), Done,
         [] {
             std::string text;
             for (int i = 0; i < 45; ++i) text += "\\{";
             return text;
         }()},
        {Bytes(46, 0x7B), BufferTooSmall, ""},
        {Bytes(91, 0x41), BufferTooSmall, ""},
        {repeatedThen(82, 0x41, {0x0A, 0x01, 0x00, 0x00}), BufferTooSmall, ""},
    };
    for (const Case& c : cases) {
        const Decoded got = decode(c.bytes);
        EXPECT_EQ(got.result, c.result) << c.text;
        if (c.result != Done) continue;
        EXPECT_EQ(platform::cp866ToUtf8(got.text), c.text);
    }
}

// The bytes of the register's line: up to a NUL that ends it, or through the first picture
// element; cut tells that the field ended inside that element.
struct Line {
    Bytes bytes;
    bool cut = false;
};
Line lineOf(const Bytes& bytes) {
    std::size_t i = 0;
    while (i < bytes.size() && bytes[i] != 0x00) {
        if (bytes[i] == kPictureElementByte) {
            const std::size_t end = std::min(bytes.size(), i + kPictureElementSize);
            return {Bytes(bytes.begin(), bytes.begin() + static_cast<long>(end)),
                    end - i < kPictureElementSize};
        }
        i += bytes[i] == kPrefixByte && i + 1 < bytes.size() && bytes[i + 1] != 0x00 ? 2 : 1;
    }
    return {Bytes(bytes.begin(), bytes.begin() + static_cast<long>(i))};
}

// How many characters the line's text takes: an escaped byte or a prefix pair two, a picture its
// tag, anything else one.
std::size_t textLengthOf(const Bytes& line) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == kPictureElementByte) {
            char tag[kPictureTagTextSize];
            return length + printPictureTag(tag, line[i + 1], line[i + 2] * 256 + line[i + 3]);
        }
        const bool pair = line[i] == kPrefixByte && i + 1 < line.size();
        length +=
            pair || line[i] == 0x5C || line[i] == 0x7B || line[i] == 0x7E || line[i] == kPrefixByte
                ? 2
                : 1;
        i += pair ? 1 : 0;
    }
    return length;
}

// Whatever bytes a register line holds, a line that reads is written back as the same bytes and
// reads again as the same text; one that does not read is either longer than 90 characters or a
// picture element cut off by the field's end.
TEST(HeaderMarkupProperty, EveryLineThatReadsWritesBackUnchanged) {
    std::mt19937 random(7301);
    static constexpr std::uint8_t kSpecial[] = {0x09, 0x0A, 0x5C, 0x7B, 0x7E, 0x00, 0x7D};
    int read = 0;
    for (int i = 0; i < 60'000; ++i) {
        Bytes bytes(std::uniform_int_distribution<std::size_t>(0, kHeaderLineLimit)(random));
        for (auto& byte : bytes) {
            byte = random() % 4 == 0 ? kSpecial[random() % 7] : static_cast<std::uint8_t>(random());
        }
        const Line line = lineOf(bytes);
        const Decoded shown = decode(bytes);
        if (line.cut) {
            ASSERT_EQ(shown.result, BadParameter);
            continue;
        }
        if (textLengthOf(line.bytes) > kHeaderLineLimit) {
            ASSERT_EQ(shown.result, BufferTooSmall);
            continue;
        }
        ASSERT_EQ(shown.result, Done);
        ++read;
        const Encoded again = encode(shown.text);
        ASSERT_EQ(again.result, Done) << shown.text;
        ASSERT_EQ(again.bytes, line.bytes);
        ASSERT_EQ(decode(again.bytes).text, shown.text);
    }
    EXPECT_GT(read, 20'000);
}

// A text as the inspector may type it (or a register line read it), pieces of markup among
// plain characters, and its normal form: how it must read back after the trip to the register,
// or nothing when it must be refused.
struct TypedText {
    std::string text;
    std::optional<std::string> normal;
};

TypedText randomText(std::mt19937& random) {
    static const std::string kPlain = oem("АБВгдеЁя09 .,:;-\"()}") + "AZaz\r";
    static const std::string kAfterEscape = kPlain + "\\{~\n\t" + std::string(1, '\0');
    struct Tag {
        const char* text;
        const char* normal;  // null: refused
    };
    static const Tag kTags[] = {{"{IMG 2:100}", "{IMG 2:100}"},
                                {"{IMG 300}", "{IMG 44:0}"},
                                {"{ IMG,7;65537 x}", "{IMG 7:1}"},
                                {"{img 1}", nullptr},
                                {"{IMG}", nullptr},
                                {"{IMG 1", nullptr}};
    const auto pick = [&](const std::string& from) { return from[random() % from.size()]; };
    TypedText typed{"", std::string()};
    std::size_t bytes = 0;
    const auto refuse = [&] { typed.normal.reset(); };
    std::vector<std::size_t> escapedTabs;  // where each ends
    const int parts = static_cast<int>(random() % 60);
    for (int i = 0; i < parts; ++i) {
        const unsigned kind = random() % 12;
        if (kind == 0) {
            const char c = pick(kAfterEscape);
            typed.text += {'\\', c};
            if (c == '\0' || c == '\n') refuse();
            if (!typed.normal) continue;
            // An escaped tab reads back as the prefix of what follows it, unless it ends the line.
            if (c == '\t') escapedTabs.push_back(typed.text.size());
            const bool kept = c == '\\' || c == '{' || c == '~' || c == '\t';
            typed.normal->append(kept ? std::string{'\\', c} : std::string{c});
            ++bytes;
        } else if (kind == 1) {
            const char c = pick(kAfterEscape);
            typed.text += {'~', c};
            if (c == '\0') refuse();
            if (typed.normal) typed.normal->append({'~', c});
            bytes += 2;
        } else if (kind == 2) {
            const char c = "\n\t"[random() % 2];
            typed.text += c;
            refuse();
        } else if (kind == 3 && random() % 4 == 0) {
            const Tag& tag = kTags[random() % 6];
            typed.text += tag.text;
            typed.text += random() % 2 ? "\n" : "x";  // never read
            if (!tag.normal) refuse();
            if (typed.normal) typed.normal->append(tag.normal);
            bytes += 4;
            break;
        } else {
            typed.text += pick(kPlain);
            if (typed.normal) typed.normal->push_back(typed.text.back());
            ++bytes;
        }
    }
    for (std::size_t end : escapedTabs) {
        if (end != typed.text.size()) refuse();
    }
    if (bytes > kHeaderLineLimit || (typed.normal && typed.normal->size() > kHeaderLineLimit)) {
        refuse();
    }
    return typed;
}

TEST(HeaderMarkupProperty, EveryTextTakenReadsBackInItsNormalForm) {
    std::mt19937 random(20261209);
    int taken = 0;
    for (int i = 0; i < 60'000; ++i) {
        const TypedText typed = randomText(random);
        const Encoded sent = encode(typed.text);
        ASSERT_EQ(sent.result == Done, typed.normal.has_value())
            << ::testing::PrintToString(typed.text) << " " << ::testing::PrintToString(sent.result);
        if (!typed.normal) continue;
        ++taken;
        const Decoded shown = decode(sent.bytes);
        ASSERT_EQ(shown.result, Done) << typed.text;
        ASSERT_EQ(shown.text, *typed.normal) << typed.text;
    }
    EXPECT_GT(taken, 10'000);
}

TEST(PicturePanelTest, EditsStayInsideTheirUpDownsRanges) {
    struct Case {
        const char* text;
        UpDownRange range;
        int value;
    };
    const Case cases[] = {
        {"700", kPictureOffsetRange, 600},  {"", kHeaderLineRange, 1},
        {"3", kHeaderLineRange, 3},         {"-5", kPictureNumberRange, 1},
        {"12abc", kPictureNumberRange, 12}, {"  42", kPictureOffsetRange, 42},
        {"abc", kPictureOffsetRange, 0},    {"99999999999", kPictureNumberRange, 100},
        {"+7", kHeaderLineRange, 4},        {"0", kPictureNumberRange, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(upDownValue(c.text, c.range), c.value) << c.text;
    }
}

TEST(PicturePanelTest, PasteMakesTheTagForOneLine) {
    struct Case {
        const char* line;
        const char* number;
        const char* offset;
        std::optional<int> target;
        const char* tag;
    };
    const Case cases[] = {
        {"3", "3", "48", 2, "{IMG 3:48}"}, {"1", "100", "600", 0, "{IMG 100:600}"},
        {"4", "abc", "", 3, "{IMG 0:0}"},  {"5", "1", "0", std::nullopt, ""},
        {"0", "1", "0", std::nullopt, ""}, {"2x", "1", "0", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const auto paste = pictureTagPaste(c.line, c.number, c.offset);
        ASSERT_EQ(paste.has_value(), c.target.has_value()) << c.line;
        if (!paste) continue;
        EXPECT_EQ(paste->line, *c.target);
        EXPECT_EQ(paste->tag, c.tag);
        // The tag the panel makes is one the markup takes.
        EXPECT_EQ(encode(paste->tag).result, Done);
    }
}

}  // namespace
}  // namespace ptk::testing
