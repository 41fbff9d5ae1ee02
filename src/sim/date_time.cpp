#include "sim/date_time.h"

namespace ptk::sim {

namespace {

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

const std::int64_t kEpoch2000 = daysFromCivil(2000, 1, 1);

}  // namespace

std::int64_t toSeconds(const DateTime& value) {
    const std::int64_t days = daysFromCivil(value.year, value.month, value.day) - kEpoch2000;
    return days * 86400 + value.hour * 3600 + value.minute * 60 + value.second;
}

DateTime fromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    DateTime value;
    civilFromDays(days + kEpoch2000, value.year, value.month, value.day);
    value.hour = static_cast<int>(rest / 3600);
    value.minute = static_cast<int>(rest / 60 % 60);
    value.second = static_cast<int>(rest % 60);
    return value;
}

bool isValid(const DateTime& value) {
    if (value.year < 2000 || value.year > 2099 || value.month < 1 || value.month > 12) return false;
    if (value.day < 1 || value.hour < 0 || value.hour > 23 || value.minute < 0 ||
        value.minute > 59 || value.second < 0 || value.second > 59) {
        return false;
    }
    // The day exists when it survives a round trip through the day count.
    const DateTime roundTrip = fromSeconds(toSeconds(value));
    return roundTrip.day == value.day && roundTrip.month == value.month;
}

DateTime RegisterClock::now(std::uint64_t nowUs) const {
    const std::int64_t elapsed =
        nowUs >= setAtUs ? static_cast<std::int64_t>((nowUs - setAtUs) / 1'000'000) : 0;
    return fromSeconds(toSeconds(reading) + elapsed);
}

}  // namespace ptk::sim
