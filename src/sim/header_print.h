#pragma once

#include <string>
#include <string_view>

#include "sim/register_state.h"

namespace ptk::sim {

// A header line as the register prints it: its text (code page 866) up to the first NUL, the
// prefix byte 0x09 dropped (it only changes how the next character prints), and a picture
// element, which ends the line, shown as "[картинка N, смещение M]".
std::string headerTapeLine(std::string_view bytes);

// The header lines that are not empty, at the top of a document.
void printHeaderLines(RegisterState& state);

}  // namespace ptk::sim
