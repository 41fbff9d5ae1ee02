#pragma once

#include "link/exchange_result.h"
#include "status/report_window.h"

// The EKLZ state window: the state of the register's protected control tape as lines of text.
class Tfm_SostEKLZ : public ptk::status_ui::ReportWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 451;
    static constexpr int kClientHeight = 258;

    explicit Tfm_SostEKLZ(ptk::Session& session, QWidget* parent = nullptr);

    // The EKLZ state request; on success the text box shows its lines. The main menu opens the
    // window only then.
    ptk::ExchangeResult RequestEklzState();

    QPushButton* const bt_SostEKLZExit;
    QFrame* const pn_SostEKLZ;
    QPlainTextEdit* const mem_SostEKLZ;
};
