#include "ui/digit_edit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>

#include <utility>

namespace ptk::ui {
namespace {

const QString kDigits = QStringLiteral("0123456789");

// The length of a number edit, for typing only: a character typed into a full edit is dropped,
// as an edit's own maximum length drops it. A longer number that arrives otherwise (set, pasted,
// dropped) stays whole.
class TypingLimit final : public QObject {
public:
    TypingLimit(QLineEdit& edit, int limit) : QObject(&edit), edit_(edit), limit_(limit) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() != 1 || !typed.front().isPrint()) return false;
        return edit_.text().size() - edit_.selectedText().size() >= limit_;
    }

private:
    QLineEdit& edit_;
    int limit_;
};

// Keys that move the caret or leave the field, or delete; they type nothing, so they pass.
bool isNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Delete:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
            return true;
        default:
            return false;
    }
}

// Nothing but typed digits: every key that types something else is dropped with the beep, the
// paste keys (Ctrl+V, Shift+Insert) and Backspace included, and the middle button, which pastes
// the selection on X11, does nothing.
class OnlyTypedDigits final : public QObject {
public:
    OnlyTypedDigits(QLineEdit& edit, std::function<void()> beep)
        : QObject(&edit), beep_(std::move(beep)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                return refuseKey(*static_cast<QKeyEvent*>(event));
            case QEvent::MouseButtonRelease:
                return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
            default:
                return false;
        }
    }

private:
    bool refuseKey(const QKeyEvent& key) {
        const QString text = key.text();
        if (text.size() == 1 && kDigits.contains(text.front())) return false;
        const bool paste = key.matches(QKeySequence::Paste);
        const bool typesSomething = !text.isEmpty() || key.key() == Qt::Key_Backspace;
        if (!paste && (!typesSomething || isNavigationKey(key.key()))) return false;
        if (beep_) beep_();
        return true;
    }

    std::function<void()> beep_;
};

void holdToDigits(QLineEdit& edit, int digits) {
    edit.setMaxLength(digits);
    edit.setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), &edit));
}

}  // namespace

void acceptDigitsOnly(QLineEdit& edit, const DigitRules& rules, std::function<void()> beep) {
    switch (rules.otherwise) {
        case DigitRules::Otherwise::HeldToDigits:
            holdToDigits(edit, rules.digits);
            edit.installEventFilter(
                new CharacterFilter(kDigits, std::move(beep), &edit, rules.backspace));
            break;
        case DigitRules::Otherwise::KeptWhole:
            // The limit first: filters run last-installed first, so a refused character beeps
            // even in a full edit.
            edit.installEventFilter(new TypingLimit(edit, rules.digits));
            edit.installEventFilter(
                new CharacterFilter(kDigits, std::move(beep), &edit, rules.backspace));
            break;
        case DigitRules::Otherwise::Refused:
            holdToDigits(edit, rules.digits);
            edit.setContextMenuPolicy(Qt::NoContextMenu);
            edit.setAcceptDrops(false);
            edit.installEventFilter(new OnlyTypedDigits(edit, std::move(beep)));
            break;
    }
}

}  // namespace ptk::ui
