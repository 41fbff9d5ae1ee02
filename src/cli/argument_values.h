#pragma once

#include <compare>
#include <cstddef>
#include <optional>
#include <string_view>

namespace ptk::cli {

// A day as typed, DD.MM.YYYY; compares in calendar order.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    auto operator<=>(const CalendarDate&) const = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const TimeOfDay&) const = default;
};

// FIRST..LAST, never backwards.
template <typename T>
struct Range {
    T first{};
    T last{};
    bool operator==(const Range&) const = default;
};

// DD.MM.YYYY, a day that exists.
std::optional<CalendarDate> parseDate(std::string_view text);
// HH:MM:SS on the 24-hour clock.
std::optional<TimeOfDay> parseTime(std::string_view text);
// A shift number, one to four digits, not 0.
std::optional<int> parseShiftNumber(std::string_view text);
// Between minDigits and maxDigits decimal digits and nothing else.
bool isDigits(std::string_view text, std::size_t minDigits, std::size_t maxDigits);

// FIRST..LAST with each end read by parse; nothing when an end does not read or LAST comes before
// FIRST.
template <typename Parse>
auto parseRange(std::string_view text, Parse parse)
    -> std::optional<Range<typename decltype(parse(text))::value_type>> {
    const std::size_t dots = text.find("..");
    if (dots == std::string_view::npos) return std::nullopt;
    const auto first = parse(text.substr(0, dots));
    const auto last = parse(text.substr(dots + 2));
    if (!first || !last || *last < *first) return std::nullopt;
    return Range<typename decltype(parse(text))::value_type>{*first, *last};
}

}  // namespace ptk::cli
