#include "ui/form_controls.h"

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>

#include "ui/picker_formats.h"

namespace ptk::ui {

QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text.trimmed());
    return label;
}

QPushButton* button(const char* name, const QString& caption, const QString& hint,
                    QWidget* parent) {
    auto* pushButton = named<QPushButton>(name, caption, parent);
    pushButton->setToolTip(hint);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QDateEdit* datePicker(const char* name, QWidget* parent) {
    auto* picker = named<QDateEdit>(name, parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(pickerDateFormat());
    return picker;
}

}  // namespace ptk::ui
