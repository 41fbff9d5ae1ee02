#include <ctime>

#include "platform/local_time.h"

namespace ptk::platform {

std::int64_t localCalendarTime(const LocalDateTime& local) {
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = 0;
    return static_cast<std::int64_t>(std::mktime(&fields));
}

std::optional<LocalDateTime> localDateTimeOf(std::int64_t calendarTime) {
    const auto time = static_cast<std::time_t>(calendarTime);
    if (static_cast<std::int64_t>(time) != calendarTime) return std::nullopt;
    std::tm fields{};
    // The reentrant form, which the two C libraries spell differently: a report thread converts
    // while the windows may convert too.
#ifdef _WIN32
    if (::localtime_s(&fields, &time) != 0) return std::nullopt;
#else
    if (::localtime_r(&time, &fields) == nullptr) return std::nullopt;
#endif
    return LocalDateTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                         fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

}  // namespace ptk::platform
