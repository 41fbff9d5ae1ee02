#include "sales/Gash.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "link/session.h"
#include "sales/shift_report.h"

using namespace ptk;

Tfm_Gash::Tfm_Gash(Session& session, QWidget* parent) : ModeForm(parent), session_(session) {
    setObjectName("fm_Gash");
    setWindowTitle("Отчет с гашением");

    pn_Gash = new QFrame(this);
    pn_Gash->setObjectName("pn_Gash");
    pn_Gash->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    bt_Otch =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), "Отчет", pn_Gash);
    bt_Otch->setObjectName("bt_Otch");
    bt_Otch->setToolTip("Печатать отчет с гашением");
    bt_Otch->setAutoDefault(false);
    bt_GashClose = new QPushButton("Закрыть", pn_Gash);
    bt_GashClose->setObjectName("bt_GashClose");
    bt_GashClose->setToolTip("Выйти из режима");
    bt_GashClose->setAutoDefault(false);

    auto* buttons = new QHBoxLayout(pn_Gash);
    buttons->addWidget(bt_Otch);
    buttons->addWidget(bt_GashClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pn_Gash);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(bt_Otch, &QPushButton::clicked, this, &Tfm_Gash::bt_OtchClick);
    connect(bt_GashClose, &QPushButton::clicked, this, &QWidget::close);
    // Esc starts the report: the report button is the dialog's cancel button.
    setCancelButton(bt_Otch);
    // The report must finish before the dialog hands control back.
    setBusyControls({pn_Gash, bt_Otch, bt_GashClose});
}

void Tfm_Gash::bt_OtchClick() {
    if (isBusy()) return;
    session_.frontEnd.setResultText("");
    setBusy(true);
    // Whatever went wrong has been shown by the exchange; the dialog stays for another try.
    sales::PrintShiftClosingReport(session_);
    setBusy(false);
}

void Tfm_Gash::FormClose() {
    setEnabled(false);
    session_.frontEnd.setResultText("");
    handBack();
    setEnabled(true);
}
