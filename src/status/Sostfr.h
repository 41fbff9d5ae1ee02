#pragma once

#include <string>
#include <vector>

#include "link/exchange_result.h"
#include "status/report_window.h"

// The device state window: the register's state and its printer's state as lines of text. It
// only shows; it changes nothing in the register.
class Tfm_SostFR : public ptk::status_ui::ReportWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 465;
    static constexpr int kClientHeight = 433;

    explicit Tfm_SostFR(ptk::Session& session, QWidget* parent = nullptr);

    // The state request; on success the text box shows the state lines.
    ptk::ExchangeResult RequestState();
    // The printer-state request; on success the four printer lines are added to the text box.
    ptk::ExchangeResult RequestPrinterState();
    // The two requests as the main menu runs them while it is busy: a failed state request
    // leaves the box empty rather than showing an older state, and the printer-state request
    // runs either way and decides. True when the window is to be opened.
    bool RunRequests();

    QFrame* const pn_SostFR;
    QPlainTextEdit* const mem_SostFR;
    QPushButton* const bt_SostFRExit;

private:
    // The lines on show: the state lines, then the printer lines.
    std::vector<std::string> lines_;
};
