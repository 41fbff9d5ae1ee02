#include "ui/key_filter.h"

#include <QKeyEvent>

namespace ptk::ui {

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.size() != 1) return false;
    const QChar typed = text.front();
    if (key->key() == Qt::Key_Backspace && backspace_ == Backspace::Edits) return false;
    // Backspace types a character too, and so does a Ctrl combination (Ctrl+V types the control
    // character that pastes, Ctrl+X the one that cuts): the number edits refuse them like any
    // other character, so nothing but the allowed characters gets in from the keyboard.
    const bool controlCombination =
        typed.unicode() < 0x20 && key->modifiers().testFlag(Qt::ControlModifier);
    const bool isCharacter = key->key() == Qt::Key_Backspace || controlCombination ||
                             (typed.isPrint() && !typed.isNull());
    if (!isCharacter || allowed_.contains(typed)) return false;
    if (beep_) beep_();
    return true;
}

}  // namespace ptk::ui
