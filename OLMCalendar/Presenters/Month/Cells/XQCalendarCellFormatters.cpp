#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCellFormatters.h"

#include <string>
#include <unordered_map>

namespace cells {
namespace {

std::string localeKey(const std::optional<fnd::Locale>& locale) {
    return locale ? locale->identifier() : std::string("<current>");
}

} // namespace

const fnd::NumberFormatter& numberFormatter(const std::optional<fnd::Locale>& locale) {
    static std::unordered_map<std::string, fnd::NumberFormatterRef> formatters;
    fnd::NumberFormatterRef& formatter = formatters[localeKey(locale)];
    if (!formatter) {
        formatter = fnd::NumberFormatter::make();
        formatter->setLocale(locale);
    }
    return *formatter;
}

const fnd::DateFormatter& dateFormatter(const std::optional<fnd::Locale>& locale, const fnd::CalendarRef& calendar,
                                        std::string_view pattern) {
    static std::unordered_map<std::string, fnd::DateFormatterRef> formatters;
    std::string key = localeKey(locale);
    key += '|';
    if (calendar) key += calendar->identifier() + '|' + calendar->timeZone().identifier();
    key += '|';
    key += pattern;
    fnd::DateFormatterRef& formatter = formatters[key];
    if (!formatter) {
        formatter = fnd::DateFormatter::make();
        formatter->setLocale(locale);
        if (calendar) {
            formatter->setCalendar(calendar);
            formatter->setTimeZone(calendar->timeZone());
        }
        formatter->setDateFormat(std::string(pattern));
    }
    return *formatter;
}

} // namespace cells
