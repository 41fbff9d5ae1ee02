#pragma once

#include <QWidget>

#include <functional>

#include "device/clock_commands.h"
#include "fiscal_memory/registration_flow.h"

class QDateTime;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace ptk::ui {
class UpDown;
}

namespace ptk::fiscal_memory {

// "Фискализация/перерегистрация": the requisites, the date and time to set, the four header lines
// and the picture panel that puts a picture tag into one of them.
class RegistrationPage final : public QWidget {
    Q_OBJECT

public:
    explicit RegistrationPage(const std::function<void()>& beep);

    // The requisites as typed, and back as the checks leave them.
    Requisites requisites() const;
    void showRequisites(const Requisites& requisites);
    void clearRequisites();

    HeaderLineTexts headerLines() const;
    // Lines read from the register are shown whole, however long (see the edits' limit).
    void setHeaderLines(const HeaderLineTexts& lines);

    // The pickers' date and time, and now to the second.
    DeviceDate date() const;
    DeviceTime time() const;
    void setClock(const QDateTime& now);

    // The picture panel's handlers.
    void btnimgpasteClick();
    void udfix(QLineEdit* sender);

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
    ui::UpDown* udimgidx = nullptr;
    QLineEdit* eimgstr = nullptr;
    ui::UpDown* udimgstr = nullptr;
    QLineEdit* eimgoffset = nullptr;
    ui::UpDown* udimgoffset = nullptr;
    QPushButton* btnimgpaste = nullptr;

private:
    QWidget* buildHeaderLineGroup();
    QWidget* buildPicturePanel();
    ui::UpDown* upDownOf(const QLineEdit* edit) const;
};

}  // namespace ptk::fiscal_memory
