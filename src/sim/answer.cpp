#include "sim/answer.h"

namespace ptk::sim {

void writeBcd(std::uint64_t value, std::uint8_t* out, std::size_t byteCount) {
    for (std::size_t i = byteCount; i-- > 0;) {
        const auto low = static_cast<std::uint8_t>(value % 10);
        value /= 10;
        const auto high = static_cast<std::uint8_t>(value % 10);
        value /= 10;
        out[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
}

std::int64_t readBcd(std::span<const std::uint8_t> data, std::size_t offset, std::size_t count) {
    if (offset + count > data.size()) return -1;
    std::int64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = data[offset + i];
        const int high = byte >> 4;
        const int low = byte & 0x0F;
        if (high > 9 || low > 9) return -1;
        value = value * 100 + high * 10 + low;
    }
    return value;
}

AnswerBuilder& AnswerBuilder::bcd(std::uint64_t value, std::size_t byteCount) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + byteCount);
    writeBcd(value, bytes_.data() + at, byteCount);
    return *this;
}

AnswerBuilder& AnswerBuilder::le16(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

AnswerBuilder& AnswerBuilder::date(const DateTime& value) {
    return bcd(static_cast<std::uint64_t>(value.day), 1)
        .bcd(static_cast<std::uint64_t>(value.month), 1)
        .bcd(static_cast<std::uint64_t>(value.year % 100), 1);
}

AnswerBuilder& AnswerBuilder::dateYearFirst(const DateTime& value) {
    return bcd(static_cast<std::uint64_t>(value.year % 100), 1)
        .bcd(static_cast<std::uint64_t>(value.month), 1)
        .bcd(static_cast<std::uint64_t>(value.day), 1);
}

AnswerBuilder& AnswerBuilder::time(const DateTime& value) {
    return bcd(static_cast<std::uint64_t>(value.hour), 1)
        .bcd(static_cast<std::uint64_t>(value.minute), 1)
        .bcd(static_cast<std::uint64_t>(value.second), 1);
}

CommandReply plainAnswer(const RegisterState& state, std::uint8_t code, std::uint8_t error,
                         std::uint64_t durationUs) {
    return AnswerBuilder(code, error).byte(state.mode.byte()).reply(durationUs);
}

}  // namespace ptk::sim
