#pragma once

#include <QWidget>

#include <memory>

#include "link/front_end.h"
#include "link/session.h"
#include "settings/settings_files.h"

namespace ptk::ui {

class QtFrontEnd;
class Tfm_MainFr;
class Tfm_Config;
class Tfm_Help;

// Every window of the program. All are made at start, in the order of the members, and live until
// the program ends; opening one only shows it.
//
// A window that is not built yet is a null QWidget pointer here, and the main menu keeps the items
// that would open it disabled. Plugging one in: give the member its window class, make it in the
// constructor at its place in the order (see windows.cpp), and fill in the menu handler that opens
// it in Main.cpp. The main window enables the item as soon as the member is set. A mode form
// (a ptk::ui::ModeForm) is opened by the mode-entry dialog instead: register it there for its mode
// with Tfm_RegComm::setModeForm, and the main menu enables the mode's item.
struct Windows {
    Windows(Session& session, QtFrontEnd& frontEnd, SettingsFiles settings);
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    std::unique_ptr<Tfm_MainFr> fm_MainFr;
    std::unique_ptr<Tfm_Config> fm_Config;
    std::unique_ptr<Tfm_Help> fm_Help;
    std::unique_ptr<QWidget> fm_DateFR;      // date and time setting
    std::unique_ptr<QWidget> fm_FiskPam;     // fiscal memory
    std::unique_ptr<QWidget> fm_RegComm;     // mode entry with the access password
    std::unique_ptr<QWidget> fm_RegInf;      // registration information report
    std::unique_ptr<QWidget> fm_SostEKLZ;    // EKLZ state report
    std::unique_ptr<QWidget> fm_EKLZ;        // EKLZ operations
    std::unique_ptr<QWidget> fm_Chek;        // receipt
    std::unique_ptr<QWidget> fm_Gash;        // shift-closing report
    std::unique_ptr<QWidget> fm_AvarReport;  // emergency fiscal memory report
    std::unique_ptr<QWidget> fm_SostFR;      // device state report
};

// Makes child stay above owner (and leave the task bar to it) without becoming its child widget,
// so that disabling the main window does not disable the window it opened.
void keepAbove(QWidget& child, QWidget& owner);

}  // namespace ptk::ui
