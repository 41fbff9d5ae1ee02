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
    fm_DateFR = std::make_unique<Tfm_DateFR>(session);
    fm_FiskPam = std::make_unique<Tfm_FiskPam>(session);
    fm_RegComm = std::make_unique<Tfm_RegComm>(session);
    fm_RegInf = std::make_unique<Tfm_RegInf>(session);
    fm_SostEKLZ = std::make_unique<Tfm_SostEKLZ>(session);
    fm_EKLZ = std::make_unique<Tfm_EKLZ>(session);
    fm_Chek = std::make_unique<Tfm_Chek>(session);
    fm_Gash = std::make_unique<Tfm_Gash>(session);
    fm_AvarReport = std::make_unique<Tfm_AvarReport>(session);
    fm_SostFR = std::make_unique<Tfm_SostFR>(session);

    // Each mode form is registered with the mode-entry dialog for its mode; it closes the dialog
    // when it closes. The other windows hand the main window back its enabled state.
    fm_RegComm->setModeForm(kFiscalMemoryMode, fm_FiskPam.get());
    fm_RegComm->setModeForm(kEklzMode, fm_EKLZ.get());
    fm_RegComm->setModeForm(kRegistrationMode, fm_Chek.get());
    fm_RegComm->setModeForm(kZReportMode, fm_Gash.get());
    for (ChildWindow* child : std::initializer_list<ChildWindow*>{
             fm_DateFR.get(), fm_RegComm.get(), fm_RegInf.get(), fm_SostEKLZ.get(),
             fm_AvarReport.get(), fm_SostFR.get()}) {
        child->setMainWindow(fm_MainFr.get());
    }

    for (QWidget* child : std::initializer_list<QWidget*>{
             fm_Config.get(), fm_Help.get(), fm_DateFR.get(), fm_FiskPam.get(), fm_RegComm.get(),
             fm_RegInf.get(), fm_SostEKLZ.get(), fm_EKLZ.get(), fm_Chek.get(), fm_Gash.get(),
             fm_AvarReport.get(), fm_SostFR.get()}) {
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
