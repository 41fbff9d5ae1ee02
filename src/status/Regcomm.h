#pragma once

#include <QPointer>

#include "app/child_window.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class Tfm_Chek;
class Tfm_Gash;

namespace ptk {
class Session;
}

// The mode-entry dialog: asks for the access password, takes the register back to the selection
// mode when it is in another one, enters the mode the main menu chose (TargetMode) and opens the
// form that works in that mode. It hides itself meanwhile; that form closes it when it closes.
// The main window is enabled again when the dialog closes, or when no form can be opened.
class Tfm_RegComm : public ptk::ui::ChildWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 410;
    static constexpr int kClientHeight = 171;

    explicit Tfm_RegComm(ptk::Session& session, QWidget* parent = nullptr);

    // The forms of the registration mode (1) and the Z report mode (3).
    void setModeForms(Tfm_Chek* receipt, Tfm_Gash* shiftClosing);

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
    // Takes the register out of any other mode and enters TargetMode; 1 on success.
    int leaveAndEnterTargetMode(const std::string& password);
    // Prepares the form of TargetMode and shows it.
    void openFormOfTargetMode();
    void showForm(QWidget& form);
    // When no form can be shown, the inspector gets the main window back.
    void giveBackMainWindow();

    ptk::Session& session_;
    QPointer<Tfm_Chek> receiptForm_;
    QPointer<Tfm_Gash> shiftClosingForm_;
};
