#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QEvent;

namespace ptk::sales {

// The key filter of a number edit: typed characters outside the allowed set, Backspace and the
// Ctrl combinations (Ctrl+V, Ctrl+X, ...) included, are dropped with the standard beep. Keys that
// type no character (arrows, Delete, Tab, Enter, Esc) pass untouched, so moving around and the
// dialog keys still work.
class CharacterFilter final : public QObject {
public:
    CharacterFilter(QString allowed, std::function<void()> beep, QObject* parent)
        : QObject(parent), allowed_(std::move(allowed)), beep_(std::move(beep)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString allowed_;
    std::function<void()> beep_;
};

}  // namespace ptk::sales
