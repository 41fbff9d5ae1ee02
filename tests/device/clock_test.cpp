// The register's clock: the date and time as they travel, and the register taking them.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "device/clock_commands.h"
#include "device/device_fixture.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kSuccess = "00 - Ошибок нет. Команда выполнена.";

template <std::size_t N>
Bytes toBytes(const std::array<std::uint8_t, N>& data) {
    return Bytes(data.begin(), data.end());
}

TEST(ClockData, DatesAndTimesTravelAsTwoDecimalDigitsEach) {
    const struct {
        DeviceDate date;
        DeviceTime time;
        Bytes packed;  // day, month, year of the century; hours, minutes, seconds
    } cases[] = {{{31, 12, 2099}, {23, 59, 59}, {0x31, 0x12, 0x99, 0x23, 0x59, 0x59}},
                 {{1, 1, 2000}, {0, 0, 0}, {0x01, 0x01, 0x00, 0x00, 0x00, 0x00}},
                 {{5, 3, 2013}, {9, 5, 7}, {0x05, 0x03, 0x13, 0x09, 0x05, 0x07}},
                 {{29, 2, 2024}, {12, 30, 0}, {0x29, 0x02, 0x24, 0x12, 0x30, 0x00}}};
    for (const auto& c : cases) {
        Bytes packed = toBytes(buildDateData(c.date));
        const Bytes time = toBytes(buildTimeData(c.time));
        packed.insert(packed.end(), time.begin(), time.end());
        EXPECT_EQ(packed, c.packed) << c.date.day << "." << c.date.month << "." << c.date.year;
    }
}

TEST_F(DeviceTest, DateFarFromTheRegistersClockIsTakenTheSecondTime) {
    state().clock.set({2013, 5, 7, 9, 5, 0}, 0);
    for (const DeviceDate date : {DeviceDate{1, 1, 2000}, DeviceDate{31, 12, 2099}}) {
        frontEnd.clear();
        EXPECT_TRUE(SetDeviceDate(session, date).dateToConfirm());
        EXPECT_TRUE(frontEnd.boxes.empty());
        EXPECT_EQ(frontEnd.resultText, "16 - Требуется подтверждение ввода даты.");
        EXPECT_EQ(SetDeviceDate(session, date), kDone);
        EXPECT_EQ(frontEnd.resultText, kSuccess);
        const auto now = state().clock.now(clock.nowUs());
        EXPECT_EQ(now.day, date.day);
        EXPECT_EQ(now.month, date.month);
        EXPECT_EQ(now.year, date.year);
    }
    EXPECT_EQ(records.back().message, (Bytes{0x73, 0x01, 0x64, 0x31, 0x12, 0x99}));
}

TEST_F(DeviceTest, ImpossibleDateAndTimeAreRefused) {
    EXPECT_TRUE(failedOrRefused(send(0x64, {0x31, 0x02, 0x13})));
    EXPECT_TRUE(failedOrRefused(send(0x4B, {0x24, 0x00, 0x00})));
    EXPECT_EQ(frontEnd.boxTexts(),
              (std::vector<std::string>{"94 - Неверная дата.", "95 - Неверное время."}));
}

TEST_F(DeviceTest, DateLinkFailureIsNotAConfirmationRequest) {
    // A register asked once for confirmation, then silent, is no register that asks again.
    state().clock.set({2013, 5, 7, 9, 5, 0}, 0);
    ASSERT_TRUE(SetDeviceDate(session, {1, 1, 2000}).dateToConfirm());
    frontEnd.clear();
    faults().silentAt(sim::SilentStep::AnswerRequest) = sim::kAlways;
    EXPECT_EQ(SetDeviceDate(session, {1, 1, 2000}), kFailed);
    EXPECT_EQ(frontEnd.boxTexts(), std::vector<std::string>{"Нет ответа!"});
}

TEST_F(DeviceTest, ClockGoesDateFirstAndStopsWhereTheDateDoes) {
    struct Case {
        const char* name;
        DeviceDate date;
        std::vector<sim::FaultPlan::InjectedError> errors;
        ExchangeResult dated;
        std::optional<ExchangeResult> timed;
        std::vector<std::uint8_t> sent;
        std::vector<std::string> boxes;
        sim::DateTime after;  // the register's clock afterwards
    };
    // The register's clock reads 07.05.2013, 09:05:00, and stands still.
    const sim::DateTime kUnchanged{2013, 5, 7, 9, 5, 0};
    const Case cases[] = {
        {"next day", {8, 5, 2013}, {}, kDone, kDone, {0x64, 0x4B}, {}, {2013, 5, 8, 10, 11, 12}},
        // The register asks for the date again, without a box: the window asks the inspector.
        {"far ahead", {20, 5, 2013}, {}, refused(0x16), std::nullopt, {0x64}, {}, kUnchanged},
        {"date refused",
         {7, 5, 2013},
         {{0x64, 0x94, 1}},
         refused(0x94),
         std::nullopt,
         {0x64},
         {"94 - Неверная дата."},
         kUnchanged},
        {"time refused",
         {7, 5, 2013},
         {{0x4B, 0x95, 1}},
         kDone,
         refused(0x95),
         {0x64, 0x4B},
         {"95 - Неверное время."},
         kUnchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state().dateEntry = {};
        state().clock.set({2013, 5, 7, 9, 5, 0}, 0);
        faults().errors = c.errors;
        records.clear();
        frontEnd.clear();
        const ClockSetting setting = SetDeviceClock(session, c.date, {10, 11, 12});
        EXPECT_EQ(setting.date, c.dated);
        EXPECT_EQ(setting.time, c.timed);
        EXPECT_EQ(setting.set(), c.timed == kDone);
        EXPECT_EQ(codes(), c.sent);
        EXPECT_EQ(frontEnd.boxTexts(), c.boxes);
        EXPECT_EQ(state().clock.now(clock.nowUs()), c.after);
    }
}

}  // namespace
}  // namespace ptk::testing
