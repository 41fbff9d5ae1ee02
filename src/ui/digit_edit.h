#pragma once

#include <functional>

#include "ui/key_filter.h"

class QLineEdit;

namespace ptk::ui {

// How a number edit takes its digits: the program's one rule for edits that hold digits only.
struct DigitRules {
    // What arrives otherwise than typed (pasted, dropped, set by the program).
    enum class Otherwise {
        // Held to digits and to the length, as typing is.
        HeldToDigits,
        // Kept whole: the length limits typing only, and the edit's button refuses a number that
        // is no number of the field, with the field's message, rather than send it cut short.
        KeptWhole,
        // Nothing gets in but typed digits: no context menu, no drops, no middle-button paste, and
        // the paste keys and every other key that types something are refused with the beep,
        // except those that move between fields or delete.
        Refused,
    };

    int digits = 0;  // how many the edit holds at most
    CharacterFilter::Backspace backspace = CharacterFilter::Backspace::Refused;
    Otherwise otherwise = Otherwise::HeldToDigits;
};

// Lets edit take digits only, by rules: a character outside them is dropped with beep.
void acceptDigitsOnly(QLineEdit& edit, const DigitRules& rules, std::function<void()> beep);

}  // namespace ptk::ui
