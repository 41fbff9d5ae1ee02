#pragma once

#include <QPointer>

#include <array>

#include "link/exchange_result.h"
#include "ui/child_window.h"
#include "ui/mode_form.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ptk {
class Session;
}

// The mode-entry dialog: asks for the access password, takes the register back to the selection
// mode when it is in another one, enters the mode the main menu opened it for and opens the form
// that works in that mode. It hides itself meanwhile; that form closes it when it closes. The
// main window is enabled again when the dialog closes, or when the form cannot be opened.
//
// The dialog knows the forms only as ModeForm: program start registers the form of each mode. A
// mode without a form is never entered.
class Tfm_RegComm : public ptk::ui::ChildWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 410;
    static constexpr int kClientHeight = 171;

    explicit Tfm_RegComm(ptk::Session& session, QWidget* parent = nullptr);

    // Registers the form opened once the register is in the mode, and makes the form hand back
    // to this dialog and its main window when it closes. A null form, or a mode outside the
    // register's modes, leaves the mode without a form.
    void setModeForm(int mode, ptk::ui::ModeForm* form);
    // Whether the dialog has a form to open in the mode; the main menu offers only such modes.
    bool hasModeForm(int mode) const;

    // Opens the dialog for entering mode: its caption names the mode, the password field is empty
    // and has the focus. Nothing happens for a mode without a form.
    void openFor(int mode);
    // The mode the dialog was last opened for.
    int targetMode() const { return targetMode_; }

    // The caption that names the mode, for each mode the dialog enters; empty for other modes.
    static QString banner(int targetMode);

    void bt_RegCommOkClick();
    void bt_RegCommNoClick();

    QFrame* Panel1 = nullptr;
    QLabel* lb_Pass = nullptr;
    QLineEdit* ed_Pass = nullptr;
    QPushButton* bt_RegCommOk = nullptr;
    QPushButton* bt_RegCommNo = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ptk::ui::ModeForm* modeForm(int mode) const;
    // Prepares the form for the entry and shows it; the main window comes back when the form is
    // not ready.
    void openForm(ptk::ui::ModeForm& form, const ptk::ui::ModeEntry& entry);
    // When no form can be shown, the inspector gets the main window back.
    void giveBackMainWindow();

    // The register's modes are 0 to 7 (the low half of the mode byte).
    static constexpr int kModeCount = 8;

    ptk::Session& session_;
    std::array<QPointer<ptk::ui::ModeForm>, kModeCount> modeForms_;
    int targetMode_ = 0;
};
