#include "ui/child_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>

namespace ptk::ui {

bool centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) return false;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
    return true;
}

ChildWindow::ChildWindow(QWidget* parent, Qt::WindowFlags flags, Centring centring)
    : QWidget(parent, flags), centring_(centring) {}

void ChildWindow::FormClose() {
    enableMainWindow();
}

void ChildWindow::enableMainWindow() {
    if (mainWindow_) mainWindow_->setEnabled(true);
}

void ChildWindow::bringBackMainWindow() {
    if (!mainWindow_) return;
    mainWindow_->setEnabled(true);
    mainWindow_->show();
    mainWindow_->activateWindow();
}

void ChildWindow::setBusyControls(std::initializer_list<QWidget*> controls) {
    busyControls_.assign(controls.begin(), controls.end());
}

void ChildWindow::setBusy(bool busy) {
    busy_ = busy;
    setEnabled(!busy);
    for (const QPointer<QWidget>& control : busyControls_) {
        if (control) control->setEnabled(!busy);
    }
}

void ChildWindow::setCancelButton(QAbstractButton* button) {
    cancelButton_ = button;
}

void ChildWindow::showEvent(QShowEvent* event) {
    if (centring_ == Centring::OnEveryShow || !centred_) {
        // The size the layout wants, so that the frame centred is the frame shown.
        adjustSize();
        if (centreOnScreen(*this)) centred_ = true;
    }
    QWidget::showEvent(event);
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void ChildWindow::keyPressEvent(QKeyEvent* event) {
    if (cancelButton_ && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancelButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace ptk::ui
