#pragma once

// Saves the process-wide foundation defaults (current locale, default time zone, fixed
// "now") and restores them when it goes out of scope, so a test can change them freely.

#include "platform/foundation/Date.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/TimeZone.h"

#include <optional>

namespace fnd {

class ScopedDefaults {
public:
    ScopedDefaults()
        : _locale(Locale::current()), _timeZone(TimeZone::defaultTimeZone()), _now(Clock::fixedNow()) {}
    ~ScopedDefaults() {
        Locale::setCurrent(_locale);
        TimeZone::setDefaultTimeZone(_timeZone);
        Clock::setFixedNow(_now);
    }
    ScopedDefaults(const ScopedDefaults&) = delete;
    ScopedDefaults& operator=(const ScopedDefaults&) = delete;

private:
    Locale _locale;
    TimeZone _timeZone;
    std::optional<Date> _now;
};

} // namespace fnd
