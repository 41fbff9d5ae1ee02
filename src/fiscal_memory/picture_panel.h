#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ptk {

// The picture panel of the registration page: three edits, each held inside the range of its
// up-down, and "Вставить", which puts a picture tag into one header line. Plain functions, so
// that the form's handlers (udfix, btnimgpasteClick) only read and write their controls.

struct UpDownRange {
    int min;
    int max;
};
inline constexpr UpDownRange kPictureNumberRange{1, 100};  // eimgidx / udimgidx
inline constexpr UpDownRange kHeaderLineRange{1, 4};       // eimgstr / udimgstr
inline constexpr UpDownRange kPictureOffsetRange{0, 600};  // eimgoffset / udimgoffset

// udfix: the value an edit of the panel shows after a change: its text as a number (a text that
// is no plain number counts as its leading number, as atoi reads it, or 0), held inside range.
// The edit is then given std::to_string of it.
int upDownValue(std::string_view text, UpDownRange range);

// btnimgpasteClick: which header line (0 to 3) gets which tag, from the texts of the line,
// number and offset edits; nothing when the line is not 1 to 4. Texts that are not whole
// numbers count as 0.
struct PictureTagPaste {
    int line;
    std::string tag;  // replaces the line's whole text, e.g. {IMG 3:48}
};
std::optional<PictureTagPaste> pictureTagPaste(std::string_view lineText,
                                               std::string_view numberText,
                                               std::string_view offsetText);

}  // namespace ptk
