#pragma once

#include "ui/mode_form.h"

class QFrame;
class QPushButton;

namespace ptk {
class Session;
}

// The report with clearing, which closes the shift. Shown by the mode-entry dialog once the
// register is in the clearing mode.
class Tfm_Gash : public ptk::ui::ModeForm {
    Q_OBJECT

public:
    explicit Tfm_Gash(ptk::Session& session, QWidget* parent = nullptr);

    // The report needs nothing set before it opens.
    bool prepareForEntry(const ptk::ui::ModeEntry&) override { return true; }

    void bt_OtchClick();

    QFrame* pn_Gash = nullptr;
    QPushButton* bt_Otch = nullptr;
    QPushButton* bt_GashClose = nullptr;

private:
    void FormClose() override;

    ptk::Session& session_;
};
