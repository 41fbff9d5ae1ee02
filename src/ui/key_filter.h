#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QEvent;

namespace ptk::ui {

// The key filter of a number edit: typed characters outside the allowed set, Backspace and the
// Ctrl combinations (Ctrl+V, Ctrl+X, ...) included, are dropped with the standard beep. Keys that
// type no character (arrows, Delete, Tab, Enter, Esc) pass untouched, so moving around and the
// dialog keys still work.
class CharacterFilter final : public QObject {
public:
    // What Backspace does in the edit.
    enum class Backspace {
        // Dropped with the beep, as every character outside the allowed set.
        Refused,
        // Deletes as usual, so that a typo can be corrected.
        Edits,
    };

    CharacterFilter(QString allowed, std::function<void()> beep, QObject* parent,
                    Backspace backspace = Backspace::Refused)
        : QObject(parent),
          allowed_(std::move(allowed)),
          beep_(std::move(beep)),
          backspace_(backspace) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString allowed_;
    std::function<void()> beep_;
    Backspace backspace_;
};

}  // namespace ptk::ui
