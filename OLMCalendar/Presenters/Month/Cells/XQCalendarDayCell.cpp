// XQCalendarDayCell: binding to a date, state flags and events. The drawing is in
// XQCalendarDayCellDrawing.cpp.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCellFormatters.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Dispatch.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQCalendarDayCell, XQCalendarCell)

namespace {

// The fields that name a day. Comparing them tells same day, month or year apart without
// turning them back into dates (an attach asks this of every day, now and the displayed date).
constexpr fnd::CalendarUnit dayFields =
    fnd::CalendarUnitEra | fnd::CalendarUnitYear | fnd::CalendarUnitMonth | fnd::CalendarUnitDay;

bool sameYear(const fnd::DateComponents& a, const fnd::DateComponents& b) {
    return a.era == b.era && a.year == b.year;
}
bool sameMonth(const fnd::DateComponents& a, const fnd::DateComponents& b) {
    return sameYear(a, b) && a.month == b.month;
}
bool sameDay(const fnd::DateComponents& a, const fnd::DateComponents& b) {
    return sameMonth(a, b) && a.day == b.day;
}

} // namespace

std::shared_ptr<XQCalendarCellStyle> XQCalendarDayCell::createStyle() const {
    auto style = XQCalendarDayCellStyle::make();
    style->setStyleID(XQStyleID::make());
    return style;
}

bool XQCalendarDayCell::acceptsStyle(const XQCalendarCellStyle& style) const {
    return dynamic_cast<const XQCalendarDayCellStyle*>(&style) != nullptr;
}

XQCalendarDayCellState XQCalendarDayCell::selectionStateForDate(XQCalendar& calendar, const fnd::Date& date) {
    if (!calendar.isDateSelected(date)) return 0;
    if (calendar.selectionMode() != XQCalendarSelectionModeRange) return XQCalendarDayCellStateSelected;
    const auto range = calendar.selectedDatesRange();
    const auto first = range ? range->startDate() : std::nullopt;
    const auto last = range ? range->endDate() : std::nullopt;
    if (calendar.isDate(first, last, XQCalendar::dayUnits)) return XQCalendarDayCellStateSelected;
    if (calendar.isDate(date, last, XQCalendar::dayUnits))
        return XQCalendarDayCellStateLastInRange | XQCalendarDayCellStateSelected;
    if (calendar.isDate(date, first, XQCalendar::dayUnits)) return XQCalendarDayCellStateFirstInRange;
    return XQCalendarDayCellStateMidInRange;
}

XQCalendarDayCellState XQCalendarDayCell::stateForDate(const fnd::Date& date) {
    const auto owner = this->owner();
    if (!owner) return 0;
    XQCalendar& c = *owner;
    const fnd::Calendar& calendar = *c.calendar();
    const auto day = calendar.components(dayFields | fnd::CalendarUnitWeekday, date);
    const auto today = calendar.components(dayFields, fnd::Date::now());
    const auto& presenter = c.presenter();
    XQCalendarDayCellState state = 0;
    if (sameDay(day, today)) state |= XQCalendarDayCellStateToday;
    if (c.isWeekend(day.weekday.value_or(0) - calendar.firstWeekday())) state |= XQCalendarDayCellStateWeekend;
    state |= selectionStateForDate(c, date);
    if ((presenter && presenter->showsEveryDayAsDisplayed()) ||
        sameMonth(day, calendar.components(dayFields, c.displayedDate())))
        state |= XQCalendarDayCellStateCurrentMonth;
    if (sameYear(day, today)) state |= XQCalendarDayCellStateCurrentYear;
    if ((c.minDate() && date < *c.minDate()) || (c.maxDate() && date > *c.maxDate()))
        state |= XQCalendarDayCellStateOutOfRange;
    return state;
}

void XQCalendarDayCell::setState(XQCalendarDayCellState state) {
    if (state == _state) return;
    _state = state;
    style().styleID()->setState(state);
    double z = 0;
    if (state & XQCalendarDayCellStateSelected)
        z = 30000;
    else if (state & (XQCalendarDayCellStateFirstInRange | XQCalendarDayCellStateLastInRange |
                      XQCalendarDayCellStateMidInRange))
        z = 20000;
    else if (state & XQCalendarDayCellStateToday)
        z = 10000;
    layer()->setZPosition(z);
    updateVisuals();
    setNeedsDisplay();
}

void XQCalendarDayCell::attachWithCalendar(XQCalendar* calendar, const fnd::Date& date) {
    bool again = false; // the cell showed this day before
    std::string number;
    if (calendar) {
        const fnd::Calendar& cal = *calendar->calendar();
        const auto day = cal.components(dayFields, date);
        again = _date && sameDay(day, cal.components(dayFields, *_date));
        number = cells::numberFormatter(calendar->locale()).stringFromNumber(day.day.value_or(0));
    }
    setOwner(calendar);
    _date = date;
    ++_attachCount;
    label()->setText(std::move(number));

    const XQCalendarDayCellState state = stateForDate(date);
    if (state == _state) {
        updateVisuals();
        setNeedsDisplay();
    } else {
        setState(state);
    }

    if (calendar)
        loadEvents(*calendar, date, again);
    else
        storeEvents({});
    setNeedsLayout();
}

void XQCalendarDayCell::loadEvents(XQCalendar& calendar, const fnd::Date& date, bool again) {
    const auto dataSource = calendar.dataSource();
    if (!dataSource) {
        storeEvents({});
        return;
    }
    if (auto events = dataSource->calendarEventsForDate(calendar, date)) {
        storeEvents(std::move(*events));
        return;
    }
    // The events shown belong to the day shown: another day's are dropped now, the same
    // day's stay until the answer comes.
    if (!again) storeEvents({});

    // The callback form: the whole day, 00:00:00 to 23:59:59 (from 01:00 where midnight is
    // skipped).
    const fnd::Calendar& cal = *calendar.calendar();
    fnd::DateComponents comps = cal.components(dayFields, date);
    const auto from = cal.dateFromComponents(comps);
    comps.hour = 23;
    comps.minute = 59;
    comps.second = 59;
    const auto to = cal.dateFromComponents(comps);
    if (!from || !to) return;

    const std::uint64_t attach = _attachCount;
    const std::weak_ptr<XQCalendarDayCell> weakCell = rt::weakFrom(this);
    auto callback = [weakCell, attach](XQCalendarEvents events) {
        fnd::dispatchAsync(fnd::mainQueue(), [weakCell, attach, events = std::move(events)]() mutable {
            const auto cell = weakCell.lock();
            if (!cell || cell->_attachCount != attach) return;
            cell->storeEvents(std::move(events));
            if (const auto owner = cell->owner())
                if (const auto presenter = owner->presenter()) presenter->dayCellEventsChanged(*cell);
        });
    };
    dataSource->calendarEventsFromDate(calendar, *from, *to, std::move(callback));
}

void XQCalendarDayCell::storeEvents(XQCalendarEvents events) {
    if (events.empty() && _events.empty() && _originalEventsCount == 0) return;
    _originalEventsCount = static_cast<long>(events.size());
    _allEvents = events;
    _events = sortEvents(std::move(events), _date.value_or(fnd::Date()));
    setNeedsDisplay();
}

XQCalendarEvents XQCalendarDayCell::sortEvents(XQCalendarEvents events, const fnd::Date& date) const {
    (void)date;
    const XQCalendarDayCellStyle& s = style();
    if (!s.displayEventsAsText()) return events;
    std::stable_partition(events.begin(), events.end(),
                          [](const XQCalendarEventRef& e) { return e && e->isAllDay(); });
    const long limit = s.maxEventsCount();
    if (limit > 0 && static_cast<long>(events.size()) > limit) events.resize(static_cast<std::size_t>(limit));
    return events;
}

long XQCalendarDayCell::getEventPosition(const XQCalendarEventRef& event) {
    const auto owner = this->owner();
    if (!owner || !event || !event->startDate()) return fnd::NotFound;
    const auto start = *event->startDate();
    const XQCalendarEvents kept = sortEvents(owner->eventsForDate(start), start);
    const auto it = std::find(kept.begin(), kept.end(), event);
    return it != kept.end() ? static_cast<long>(it - kept.begin()) : fnd::NotFound;
}

std::string XQCalendarDayCell::textForEvent(const XQCalendarEventRef& event) const {
    if (!event) return {};
    if (const auto owner = this->owner())
        if (const auto delegate = owner->delegate())
            if (auto text = delegate->calendarTextForEvent(*owner, event)) return std::move(*text);
    return event->title();
}

gfx::TextAttributes XQCalendarDayCell::textAttributesForEvent(const XQCalendarEventRef& event) const {
    const XQCalendarDayCellStyle& s = style();
    gfx::TextAttributes attributes;
    attributes.foregroundColor = event && event->isAllDay() ? s.allDayEventTextColor() : s.eventTextColor();
    attributes.font = s.eventFont();
    gfx::ParagraphStyle paragraph = gfx::ParagraphStyle::defaultStyle();
    if (!s.wrapEventText()) paragraph.lineBreakMode = gfx::LineBreakMode::truncatingTail;
    attributes.paragraphStyle = paragraph;
    return attributes;
}

void XQCalendarDayCell::touchesEnded(const ui::TouchSet& touches, ui::Event* event) {
    XQCalendarCell::touchesEnded(touches, event);
    if (const auto owner = this->owner())
        if (const auto presenter = owner->presenter()) presenter->dayCellTouched(*this);
}
