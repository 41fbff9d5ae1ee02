#pragma once

#include <QColor>

#include <optional>

class QFrame;
class QLabel;
class QWidget;

namespace ptk::ui {

// The "Ждите !!!" panel a form shows while the register works: a raised panel with the text bold
// and centred, hidden to begin with, keeping its place in the layout while hidden, so that the
// window does not change size when it shows.
struct WaitingPanel {
    QFrame* panel;  // pn_Sleep
    QLabel* label;  // lb_Sleep
};

// How the panel looks: the fiscal-memory windows fill it in the classic inactive-caption grey
// under white text; the EKLZ form leaves the panel's own colour and writes in red.
struct WaitingLook {
    std::optional<QColor> background;
    QColor text;
};
inline const WaitingLook kGreyWaitingLook{QColor(0x80, 0x80, 0x80), Qt::white};
inline const WaitingLook kRedWaitingLook{std::nullopt, Qt::red};

WaitingPanel makeWaitingPanel(QWidget* parent, const WaitingLook& look);

}  // namespace ptk::ui
