#pragma once

#include <clocale>
#include <locale.h>

namespace zr::test {

// The system's error texts in English whatever the machine's locale (the application object
// takes the locale from the environment), for the current thread while the guard lives.
class CLocaleMessages {
public:
    CLocaleMessages() : c_(newlocale(LC_ALL_MASK, "C", nullptr)), previous_(uselocale(c_)) {}
    ~CLocaleMessages() {
        uselocale(previous_);
        freelocale(c_);
    }
    CLocaleMessages(const CLocaleMessages&) = delete;
    CLocaleMessages& operator=(const CLocaleMessages&) = delete;

private:
    locale_t c_;
    locale_t previous_;
};

} // namespace zr::test
