// The data of the EKLZ reports and requests: dates, shift and КПК numbers as they travel, and the
// numbers that are refused rather than cut.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "eklz/eklz_commands.h"

namespace ptk::eklz {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
std::optional<Bytes> bytesOf(const std::optional<std::array<std::uint8_t, N>>& packed) {
    if (!packed) return std::nullopt;
    return Bytes(packed->begin(), packed->end());
}

struct DatesCase {
    int full;
    const char* first;
    const char* last;
    std::optional<Bytes> data;
};

TEST(EklzData, ReportByDates) {
    const DatesCase cases[] = {
        {1, "01.02.2013", "28.02.2013", Bytes{0x01, 0x01, 0x02, 0x13, 0x28, 0x02, 0x13}},
        {0, "05.03.2013", "05.03.13", Bytes{0x00, 0x05, 0x03, 0x13, 0x05, 0x03, 0x13}},
        // Any one character separates the fields; the year keeps only its last two digits.
        {1, "31/12/2099", "01-01-2000", Bytes{0x01, 0x31, 0x12, 0x99, 0x01, 0x01, 0x00}},
        {5, "10 10 10", "09.09.1999", Bytes{0x01, 0x10, 0x10, 0x10, 0x09, 0x09, 0x99}},
        // Shapes that are not day, month, year are refused, never sent as something else.
        {1, "1.02.2013", "28.02.2013", std::nullopt},
        {1, "01.02.2013", "28.2.2013", std::nullopt},
        {1, "01.02.201", "28.02.2013", std::nullopt},
        {1, "01.02.2013 ", "28.02.2013", std::nullopt},
        {1, "2013-02-01", "28.02.2013", std::nullopt},
        {1, "0a.02.2013", "28.02.2013", std::nullopt},
        {1, "01022013xx", "28.02.2013", std::nullopt},
        {1, "00.02.2013", "28.02.2013", std::nullopt},
        {1, "32.02.2013", "28.02.2013", std::nullopt},
        {1, "01.00.2013", "28.02.2013", std::nullopt},
        {1, "01.13.2013", "28.02.2013", std::nullopt},
        {1, "", "28.02.2013", std::nullopt},
    };
    for (const DatesCase& c : cases) {
        EXPECT_EQ(bytesOf(buildReportByDatesData(c.full, c.first, c.last)), c.data)
            << c.first << " " << c.last;
    }
}

struct ShiftsCase {
    int full;
    const char* first;
    const char* last;
    std::optional<Bytes> data;
};

TEST(EklzData, ReportByShifts) {
    const ShiftsCase cases[] = {
        {0, "1", "25", Bytes{0x00, 0x00, 0x01, 0x00, 0x25}},
        {1, "9999", "0", Bytes{0x01, 0x99, 0x99, 0x00, 0x00}},
        {1, "0012", " 34 ", Bytes{0x01, 0x00, 0x12, 0x00, 0x34}},
        {0, "1", "", std::nullopt},
        {0, "", "25", std::nullopt},
        {0, "   ", "25", std::nullopt},
        {0, "12345", "25", std::nullopt},
        {0, "1", "00025", std::nullopt},
    };
    for (const ShiftsCase& c : cases) {
        EXPECT_EQ(bytesOf(buildReportByShiftsData(c.full, c.first, c.last)), c.data)
            << c.first << " " << c.last;
    }
}

struct NumberCase {
    const char* text;
    std::optional<Bytes> shift;
    std::optional<Bytes> kpk;
};

TEST(EklzData, ShiftAndKpkNumbers) {
    const NumberCase cases[] = {
        {"7", Bytes{0x00, 0x07}, Bytes{0x00, 0x00, 0x00, 0x07}},
        {"5", Bytes{0x00, 0x05}, Bytes{0x00, 0x00, 0x00, 0x05}},
        {"1234", Bytes{0x12, 0x34}, Bytes{0x00, 0x00, 0x12, 0x34}},
        {"\t 0 ", Bytes{0x00, 0x00}, Bytes{0x00, 0x00, 0x00, 0x00}},
        {"12345", std::nullopt, Bytes{0x00, 0x01, 0x23, 0x45}},
        {"99999999", std::nullopt, Bytes{0x99, 0x99, 0x99, 0x99}},
        {"123456789", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"  ", std::nullopt, std::nullopt},
        // A blank inside would pack as a zero digit, a sign or a letter as its low half.
        {"1 2", std::nullopt, std::nullopt},
        {"+1", std::nullopt, std::nullopt},
        {"-1", std::nullopt, std::nullopt},
        {"12a", std::nullopt, std::nullopt},
        {"1\n", std::nullopt, std::nullopt},
        // Digits of other scripts are not the register's digits.
        {"\xD9\xA3", std::nullopt, std::nullopt},
        {"\xEF\xBC\x91", std::nullopt, std::nullopt},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(bytesOf(packShiftNumber(c.text)), c.shift) << c.text;
        EXPECT_EQ(bytesOf(packKpkNumber(c.text)), c.kpk) << c.text;
    }
}

// The packed bytes, read back as decimal digits, give the number; whatever the padding.
std::uint64_t unpack(const Bytes& bytes) {
    std::uint64_t value = 0;
    for (std::uint8_t byte : bytes) value = value * 100 + (byte >> 4) * 10 + (byte & 0x0F);
    return value;
}

TEST(EklzData, RandomNumbersPackExactlyOrAreRefused) {
    std::mt19937 random(20130201);
    for (int i = 0; i < 2000; ++i) {
        const std::size_t digits = 1 + random() % 10;
        std::string text;
        for (std::size_t d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
        const std::uint64_t value = std::stoull(text);
        const std::string padded = std::string(random() % 3, ' ') + text;

        const auto shift = bytesOf(packShiftNumber(padded));
        const auto kpk = bytesOf(packKpkNumber(padded));
        ASSERT_EQ(shift.has_value(), digits <= kShiftDigits) << padded;
        ASSERT_EQ(kpk.has_value(), digits <= kKpkDigits) << padded;
        if (shift) {
            EXPECT_EQ(unpack(*shift), value) << padded;
        }
        if (kpk) {
            EXPECT_EQ(unpack(*kpk), value) << padded;
        }
    }
}

TEST(EklzData, RandomDatesTravelTheSameWithEitherYear) {
    std::mt19937 random(28022013);
    for (int i = 0; i < 1000; ++i) {
        const int day = 1 + static_cast<int>(random() % 31);
        const int month = 1 + static_cast<int>(random() % 12);
        const int year = 2000 + static_cast<int>(random() % 100);
        const char separator = ".-/ "[random() % 4];
        char longText[16];
        char shortText[16];
        std::snprintf(longText, sizeof longText, "%02d%c%02d%c%04d", day, separator, month,
                      separator, year);
        std::snprintf(shortText, sizeof shortText, "%02d%c%02d%c%02d", day, separator, month,
                      separator, year % 100);
        const auto fromLong = bytesOf(packReportDate(longText));
        ASSERT_TRUE(fromLong.has_value()) << longText;
        EXPECT_EQ(bytesOf(packReportDate(shortText)), fromLong) << shortText;
        EXPECT_EQ(unpack(*fromLong),
                  static_cast<std::uint64_t>(day * 10000 + month * 100 + year % 100))
            << longText;
    }
}

}  // namespace
}  // namespace ptk::eklz
