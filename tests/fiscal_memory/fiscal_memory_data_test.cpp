// The data of the fiscal-memory commands byte for byte, the report days in several time zones,
// and the decoding of the range answer.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "fiscal_memory/registration_commands.h"
#include "fiscal_memory/report_commands.h"
#include "link/session.h"
#include "platform/local_time.h"
#include "support/results.h"

namespace ptk::fiscal_memory {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes toBytes(const std::array<std::uint8_t, N>& data) {
    return Bytes(data.begin(), data.end());
}

// The workstation's time zone for as long as it lives; an empty zone keeps the workstation's.
// The zones are POSIX rules, which only a POSIX C library reads: elsewhere the workstation's own
// zone is all there is.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone([[maybe_unused]] const char* zone) {
#ifndef _WIN32
        if (*zone == '\0') return;
        changed_ = true;
        if (const char* before = std::getenv("TZ")) before_ = before;
        setenv("TZ", zone, 1);
        tzset();
#endif
    }
    ~ScopedTimeZone() {
#ifndef _WIN32
        if (!changed_) return;
        if (before_.empty()) {
            unsetenv("TZ");
        } else {
            setenv("TZ", before_.c_str(), 1);
        }
        tzset();
#endif
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool changed_ = false;
    std::string before_;
};

#ifdef _WIN32
const std::vector<const char*> kTimeZones = {""};
#else
// Without daylight saving, and with it in both hemispheres and on either side of midnight UTC.
const std::vector<const char*> kTimeZones = {
    "UTC0", "MSK-3MSD,M3.5.0,M10.5.0/3", "NZST-12NZDT,M9.5.0,M4.1.0/3", "EST5EDT,M3.2.0,M11.1.0"};
#endif

TEST(NumberFieldTest, TextsAreFilledOrCutToTheirWidth) {
    struct Case {
        const char* text;
        std::size_t width;
        const char* expected;
    };
    const Case cases[] = {
        {"77", 10, "0000000077"},
        {"", 8, "00000000"},
        {"12345678", 8, "12345678"},
        {"1234567890123", 12, "123456789012"},
        {"жж", 4, "00жж"},
        {"жжжжж", 4, "жжжж"},
        {"770123456789", 12, "770123456789"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zeroFilled(c.text, c.width), c.expected) << c.text << " " << c.width;
    }
}

TEST(RegistrationDataTest, NumbersTravelAsPackedDigitsMostSignificantFirst) {
    EXPECT_EQ(toBytes(serialNumberData("123")), (Bytes{0x00, 0x00, 0x01, 0x23}));
    EXPECT_EQ(toBytes(serialNumberData("1234567")), (Bytes{0x01, 0x23, 0x45, 0x67}));
    EXPECT_EQ(toBytes(serialNumberData("")), (Bytes{0x00, 0x00, 0x00, 0x00}));
    // Only the first eight digits of a longer text fit the field.
    EXPECT_EQ(toBytes(serialNumberData("123456789")), (Bytes{0x12, 0x34, 0x56, 0x78}));

    EXPECT_EQ(toBytes(registrationData("77", "770123456789", "12345678")),
              (Bytes{0x00, 0x00, 0x00, 0x00, 0x77,        // registration number
                     0x77, 0x01, 0x23, 0x45, 0x67, 0x89,  // taxpayer number
                     0x12, 0x34, 0x56, 0x78}));           // new password
    EXPECT_EQ(toBytes(registrationData("1234567890", "1", "7")),
              (Bytes{0x12, 0x34, 0x56, 0x78, 0x90, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                     0x00, 0x07}));
}

TEST(ReportDataTest, DaysTravelAsDayMonthYearWithTheFullFlagFirst) {
    const std::int64_t first = reportDayTime(2012, 3, 5);
    const std::int64_t last = reportDayTime(2012, 3, 7);
    std::array<std::uint8_t, 7> data{};
    ASSERT_TRUE(reportByDatesData(first, last, 1, data).succeeded());
    EXPECT_EQ(toBytes(data), (Bytes{0x01, 0x05, 0x03, 0x12, 0x07, 0x03, 0x12}));
    ASSERT_TRUE(reportByDatesData(first, last, 0, data).succeeded());
    EXPECT_EQ(toBytes(data), (Bytes{0x00, 0x05, 0x03, 0x12, 0x07, 0x03, 0x12}));
    // Only bit 0 of the flag counts.
    ASSERT_TRUE(reportByDatesData(first, last, 2, data).succeeded());
    EXPECT_EQ(data[0], 0x00);

    EXPECT_EQ(toBytes(reportByShiftsData(1, 25, 0)), (Bytes{0x00, 0x00, 0x01, 0x00, 0x25}));
    EXPECT_EQ(toBytes(reportByShiftsData(9999, 9999, 1)), (Bytes{0x01, 0x99, 0x99, 0x99, 0x99}));
}

TEST(ReportDataTest, OnlyYearsFrom1998To2089AreNamed) {
    struct Case {
        int firstYear;
        int lastYear;
        PacketResult expected;
    };
    const PacketResult done = packet_result::Done;
    const Case cases[] = {
        {1998, 2089, done}, {1997, 2000, kBadDate}, {2000, 2090, kBadDate},
        {2012, 2012, done}, {1900, 1900, kBadDate}, {2039, 2088, done},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 7> data{};
        const PacketResult result = reportByDatesData(reportDayTime(c.firstYear, 1, 1),
                                                      reportDayTime(c.lastYear, 12, 31), 1, data);
        EXPECT_EQ(result, c.expected) << c.firstYear << " " << c.lastYear;
    }
}

// Every day the report may name, in time zones with and without daylight saving: 06:00 local
// time always comes back as the same day, whatever the clocks did that night.
TEST(ReportDataTest, EveryDayOfTheRangeComesBackAsItself) {
    for (const char* zone : kTimeZones) {
        const ScopedTimeZone timeZone(zone);
        int mismatches = 0;
        for (int year = kFirstReportYear; year <= kLastReportYear; ++year) {
            for (int month = 1; month <= 12; ++month) {
                for (int day = 1; day <= 31; ++day) {
                    std::tm probe{};
                    probe.tm_year = year - 1900;
                    probe.tm_mon = month - 1;
                    probe.tm_mday = day;
                    probe.tm_hour = 12;
                    std::mktime(&probe);
                    if (probe.tm_mday != day) continue;  // no such day
                    const std::int64_t time = reportDayTime(year, month, day);
                    std::array<std::uint8_t, 7> data{};
                    const auto bcd = [](int value) {
                        return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
                    };
                    const bool same = reportByDatesData(time, time, 1, data).succeeded() &&
                                      data[1] == bcd(day) && data[2] == bcd(month) &&
                                      data[3] == bcd(year % 100) && data[4] == data[1];
                    if (!same && ++mismatches < 5) {
                        ADD_FAILURE() << zone << ": " << day << "." << month << "." << year;
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0) << zone;
    }
}

TEST(RangeAnswerTest, BytesAreShownAsTwoDecimalDigitsEach) {
    LinkBuffer copy{};
    // STX, type, error code, then the answer's data.
    const Bytes answer = {0x02, 0x63, 0x00, 0x01, 0x02, 0x09, 0x31,
                          0x12, 0x99, 0x00, 0x07, 0x12, 0x34};
    std::copy(answer.begin(), answer.end(), copy.begin());
    const FiscalMemoryRanges ranges = rangesFromAnswer(copy);
    EXPECT_EQ(ranges.firstDate, "01/02/09");
    EXPECT_EQ(ranges.lastDate, "31/12/99");
    EXPECT_EQ(ranges.firstShift, "0007");
    EXPECT_EQ(ranges.lastShift, "1234");
}

TEST(LocalTimeTest, CalendarTimesRoundTripAcrossTheYear2038) {
    const ScopedTimeZone timeZone(kTimeZones.front());
    for (const platform::LocalDateTime when : {platform::LocalDateTime{1998, 1, 1, 6, 0, 0},
                                               platform::LocalDateTime{2038, 1, 19, 6, 0, 0},
                                               platform::LocalDateTime{2038, 1, 20, 6, 0, 0},
                                               platform::LocalDateTime{2089, 12, 31, 6, 0, 0}}) {
        const auto back = platform::localDateTimeOf(platform::localCalendarTime(when));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->year, when.year);
        EXPECT_EQ(back->month, when.month);
        EXPECT_EQ(back->day, when.day);
        EXPECT_EQ(back->hour, 6);
    }
#ifndef _WIN32
    EXPECT_EQ(platform::localCalendarTime({2038, 1, 19, 3, 14, 8}), 2147483648LL);
#endif
}

}  // namespace
}  // namespace ptk::fiscal_memory
