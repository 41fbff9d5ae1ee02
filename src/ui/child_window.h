#pragma once

#include <QPointer>
#include <QWidget>

#include <initializer_list>
#include <vector>

#include "ui/box_owner.h"

class QAbstractButton;

namespace ptk::ui {

// Puts a top-level window in the middle of the screen it is on. False when there is no screen to
// go by, so the caller can try again at the next showing.
bool centreOnScreen(QWidget& window);

// A window the main window opens while it disables itself: the window hands control back to the
// main window when it closes. What every such window shares lives here: where it opens, how it
// refuses to close while it talks to the register, and which button plain Esc presses.
class ChildWindow : public QWidget {
    Q_OBJECT

public:
    // Where the window stands when it is shown.
    enum class Centring {
        // Centred each time, wherever the inspector moved it before.
        OnEveryShow,
        // Centred the first time; afterwards it opens where the inspector left it.
        OnFirstShow,
    };
    Q_ENUM(Centring)

    // The frame of a fixed-size dialog window.
    static constexpr Qt::WindowFlags kFixedDialog = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint;
    // The frame of a fixed-size window with a title, a system menu and a close box only.
    static constexpr Qt::WindowFlags kFixedWindow =
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
        Qt::MSWindowsFixedSizeDialogHint;

    // The frame of a report dialog: a title, but no system menu and no close box; it closes
    // through its own button, which refuses while a report runs.
    static constexpr Qt::WindowFlags kReportDialog = Qt::Dialog | Qt::CustomizeWindowHint |
                                                     Qt::WindowTitleHint |
                                                     Qt::MSWindowsFixedSizeDialogHint;

    // The window that is enabled again when this one closes.
    void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

protected:
    ChildWindow(QWidget* parent, Qt::WindowFlags flags, Centring centring);

    QWidget* mainWindow() const { return mainWindow_; }
    // This window as the owner of the boxes it asks the front end for.
    OwnerHandle boxOwner() const { return ownerOf(this); }

    // What closing the window does once it is allowed to close: by default the main window is
    // enabled again. Windows that hand back more override it.
    virtual void FormClose();

    void enableMainWindow();
    // Enabled, shown and activated: for windows from which the inspector returns straight to
    // the main window's menu.
    void bringBackMainWindow();

    // The controls that are disabled, with the window itself, while it is busy.
    void setBusyControls(std::initializer_list<QWidget*> controls);
    // Busy while an exchange with the register runs: the window and its busy controls are
    // disabled, and the window cannot be closed, since it must not hand control back before the
    // register has answered.
    void setBusy(bool busy);
    bool isBusy() const { return busy_; }

    // The button a plain Esc presses, as a dialog's cancel button.
    void setCancelButton(QAbstractButton* button);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
    std::vector<QPointer<QWidget>> busyControls_;
    QPointer<QAbstractButton> cancelButton_;
    Centring centring_;
    bool centred_ = false;
    bool busy_ = false;
};

}  // namespace ptk::ui
