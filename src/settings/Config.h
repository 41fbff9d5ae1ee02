#pragma once

#include "link/session.h"
#include "settings/settings_files.h"
#include "ui/child_window.h"

class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace ptk::ui {

// The connection settings window: port, baud rate and link password. Applying writes the three
// files, reopens the port and probes the register, which decides the command code set.
class Tfm_Config final : public ChildWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 531;
    static constexpr int kClientHeight = 385;

    Tfm_Config(Session& session, SettingsFiles settings, QWidget* mainWindow);

    // Controls, named as the program's documents name them.
    QTabWidget* pg_Config = nullptr;
    QWidget* tsh_Connect = nullptr;
    QFrame* pn_Connect = nullptr;
    QGroupBox* gbport = nullptr;
    QComboBox* cbport = nullptr;
    QGroupBox* rg_BaudeFr = nullptr;
    QButtonGroup* rg_BaudeFrItems = nullptr;  // item index = BaudIndex
    QGroupBox* gb_PassFr = nullptr;
    QLineEdit* ed_PassFr = nullptr;
    QPushButton* bt_ConfigOk = nullptr;
    QPushButton* bt_ConfigNo = nullptr;
    QPushButton* bt_ConfigExit = nullptr;

    void FormCreate();
    void bt_ConfigOkClick();
    void bt_ConfigNoClick();
    void FormClose() override;

    // Globals -> controls and controls -> globals. TakeSetting is false when the control holds
    // nothing usable; the setting then stays as it was.
    void ShowSetting(Setting which);
    bool TakeSetting(Setting which);

    // What opening the window from the menu does: the files, then the controls.
    void showSettingsFromFiles();

private:
    void buildControls();

    Session& session_;
    SettingsFiles settings_;
};

}  // namespace ptk::ui
