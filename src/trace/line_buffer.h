#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ptk::trace {

// One line of the trace, built in a fixed buffer: appending never allocates. Text that does not
// fit is cut, and the line then ends in "..." before its newline.
class LineBuffer {
public:
    static constexpr std::size_t kCapacity = 2048;

    void clear() {
        length_ = 0;
        cut_ = false;
    }
    bool empty() const { return length_ == 0; }
    std::size_t size() const { return length_; }

    LineBuffer& text(std::string_view text);
    LineBuffer& character(char c);
    // Two capital hexadecimal digits: "3F".
    LineBuffer& hexByte(std::uint8_t value);
    // "0x3F".
    LineBuffer& code(std::uint8_t value);
    // "0x101": hexadecimal without leading zeros.
    LineBuffer& hex(std::uint32_t value);
    LineBuffer& number(std::uint64_t value);
    // Milliseconds with three decimals, right-aligned in 12 places: "   12345.678".
    LineBuffer& milliseconds(std::uint64_t us);

    // The line with its newline, ready for one write.
    std::string_view finish();

private:
    // Room kept for "...\n" however full the line is.
    static constexpr std::size_t kUsable = kCapacity - 4;

    std::array<char, kCapacity> chars_{};
    std::size_t length_ = 0;
    bool cut_ = false;
};

}  // namespace ptk::trace
