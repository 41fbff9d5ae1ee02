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
        {std::string(86, 'A') + "{IMG 1:2}", Done,
         repeatedThen(86, 0x41, {0x0A, 0x01, 0x00, 0x02})},
        // Three bytes of room are too few for the element: the tag, and so the line, is refused.
        {std::string(87, 'A') + "{IMG 1:2}", BadParameter, {}},
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

// A valid line as an inspector could type it: letters of both alphabets, blanks, escapes, the
// prefix, and now and then a picture at the end.
std::string randomValidLine(std::mt19937& random) {
    static const std::string kPlain = oem("АБВГДЕЖЗабвгдеёЯя0129 .,:;-\"()}") + "AZaz";
    static const std::string kAny = kPlain + "\\{~";
    const auto pick = [&](const std::string& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    std::string line;
    const int parts = std::uniform_int_distribution<int>(0, 30)(random);
    for (int i = 0; i < parts; ++i) {
        switch (std::uniform_int_distribution<int>(0, 9)(random)) {
            case 0:
                line += '\\';
                line += pick(kAny);
                break;
            case 1:
                line += '~';
                line += pick(kAny);
                break;
            default:
                line += pick(kPlain);
                break;
        }
    }
    if (std::uniform_int_distribution<int>(0, 3)(random) == 0) {
        line += "{IMG " + std::to_string(std::uniform_int_distribution<int>(0, 255)(random)) + ":" +
                std::to_string(std::uniform_int_distribution<int>(0, 65535)(random)) + "}";
    }
    return line;
}

TEST(HeaderMarkupRandomTest, ValidLinesSurviveTheTripToTheRegisterAndBack) {
    std::mt19937 random(20261209);
    for (int i = 0; i < 20'000; ++i) {
        const std::string line = randomValidLine(random);
        const Encoded sent = encode(line);
        ASSERT_EQ(sent.result, Done) << line;
        const Decoded shown = decode(sent.bytes);
        ASSERT_EQ(shown.result, Done) << line;
        ASSERT_LE(shown.text.size(), kHeaderLineLimit);
        // What the form shows after reading goes back to the register unchanged.
        const Encoded again = encode(shown.text);
        ASSERT_EQ(again.result, Done) << line;
        ASSERT_EQ(again.bytes, sent.bytes) << line << " shown as " << shown.text;
    }
}

TEST(HeaderMarkupRandomTest, AnyRegisterBytesDecodeWithinBounds) {
    std::mt19937 random(7301);
    static constexpr std::uint8_t kSpecial[] = {0x09, 0x0A, 0x5C, 0x7B, 0x7E, 0x00};
    int decoded = 0, refused = 0, tooLong = 0;
    for (int i = 0; i < 50'000; ++i) {
        Bytes bytes(std::uniform_int_distribution<std::size_t>(0, 120)(random));
        for (auto& byte : bytes) {
            byte =
                std::uniform_int_distribution<int>(0, 3)(random) == 0
                    ? kSpecial[std::uniform_int_distribution<std::size_t>(0, 5)(random)]
                    : static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random));
        }
        const Decoded shown = decode(bytes);
        if (shown.result == BadParameter) {
            ++refused;
            continue;
        }
        if (shown.result == BufferTooSmall) {
            ++tooLong;
            continue;
        }
        ASSERT_EQ(shown.result, Done);
        ++decoded;
        ASSERT_LE(shown.text.size(), kHeaderLineLimit);
        // Encoded again, the text gives the register's bytes, or their beginning up to a picture
        // element, which ends a line.
        const Encoded again = encode(shown.text);
        ASSERT_EQ(again.result, Done) << shown.text;
        ASSERT_LE(again.bytes.size(), bytes.size());
        ASSERT_TRUE(std::equal(again.bytes.begin(), again.bytes.end(), bytes.begin()));
        if (again.bytes.size() < bytes.size()) {
            ASSERT_GE(again.bytes.size(), kPictureElementSize);
            ASSERT_EQ(again.bytes[again.bytes.size() - kPictureElementSize], 0x0A);
        }
        const Decoded twice = decode(again.bytes);
        ASSERT_EQ(twice.text, shown.text);
    }
    // Every outcome was met.
    EXPECT_GT(decoded, 1000);
    EXPECT_GT(refused, 100);
    EXPECT_GT(tooLong, 100);
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
