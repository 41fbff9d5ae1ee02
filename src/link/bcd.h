#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ptk {

// Packs count digit characters (count even, 2 to 12) into count / 2 bytes, first digit in the
// high half, keeping the low four bits of each character. The bytes go to the shared packing
// buffer, which the next call overwrites; the characters are altered in place (callers pass a
// scratch copy). A count below 1 leaves the buffer as it was.
class DigitPacker {
public:
    const std::uint8_t* PackDigits(char* characters, int count);
    const std::array<std::uint8_t, 6>& buffer() const { return buffer_; }

private:
    std::array<std::uint8_t, 6> buffer_{};
};

// Ten times the high half plus the low half, without any check of the halves.
constexpr int BcdToBinary(std::uint8_t byte) {
    return (byte >> 4) * 10 + (byte & 0x0F);
}

// Writes digits into bytes as packed BCD, most significant first, zero-padded on the left.
// False when the value does not fit in byteCount bytes.
bool packDecimal(std::uint64_t value, std::uint8_t* out, std::size_t byteCount);

}  // namespace ptk
