#pragma once

class QFrame;
class QLabel;
class QWidget;

namespace ptk::ui {

// The "Ждите !!!" panel the fiscal-memory windows show while the register works: the classic
// inactive-caption grey with white bold text, hidden to begin with, and keeping its place in the
// layout while hidden, so that the window does not change size when it shows.
struct SleepPanel {
    QFrame* panel;  // pn_Sleep
    QLabel* label;  // lb_Sleep
};
SleepPanel makeSleepPanel(QWidget* parent);

}  // namespace ptk::ui
