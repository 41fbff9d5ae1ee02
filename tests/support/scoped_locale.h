#pragma once

#include <QLocale>

namespace ptk::testing {

// The workstation's number and date formats for as long as it lives.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(before_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    QLocale before_;
};

}  // namespace ptk::testing
