#include "ui/mode_form.h"

namespace ptk::ui {

ModeForm::ModeForm(QWidget* parent) : ChildWindow(parent, kFixedDialog, Centring::OnFirstShow) {}

void ModeForm::setHandBack(QWidget* mainWindow, QWidget* modeEntryDialog) {
    setMainWindow(mainWindow);
    modeEntryDialog_ = modeEntryDialog;
}

void ModeForm::handBack() {
    if (modeEntryDialog_) modeEntryDialog_->close();
    enableMainWindow();
}

}  // namespace ptk::ui
