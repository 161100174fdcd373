// XQCalendar: selection under the four selection modes, and the date arithmetic that the
// presenters and cells share.

#include "OLMCalendar/XQCalendar.h"

#include "OLMCalendar/Presenters/XQCalendarPresenter.h"
#include "platform/foundation/Strings.h"

// --- Selection.

void XQCalendar::setSelectionMode(XQCalendarSelectionMode mode) {
    _selectionMode = mode;
    updatePresenterState(_selectedDate);
}

std::string XQCalendar::dayKey(const fnd::Date& date) const {
    const auto comps = _calendar->components(dayUnits, date);
    std::string key = fnd::stringWithFormat("%d.%d.%d", comps.day.value_or(0), comps.month.value_or(0),
                                            comps.year.value_or(0));
    // Years repeat from era to era: a day of any era but the calendar's last one (the current
    // era of the Japanese calendar, AD of the Gregorian) carries its era as a fourth field.
    const fnd::Range eras = _calendar->maximumRangeOfUnit(fnd::CalendarUnitEra);
    const long lastEra = eras.location + eras.length - 1;
    if (comps.era && *comps.era != lastEra) key += fnd::stringWithFormat(".%d", *comps.era);
    return key;
}

void XQCalendar::setSelectedDate(const std::optional<fnd::Date>& requested) {
    auto self = rt::sharedFrom(this); // the delegate may drop the calendar while it is told
    const std::optional<fnd::Date> date = requested;

    if (_selectionMode == XQCalendarSelectionModeRange && date) {
        _selectedDate = date;
        setSelectedDatesRange(XQDateRange::make(date, date));
        return;
    }

    if (_selectionMode == XQCalendarSelectionModeMultiple && date) {
        const std::string key = dayKey(*date);
        if (_selectedDatesDict.erase(key) != 0) {
            tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidDeselectedDate(*this, *date); });
            updatePresenterState(date);
            return;
        }
        bool allowed = true;
        tellDelegate([&](XQCalendarDelegate& d) { allowed = d.calendarShouldSelectDate(*this, date); });
        if (!allowed) return;
        _selectedDatesDict[key] = *date;
        tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidSelectDate(*this, *date); });
        _selectedDate = date;
        updatePresenterState(date);
        return;
    }

    if (_selectionMode == XQCalendarSelectionModeSingle) {
        if (_selectedDate == date) return; // the same instant (or nothing selected and nothing given)
        bool allowed = true;
        tellDelegate([&](XQCalendarDelegate& d) { allowed = d.calendarShouldSelectDate(*this, date); });
        if (!allowed) return;
        if (const std::optional<fnd::Date> old = _selectedDate)
            tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidDeselectedDate(*this, *old); });
        _selectedDate = date;
        updatePresenterState(date);
        if (date) tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidSelectDate(*this, *date); });
    }
}

std::optional<std::vector<fnd::Date>> XQCalendar::selectedDates() const {
    if (_selectionMode == XQCalendarSelectionModeSingle && _selectedDate)
        return std::vector<fnd::Date>{*_selectedDate};
    if (_selectionMode == XQCalendarSelectionModeMultiple) {
        std::vector<fnd::Date> dates;
        dates.reserve(_selectedDatesDict.size());
        for (const auto& entry : _selectedDatesDict)
            dates.push_back(entry.second);
        return dates;
    }
    return std::nullopt;
}

void XQCalendar::setSelectedDates(const std::vector<fnd::Date>& dates) {
    if (_selectionMode != XQCalendarSelectionModeMultiple) return;
    auto self = rt::sharedFrom(this);

    const auto previous = std::move(_selectedDatesDict);
    _selectedDatesDict.clear();
    for (const auto& entry : previous)
        tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidDeselectedDate(*this, entry.second); });

    std::optional<fnd::Date> lastAdded;
    for (const fnd::Date& date : dates) {
        // A second date of a day already added is reported again but not stored.
        if (_selectedDatesDict.try_emplace(dayKey(date), date).second) lastAdded = date;
        tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidSelectDate(*this, date); });
    }
    _selectedDate = lastAdded;
    updatePresenterState(lastAdded);
}

std::shared_ptr<XQDateRange> XQCalendar::selectedDatesRange() const {
    if (_selectionMode == XQCalendarSelectionModeSingle && _selectedDate)
        return XQDateRange::make(_selectedDate, _selectedDate);
    if (_selectionMode == XQCalendarSelectionModeRange) return _dateRange;
    return nullptr;
}

void XQCalendar::setSelectedDatesRange(const std::shared_ptr<XQDateRange>& range) {
    if (!range) return;
    setSelectedDatesRange(range, range->isNormalized() ? range->startDate() : range->endDate());
}

void XQCalendar::setSelectedDatesRange(const std::shared_ptr<XQDateRange>& range,
                                       const std::optional<fnd::Date>& lastSelected) {
    if (!range) return;
    if (_dateRange && _dateRange->startDate() && _dateRange->endDate() &&
        isDate(_dateRange->startDate(), range->startDate(), dayUnits) &&
        isDate(_dateRange->endDate(), range->endDate(), dayUnits))
        return;
    if (_selectionMode != XQCalendarSelectionModeRange) return;
    _dateRange = range;
    _selectedDate = lastSelected;
    updatePresenterState(lastSelected);
}

void XQCalendar::resetSelection() {
    auto self = rt::sharedFrom(this);
    setSelectedDate(std::nullopt);
    // Only single selection keeps a date here (when the delegate refuses to clear it); the
    // other modes must not leave their last date selected behind an empty selection.
    if (_selectionMode != XQCalendarSelectionModeSingle) _selectedDate.reset();

    const auto previous = std::move(_selectedDatesDict);
    _selectedDatesDict.clear();
    for (const auto& entry : previous)
        tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidDeselectedDate(*this, entry.second); });
    _dateRange = XQDateRange::make();
}

void XQCalendar::clearSelection() {
    resetSelection();
    updatePresenterState(_selectedDate);
}

bool XQCalendar::isDateSelected(const std::optional<fnd::Date>& date) const {
    if (!date) return false;
    if (_selectionMode == XQCalendarSelectionModeSingle)
        return _selectedDate && isDate(_selectedDate, date, dayUnits);
    if (_selectionMode == XQCalendarSelectionModeRange) {
        const auto range = selectedDatesRange();
        if (!range || !range->startDate() || !range->endDate()) return false;
        // Whole days, not time stamps: a range that starts at noon still holds its first day
        // from midnight on, and nothing of the day before.
        const auto day = dateWithoutTime(date);
        const auto first = dateWithoutTime(range->startDate());
        const auto last = dateWithoutTime(range->endDate());
        return day && first && last && *first <= *day && *day <= *last;
    }
    return _selectedDatesDict.count(dayKey(*date)) != 0;
}

// --- Date arithmetic.

long XQCalendar::daysInWeek() {
    if (_daysInWeek == 0)
        _daysInWeek =
            _calendar->rangeOfUnit(fnd::CalendarUnitWeekday, fnd::CalendarUnitWeekOfMonth, _displayedDate)
                .length;
    return _daysInWeek;
}

long XQCalendar::weeksInMonth(long months) const {
    fnd::DateComponents offset;
    offset.month = months;
    const auto date = _calendar->dateByAddingComponents(offset, _displayedDate);
    if (!date) return 0;
    return _calendar->rangeOfUnit(fnd::CalendarUnitWeekOfMonth, fnd::CalendarUnitMonth, *date).length;
}

std::optional<fnd::Date> XQCalendar::dateWithDay(long day, long month, long year) const {
    return dateWithYear(year, month, day, _calendar);
}

std::optional<fnd::Date> XQCalendar::dateWithOffset(long offset, long months, const fnd::Date& fromDate) {
    // The first of the month, then the calendar's own month steps: adding to the month field
    // would let it roll over by a fixed count of months a year, which is wrong in calendars
    // with leap months (the Hebrew Adar I).
    auto comps = _calendar->components(dayUnits, fromDate);
    comps.day = 1;
    auto first = _calendar->dateFromComponents(comps);
    if (first && months != 0) first = _calendar->dateByAddingUnit(fnd::CalendarUnitMonth, months, *first);
    if (!first) return std::nullopt;
    comps = _calendar->components(dayUnits, *first);

    // Back to the start of the week that holds the first of the month (zero or negative days
    // roll into the previous month).
    const long weekday = _calendar->component(fnd::CalendarUnitWeekday, *first);
    const long firstWeekday = _calendar->firstWeekday();
    const long n = daysInWeek();
    const long day = weekday < firstWeekday ? 1 - (n + weekday - firstWeekday) : 1 - (weekday - firstWeekday);
    comps.day = day + offset;
    return _calendar->dateFromComponents(comps);
}

bool XQCalendar::isWeekend(long offset) {
    // Read through the accessor: a cache of 0 is recomputed rather than divided by.
    const long n = daysInWeek();
    if (n <= 0) return false;
    long w = (_calendar->firstWeekday() + offset - 1) % n;
    if (w < 0) w += n;
    return w == 0 || w == 6;
}

bool XQCalendar::isDate(const std::optional<fnd::Date>& date, const std::optional<fnd::Date>& other,
                        fnd::CalendarUnit units) const {
    return isDate(date, other, units, _calendar);
}

bool XQCalendar::isDate(const std::optional<fnd::Date>& date, const std::optional<fnd::Date>& other,
                        fnd::CalendarUnit units, fnd::CalendarRef calendar) {
    if (!date || !other) return false;
    if (!calendar) calendar = fnd::Calendar::current();
    const auto a = calendar->dateFromComponents(calendar->components(units, *date));
    const auto b = calendar->dateFromComponents(calendar->components(units, *other));
    return a && b && *a == *b;
}

std::optional<fnd::Date> XQCalendar::dateWithoutTime(const std::optional<fnd::Date>& date) const {
    if (!date) return std::nullopt;
    return _calendar->dateFromComponents(_calendar->components(dayUnits, *date));
}

std::optional<fnd::Date> XQCalendar::dateWithYear(long year, long month, long day,
                                                  fnd::CalendarRef calendar) {
    if (!calendar) calendar = fnd::Calendar::current();
    fnd::DateComponents comps;
    comps.year = year;
    comps.month = month;
    comps.day = day;
    return calendar->dateFromComponents(comps);
}
