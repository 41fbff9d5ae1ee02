#pragma once

#include <array>
#include <cstdint>

namespace ptk {
class Session;
}

namespace ptk::sales {

inline constexpr std::uint8_t kSetDateCode = 0x64;
inline constexpr std::uint8_t kSetTimeCode = 0x4B;
// SetDeviceDate's answer when the register wants the date entered once more.
inline constexpr int kDateNeedsConfirmation = 22;
inline constexpr std::uint8_t kConfirmDateErrorCode = 0x16;

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

// Writes the date into the register's clock. 1 on success, 0 after a link failure or device error
// (its message has been shown), 3 on a checksum failure, kDateNeedsConfirmation when the
// register answered 0x16 (its message is in the result field, no box was shown).
int SetDeviceDate(Session& session, const DeviceDate& date);
// Writes the time of day. 1, 0 or 3 as SetDeviceDate.
int SetDeviceTime(Session& session, const DeviceTime& time);

}  // namespace ptk::sales
