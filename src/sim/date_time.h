#pragma once

#include <cstdint>

namespace ptk::sim {

// A calendar date and time of day as the register keeps them (years 2000 to 2099 travel as two
// digits).
struct DateTime {
    int year = 2013;
    int month = 5;
    int day = 7;
    int hour = 9;
    int minute = 5;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

// Whole seconds since 2000-01-01 00:00:00 and back; the register never needs anything finer.
std::int64_t toSeconds(const DateTime& value);
DateTime fromSeconds(std::int64_t seconds);

// True for a real date of 2000-2099 and a real time of day.
bool isValid(const DateTime& value);

// The register's own clock. It keeps running with the engine's time: it shows `reading` at the
// engine time `setAtUs` and moves on one second per second from there.
struct RegisterClock {
    DateTime reading{};
    std::uint64_t setAtUs = 0;

    DateTime now(std::uint64_t nowUs) const;
    void set(const DateTime& value, std::uint64_t nowUs) {
        reading = value;
        setAtUs = nowUs;
    }
};

}  // namespace ptk::sim
