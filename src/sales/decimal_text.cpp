#include "sales/decimal_text.h"

namespace ptk::sales {

namespace {

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool isSeparator(char c) {
    return c == ',' || c == '.';
}

// 10^digits; callers keep digits within what 64 bits hold.
constexpr std::uint64_t powerOfTen(int digits) {
    std::uint64_t value = 1;
    for (int i = 0; i < digits; ++i) value *= 10;
    return value;
}

constexpr int kMostDigits = 18;

}  // namespace

std::optional<std::uint64_t> parseScaledDecimal(std::string_view text, int decimals,
                                                int maxDigits) {
    if (decimals < 0 || maxDigits < 1 || maxDigits > kMostDigits || decimals > maxDigits) {
        return std::nullopt;
    }
    const std::uint64_t limit = powerOfTen(maxDigits);
    std::uint64_t value = 0;
    int fractionDigits = 0;
    bool separatorSeen = false;
    bool digitSeen = false;
    for (const char c : text) {
        if (isSeparator(c)) {
            if (separatorSeen) return std::nullopt;
            separatorSeen = true;
            continue;
        }
        if (!isDigit(c)) return std::nullopt;
        if (separatorSeen && ++fractionDigits > decimals) return std::nullopt;
        digitSeen = true;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        // The value only grows from here on, so stop before it could overflow.
        if (value >= limit) return std::nullopt;
    }
    if (!digitSeen) return std::nullopt;
    for (int i = fractionDigits; i < decimals; ++i) {
        value *= 10;
        if (value >= limit) return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> parseDigitsIgnoringSeparators(std::string_view text, int maxDigits) {
    if (maxDigits < 1 || maxDigits > kMostDigits) return std::nullopt;
    std::uint64_t value = 0;
    int digits = 0;
    for (const char c : text) {
        if (isSeparator(c)) continue;
        if (!isDigit(c) || ++digits > maxDigits) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

}  // namespace ptk::sales
