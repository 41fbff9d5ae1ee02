#pragma once

#include <QWidget>

#include <functional>
#include <optional>

#include "fiscal_memory/report_commands.h"

class QDate;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace ptk::fiscal_memory {

// "Отчеты": the fiscal-memory report by dates or by shift numbers, full or short.
class ReportPage final : public QWidget {
    Q_OBJECT

public:
    explicit ReportPage(const std::function<void()>& beep);

    // The start of each opening: the page by dates, both kinds full, from today to today, no
    // shift numbers.
    void reset(const QDate& today);
    // The report the page asks for; nothing when a shift number is missing.
    std::optional<FMEMRPTTHREADARG> report() const;
    // While a report runs nothing on the page can start another or change it.
    void setRunning(bool running);

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
};

}  // namespace ptk::fiscal_memory
