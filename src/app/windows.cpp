#include "app/windows.h"

#include <QWindow>

#include "app/Help.h"
#include "app/Main.h"
#include "device/mode_switch.h"
#include "eklz/Eklz.h"
#include "fiscal_memory/Avarreport.h"
#include "fiscal_memory/Fiskpam.h"
#include "sales/Chek.h"
#include "sales/Datefr.h"
#include "sales/Gash.h"
#include "settings/Config.h"
#include "status/Regcomm.h"
#include "status/Reginf.h"
#include "status/Sosteklz.h"
#include "status/Sostfr.h"
#include "ui/qt_front_end.h"

namespace ptk::ui {

Windows::Windows(Session& session, QtFrontEnd& frontEnd, SettingsFiles settings) {
    fm_MainFr = std::make_unique<Tfm_MainFr>(session, frontEnd, settings, *this);
    fm_Config = std::make_unique<Tfm_Config>(session, settings, fm_MainFr.get());
    fm_Help = std::make_unique<Tfm_Help>(fm_MainFr.get());
    // The windows below are made here, in this order, as they are built:
    // fm_DateFR, fm_FiskPam, fm_RegComm, fm_RegInf, fm_SostEKLZ, fm_EKLZ, fm_Chek, fm_Gash,
    // fm_AvarReport, fm_SostFR.
    auto dateFR = std::make_unique<Tfm_DateFR>(session);
    dateFR->setMainWindow(fm_MainFr.get());
    fm_DateFR = std::move(dateFR);
    auto fiskPam = std::make_unique<Tfm_FiskPam>(session);
    Tfm_FiskPam* fiscalMemoryForm = fiskPam.get();
    fm_FiskPam = std::move(fiskPam);
    auto regComm = std::make_unique<Tfm_RegComm>(session);
    regComm->setMainWindow(fm_MainFr.get());
    Tfm_RegComm* modeEntry = regComm.get();
    fm_RegComm = std::move(regComm);
    auto regInf = std::make_unique<Tfm_RegInf>(session);
    regInf->setMainWindow(fm_MainFr.get());
    fm_RegInf = std::move(regInf);
    auto sostEklz = std::make_unique<Tfm_SostEKLZ>(session);
    sostEklz->setMainWindow(fm_MainFr.get());
    fm_SostEKLZ = std::move(sostEklz);
    // Each mode form is registered with the mode-entry dialog, made before them, for its mode;
    // it closes the dialog when it closes.
    modeEntry->setModeForm(kFiscalMemoryMode, fiscalMemoryForm);
    auto eklz = std::make_unique<Tfm_EKLZ>(session);
    modeEntry->setModeForm(kEklzMode, eklz.get());
    fm_EKLZ = std::move(eklz);
    auto chek = std::make_unique<Tfm_Chek>(session);
    modeEntry->setModeForm(kRegistrationMode, chek.get());
    fm_Chek = std::move(chek);
    auto gash = std::make_unique<Tfm_Gash>(session);
    modeEntry->setModeForm(kZReportMode, gash.get());
    fm_Gash = std::move(gash);
    // Opened straight from the main menu, without a mode entry.
    auto avarReport = std::make_unique<Tfm_AvarReport>(session);
    avarReport->setMainWindow(fm_MainFr.get());
    fm_AvarReport = std::move(avarReport);
    auto sostFR = std::make_unique<Tfm_SostFR>(session);
    sostFR->setMainWindow(fm_MainFr.get());
    fm_SostFR = std::move(sostFR);

    for (QWidget* child :
         {static_cast<QWidget*>(fm_Config.get()), static_cast<QWidget*>(fm_Help.get()),
          static_cast<QWidget*>(fm_DateFR.get()), static_cast<QWidget*>(fm_FiskPam.get()),
          static_cast<QWidget*>(fm_RegComm.get()), static_cast<QWidget*>(fm_RegInf.get()),
          static_cast<QWidget*>(fm_SostEKLZ.get()), static_cast<QWidget*>(fm_EKLZ.get()),
          static_cast<QWidget*>(fm_Chek.get()), static_cast<QWidget*>(fm_Gash.get()),
          static_cast<QWidget*>(fm_AvarReport.get()), static_cast<QWidget*>(fm_SostFR.get())}) {
        keepAbove(*child, *fm_MainFr);
    }
    fm_MainFr->updateMenu();
}

// The windows go in the reverse order of their making, the main window last, since the others
// hand it back its enabled state when they close.
Windows::~Windows() = default;

void keepAbove(QWidget& child, QWidget& owner) {
    child.winId();
    owner.winId();
    if (child.windowHandle() != nullptr && owner.windowHandle() != nullptr) {
        child.windowHandle()->setTransientParent(owner.windowHandle());
    }
}

}  // namespace ptk::ui
