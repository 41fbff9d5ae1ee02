#pragma once

#include <cstdint>
#include <optional>

namespace ptk::platform {

// A date and time of day on the workstation's local clock, with the full year.
struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1 to 12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The calendar time (seconds since 1970-01-01 UTC) of a local date and time, as the C library's
// mktime gives it with the daylight saving flag cleared; -1 when it cannot represent it. Always
// 64 bits wide, so dates after 2038 work on every platform.
std::int64_t localCalendarTime(const LocalDateTime& local);

// The local date and time of a calendar time; nothing when the C library cannot convert it.
// Safe to call on any thread.
std::optional<LocalDateTime> localDateTimeOf(std::int64_t calendarTime);

}  // namespace ptk::platform
