#pragma once

#include <QWidget>

#include <memory>

#include "link/front_end.h"
#include "link/session.h"
#include "settings/settings_files.h"

class Tfm_DateFR;
class Tfm_FiskPam;
class Tfm_RegComm;
class Tfm_RegInf;
class Tfm_SostEKLZ;
class Tfm_EKLZ;
class Tfm_Chek;
class Tfm_Gash;
class Tfm_AvarReport;
class Tfm_SostFR;

namespace ptk::ui {

class QtFrontEnd;
class Tfm_MainFr;
class Tfm_Config;
class Tfm_Help;

// Every window of the program, each by its own type. All are made at start, in the order of the
// members, and live until the program ends; opening one only shows it. A mode form (a
// ptk::ui::ModeForm) is opened by the mode-entry dialog, with which it is registered for its mode.
struct Windows {
    Windows(Session& session, QtFrontEnd& frontEnd, SettingsFiles settings);
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    std::unique_ptr<Tfm_MainFr> fm_MainFr;
    std::unique_ptr<Tfm_Config> fm_Config;
    std::unique_ptr<Tfm_Help> fm_Help;
    std::unique_ptr<::Tfm_DateFR> fm_DateFR;          // date and time setting
    std::unique_ptr<::Tfm_FiskPam> fm_FiskPam;        // fiscal memory
    std::unique_ptr<::Tfm_RegComm> fm_RegComm;        // mode entry with the access password
    std::unique_ptr<::Tfm_RegInf> fm_RegInf;          // registration information report
    std::unique_ptr<::Tfm_SostEKLZ> fm_SostEKLZ;      // EKLZ state report
    std::unique_ptr<::Tfm_EKLZ> fm_EKLZ;              // EKLZ operations
    std::unique_ptr<::Tfm_Chek> fm_Chek;              // receipt
    std::unique_ptr<::Tfm_Gash> fm_Gash;              // shift-closing report
    std::unique_ptr<::Tfm_AvarReport> fm_AvarReport;  // emergency fiscal memory report
    std::unique_ptr<::Tfm_SostFR> fm_SostFR;          // device state report
};

// Makes child stay above owner (and leave the task bar to it) without becoming its child widget,
// so that disabling the main window does not disable the window it opened.
void keepAbove(QWidget& child, QWidget& owner);

}  // namespace ptk::ui
