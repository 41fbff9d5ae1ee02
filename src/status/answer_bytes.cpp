#include "status/answer_bytes.h"

#include "link/bcd.h"

namespace ptk {

std::string bcdNumber(std::uint8_t byte) {
    return std::to_string(BcdToBinary(byte));
}

std::string bcdTwoDigits(std::uint8_t byte) {
    std::string text = bcdNumber(byte);
    if (text.size() < 2) text.insert(0, 1, '0');
    return text;
}

std::string bcdDigits(const AnswerBytes& answer, std::size_t first, std::size_t count) {
    std::string digits;
    for (std::size_t k = first; k < first + count; ++k) digits += bcdTwoDigits(answer[k]);
    return digits;
}

std::string withoutLeadingZeros(const std::string& digits) {
    const auto firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return "0";
    return digits.substr(firstNonZero);
}

}  // namespace ptk
