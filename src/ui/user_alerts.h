#pragma once

#include <QString>

#include <memory>

#include "link/front_end.h"

class QMessageBox;
class QWidget;

namespace ptk::ui {

// One message box as the core asked for it, with the window that owns it.
struct BoxRequest {
    MessageIcon icon = MessageIcon::Information;
    QString caption;
    QString text;
    OwnerHandle owner;               // as asked for; empty for the program as a whole
    QWidget* ownerWindow = nullptr;  // the owner's window, or the active one; null: none is
};

// What the user sees and hears: boxes, questions and the beep. The program shows real message
// boxes; the window tests plug in a recorder that answers questions from a script, so that no
// modal box ever waits for a hand that is not there.
class UserAlerts {
public:
    virtual ~UserAlerts() = default;
    // A box with one OK button; returns when it was dismissed.
    virtual void showBox(const BoxRequest& request) = 0;
    // A "Вопрос" box with Yes and No; true only for Yes.
    virtual bool askYesNo(const BoxRequest& request) = 0;
    virtual void beep() = 0;
};

// The real thing: modal message boxes and the system beep.
class MessageBoxAlerts final : public UserAlerts {
public:
    void showBox(const BoxRequest& request) override;
    bool askYesNo(const BoxRequest& request) override;
    void beep() override;
};

// A message box ready to be shown: the caption, icon and text asked for, with OK, or with Yes and
// No for a question (Yes the default, Esc answers No). The buttons read
// "OK", "Да" and "Нет" whatever the workstation's language. The box belongs to ownerWindow (it
// stays above it) without being its child, so a disabled owner does not disable the box.
std::unique_ptr<QMessageBox> buildMessageBox(const BoxRequest& request, bool question);

}  // namespace ptk::ui
