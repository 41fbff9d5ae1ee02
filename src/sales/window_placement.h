#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ptk::sales {

// Puts a top-level window in the middle of the screen it is on, as the sales dialogs open.
inline void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace ptk::sales
