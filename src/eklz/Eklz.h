#pragma once

#include <QDate>

#include <functional>
#include <string_view>

#include "eklz/eklz_thread.h"
#include "ui/stoppable_report_form.h"

class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace ptk {
class Session;
}

// The EKLZ dialog: activation, the activation totals and closing of the archive on the top panel,
// reports by dates or shift numbers on the left, requests for a shift's totals, a shift's control
// tape or one document on the right. Shown by the mode-entry dialog once the register is in the
// EKLZ access mode.
//
// Every operation may keep the register printing for minutes, so each runs on the report thread
// while the dialog shows "Ждите !!!" and offers "Аварийный выход", which stops the transaction,
// waits for the thread and then ends the program. Meanwhile the dialog refuses to close.
class Tfm_EKLZ : public ptk::ui::StoppableReportForm {
    Q_OBJECT

public:
    explicit Tfm_EKLZ(ptk::Session& session, QWidget* parent = nullptr);

    // The start state of each opening: the waiting panel hidden, the reports on the page by dates
    // (full, from today to today), the requests on the shift totals page, every number empty.
    // Always ready.
    bool prepareForEntry(const ptk::ui::ModeEntry& entry) override;

    // Where today's date comes from; the workstation's clock unless a test fixes it.
    void setTodaySource(std::function<QDate()> today) { today_ = std::move(today); }

    void bt_AktivClick();
    void bt_ItogAktivClick();
    void bt_CloseArhivClick();
    void bt_OtchOkClick();
    void bt_ZaprosOkClick();
    // Runs the record's routine on the report thread and returns when it has ended.
    void hookthread(const ptk::eklz::EklzThreadArg& record);

    QPushButton* bt_EKLZClose = nullptr;
    QFrame* pn_EKLZ1 = nullptr;
    QPushButton* bt_Aktiv = nullptr;
    QPushButton* bt_ItogAktiv = nullptr;
    QPushButton* bt_CloseArhiv = nullptr;

    QFrame* pn_EKLZ4 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* pn_EKLZ2 = nullptr;
    QTabWidget* pg_Otch = nullptr;
    QWidget* tbch_OtchDate = nullptr;
    QGroupBox* gb_OtchDateVid = nullptr;
    QRadioButton* rb_OtchDatePoln = nullptr;
    QRadioButton* rb_OtchDateSokr = nullptr;
    QLabel* Label60 = nullptr;
    QDateEdit* dtp_OtchDateFirst = nullptr;
    QLabel* Label61 = nullptr;
    QDateEdit* dtp_OtchDateLast = nullptr;
    QWidget* tbch_OtchNumSm = nullptr;
    QGroupBox* gb_OtchNSmVid = nullptr;
    QRadioButton* rb_OtchNSmPoln = nullptr;
    QRadioButton* rb_OtchNSmSokr = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* ed_OtchNSmFirst = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* ed_OtchNSmLast = nullptr;
    QPushButton* bt_OtchOk = nullptr;

    QFrame* pn_EKLZ5 = nullptr;
    QLabel* Label8 = nullptr;
    QFrame* pn_EKLZ3 = nullptr;
    QTabWidget* pg_Zapros = nullptr;
    QWidget* tbch_KL = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* ed_NumSmenKL = nullptr;
    QWidget* tbch_Docum = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* ed_KPK = nullptr;
    QWidget* tbch_ItogSmen = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* ed_NumSm = nullptr;
    QPushButton* bt_ZaprosOk = nullptr;

    QFrame* pn_Sleep = nullptr;
    QLabel* lb_Sleep = nullptr;

private:
    void buildCommandPanel();
    void buildReportPanel();
    void buildRequestPanel();
    // A number edit: digits only from the keyboard, at most digits of them typed.
    QLineEdit* numberEdit(const char* name, const QString& designText, int digits, QLabel* label,
                          QWidget* parent);

    // Asks the question; on Yes runs the single command on the report thread.
    void runSingleCommand(std::string_view question, int operationCode);
    // The running state: the waiting panel and the emergency exit on, the six buttons that start
    // an operation or close the dialog off, the running state painted before the register starts
    // to print; and back.
    void showReportRunning(bool running) override;
    void showFieldError(std::string_view text);

    ptk::Session& session_;
    std::function<QDate()> today_;
};
