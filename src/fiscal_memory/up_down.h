#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include "fiscal_memory/picture_panel.h"

class QToolButton;

namespace ptk::ui {

// The two arrows beside a number edit: each press moves the edit's number one step inside the
// range, without wrapping; the Up and Down keys in the edit do the same. The edit keeps its own
// text otherwise (the form's udfix holds it inside the range as it changes).
class UpDown final : public QWidget {
    Q_OBJECT

public:
    UpDown(UpDownRange range, QWidget* parent);

    void setBuddy(QLineEdit* edit);
    QLineEdit* buddy() const { return buddy_; }
    UpDownRange range() const { return range_; }

    // Moves the buddy's number by steps, held inside the range.
    void stepBy(int steps);

    QToolButton* upButton = nullptr;
    QToolButton* downButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UpDownRange range_;
    QPointer<QLineEdit> buddy_;
};

}  // namespace ptk::ui
