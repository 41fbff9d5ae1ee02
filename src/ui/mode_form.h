#pragma once

#include <QPointer>

#include <string>

#include "ui/child_window.h"

namespace ptk::ui {

// What the mode entry hands the form it opens.
struct ModeEntry {
    // The access password the inspector typed for the mode: a form that leaves its mode on the
    // way (the fiscal-memory form, through mode 4) comes back into it with this password.
    std::string accessPassword;
};

// A form the mode-entry dialog opens once the register is in the form's mode. The dialog hides
// itself meanwhile and the main window stays disabled; the form hands both back when it closes.
//
// The dialog knows a form only through this class: program start registers each form with the
// dialog for its mode, and the dialog asks the form to get ready for each opening before it shows
// it.
class ModeForm : public ChildWindow {
    Q_OBJECT

public:
    // The windows this one hands control back to when it closes: the main window is enabled
    // again and the mode-entry dialog, hidden while the form is up, is closed.
    void setHandBack(QWidget* mainWindow, QWidget* modeEntryDialog);

    // Called by the mode-entry dialog, already hidden, once the register is in the form's mode:
    // the form's own preparation for this opening (presets, pages, a start-up exchange). True
    // when the form is ready to be shown. False when it is not (it has told the inspector why);
    // the form then stays hidden and the dialog gives the main window back.
    virtual bool prepareForEntry(const ModeEntry& entry) = 0;

protected:
    explicit ModeForm(QWidget* parent);

    // Closes the mode-entry dialog, then enables the main window.
    void handBack();

private:
    QPointer<QWidget> modeEntryDialog_;
};

}  // namespace ptk::ui
