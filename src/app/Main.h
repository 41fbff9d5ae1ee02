#pragma once

#include <QMainWindow>

#include <functional>

#include "link/session.h"
#include "settings/settings_files.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;

namespace ptk::ui {

class FolderSearchAnimation;
class QtFrontEnd;
struct Windows;

// The main window: the menu that starts every operation, the result field, and the connect
// sequence the first time the window becomes active.
class Tfm_MainFr final : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 670;
    static constexpr int kClientHeight = 491;

    Tfm_MainFr(Session& session, QtFrontEnd& frontEnd, SettingsFiles settings, Windows& windows);

    // Controls, named as the program's documents name them.
    QMenu* mi_Config = nullptr;
    QAction* mi_Nastr = nullptr;
    QAction* N1 = nullptr;
    QAction* mi_RegInf = nullptr;
    QAction* mi_SostKKM = nullptr;
    QAction* mi_SostEKLZ = nullptr;
    QAction* mi_AvarReport = nullptr;
    QAction* mi_SetDate = nullptr;
    QAction* N2 = nullptr;
    QAction* mi_ExitRegim = nullptr;
    QAction* mi_IgnoreChek = nullptr;
    QAction* mi_Chek = nullptr;
    QAction* mi_Gash = nullptr;
    QAction* mi_FiskPam = nullptr;
    QAction* mi_EKLZ = nullptr;
    QAction* mi_Help = nullptr;
    QAction* mi_Exit = nullptr;
    QLineEdit* ed_rezult = nullptr;
    QFrame* pn_Animate = nullptr;
    QLabel* lb_Animate = nullptr;
    FolderSearchAnimation* an_Animate = nullptr;

    // Window events and menu handlers.
    void FormCreate();
    void FormActivate();
    void FormClose();
    void mi_ExitClick();
    void mi_HelpClick();
    void mi_NastrClick();
    void mi_SostKKMClick();
    void mi_ExitRegimClick();
    void mi_FiskPamClick();
    void mi_RegInfClick();
    void mi_SostEKLZClick();
    void mi_EKLZClick();
    void mi_ChekClick();
    void mi_IgnoreChekClick();
    void mi_GashClick();
    void mi_AvarReportClick();
    void mi_SetDateClick();

    // Busy: the window and the seven top-level items are disabled while a command runs from here.
    void setBusy(bool busy);
    bool busy() const { return busy_; }
    // Enables each item whose window exists, unless the window is busy.
    void updateMenu();
    // Set once the connect sequence has run; it runs once per run of the program.
    bool started() const { return started_; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void buildResultField(QWidget* client);
    void buildAnimationPanel(QWidget* client);
    void showAnimation(bool shown);
    // Clears ed_rezult, runs a command busy, and gives the window back.
    void runBusy(const std::function<void()>& command);
    // The report pattern: the requests run busy; only when they succeeded the report window
    // opens, with focus on its exit button.
    void openReportWindow(QWidget* window, QWidget* exitButton,
                          const std::function<bool()>& requests);
    // The mode-entry pattern: the main window waits while the dialog asks for the password of
    // the mode.
    void openModeEntry(int targetMode);
    // Disables the main window and shows the child window.
    void openChild(QWidget* window);
    // Whether the mode-entry dialog can open a form in the mode.
    bool modeHasForm(int mode) const;

    Session& session_;
    QtFrontEnd& frontEnd_;
    SettingsFiles settings_;
    Windows& windows_;
    bool started_ = false;
    bool connecting_ = false;
    bool busy_ = false;
    bool centred_ = false;
};

}  // namespace ptk::ui
