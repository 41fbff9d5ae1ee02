#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <initializer_list>

#include "fiscal_memory/header_lines.h"
#include "ui/mode_form.h"
#include "ui/report_thread.h"

class QCloseEvent;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;

namespace ptk {
class Session;
}
namespace ptk::ui {
class UpDown;
}

// The inspector's workplace while the register is in mode 5, access to the fiscal memory: the
// serial number, the fiscalisation or re-registration with its header lines, the fiscal-memory
// reports (run on a report thread) and the ranges the fiscal memory holds. Opened by the
// mode-entry dialog, which has it run its start-up exchange first.
class Tfm_FiskPam : public ptk::ui::ModeForm {
    Q_OBJECT

public:
    explicit Tfm_FiskPam(ptk::Session& session, QWidget* parent = nullptr);

    // The form as each opening finds it (cleared requisites, today's date, the first pages), then
    // the start-up exchange; ready when the register is back in mode 5 with the header lines read.
    bool prepareForEntry(const ptk::ui::ModeEntry& entry) override;

    // Where today and now come from; the workstation's clock unless a test fixes it.
    void setNowSource(std::function<QDateTime()> now) { now_ = std::move(now); }
    // How the emergency exit ends the program; the application's event loop is told to end
    // unless a test records it instead.
    void setQuitApplication(std::function<void()> quit) { quitApplication_ = std::move(quit); }

    // The tag of bt_Registr: 22 while the register waits for the date to be entered again.
    int dateRepeatTag() const { return dateRepeatTag_; }
    // Stage 1 asks for the requisites, stage 2 for the new password once more, stage 3 sends.
    int registrationStage() const { return registrationStage_; }
    bool reportRunning() const { return reportThread_.running(); }

    void pg_FiskPamChange(int index);
    void bt_ZavNumOkClick();
    void bt_RegistrClick();
    void fmemrpthookthread();
    void bt_StopReportClick();
    void bt_ZaprosOkClick();
    void btnimgpasteClick();
    void udfix(QLineEdit* sender);

    // Around the pages.
    QTabWidget* pg_FiskPam = nullptr;
    QPushButton* bt_FiskPamClose = nullptr;
    QPushButton* bt_StopReport = nullptr;
    QFrame* pn_Sleep = nullptr;
    QLabel* lb_Sleep = nullptr;

    // "Прогр. заводского номера".
    QWidget* tbch_ZavNum = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* ed_ZavNum = nullptr;
    QPushButton* bt_ZavNumOk = nullptr;

    // "Фискализация/перерегистрация".
    QWidget* tbch_Registr = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lb_RegNum = nullptr;
    QLineEdit* ed_RegNum = nullptr;
    QLabel* lb_INN = nullptr;
    QLineEdit* ed_INN = nullptr;
    QLabel* lb_PassNew = nullptr;
    QLineEdit* ed_PassNew = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label9 = nullptr;
    QDateEdit* dt_Date = nullptr;
    QTimeEdit* dt_Time = nullptr;
    QPushButton* bt_Registr = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* ed_Name1 = nullptr;
    QLineEdit* ed_Name2 = nullptr;
    QLineEdit* ed_Name3 = nullptr;
    QLineEdit* ed_Name4 = nullptr;
    QFrame* panimgpaste = nullptr;
    QLineEdit* eimgidx = nullptr;
    ptk::ui::UpDown* udimgidx = nullptr;
    QLineEdit* eimgstr = nullptr;
    ptk::ui::UpDown* udimgstr = nullptr;
    QLineEdit* eimgoffset = nullptr;
    ptk::ui::UpDown* udimgoffset = nullptr;
    QPushButton* btnimgpaste = nullptr;

    // "Отчеты".
    QWidget* tbch_Otch = nullptr;
    QTabWidget* pg_Otch = nullptr;
    QWidget* tbch_OtchDate = nullptr;
    QGroupBox* gb_OtchDateVid = nullptr;
    QRadioButton* rb_OtchDatePoln = nullptr;
    QRadioButton* rb_OtchDateSokr = nullptr;
    QDateEdit* dtp_OtchDateFirst = nullptr;
    QDateEdit* dtp_OtchDateLast = nullptr;
    QWidget* tbch_OtchNumSm = nullptr;
    QGroupBox* gb_OtchNSmVid = nullptr;
    QRadioButton* rb_OtchNSmPoln = nullptr;
    QRadioButton* rb_OtchNSmSokr = nullptr;
    QLineEdit* ed_OtchNSmFirst = nullptr;
    QLineEdit* ed_OtchNSmLast = nullptr;
    QPushButton* bt_OtchOk = nullptr;

    // "Диапазон".
    QWidget* tbch_Diapazon = nullptr;
    QPushButton* bt_ZaprosOk = nullptr;
    QLineEdit* ed_DDateFirst = nullptr;
    QLineEdit* ed_DDateLast = nullptr;
    QLineEdit* ed_DNSmFirst = nullptr;
    QLineEdit* ed_DNSmLast = nullptr;

    // The new fiscal-memory password as typed at the first stage of a registration.
    QString FirstPasswordEntry;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The requisites of a registration as the checks passed them.
    struct Requisites {
        QString registrationNumber;
        QString taxpayerNumber;
        QString password;
        ptk::HeaderLineTexts headerLines;
        bool operator==(const Requisites&) const = default;
    };

    void buildSerialNumberPage();
    void buildRegistrationPage();
    QWidget* buildHeaderLineGroup();
    QWidget* buildPicturePanel();
    void buildReportPage();
    void buildRangePage();
    void FormCreate();
    void FormClose() override;

    // The digit key filter of a number edit, and a validator holding pastes to digits.
    void acceptDigitsOnly(QLineEdit* edit, int maxLength);
    void showError(const char* text);
    void busyWith(std::initializer_list<QWidget*> controls);
    void notBusy();

    // The checks of the requisites at stages 1 and 2; true once they are confirmed (stage 3).
    bool checkRequisites();
    // Each check of a text field: trimmed, not empty, and as the check writes it back.
    bool requireFilled(QLineEdit* edit, const char* missingText);
    Requisites currentRequisites() const;
    // The clock, the header lines and the registration itself, as one click sends them.
    void sendRegistration();

    ptk::HeaderLineTexts headerLines() const;
    void setHeaderLines(const ptk::HeaderLineTexts& lines);
    // What a running report disables, and what it shows.
    void showReportRunning(bool running);
    ptk::ui::UpDown* upDownOf(const QLineEdit* edit) const;

    ptk::Session& session_;
    ptk::ui::ReportThread reportThread_;
    std::function<QDateTime()> now_;
    std::function<void()> quitApplication_;
    int dateRepeatTag_ = 0;
    int registrationStage_ = 1;
    // The password of the mode entry that opened the form, to come back into mode 5 with.
    std::string accessPassword_;
    // What the last confirmed registration checked, for a click that only repeats its date.
    Requisites validated_;
};
