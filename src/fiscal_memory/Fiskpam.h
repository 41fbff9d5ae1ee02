#pragma once

#include <QDateTime>

#include <functional>
#include <string>

#include "fiscal_memory/registration_flow.h"
#include "ui/stoppable_report_form.h"

class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;

namespace ptk {
class Session;
}
namespace ptk::fiscal_memory {
class RangePage;
class RegistrationPage;
class ReportPage;
class SerialNumberPage;
}  // namespace ptk::fiscal_memory

// The inspector's workplace while the register is in mode 5, access to the fiscal memory: the
// serial number, the fiscalisation or re-registration with its header lines, the fiscal-memory
// reports (run on the report thread) and the ranges the fiscal memory holds, one page each.
// Opened by the mode-entry dialog, which has it run its start-up exchange first.
class Tfm_FiskPam : public ptk::ui::StoppableReportForm {
    Q_OBJECT

public:
    explicit Tfm_FiskPam(ptk::Session& session, QWidget* parent = nullptr);

    // The form as each opening finds it (cleared requisites, today's date, the first pages), then
    // the start-up exchange; ready when the register is back in mode 5 with the header lines read.
    bool prepareForEntry(const ptk::ui::ModeEntry& entry) override;

    // Where today and now come from; the workstation's clock unless a test fixes it.
    void setNowSource(std::function<QDateTime()> now) { now_ = std::move(now); }

    // The registration, stage and date repeat included.
    const ptk::fiscal_memory::RegistrationFlow& registration() const { return registration_; }
    // The tag of bt_Registr: 22 while the register waits for the date to be entered again.
    int dateRepeatTag() const { return registration_.dateRepeatTag(); }

    void pg_FiskPamChange(int index);
    void bt_ZavNumOkClick();
    void bt_RegistrClick();
    void fmemrpthookthread();
    void bt_ZaprosOkClick();

    QTabWidget* pg_FiskPam = nullptr;
    ptk::fiscal_memory::SerialNumberPage* tbch_ZavNum = nullptr;
    ptk::fiscal_memory::RegistrationPage* tbch_Registr = nullptr;
    ptk::fiscal_memory::ReportPage* tbch_Otch = nullptr;
    ptk::fiscal_memory::RangePage* tbch_Diapazon = nullptr;
    QPushButton* bt_FiskPamClose = nullptr;
    QFrame* pn_Sleep = nullptr;
    QLabel* lb_Sleep = nullptr;

private:
    void FormCreate();
    void showError(const char* text);
    // The whole form waits while an exchange runs: no page may start another meanwhile.
    void busyWith(std::initializer_list<QWidget*> controls);
    void showReportRunning(bool running) override;

    ptk::Session& session_;
    ptk::fiscal_memory::RegistrationFlow registration_;
    std::function<QDateTime()> now_;
    // The password of the mode entry that opened the form, to come back into mode 5 with.
    std::string accessPassword_;
};
