#pragma once

#include <string>
#include <vector>

#include "link/exchange_result.h"
#include "status/report_window.h"

// The registration information window: EKLZ activations, ИНН, РНМ, the first shift, the date of
// fiscalisation and the number of the EKLZ, read from three of the register's data registers.
class Tfm_RegInf : public ptk::status_ui::ReportWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 435;
    static constexpr int kClientHeight = 353;

    explicit Tfm_RegInf(ptk::Session& session, QWidget* parent = nullptr);

    // The reads of data registers 26, 27 and 28 in turn, each only after the one before
    // succeeded, their lines shown in the text box; the result of the last read made, which
    // decides whether the main menu opens the window.
    ptk::ExchangeResult RunRequests();

    QFrame* const pn_RegInf;
    QPlainTextEdit* const mem_RegInf;
    QPushButton* const bt_RegInfExit;

private:
    // What the reads have written so far; only the answer of data register 26 starts it afresh.
    std::vector<std::string> lines_;
};
