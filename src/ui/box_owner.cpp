#include "ui/box_owner.h"

#include <QApplication>
#include <QWidget>

namespace ptk::ui {

OwnerHandle ownerOf(const QWidget* window) {
    return OwnerHandle(window);
}

QWidget* windowOf(OwnerHandle owner) {
    if (owner.window() == nullptr) return nullptr;
    // Looked up among the windows that exist, so a handle of a window that is gone names none.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == owner.window()) return window;
    }
    return nullptr;
}

}  // namespace ptk::ui
