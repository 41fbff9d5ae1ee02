#pragma once

#include <QPointer>

#include "app/child_window.h"

namespace ptk::sales {

// A form the mode-entry dialog opens once the register is in the form's mode. The dialog hides
// itself meanwhile and the main window stays disabled; the form hands both back when it closes.
class ModeForm : public ui::ChildWindow {
    Q_OBJECT

public:
    // The windows this one hands control back to when it closes: the main window is enabled
    // again and the mode-entry dialog, hidden while the form is up, is closed.
    void setHandBack(QWidget* mainWindow, QWidget* modeEntryDialog);

protected:
    explicit ModeForm(QWidget* parent);

    // Closes the mode-entry dialog, then enables the main window.
    void handBack();

private:
    QPointer<QWidget> modeEntryDialog_;
};

}  // namespace ptk::sales
