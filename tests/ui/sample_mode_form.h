#pragma once

#include "ui/mode_form.h"

namespace ptk::testing {

// A mode form as the mode-entry dialog sees it: it counts the preparations asked of it, keeps the
// entry it was prepared for, and is ready or not as the test says.
class SampleModeForm final : public ui::ModeForm {
public:
    SampleModeForm() : ModeForm(nullptr) { setFixedSize(160, 80); }

    bool prepareForEntry(const ui::ModeEntry& entry) override {
        ++preparations;
        lastEntry = entry;
        shownWhilePreparing = shownWhilePreparing || isVisible();
        return ready;
    }

    bool ready = true;
    int preparations = 0;
    ui::ModeEntry lastEntry;
    bool shownWhilePreparing = false;
};

}  // namespace ptk::testing
