#pragma once

#include "ui/child_window.h"

class QLabel;
class QPushButton;

namespace ptk::ui {

// The about box: the program's title, its version as built, and the registers it serves.
class Tfm_Help final : public ChildWindow {
    Q_OBJECT

public:
    explicit Tfm_Help(QWidget* mainWindow);

    QLabel* lb_Title = nullptr;
    QLabel* lb_Version = nullptr;
    QLabel* lb_Family = nullptr;
    QPushButton* bt_HelpOk = nullptr;

    // The version line, from the version the program was built as.
    static QString versionLine();

    void FormClose() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ptk::ui
