#pragma once

// The calendar's shared integer types and the interfaces an application implements: the
// events it hands over (XQCalendarEventProtocol), where they come from (XQCalendarDataSource)
// and who is consulted and told about what the user does (XQCalendarDelegate).
//
// Delegate and data-source methods are optional: each has a default that behaves exactly as
// an object that does not implement it. Where the caller must know whether a method exists
// (the data source's two forms, the delegate's shape and text for an event), the default
// answers "not implemented" (std::nullopt, or false for the callback form).

#include "platform/foundation/Date.h"
#include "platform/graphics/Color.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class XQCalendar;
class XQCalendarCell;
class XQShape;

namespace ui {
class View;
}

// What the calendar shows: indexes the presenter class table. Any integer may be passed;
// values outside 0...6 are refused.
using XQCalendarViewMode = long;
inline constexpr XQCalendarViewMode XQCalendarViewModeNone = -1;
inline constexpr XQCalendarViewMode XQCalendarViewModeWeek = 0;
inline constexpr XQCalendarViewMode XQCalendarViewModeMonth = 1;
inline constexpr XQCalendarViewMode XQCalendarViewModeMonthNames = 2;
inline constexpr XQCalendarViewMode XQCalendarViewModeYear = 3;
inline constexpr XQCalendarViewMode XQCalendarViewModeYearNumbers = 4;
inline constexpr XQCalendarViewMode XQCalendarViewModeFlow = 5;
inline constexpr XQCalendarViewMode XQCalendarViewModeDay = 6;
inline constexpr long XQCalendarViewModeCount = 7;

using XQCalendarSelectionMode = long;
inline constexpr XQCalendarSelectionMode XQCalendarSelectionModeNone = 0;
inline constexpr XQCalendarSelectionMode XQCalendarSelectionModeSingle = 1;
inline constexpr XQCalendarSelectionMode XQCalendarSelectionModeMultiple = 2;
inline constexpr XQCalendarSelectionMode XQCalendarSelectionModeRange = 3;

// The kind of cell a presenter asks the delegate for.
using XQCalendarCellType = long;
inline constexpr XQCalendarCellType XQCalendarCellTypeDay = 0;
inline constexpr XQCalendarCellType XQCalendarCellTypeDayName = 1;
inline constexpr XQCalendarCellType XQCalendarCellTypeWeekNumber = 2;
inline constexpr XQCalendarCellType XQCalendarCellTypeTitle = 3;
inline constexpr XQCalendarCellType XQCalendarCellTypeMonthName = 4;
inline constexpr XQCalendarCellType XQCalendarCellTypeYearNumber = 5;

// The case a presenter style gives month and weekday names; any other value acts as none.
using XQCalendarTextEffect = long;
inline constexpr XQCalendarTextEffect XQCalendarTextEffectNone = 0;
inline constexpr XQCalendarTextEffect XQCalendarTextEffectUppercase = 1;
inline constexpr XQCalendarTextEffect XQCalendarTextEffectLowercase = 2;

// An event as the calendar reads it. The framework only reads; the setters are for the
// application. Strings are empty when unset.
class XQCalendarEventProtocol {
public:
    virtual ~XQCalendarEventProtocol() = default;

    virtual std::optional<fnd::Date> startDate() const = 0;
    virtual void setStartDate(std::optional<fnd::Date> date) = 0;
    virtual std::optional<fnd::Date> endDate() const = 0;
    virtual void setEndDate(std::optional<fnd::Date> date) = 0;
    virtual std::string title() const = 0;
    virtual void setTitle(std::string title) = 0;
    virtual std::string detail() const = 0;
    virtual void setDetail(std::string detail) = 0;
    virtual std::optional<gfx::Color> eventColor() const = 0;
    virtual void setEventColor(std::optional<gfx::Color> color) = 0;
    virtual bool isAllDay() const = 0;
    virtual void setAllDay(bool allDay) = 0;
};

using XQCalendarEventRef = std::shared_ptr<XQCalendarEventProtocol>;
using XQCalendarEvents = std::vector<XQCalendarEventRef>;

// Where the calendar's events come from. Implement one of the two forms; when both are
// implemented, the first is used.
class XQCalendarDataSource {
public:
    virtual ~XQCalendarDataSource() = default;

    // The events of the day of `date`, at once. nullopt: not implemented.
    virtual std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar& calendar,
                                                                  const fnd::Date& date) {
        (void)calendar;
        (void)date;
        return std::nullopt;
    }

    // Receives the events of an interval. May be called from any thread, at once or later;
    // the calendar copes with a callback that never comes, comes late or comes twice.
    using EventsCallback = std::function<void(XQCalendarEvents events)>;

    // Hands the events from `from` to `to` to `callback`. Answers false when not implemented
    // (the default); an implementation answers true, whether it calls back now or later.
    virtual bool calendarEventsFromDate(XQCalendar& calendar, const fnd::Date& from, const fnd::Date& to,
                                        EventsCallback callback) {
        (void)calendar;
        (void)from;
        (void)to;
        (void)callback;
        return false;
    }
};

// Consulted and told about what the user does. The first argument is always the calendar.
class XQCalendarDelegate {
public:
    virtual ~XQCalendarDelegate() = default;

    // False refuses the selection of `date` (nullopt when single selection is being cleared).
    virtual bool calendarShouldSelectDate(XQCalendar& calendar, const std::optional<fnd::Date>& date) {
        (void)calendar;
        (void)date;
        return true;
    }
    virtual void calendarDidSelectDate(XQCalendar& calendar, const fnd::Date& date) {
        (void)calendar;
        (void)date;
    }
    virtual void calendarDidDeselectedDate(XQCalendar& calendar, const fnd::Date& date) {
        (void)calendar;
        (void)date;
    }
    // Before the displayed date changes.
    virtual void calendarWillNavigateToDate(XQCalendar& calendar, const fnd::Date& date) {
        (void)calendar;
        (void)date;
    }
    // After the displayed period changed (at the end of an animated move).
    virtual void calendarDidNavigateToDate(XQCalendar& calendar, const fnd::Date& date) {
        (void)calendar;
        (void)date;
    }
    virtual void calendarDidChangedViewModeFrom(XQCalendar& calendar, XQCalendarViewMode from,
                                                XQCalendarViewMode to) {
        (void)calendar;
        (void)from;
        (void)to;
    }
    // A cell of the kind to use in place of the stock one; nullptr for the stock cell. The view
    // must answer the messages of the stock cell it replaces.
    virtual std::shared_ptr<XQCalendarCell> calendarViewForCellOfKind(XQCalendar& calendar,
                                                                      XQCalendarCellType kind) {
        (void)calendar;
        (void)kind;
        return nullptr;
    }
    // Restyles a cell after the theme styled it; what it sets on the cell's style lasts until
    // the theme styles the cell again.
    virtual void calendarUpdateVisualsForCell(XQCalendar& calendar, XQCalendarCell& cell) {
        (void)calendar;
        (void)cell;
    }
    // A tap on a presenter hit this cell.
    virtual void calendarDidTapCell(XQCalendar& calendar, ui::View& cell) {
        (void)calendar;
        (void)cell;
    }
    // The shape to draw an event with instead of the style's (a nullptr shape draws nothing).
    // nullopt: not implemented.
    virtual std::optional<std::shared_ptr<XQShape>> calendarShapeForEvent(XQCalendar& calendar,
                                                                          const XQCalendarEventRef& event) {
        (void)calendar;
        (void)event;
        return std::nullopt;
    }
    // The text to draw an event with instead of its title. nullopt: not implemented.
    virtual std::optional<std::string> calendarTextForEvent(XQCalendar& calendar,
                                                            const XQCalendarEventRef& event) {
        (void)calendar;
        (void)event;
        return std::nullopt;
    }
};
