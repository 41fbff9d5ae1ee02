#include "fiscal_memory/picture_panel.h"

#include <algorithm>
#include <charconv>

#include "fiscal_memory/header_markup.h"

namespace ptk {

namespace {

// The text as a whole number with an optional sign, or nothing.
std::optional<int> wholeNumber(std::string_view text) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

int upDownValue(std::string_view text, UpDownRange range) {
    const std::optional<int> whole = wholeNumber(text);
    const int value = whole && *whole >= 0 ? *whole : leadingDecimalNumber(text);
    return std::clamp(value, range.min, range.max);
}

std::optional<PictureTagPaste> pictureTagPaste(std::string_view lineText,
                                               std::string_view numberText,
                                               std::string_view offsetText) {
    const int line = wholeNumber(lineText).value_or(0);
    if (line < kHeaderLineRange.min || line > kHeaderLineRange.max) return std::nullopt;
    char tag[kPictureTagTextSize];
    const std::size_t length = printPictureTag(tag, wholeNumber(numberText).value_or(0),
                                               wholeNumber(offsetText).value_or(0));
    return PictureTagPaste{line - 1, std::string(tag, length)};
}

}  // namespace ptk
