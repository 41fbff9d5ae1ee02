#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "link/exchange_result.h"

namespace ptk {

class FrontEnd;
class Session;

inline constexpr std::uint8_t kSetDateCode = 0x64;
inline constexpr std::uint8_t kSetTimeCode = 0x4B;

// A calendar date as the pickers hold it, with the full year.
struct DeviceDate {
    int day = 1;
    int month = 1;
    int year = 2000;
};

struct DeviceTime {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

// Day, month and year within the century, packed BCD: 05.03.2013 gives 05 03 13. Built from the
// values rather than from a date text, so the workstation's date format cannot reorder them.
std::array<std::uint8_t, 3> buildDateData(const DeviceDate& date);
// Hours, minutes, seconds, packed BCD: 9:05:07 gives 09 05 07.
std::array<std::uint8_t, 3> buildTimeData(const DeviceTime& time);

// Writes the date into the register's clock. A failure has shown its message, except the
// register's 0x16 (dateToConfirm()): it wants the date entered once more, its message is in the
// result field and no box was shown.
ExchangeResult SetDeviceDate(Session& session, const DeviceDate& date);
// Writes the time of day.
ExchangeResult SetDeviceTime(Session& session, const DeviceTime& time);

// The clock as the windows set it: the date, then the time.
struct ClockSetting {
    ExchangeResult date;
    // Sent when the date went through, or when only its answer's checksum stayed wrong: the
    // register may well have taken it.
    std::optional<ExchangeResult> time;

    // The clock was set, as far as the program can tell.
    bool set() const {
        return time && (time->succeeded() || time->outcome == ExchangeOutcome::ChecksumWrong);
    }
};
ClockSetting SetDeviceClock(Session& session, const DeviceDate& date, const DeviceTime& time);

// What the inspector is told when the register wants the date entered again; each window tells it
// at its own moment.
inline constexpr std::string_view kDateAgainWarning = "Требуется повторный ввод даты";
void tellDateAgain(FrontEnd& frontEnd);

}  // namespace ptk
