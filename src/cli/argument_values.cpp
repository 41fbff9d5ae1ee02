#include "cli/argument_values.h"

#include <algorithm>
#include <chrono>

namespace ptk::cli {
namespace {

// The number of the digits at [at, at + width), or -1 when they are not all digits.
int fixedNumber(std::string_view text, std::size_t at, std::size_t width) {
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

bool isDigits(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
    return text.size() >= minDigits && text.size() <= maxDigits &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<CalendarDate> parseDate(std::string_view text) {
    if (text.size() != 10 || text[2] != '.' || text[5] != '.') return std::nullopt;
    const CalendarDate date{fixedNumber(text, 6, 4), fixedNumber(text, 3, 2),
                            fixedNumber(text, 0, 2)};
    if (date.year < 0 || date.month < 0 || date.day < 0) return std::nullopt;
    const std::chrono::year_month_day day{std::chrono::year(date.year),
                                          std::chrono::month(static_cast<unsigned>(date.month)),
                                          std::chrono::day(static_cast<unsigned>(date.day))};
    if (!day.ok()) return std::nullopt;
    return date;
}

std::optional<TimeOfDay> parseTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    const TimeOfDay time{fixedNumber(text, 0, 2), fixedNumber(text, 3, 2), fixedNumber(text, 6, 2)};
    if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
        time.second > 59) {
        return std::nullopt;
    }
    return time;
}

std::optional<int> parseShiftNumber(std::string_view text) {
    if (!isDigits(text, 1, 4)) return std::nullopt;
    const int number = fixedNumber(text, 0, text.size());
    if (number == 0) return std::nullopt;
    return number;
}

}  // namespace ptk::cli
