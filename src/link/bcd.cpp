#include "link/bcd.h"

namespace ptk {

const std::uint8_t* DigitPacker::PackDigits(char* characters, int count) {
    const int limit = static_cast<int>(buffer_.size()) * 2;
    if (count > limit) count = limit;
    for (int i = 0; i + 1 < count; i += 2) {
        characters[i] = static_cast<char>(characters[i] & 0x0F);
        characters[i + 1] = static_cast<char>(characters[i + 1] & 0x0F);
        buffer_[i / 2] = static_cast<std::uint8_t>((characters[i] << 4) | characters[i + 1]);
    }
    return buffer_.data();
}

bool packDecimal(std::uint64_t value, std::uint8_t* out, std::size_t byteCount) {
    for (std::size_t i = byteCount; i-- > 0;) {
        const auto low = static_cast<std::uint8_t>(value % 10);
        value /= 10;
        const auto high = static_cast<std::uint8_t>(value % 10);
        value /= 10;
        out[i] = static_cast<std::uint8_t>((high << 4) | low);
    }
    return value == 0;
}

}  // namespace ptk
