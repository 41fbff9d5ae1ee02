#pragma once

#include <QDate>

#include <functional>

#include "ui/child_window.h"

class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimeEdit;

namespace ptk {
class Session;
}

// Sets the register's clock: the date first, then the time. Opened from the main menu; no mode
// entry is needed.
class Tfm_DateFR : public ptk::ui::ChildWindow {
    Q_OBJECT

public:
    explicit Tfm_DateFR(ptk::Session& session, QWidget* parent = nullptr);

    // Where today's date comes from when the register asks for the date again; the
    // workstation's clock unless a test fixes it.
    void setTodaySource(std::function<QDate()> today) { today_ = std::move(today); }

    void bt_DateOkClick();

    QFrame* pn_DateFR = nullptr;
    QGroupBox* rg_DateTime = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QDateEdit* ed_Date = nullptr;
    QLabel* Label2 = nullptr;
    QTimeEdit* ed_Time = nullptr;
    QPushButton* bt_DateOk = nullptr;
    QPushButton* bt_DateFRExit = nullptr;

private:
    ptk::Session& session_;
    std::function<QDate()> today_;
};
