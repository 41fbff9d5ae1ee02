#include "sales/Gash.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "link/session.h"
#include "sales/shift_report.h"
#include "sales/window_placement.h"

using namespace ptk;

Tfm_Gash::Tfm_Gash(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), session_(session) {
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
}

void Tfm_Gash::setHandBack(QWidget* mainWindow, QWidget* modeEntryDialog) {
    mainWindow_ = mainWindow;
    modeEntryDialog_ = modeEntryDialog;
}

void Tfm_Gash::setBusy(bool busy) {
    busy_ = busy;
    for (QWidget* control : {static_cast<QWidget*>(this), static_cast<QWidget*>(pn_Gash),
                             static_cast<QWidget*>(bt_Otch), static_cast<QWidget*>(bt_GashClose)}) {
        control->setEnabled(!busy);
    }
}

void Tfm_Gash::bt_OtchClick() {
    if (busy_) return;
    session_.frontEnd.setResultText("");
    setBusy(true);
    // Whatever went wrong has been shown by the exchange; the dialog stays for another try.
    sales::PrintShiftClosingReport(session_);
    setBusy(false);
}

void Tfm_Gash::FormClose() {
    setEnabled(false);
    session_.frontEnd.setResultText("");
    if (modeEntryDialog_) modeEntryDialog_->close();
    if (mainWindow_) mainWindow_->setEnabled(true);
    setEnabled(true);
}

void Tfm_Gash::showEvent(QShowEvent* event) {
    // Once: after that the window opens where the inspector left it.
    if (!centred_) {
        adjustSize();
        sales::centreOnScreen(*this);
        centred_ = true;
    }
    QWidget::showEvent(event);
}

void Tfm_Gash::closeEvent(QCloseEvent* event) {
    // The report must finish before the dialog hands control back.
    if (busy_) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void Tfm_Gash::keyPressEvent(QKeyEvent* event) {
    // Esc starts the report: the report button is the dialog's cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        bt_Otch->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
