#include "platform/foundation/Calendar.h"

#include "platform/foundation/detail/Icu.h"

#include <unicode/calendar.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace fnd {

namespace {

using Member = std::optional<long> DateComponents::*;

// Values beyond about a million years are clamped before they reach ICU, whose fields are
// 32-bit and whose arithmetic overflows far below the range of `long`.
constexpr long kYears = 1'000'000;

// One calendar unit and the ICU field behind it. The order is the order of resolution:
// largest unit first, and the day after the weekday fields, so that when both are given
// the day of the month wins.
struct Field {
    CalendarUnit unit;
    UCalendarDateFields field;
    Member member;
    long offset; // component value = ICU value + offset (ICU months are 0-based)
    long limit;  // magnitude to which values handed to ICU are clamped
};

constexpr std::array<Field, 12> kFields{{
    {CalendarUnitEra, UCAL_ERA, &DateComponents::era, 0, 1000},
    {CalendarUnitYear, UCAL_YEAR, &DateComponents::year, 0, kYears},
    {CalendarUnitYearForWeekOfYear, UCAL_YEAR_WOY, &DateComponents::yearForWeekOfYear, 0, kYears},
    {CalendarUnitMonth, UCAL_MONTH, &DateComponents::month, 1, kYears * 13},
    {CalendarUnitWeekOfYear, UCAL_WEEK_OF_YEAR, &DateComponents::weekOfYear, 0, kYears * 54},
    {CalendarUnitWeekOfMonth, UCAL_WEEK_OF_MONTH, &DateComponents::weekOfMonth, 0, kYears * 54},
    {CalendarUnitWeekdayOrdinal, UCAL_DAY_OF_WEEK_IN_MONTH, &DateComponents::weekdayOrdinal, 0, kYears * 54},
    {CalendarUnitWeekday, UCAL_DAY_OF_WEEK, &DateComponents::weekday, 0, kYears * 366},
    {CalendarUnitDay, UCAL_DATE, &DateComponents::day, 0, kYears * 366},
    {CalendarUnitHour, UCAL_HOUR_OF_DAY, &DateComponents::hour, 0, 2'000'000'000},
    {CalendarUnitMinute, UCAL_MINUTE, &DateComponents::minute, 0, 2'000'000'000},
    {CalendarUnitSecond, UCAL_SECOND, &DateComponents::second, 0, 2'000'000'000},
}};

// Units that are elapsed time rather than calendar fields.
constexpr CalendarUnit kTimeUnits = CalendarUnitHour | CalendarUnitMinute | CalendarUnitSecond;

const Field* fieldOf(CalendarUnit unit) {
    for (const auto& f : kFields) {
        if (f.unit == unit) return &f;
    }
    return nullptr;
}

double secondsPerUnit(CalendarUnit unit) {
    switch (unit) {
    case CalendarUnitHour:
        return 3600;
    case CalendarUnitMinute:
        return 60;
    default:
        return 1;
    }
}

int32_t clampToIcu(long value, long limit) {
    return static_cast<int32_t>(std::clamp(value, -limit, limit));
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The number of distinct weeks that `days` consecutive days starting on weekday
// `firstDow` touch, when weeks start on `firstWeekday`.
long weeksTouched(long firstDow, long firstWeekday, long days) {
    const long lead = ((firstDow - firstWeekday) % 7 + 7) % 7;
    return (lead + days + 6) / 7;
}

} // namespace

// ---------------------------------------------------------------------------------------
// DateComponents

std::optional<long> DateComponents::valueForComponent(CalendarUnit unit) const {
    if (unit == CalendarUnitNanosecond) return nanosecond;
    const Field* f = fieldOf(unit);
    return f ? this->*(f->member) : std::nullopt;
}

void DateComponents::setValue(std::optional<long> value, CalendarUnit unit) {
    if (unit == CalendarUnitNanosecond) {
        nanosecond = value;
    } else if (const Field* f = fieldOf(unit)) {
        this->*(f->member) = value;
    }
}

// ---------------------------------------------------------------------------------------
// Calendar

struct Calendar::Impl {
    std::unique_ptr<icu::Calendar> cal;

    // Moves the calendar to an instant; ICU pins instants beyond its range.
    void setTime(const Date& date) {
        UErrorCode status = U_ZERO_ERROR;
        cal->setTime(detail::toUDate(date), status);
    }
    long get(UCalendarDateFields field) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t value = cal->get(field, status);
        return U_SUCCESS(status) ? value : 0;
    }
    long firstDayOfWeek() const {
        UErrorCode status = U_ZERO_ERROR;
        const UCalendarDaysOfWeek day = cal->getFirstDayOfWeek(status);
        return U_SUCCESS(status) ? day : UCAL_SUNDAY;
    }
    long actualMinimum(UCalendarDateFields field) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t value = cal->getActualMinimum(field, status);
        return U_SUCCESS(status) ? value : 0;
    }
    long actualMaximum(UCalendarDateFields field) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t value = cal->getActualMaximum(field, status);
        return U_SUCCESS(status) ? value : 0;
    }
    std::optional<Date> time() {
        UErrorCode status = U_ZERO_ERROR;
        const double udate = cal->getTime(status);
        if (U_FAILURE(status) || !std::isfinite(udate)) return std::nullopt;
        return detail::fromUDate(udate);
    }
    // The range of a field's values in the unit around the current instant.
    Range actualRange(UCalendarDateFields field, long offset) {
        const long lo = actualMinimum(field);
        return {lo + offset, actualMaximum(field) - lo + 1};
    }
};

Calendar::Calendar(std::string identifier, std::string icuType, Locale locale, TimeZone zone)
    : _identifier(std::move(identifier)), _icuType(std::move(icuType)), _locale(std::move(locale)),
      _timeZone(std::move(zone)), _impl(std::make_unique<Impl>()) {
    rebuild();
}

Calendar::~Calendar() = default;

void Calendar::rebuild() {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale = detail::icuLocale(_locale);
    locale.setKeywordValue("calendar", _icuType.c_str(), status);
    status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> cal(
        icu::Calendar::createInstance(detail::icuZone(_timeZone).clone(), locale, status));
    if (U_FAILURE(status) || !cal) {
        // Only an ICU without data fails here; fall back to a plain Gregorian calendar.
        status = U_ZERO_ERROR;
        cal.reset(icu::Calendar::createInstance(detail::icuZone(_timeZone).clone(), icu::Locale::getRoot(),
                                                status));
    }
    cal->setLenient(true);
    // A repeated wall time (the hour after clocks go back) means its first occurrence; a
    // skipped one (the hour clocks jump over) is read with the offset before the jump, so
    // it lands that far after the jump.
    cal->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    cal->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
    if (_firstWeekday) cal->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(*_firstWeekday));
    if (_minimumDaysInFirstWeek)
        cal->setMinimalDaysInFirstWeek(static_cast<uint8_t>(*_minimumDaysInFirstWeek));
    _impl->cal = std::move(cal);
}

CalendarRef Calendar::create(const std::string& icuType, const Locale& locale) {
    return CalendarRef(new Calendar(detail::calendarIdentifierForType(icuType), icuType, locale,
                                    TimeZone::defaultTimeZone()));
}

CalendarRef Calendar::make(std::string_view identifier) {
    const std::string type = detail::icuCalendarType(identifier);
    return type.empty() ? nullptr : create(type, Locale::current());
}

CalendarRef Calendar::current() {
    const Locale locale = Locale::current();
    return create(detail::defaultCalendarType(locale), locale);
}

CalendarRef Calendar::copy() const {
    std::lock_guard lock(_mutex);
    CalendarRef other(new Calendar(_identifier, _icuType, _locale, _timeZone));
    if (_firstWeekday) other->setFirstWeekday(*_firstWeekday);
    if (_minimumDaysInFirstWeek) other->setMinimumDaysInFirstWeek(*_minimumDaysInFirstWeek);
    return other;
}

Locale Calendar::locale() const {
    std::lock_guard lock(_mutex);
    return _locale;
}

void Calendar::setLocale(const std::optional<Locale>& locale) {
    const Locale value = locale ? *locale : Locale::current();
    std::lock_guard lock(_mutex);
    if (value == _locale) return;
    _locale = value;
    rebuild();
}

TimeZone Calendar::timeZone() const {
    std::lock_guard lock(_mutex);
    return _timeZone;
}

void Calendar::setTimeZone(const std::optional<TimeZone>& zone) {
    const TimeZone value = zone ? *zone : TimeZone::defaultTimeZone();
    std::lock_guard lock(_mutex);
    _timeZone = value;
    _impl->cal->setTimeZone(detail::icuZone(_timeZone));
}

long Calendar::firstWeekday() const {
    std::lock_guard lock(_mutex);
    return _impl->firstDayOfWeek();
}

void Calendar::setFirstWeekday(long weekday) {
    if (weekday < 1 || weekday > 7) return;
    std::lock_guard lock(_mutex);
    _firstWeekday = weekday;
    _impl->cal->setFirstDayOfWeek(static_cast<UCalendarDaysOfWeek>(weekday));
}

long Calendar::minimumDaysInFirstWeek() const {
    std::lock_guard lock(_mutex);
    return _impl->cal->getMinimalDaysInFirstWeek();
}

void Calendar::setMinimumDaysInFirstWeek(long days) {
    if (days < 1 || days > 7) return;
    std::lock_guard lock(_mutex);
    _minimumDaysInFirstWeek = days;
    _impl->cal->setMinimalDaysInFirstWeek(static_cast<uint8_t>(days));
}

DateComponents Calendar::components(CalendarUnit unitFlags, const Date& date) const {
    DateComponents comps;
    // The era goes with the year (see the header).
    if (unitFlags & CalendarUnitYear) unitFlags |= CalendarUnitEra;
    std::lock_guard lock(_mutex);
    _impl->setTime(date);
    for (const auto& f : kFields) {
        if (unitFlags & f.unit) comps.*(f.member) = _impl->get(f.field) + f.offset;
    }
    if (unitFlags & CalendarUnitNanosecond) {
        // Time zone offsets are whole seconds, so the fraction of the local second is the
        // fraction of the instant's.
        const double seconds = date.timeIntervalSince1970();
        const double fraction = std::isfinite(seconds) ? seconds - std::floor(seconds) : 0.0;
        comps.nanosecond = std::min(999'999'999L, std::lround(fraction * 1e9));
    }
    return comps;
}

long Calendar::component(CalendarUnit unit, const Date& date) const {
    return components(unit, date).valueForComponent(unit).value_or(0);
}

DateComponents Calendar::components(CalendarUnit unitFlags, const Date& from, const Date& to) const {
    DateComponents comps;
    std::lock_guard lock(_mutex);
    _impl->setTime(from);
    const double target = detail::toUDate(to);
    for (const auto& f : kFields) {
        if (!(unitFlags & f.unit)) continue;
        if (f.unit & kTimeUnits) {
            // Elapsed time: whole units between the instants, so no 32-bit limit applies.
            const double now = _impl->time().value_or(from).timeIntervalSince1970();
            const double span = (to.timeIntervalSince1970() - now) / secondsPerUnit(f.unit);
            const double whole = std::isfinite(span) ? std::trunc(span) : 0.0;
            const long n = static_cast<long>(std::clamp(whole, -9.0e15, 9.0e15));
            comps.*(f.member) = n;
            UErrorCode status = U_ZERO_ERROR;
            _impl->cal->setTime((now + static_cast<double>(n) * secondsPerUnit(f.unit)) * 1000.0, status);
            continue;
        }
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n = _impl->cal->fieldDifference(target, f.field, status);
        comps.*(f.member) = U_SUCCESS(status) ? n : 0;
    }
    if (unitFlags & CalendarUnitNanosecond) {
        const double rest = to.timeIntervalSinceDate(_impl->time().value_or(from));
        comps.nanosecond =
            std::isfinite(rest) ? static_cast<long>(std::clamp(rest * 1e9, -9.0e18, 9.0e18)) : 0;
    }
    return comps;
}

std::optional<Date> Calendar::dateFromComponents(const DateComponents& comps) const {
    // Seconds and minutes are carried into hours first, so any `long` keeps its meaning
    // (wall-clock fields roll over the same way ICU's lenient fields do).
    constexpr std::int64_t kTimeLimit = 1'000'000'000'000'000; // keeps the carries below from overflowing
    std::int64_t second = std::clamp<std::int64_t>(comps.second.value_or(0), -kTimeLimit, kTimeLimit);
    std::int64_t minute = std::clamp<std::int64_t>(comps.minute.value_or(0), -kTimeLimit, kTimeLimit);
    std::int64_t hour = std::clamp<std::int64_t>(comps.hour.value_or(0), -kTimeLimit, kTimeLimit);
    minute += floorDiv(second, 60);
    second -= floorDiv(second, 60) * 60;
    hour += floorDiv(minute, 60);
    minute -= floorDiv(minute, 60) * 60;

    std::lock_guard lock(_mutex);
    icu::Calendar& cal = *_impl->cal;
    cal.clear();
    if (!comps.year && !comps.yearForWeekOfYear) cal.set(UCAL_YEAR, 1);
    for (const auto& f : kFields) {
        if (f.unit & kTimeUnits) continue;
        if (const auto& value = comps.*(f.member))
            cal.set(f.field, clampToIcu(*value, f.limit) - static_cast<int32_t>(f.offset));
    }
    cal.set(UCAL_HOUR_OF_DAY, clampToIcu(static_cast<long>(hour), 2'000'000'000));
    cal.set(UCAL_MINUTE, static_cast<int32_t>(minute));
    cal.set(UCAL_SECOND, static_cast<int32_t>(second));
    auto date = _impl->time();
    if (date && comps.nanosecond)
        date = date->dateByAddingTimeInterval(static_cast<double>(*comps.nanosecond) * 1e-9);
    return date;
}

std::optional<Date> Calendar::dateByAddingComponents(const DateComponents& comps, const Date& date) const {
    double elapsed = static_cast<double>(comps.nanosecond.value_or(0)) * 1e-9;
    std::lock_guard lock(_mutex);
    _impl->setTime(date);
    for (const auto& f : kFields) {
        const auto& value = comps.*(f.member);
        if (!value || *value == 0) continue;
        if (f.unit & kTimeUnits) {
            elapsed += static_cast<double>(*value) * secondsPerUnit(f.unit);
            continue;
        }
        UErrorCode status = U_ZERO_ERROR;
        _impl->cal->add(f.field, clampToIcu(*value, f.limit), status);
        if (U_FAILURE(status)) return std::nullopt;
    }
    auto result = _impl->time();
    if (result && elapsed != 0) result = result->dateByAddingTimeInterval(elapsed);
    return result;
}

std::optional<Date> Calendar::dateByAddingUnit(CalendarUnit unit, long value, const Date& date) const {
    DateComponents comps;
    comps.setValue(value, unit);
    return dateByAddingComponents(comps, date);
}

Range Calendar::rangeOfUnit(CalendarUnit smaller, CalendarUnit larger, const Date& date) const {
    constexpr CalendarUnit kWeeks = CalendarUnitWeekOfMonth | CalendarUnitWeekOfYear;
    std::lock_guard lock(_mutex);
    Impl& impl = *_impl;
    impl.setTime(date);
    switch (smaller) {
    case CalendarUnitDay:
        if (larger == CalendarUnitMonth) return impl.actualRange(UCAL_DATE, 0);
        if (larger == CalendarUnitYear) return impl.actualRange(UCAL_DAY_OF_YEAR, 0);
        if (larger == CalendarUnitWeekOfMonth) {
            // The days of this week that fall in this month.
            const long day = impl.get(UCAL_DATE);
            const long intoWeek = ((impl.get(UCAL_DAY_OF_WEEK) - impl.firstDayOfWeek()) % 7 + 7) % 7;
            const long first = std::max(1L, day - intoWeek);
            const long last = std::min(impl.actualMaximum(UCAL_DATE), day - intoWeek + 6);
            return {first, last - first + 1};
        }
        break;
    case CalendarUnitWeekday:
        if (larger & (kWeeks | CalendarUnitMonth | CalendarUnitYear))
            return impl.actualRange(UCAL_DAY_OF_WEEK, 0);
        break;
    case CalendarUnitMonth:
        if (larger == CalendarUnitYear) return impl.actualRange(UCAL_MONTH, 1);
        break;
    case CalendarUnitWeekOfMonth:
    case CalendarUnitWeekOfYear: {
        if (larger == CalendarUnitYearForWeekOfYear && smaller == CalendarUnitWeekOfYear) {
            return {1, impl.actualMaximum(UCAL_WEEK_OF_YEAR)};
        }
        if (larger != CalendarUnitMonth && larger != CalendarUnitYear) break;
        const UCalendarDateFields dayField = larger == CalendarUnitMonth ? UCAL_DATE : UCAL_DAY_OF_YEAR;
        const long days = impl.actualMaximum(dayField);
        impl.cal->set(dayField, 1);
        const long weeks = weeksTouched(impl.get(UCAL_DAY_OF_WEEK), impl.firstDayOfWeek(), days);
        const long location = larger == CalendarUnitMonth ? impl.get(UCAL_WEEK_OF_MONTH) : 1;
        return {location, weeks};
    }
    case CalendarUnitWeekdayOrdinal:
        if (larger == CalendarUnitMonth) return {1, impl.actualMaximum(UCAL_DAY_OF_WEEK_IN_MONTH)};
        break;
    case CalendarUnitYear:
        if (larger == CalendarUnitEra) return impl.actualRange(UCAL_YEAR, 0);
        break;
    case CalendarUnitHour:
        if (larger == CalendarUnitDay) return impl.actualRange(UCAL_HOUR_OF_DAY, 0);
        break;
    case CalendarUnitMinute:
        if (larger == CalendarUnitHour) return impl.actualRange(UCAL_MINUTE, 0);
        break;
    case CalendarUnitSecond:
        if (larger == CalendarUnitMinute) return impl.actualRange(UCAL_SECOND, 0);
        break;
    default:
        break;
    }
    return {};
}

namespace {

// The range between two limits of a field, kept at 1 or above for the counting fields
// (ICU lets week and ordinal fields reach 0 or -1 for days before the first week).
Range limitRange(const Field& f, long lo, long hi) {
    lo += f.offset;
    hi += f.offset;
    if (f.unit & (CalendarUnitWeekOfMonth | CalendarUnitWeekOfYear | CalendarUnitWeekdayOrdinal))
        lo = std::max(lo, 1L);
    return {lo, hi - lo + 1};
}

} // namespace

Range Calendar::maximumRangeOfUnit(CalendarUnit unit) const {
    if (unit == CalendarUnitNanosecond) return {0, 1'000'000'000};
    const Field* f = fieldOf(unit);
    if (!f) return {};
    std::lock_guard lock(_mutex);
    return limitRange(*f, _impl->cal->getMinimum(f->field), _impl->cal->getMaximum(f->field));
}

Range Calendar::minimumRangeOfUnit(CalendarUnit unit) const {
    if (unit == CalendarUnitNanosecond) return {0, 1'000'000'000};
    const Field* f = fieldOf(unit);
    if (!f) return {};
    std::lock_guard lock(_mutex);
    return limitRange(*f, _impl->cal->getGreatestMinimum(f->field), _impl->cal->getLeastMaximum(f->field));
}

bool Calendar::isDateEqualToDate(const Date& a, const Date& b, CalendarUnit unitGranularity) const {
    CalendarUnit mask = 0;
    switch (unitGranularity) {
    case CalendarUnitEra:
        mask = CalendarUnitEra;
        break;
    case CalendarUnitYear:
        mask = CalendarUnitEra | CalendarUnitYear;
        break;
    case CalendarUnitYearForWeekOfYear:
        mask = CalendarUnitEra | CalendarUnitYearForWeekOfYear;
        break;
    case CalendarUnitMonth:
        mask = CalendarUnitEra | CalendarUnitYear | CalendarUnitMonth;
        break;
    case CalendarUnitWeekOfMonth:
    case CalendarUnitWeekOfYear:
        mask = CalendarUnitEra | CalendarUnitYearForWeekOfYear | CalendarUnitWeekOfYear;
        break;
    case CalendarUnitDay:
    case CalendarUnitWeekday:
    case CalendarUnitWeekdayOrdinal:
        mask = CalendarUnitEra | CalendarUnitYear | CalendarUnitMonth | CalendarUnitDay;
        break;
    case CalendarUnitHour:
    case CalendarUnitMinute:
    case CalendarUnitSecond: {
        // Same wall-clock fields and the same offset from GMT: in the hour that clocks go
        // back, the two occurrences of 01:30 are different hours.
        mask = CalendarUnitEra | CalendarUnitYear | CalendarUnitMonth | CalendarUnitDay | CalendarUnitHour;
        if (unitGranularity != CalendarUnitHour) mask |= CalendarUnitMinute;
        if (unitGranularity == CalendarUnitSecond) mask |= CalendarUnitSecond;
        const TimeZone zone = timeZone();
        if (zone.secondsFromGMTForDate(a) != zone.secondsFromGMTForDate(b)) return false;
        break;
    }
    default:
        return a == b;
    }
    return components(mask, a) == components(mask, b);
}

Date Calendar::startOfDayForDate(const Date& date) const {
    std::lock_guard lock(_mutex);
    _impl->setTime(date);
    icu::Calendar& cal = *_impl->cal;
    cal.set(UCAL_HOUR_OF_DAY, 0);
    cal.set(UCAL_MINUTE, 0);
    cal.set(UCAL_SECOND, 0);
    cal.set(UCAL_MILLISECOND, 0);
    return _impl->time().value_or(date);
}

} // namespace fnd
