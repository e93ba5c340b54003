#pragma once

#include <QLocale>

namespace zr::test {

// The default locale set for the guard's lifetime, then the C locale again. Construct it with
// braces: `LocaleGuard guard(QLocale(QLocale::English))` declares a function.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(QLocale::c()); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;
};

} // namespace zr::test
