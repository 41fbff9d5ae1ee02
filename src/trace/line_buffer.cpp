#include "trace/line_buffer.h"

namespace ptk::trace {

LineBuffer& LineBuffer::text(std::string_view text) {
    for (char c : text) character(c);
    return *this;
}

LineBuffer& LineBuffer::character(char c) {
    if (length_ < kUsable) {
        chars_[length_++] = c;
    } else {
        cut_ = true;
    }
    return *this;
}

LineBuffer& LineBuffer::hexByte(std::uint8_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    return character(kDigits[value >> 4]).character(kDigits[value & 0x0F]);
}

LineBuffer& LineBuffer::code(std::uint8_t value) {
    return text("0x").hexByte(value);
}

LineBuffer& LineBuffer::hex(std::uint32_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    text("0x");
    int shift = 28;
    while (shift > 0 && (value >> shift) == 0) shift -= 4;
    for (; shift >= 0; shift -= 4) character(kDigits[(value >> shift) & 0x0F]);
    return *this;
}

LineBuffer& LineBuffer::number(std::uint64_t value) {
    char digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0) character(digits[--count]);
    return *this;
}

LineBuffer& LineBuffer::milliseconds(std::uint64_t us) {
    constexpr std::size_t kWholeWidth = 8;
    const std::uint64_t whole = us / 1000;
    std::size_t width = 1;
    for (std::uint64_t rest = whole / 10; rest > 0; rest /= 10) ++width;
    for (; width < kWholeWidth; ++width) character(' ');
    number(whole).character('.');
    const auto fraction = static_cast<unsigned>(us % 1000);
    return character(static_cast<char>('0' + fraction / 100))
        .character(static_cast<char>('0' + fraction / 10 % 10))
        .character(static_cast<char>('0' + fraction % 10));
}

std::string_view LineBuffer::finish() {
    // kUsable keeps the room for the cut mark and the newline.
    if (cut_) {
        chars_[length_++] = '.';
        chars_[length_++] = '.';
        chars_[length_++] = '.';
    }
    chars_[length_++] = '\n';
    return {chars_.data(), length_};
}

}  // namespace ptk::trace
