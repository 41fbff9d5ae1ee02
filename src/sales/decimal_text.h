#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ptk::sales {

// A number the user typed, read as an exact decimal and scaled to whole units of 10^-decimals:
// with two decimals "12,5" gives 1250 and "7" gives 700. Either ',' or '.' separates the fraction,
// whatever the workstation's own separator is, so a price typed either way means the same
// kopecks. Floating point is kept out of it: 1,11 must be 111 kopecks, never 110.99999.
// Nothing when the text has no digit, holds anything but digits and at most one separator, has
// more fraction digits than decimals, or the scaled value needs more than maxDigits digits.
std::optional<std::uint64_t> parseScaledDecimal(std::string_view text, int decimals, int maxDigits);

// A number that travels as typed, without scaling: the separators ',' and '.' are dropped and the
// digits left are the value ("0,00" is 0, an empty text is 0). Nothing for any other character or
// for more than maxDigits digits.
std::optional<std::uint64_t> parseDigitsIgnoringSeparators(std::string_view text, int maxDigits);

}  // namespace ptk::sales
