#include "sales/Chek.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "link/session.h"
#include "sales/receipt_commands.h"
#include "ui/key_filter.h"

using namespace ptk;

Tfm_Chek::Tfm_Chek(Session& session, QWidget* parent) : ModeForm(parent), session_(session) {
    setObjectName("fm_Chek");
    setWindowTitle("Чек");

    pn_Chek = new QFrame(this);
    pn_Chek->setObjectName("pn_Chek");
    pn_Chek->setFrameStyle(QFrame::Panel | QFrame::Raised);

    Label1 = new QLabel("Цена", pn_Chek);
    ed_Price = new QLineEdit("1234567890", pn_Chek);
    ed_Price->setObjectName("ed_Price");
    ed_Price->setMaxLength(11);
    ed_Price->setAccessibleName(Label1->text());
    Label1->setBuddy(ed_Price);

    Label3 = new QLabel("Секция", pn_Chek);
    ed_Sek = new QLineEdit("12", pn_Chek);
    ed_Sek->setObjectName("ed_Sek");
    ed_Sek->setMaxLength(2);
    ed_Sek->setAccessibleName(Label3->text());
    Label3->setBuddy(ed_Sek);

    const auto beep = [this] { session_.frontEnd.beep(); };
    ed_Price->installEventFilter(new ui::CharacterFilter("0123456789,.", beep, ed_Price));
    ed_Sek->installEventFilter(new ui::CharacterFilter("0123456789", beep, ed_Sek));

    auto* fields = new QGridLayout(pn_Chek);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(ed_Price, 0, 1);
    fields->addWidget(Label3, 1, 0);
    fields->addWidget(ed_Sek, 1, 1);

    bt_Chek = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), "Чек", this);
    bt_Chek->setObjectName("bt_Chek");
    bt_Chek->setToolTip("Печатать чек");
    bt_Chek->setAutoDefault(false);
    bt_ChekClose = new QPushButton("&Закрыть", this);
    bt_ChekClose->setObjectName("bt_ChekClose");
    bt_ChekClose->setToolTip("Выйти из режима");
    bt_ChekClose->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bt_Chek);
    buttons->addWidget(bt_ChekClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pn_Chek);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(bt_Chek, &QPushButton::clicked, this, &Tfm_Chek::bt_ChekClick);
    connect(bt_ChekClose, &QPushButton::clicked, this, &QWidget::close);
    // Esc prints a receipt: the print button is the dialog's cancel button.
    setCancelButton(bt_Chek);
    // A receipt on its way to the register must finish before the dialog hands control back.
    setBusyControls({pn_Chek, ed_Price, ed_Sek, bt_ChekClose, bt_Chek});
}

bool Tfm_Chek::prepareForEntry(const ui::ModeEntry&) {
    const QString separator = QLocale().decimalPoint();
    ed_Price->setText(QString("1") + (separator.isEmpty() ? QString(",") : separator) + "11");
    ed_Sek->setText("2");
    bt_ChekClose->setEnabled(true);
    return true;
}

bool Tfm_Chek::succeeded(const std::optional<ExchangeResult>& result) {
    if (result) return result->succeeded();
    session_.frontEnd.showMessage(MessageIcon::Error, kErrorCaption, sales::kBadFormatText,
                                  boxOwner());
    return false;
}

void Tfm_Chek::bt_ChekClick() {
    if (isBusy()) return;
    session_.frontEnd.setResultText("");
    setBusy(true);

    // A failed step stops the sequence. A refused item leaves the receipt open on the register;
    // the inspector cancels it from the main window.
    bool going = sales::OpenReceipt(session_, 1).succeeded();
    if (going) {
        const QByteArray price = ed_Price->text().toUtf8();
        const QByteArray section = ed_Sek->text().toUtf8();
        going = succeeded(
            sales::RegisterSale(session_, price.toStdString(), "1", section.toStdString()));
    }
    if (going) succeeded(sales::CloseReceipt(session_, "01", "0,00"));

    setBusy(false);
}

void Tfm_Chek::FormClose() {
    bt_ChekClose->setEnabled(false);
    session_.frontEnd.setResultText("");
    setEnabled(false);
    setEnabled(true);
    handBack();
}
