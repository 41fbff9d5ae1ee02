#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <functional>

class QToolButton;

namespace ptk::ui {

// The two arrows beside a number edit: each press moves the edit's number one step inside the
// range, without wrapping; the Up and Down keys in the edit do the same. The edit keeps its own
// text otherwise (its form holds it inside the range as it changes, by valueOf).
class UpDown final : public QWidget {
    Q_OBJECT

public:
    // The number an edit's text stands for, already held inside the range.
    using ValueOf = std::function<int(const QString& text)>;

    UpDown(int minimum, int maximum, ValueOf valueOf, QWidget* parent);

    void setBuddy(QLineEdit* edit);
    QLineEdit* buddy() const { return buddy_; }
    int valueOf(const QString& text) const { return valueOf_(text); }

    // Moves the buddy's number by steps, held inside the range.
    void stepBy(int steps);

    QToolButton* upButton = nullptr;
    QToolButton* downButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int minimum_;
    int maximum_;
    ValueOf valueOf_;
    QPointer<QLineEdit> buddy_;
};

}  // namespace ptk::ui
