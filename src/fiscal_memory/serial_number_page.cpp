#include "fiscal_memory/serial_number_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/digit_edit.h"
#include "ui/form_controls.h"

namespace ptk::fiscal_memory {

SerialNumberPage::SerialNumberPage(const std::function<void()>& beep) {
    setObjectName("tbch_ZavNum");
    Label1 = ui::named<QLabel>("Label1", "ВВЕДИТЕ ЗАВОДСКОЙ НОМЕР ПТК:", this);
    ed_ZavNum = ui::named<QLineEdit>("ed_ZavNum", this);
    // Seven digits at most, so the eight that travel always begin with a 0.
    ui::acceptDigitsOnly(*ed_ZavNum, {.digits = 7}, beep);
    Label1->setBuddy(ed_ZavNum);
    ed_ZavNum->setAccessibleName(Label1->text());
    bt_ZavNumOk =
        ui::button("bt_ZavNumOk", "Программирование", "Запрограммировать заводской номер", this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ed_ZavNum);
    layout->addWidget(bt_ZavNumOk, 0, Qt::AlignRight);
    layout->addStretch(1);
}

}  // namespace ptk::fiscal_memory
