#include "sales/key_filter.h"

#include <QKeyEvent>

namespace ptk::sales {

bool CharacterFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    if (text.size() != 1) return false;
    const QChar typed = text.front();
    // Backspace types a character too, and the number edits refuse it like any other.
    const bool isCharacter =
        key->key() == Qt::Key_Backspace || (typed.isPrint() && !typed.isNull());
    if (!isCharacter || allowed_.contains(typed)) return false;
    if (beep_) beep_();
    return true;
}

}  // namespace ptk::sales
