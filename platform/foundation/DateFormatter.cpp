#include "platform/foundation/DateFormatter.h"

#include "platform/foundation/detail/Icu.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/smpdtfmt.h>

namespace fnd {

namespace {

icu::DateFormat::EStyle icuStyle(DateFormatterStyle style) {
    switch (style) {
    case DateFormatterShortStyle:
        return icu::DateFormat::kShort;
    case DateFormatterMediumStyle:
        return icu::DateFormat::kMedium;
    case DateFormatterLongStyle:
        return icu::DateFormat::kLong;
    case DateFormatterFullStyle:
        return icu::DateFormat::kFull;
    default:
        return icu::DateFormat::kNone;
    }
}

// Never destroyed: formatters may be given back while static objects are torn down.
detail::Pool<icu::DateFormat>& formatPool() {
    static auto* pool = new detail::Pool<icu::DateFormat>();
    return *pool;
}

detail::SharedCache<icu::DateFormatSymbols>& symbolTables() {
    static detail::SharedCache<icu::DateFormatSymbols> cache;
    return cache;
}

std::vector<std::string> toStrings(const icu::UnicodeString* list, int32_t count, int32_t skip = 0) {
    std::vector<std::string> out;
    for (int32_t i = skip; list && i < count; ++i)
        out.push_back(detail::toUtf8(list[i]));
    return out;
}

constexpr auto kFormat = icu::DateFormatSymbols::FORMAT;
constexpr auto kAlone = icu::DateFormatSymbols::STANDALONE;
constexpr auto kWide = icu::DateFormatSymbols::WIDE;
constexpr auto kShort = icu::DateFormatSymbols::ABBREVIATED;
constexpr auto kNarrow = icu::DateFormatSymbols::NARROW;

} // namespace

struct DateFormatter::Impl {
    std::unique_ptr<icu::DateFormat> format; // nullptr: not built, or nothing to format with
    std::string key;                         // the pool key of `format`
    bool built = false;
    std::uint64_t generation = 0; // of the process defaults it was built with

    ~Impl() { release(); }

    // Hands the ICU formatter back to the pool; the next use builds or takes one anew.
    void release() {
        if (format) formatPool().give(key, std::move(format));
        built = false;
    }

    // Makes sure `format` matches the settings (and, where they are followed, the defaults).
    void ensure(const DateFormatter& f) {
        const bool followsDefaults = !f._locale || !f._timeZone;
        if (built && (!followsDefaults || generation == detail::defaultsGeneration())) return;
        release();
        built = true;
        generation = detail::defaultsGeneration();
        const bool hasStyle = icuStyle(f._dateStyle) != icu::DateFormat::kNone ||
                              icuStyle(f._timeStyle) != icu::DateFormat::kNone;
        if (f._patternFromStyles && !hasStyle) return;
        const Resolved r = resolve(f);
        const TimeZone zone = f._timeZone.value_or(TimeZone::defaultTimeZone());
        const long firstWeekday = f._calendar ? f._calendar->firstWeekday() : 0;
        const long minimumDays = f._calendar ? f._calendar->minimumDaysInFirstWeek() : 0;
        // Locale and zone names never contain a line feed, so the key is unambiguous.
        key = r.icuLocale.getName();
        for (const std::string& part : {zone.identifier(), std::to_string(firstWeekday * 10 + minimumDays)}) {
            key += '\n';
            key += part;
        }
        if (f._patternFromStyles) {
            key += "\ns";
            key += std::to_string(icuStyle(f._dateStyle) * 10 + icuStyle(f._timeStyle));
        } else {
            key += "\np";
            key += f._pattern;
        }
        format = formatPool().take(key);
        if (format) return;
        UErrorCode status = U_ZERO_ERROR;
        if (f._patternFromStyles) {
            format.reset(icu::DateFormat::createDateTimeInstance(icuStyle(f._dateStyle),
                                                                 icuStyle(f._timeStyle), r.icuLocale));
        } else {
            format =
                std::make_unique<icu::SimpleDateFormat>(detail::toUnicode(f._pattern), r.icuLocale, status);
        }
        if (U_FAILURE(status) || !format) {
            format.reset();
            return;
        }
        std::unique_ptr<icu::Calendar> calendar(format->getCalendar()->clone());
        calendar->setTimeZone(detail::icuZone(zone));
        if (f._calendar) {
            calendar->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(firstWeekday));
            calendar->setMinimalDaysInFirstWeek(static_cast<uint8_t>(minimumDays));
        }
        format->adoptCalendar(calendar.release());
    }

    // The settings a build resolves, shared with the symbol look-ups.
    struct Resolved {
        Locale locale;
        std::string calendarType;
        icu::Locale icuLocale; // the locale with the calendar type as keyword
    };
    static Resolved resolve(const DateFormatter& f) {
        Resolved r{f._locale.value_or(Locale::current()), {}, {}};
        r.calendarType = f._calendar ? detail::icuCalendarType(f._calendar->identifier())
                                     : detail::defaultCalendarType(r.locale);
        r.icuLocale = detail::icuLocale(r.locale);
        UErrorCode status = U_ZERO_ERROR;
        r.icuLocale.setKeywordValue("calendar", r.calendarType.c_str(), status);
        return r;
    }

    // The locale's symbol table for the formatter's calendar; nullptr only without ICU data.
    static std::shared_ptr<const icu::DateFormatSymbols> symbols(const DateFormatter& f) {
        std::lock_guard lock(f._mutex);
        const Resolved r = resolve(f);
        return symbolTables().get(r.icuLocale.getName(), [&]() -> std::unique_ptr<icu::DateFormatSymbols> {
            UErrorCode status = U_ZERO_ERROR;
            auto table =
                std::make_unique<icu::DateFormatSymbols>(r.icuLocale, r.calendarType.c_str(), status);
            return U_SUCCESS(status) ? std::move(table) : nullptr;
        });
    }

    using Context = icu::DateFormatSymbols::DtContextType;
    using Width = icu::DateFormatSymbols::DtWidthType;
    static std::vector<std::string> months(const DateFormatter& f, Context context, Width width) {
        const auto table = symbols(f);
        int32_t count = 0;
        const icu::UnicodeString* list = table ? table->getMonths(count, context, width) : nullptr;
        return toStrings(list, count);
    }
    // ICU's weekday arrays have an empty entry before Sunday.
    static std::vector<std::string> weekdays(const DateFormatter& f, Context context, Width width) {
        const auto table = symbols(f);
        int32_t count = 0;
        const icu::UnicodeString* list = table ? table->getWeekdays(count, context, width) : nullptr;
        return toStrings(list, count, 1);
    }
    static std::optional<std::string> amPm(const DateFormatter& f, int32_t index) {
        const auto table = symbols(f);
        int32_t count = 0;
        const icu::UnicodeString* list = table ? table->getAmPmStrings(count) : nullptr;
        if (index >= count) return std::nullopt;
        return detail::toUtf8(list[index]);
    }
};

DateFormatter::DateFormatter() : _impl(std::make_unique<Impl>()) {}
DateFormatter::~DateFormatter() = default;

DateFormatterRef DateFormatter::make() {
    return DateFormatterRef(new DateFormatter());
}

void DateFormatter::invalidate() {
    _impl->release();
}

std::string DateFormatter::dateFormat() const {
    std::lock_guard lock(_mutex);
    if (!_patternFromStyles) return _pattern;
    _impl->ensure(*this);
    icu::UnicodeString pattern;
    if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(_impl->format.get())) simple->toPattern(pattern);
    return detail::toUtf8(pattern);
}

void DateFormatter::setDateFormat(std::string pattern) {
    std::lock_guard lock(_mutex);
    _pattern = std::move(pattern);
    _patternFromStyles = false;
    invalidate();
}

void DateFormatter::setDateStyle(DateFormatterStyle style) {
    std::lock_guard lock(_mutex);
    _dateStyle = style;
    _patternFromStyles = true;
    invalidate();
}

void DateFormatter::setTimeStyle(DateFormatterStyle style) {
    std::lock_guard lock(_mutex);
    _timeStyle = style;
    _patternFromStyles = true;
    invalidate();
}

Locale DateFormatter::locale() const {
    std::lock_guard lock(_mutex);
    return _locale.value_or(Locale::current());
}

void DateFormatter::setLocale(const std::optional<Locale>& locale) {
    std::lock_guard lock(_mutex);
    _locale = locale;
    invalidate();
}

CalendarRef DateFormatter::calendar() const {
    std::lock_guard lock(_mutex);
    if (_calendar) return _calendar->copy();
    const Impl::Resolved r = Impl::resolve(*this);
    CalendarRef calendar = Calendar::make(detail::calendarIdentifierForType(r.calendarType));
    calendar->setLocale(r.locale);
    calendar->setTimeZone(_timeZone);
    return calendar;
}

void DateFormatter::setCalendar(const CalendarRef& calendar) {
    CalendarRef copy = calendar ? calendar->copy() : nullptr;
    std::lock_guard lock(_mutex);
    _calendar = std::move(copy);
    invalidate();
}

TimeZone DateFormatter::timeZone() const {
    std::lock_guard lock(_mutex);
    return _timeZone.value_or(TimeZone::defaultTimeZone());
}

void DateFormatter::setTimeZone(const std::optional<TimeZone>& zone) {
    std::lock_guard lock(_mutex);
    _timeZone = zone;
    invalidate();
}

std::string DateFormatter::stringFromDate(const Date& date) const {
    std::lock_guard lock(_mutex);
    _impl->ensure(*this);
    if (!_impl->format) return {};
    icu::UnicodeString text;
    _impl->format->format(detail::toUDate(date), text);
    return detail::toUtf8(text);
}

std::vector<std::string> DateFormatter::monthSymbols() const {
    return Impl::months(*this, kFormat, kWide);
}
std::vector<std::string> DateFormatter::shortMonthSymbols() const {
    return Impl::months(*this, kFormat, kShort);
}
std::vector<std::string> DateFormatter::veryShortMonthSymbols() const {
    return Impl::months(*this, kFormat, kNarrow);
}
std::vector<std::string> DateFormatter::standaloneMonthSymbols() const {
    return Impl::months(*this, kAlone, kWide);
}
std::vector<std::string> DateFormatter::shortStandaloneMonthSymbols() const {
    return Impl::months(*this, kAlone, kShort);
}
std::vector<std::string> DateFormatter::veryShortStandaloneMonthSymbols() const {
    return Impl::months(*this, kAlone, kNarrow);
}
std::vector<std::string> DateFormatter::weekdaySymbols() const {
    return Impl::weekdays(*this, kFormat, kWide);
}
std::vector<std::string> DateFormatter::shortWeekdaySymbols() const {
    return Impl::weekdays(*this, kFormat, kShort);
}
std::vector<std::string> DateFormatter::veryShortWeekdaySymbols() const {
    return Impl::weekdays(*this, kFormat, kNarrow);
}
std::vector<std::string> DateFormatter::standaloneWeekdaySymbols() const {
    return Impl::weekdays(*this, kAlone, kWide);
}
std::vector<std::string> DateFormatter::shortStandaloneWeekdaySymbols() const {
    return Impl::weekdays(*this, kAlone, kShort);
}
std::vector<std::string> DateFormatter::veryShortStandaloneWeekdaySymbols() const {
    return Impl::weekdays(*this, kAlone, kNarrow);
}

std::string DateFormatter::AMSymbol() const {
    return Impl::amPm(*this, 0).value_or("AM");
}
std::string DateFormatter::PMSymbol() const {
    return Impl::amPm(*this, 1).value_or("PM");
}

} // namespace fnd
