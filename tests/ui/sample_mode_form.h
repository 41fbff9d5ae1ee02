#pragma once

#include "ui/mode_form.h"

namespace ptk::testing {

// A mode form as the mode-entry dialog sees it: it counts the preparations asked of it and is
// ready or not as the test says.
class SampleModeForm final : public ui::ModeForm {
public:
    SampleModeForm() : ModeForm(nullptr) { setFixedSize(160, 80); }

    bool prepareForEntry() override {
        ++preparations;
        shownWhilePreparing = shownWhilePreparing || isVisible();
        return ready;
    }

    bool ready = true;
    int preparations = 0;
    bool shownWhilePreparing = false;
};

}  // namespace ptk::testing
