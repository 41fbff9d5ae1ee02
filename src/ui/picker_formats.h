#pragma once

#include <QString>

namespace ptk::ui {

// The workstation's short date format for a date picker, with a two-digit year shown in full: the
// picker then never guesses a century when the inspector types a year.
QString pickerDateFormat();

// The workstation's long time format for a time picker, without the time zone, which the
// register's clock lacks.
QString pickerTimeFormat();

}  // namespace ptk::ui
