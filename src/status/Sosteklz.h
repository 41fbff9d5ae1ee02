#pragma once

#include "app/child_window.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace ptk {
class Session;
}

// The EKLZ state window: the state of the register's protected control tape as lines of text.
class Tfm_SostEKLZ : public ptk::ui::ChildWindow {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 451;
    static constexpr int kClientHeight = 258;

    explicit Tfm_SostEKLZ(ptk::Session& session, QWidget* parent = nullptr);

    // The EKLZ state request; on success the text box shows its lines. The main menu opens the
    // window only for a result of 1.
    int RequestEklzState();

    QPushButton* bt_SostEKLZExit = nullptr;
    QFrame* pn_SostEKLZ = nullptr;
    QPlainTextEdit* mem_SostEKLZ = nullptr;

private:
    ptk::Session& session_;
};
