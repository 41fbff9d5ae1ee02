#pragma once

#include <QString>

#include <string_view>
#include <utility>

class QDateEdit;
class QLabel;
class QPushButton;
class QWidget;

namespace ptk::ui {

// A widget made with its object name, by which the program's documents know it.
template <class Widget, class... Args>
Widget* named(const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A label with its buddy, which a screen reader names after it.
QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent);

// A push button of a form: named, with its hint, and not pressed by Enter from elsewhere.
QPushButton* button(const char* name, const QString& caption, const QString& hint, QWidget* parent);

// A date picker with its calendar, the year shown in full.
QDateEdit* datePicker(const char* name, QWidget* parent);

// A text of the core (UTF-8) as the windows show it.
QString fromUtf8(std::string_view text);

}  // namespace ptk::ui
