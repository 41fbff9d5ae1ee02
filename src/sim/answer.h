#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/command_table.h"
#include "sim/date_time.h"
#include "sim/register_state.h"

namespace ptk::sim {

// Typical times the register works on a command before it asks for the line.
inline constexpr std::uint64_t kQuickCommandUs = 20'000;  // status and state requests
inline constexpr std::uint64_t kModeChangeUs = 50'000;
inline constexpr std::uint64_t kPrintLineUs = 120'000;  // per printed line

// Builds an answer message: type byte, error code, data.
class AnswerBuilder {
public:
    AnswerBuilder(std::uint8_t type, std::uint8_t error) : bytes_{type, error} {}
    // For answers whose byte 1 is not an error code (the state answer, the short status).
    explicit AnswerBuilder(std::uint8_t type) : bytes_{type} {}

    AnswerBuilder& byte(std::uint8_t value) {
        bytes_.push_back(value);
        return *this;
    }
    // value as byteCount packed BCD bytes, most significant first (digits above the field are
    // dropped).
    AnswerBuilder& bcd(std::uint64_t value, std::size_t byteCount);
    // Unsigned 16-bit, low byte first.
    AnswerBuilder& le16(std::uint16_t value);
    // Day, month, year within the century, each one BCD byte.
    AnswerBuilder& date(const DateTime& value);
    // Year, month, day (the order of the state answer).
    AnswerBuilder& dateYearFirst(const DateTime& value);
    // Hours, minutes, seconds.
    AnswerBuilder& time(const DateTime& value);

    std::vector<std::uint8_t> take() { return std::move(bytes_); }
    CommandReply reply(std::uint64_t durationUs) { return {take(), durationUs}; }

private:
    std::vector<std::uint8_t> bytes_;
};

// The answer of a command the register refuses or that has no data: type byte (the code), the
// error code and the mode byte after the command.
CommandReply plainAnswer(const RegisterState& state, std::uint8_t code, std::uint8_t error,
                         std::uint64_t durationUs = kQuickCommandUs);

// Packed BCD of the request data, for handlers: the value of count bytes from offset, or -1 when
// the data is too short or a half is not a decimal digit.
std::int64_t readBcd(std::span<const std::uint8_t> data, std::size_t offset, std::size_t count);

// value as byteCount packed BCD bytes, most significant first.
void writeBcd(std::uint64_t value, std::uint8_t* out, std::size_t byteCount);

}  // namespace ptk::sim
