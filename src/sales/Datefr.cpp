#include "sales/Datefr.h"

#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "device/clock_commands.h"
#include "link/session.h"
#include "ui/picker_formats.h"

using namespace ptk;

Tfm_DateFR::Tfm_DateFR(Session& session, QWidget* parent)
    : ChildWindow(parent, kFixedDialog, Centring::OnFirstShow),
      session_(session),
      today_([] { return QDate::currentDate(); }) {
    setObjectName("fm_DateFR");
    setWindowTitle("Установка даты");

    pn_DateFR = new QFrame(this);
    pn_DateFR->setObjectName("pn_DateFR");
    pn_DateFR->setFrameStyle(QFrame::Panel | QFrame::Raised);

    rg_DateTime = new QGroupBox(" ************** ВНИМАНИЕ !!! *************** ", pn_DateFR);
    rg_DateTime->setObjectName("rg_DateTime");
    Label3 = new QLabel("Проверьте устанавливаемые дату/время:", rg_DateTime);

    Label1 = new QLabel("Дата", rg_DateTime);
    ed_Date = new QDateEdit(rg_DateTime);
    ed_Date->setObjectName("ed_Date");
    ed_Date->setCalendarPopup(true);
    ed_Date->setDisplayFormat(ui::pickerDateFormat());
    ed_Date->setAccessibleName(Label1->text());
    Label1->setBuddy(ed_Date);

    Label2 = new QLabel("Время", rg_DateTime);
    ed_Time = new QTimeEdit(rg_DateTime);
    ed_Time->setObjectName("ed_Time");
    ed_Time->setDisplayFormat(ui::pickerTimeFormat());
    ed_Time->setAccessibleName(Label2->text());
    Label2->setBuddy(ed_Time);

    auto* pickers = new QGridLayout(rg_DateTime);
    pickers->addWidget(Label3, 0, 0, 1, 2);
    pickers->addWidget(Label1, 1, 0);
    pickers->addWidget(ed_Date, 1, 1);
    pickers->addWidget(Label2, 2, 0);
    pickers->addWidget(ed_Time, 2, 1);

    bt_DateOk = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), "Применить",
                                pn_DateFR);
    bt_DateOk->setObjectName("bt_DateOk");
    bt_DateOk->setToolTip("Установить дату");
    bt_DateOk->setAutoDefault(false);

    auto* panel = new QVBoxLayout(pn_DateFR);
    panel->addWidget(rg_DateTime);
    panel->addWidget(bt_DateOk, 0, Qt::AlignRight);

    bt_DateFRExit = new QPushButton("&Закрыть", this);
    bt_DateFRExit->setObjectName("bt_DateFRExit");
    bt_DateFRExit->setToolTip("Выйти из режима");
    bt_DateFRExit->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pn_DateFR);
    layout->addWidget(bt_DateFRExit, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(bt_DateOk, &QPushButton::clicked, this, &Tfm_DateFR::bt_DateOkClick);
    connect(bt_DateFRExit, &QPushButton::clicked, this, &QWidget::close);
    // The clock must be written before the dialog hands control back.
    setBusyControls({ed_Date, ed_Time, bt_DateOk, bt_DateFRExit});
}

void Tfm_DateFR::bt_DateOkClick() {
    if (isBusy()) return;
    session_.frontEnd.setResultText("");
    setBusy(true);

    const QDate date = ed_Date->date();
    const QTime time = ed_Time->time();
    const ClockSetting setting = SetDeviceClock(session_, {date.day(), date.month(), date.year()},
                                                {time.hour(), time.minute(), time.second()});
    if (setting.date.dateToConfirm()) {
        // The register wants the date once more: put today back for the inspector to check; the
        // time waits until the date has been accepted.
        ed_Date->setDate(today_());
        tellDateAgain(session_.frontEnd);
    }

    setBusy(false);
}
