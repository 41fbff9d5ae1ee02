#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/command_exchange.h"

namespace ptk {

// The bytes of one answer message, answer byte 0 (the type byte) first. Positions past what
// arrived read as 0, as the cleared link buffers do, so a short answer decodes without reading
// out of bounds.
class AnswerBytes {
public:
    AnswerBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The answer as the command exchange left it: AnswerCopy holds STX at position 0 and answer
    // byte k at position k + 1.
    static AnswerBytes fromLinkBuffer(const LinkBuffer& buffer) {
        return AnswerBytes(buffer.data() + 1, buffer.size() - 1);
    }

    std::uint8_t operator[](std::size_t k) const { return k < size_ ? data_[k] : 0; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// One packed BCD byte as a decimal number, no leading zero ("5" for 0x05).
std::string bcdNumber(std::uint8_t byte);
// One packed BCD byte as at least two digits, a "0" in front of a one-digit value ("05").
std::string bcdTwoDigits(std::uint8_t byte);
// count packed BCD bytes from answer byte first on, two digits each, most significant first.
std::string bcdDigits(const AnswerBytes& answer, std::size_t first, std::size_t count);
// The same digits without their leading zeros, "0" when every digit is zero.
std::string withoutLeadingZeros(const std::string& digits);

}  // namespace ptk
