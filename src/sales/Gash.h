#pragma once

#include <QPointer>

#include "app/child_window.h"

class QFrame;
class QPushButton;

namespace ptk {
class Session;
}

// The report with clearing, which closes the shift. Shown by the mode-entry dialog once the
// register is in the clearing mode.
class Tfm_Gash : public ptk::ui::ChildWindow {
    Q_OBJECT

public:
    explicit Tfm_Gash(ptk::Session& session, QWidget* parent = nullptr);

    // The windows this one hands control back to when it closes (see Tfm_Chek::setHandBack).
    void setHandBack(QWidget* mainWindow, QWidget* modeEntryDialog);

    void bt_OtchClick();

    QFrame* pn_Gash = nullptr;
    QPushButton* bt_Otch = nullptr;
    QPushButton* bt_GashClose = nullptr;

private:
    void FormClose() override;

    ptk::Session& session_;
    QPointer<QWidget> modeEntryDialog_;
};
