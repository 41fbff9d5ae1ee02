#include "ui/picker_formats.h"

#include <QLocale>
#include <QRegularExpression>

namespace ptk::ui {

QString pickerDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains("yyyy")) format.replace(QRegularExpression("y+"), "yyyy");
    return format;
}

QString pickerTimeFormat() {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression("\\s*t+"));
    return format.trimmed();
}

}  // namespace ptk::ui
