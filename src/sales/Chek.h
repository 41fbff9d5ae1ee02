#pragma once

#include <optional>

#include "link/exchange_result.h"
#include "ui/mode_form.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ptk {
class Session;
}

// The receipt dialog: one item at a typed price, quantity one, in a typed section, closed with
// payment type 01 and a zero sum. Shown by the mode-entry dialog once the register is in the
// registration mode.
class Tfm_Chek : public ptk::ui::ModeForm {
    Q_OBJECT

public:
    explicit Tfm_Chek(ptk::Session& session, QWidget* parent = nullptr);

    // The state the receipt opens in after each mode entry: the sample price 1,11 written with
    // the workstation's decimal separator, section 2, the close button enabled. Always ready.
    bool prepareForEntry(const ptk::ui::ModeEntry& entry) override;

    void bt_ChekClick();

    QFrame* pn_Chek = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* ed_Price = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* ed_Sek = nullptr;
    QPushButton* bt_Chek = nullptr;
    QPushButton* bt_ChekClose = nullptr;

private:
    void FormClose() override;
    // Whether a step succeeded; one whose typed numbers did not convert shows "Неверный формат!".
    bool succeeded(const std::optional<ptk::ExchangeResult>& result);

    ptk::Session& session_;
};
