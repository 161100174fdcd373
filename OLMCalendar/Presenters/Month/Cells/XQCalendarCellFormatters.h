#pragma once

// The formatters the cells format with, kept per setting so that an attach builds none.
// Main thread only.

#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/NumberFormatter.h"

#include <optional>
#include <string_view>

namespace cells {

// Digits in the locale (nullopt: the current locale).
const fnd::NumberFormatter& numberFormatter(const std::optional<fnd::Locale>& locale);
// A date formatter of `pattern` in the locale and in the calendar's system and time zone
// (a null calendar: the locale's Gregorian calendar and the default time zone).
const fnd::DateFormatter& dateFormatter(const std::optional<fnd::Locale>& locale, const fnd::CalendarRef& calendar,
                                        std::string_view pattern);

} // namespace cells
