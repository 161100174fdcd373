#pragma once

// The cell of one day in the month and week grids, the flow view and the day view's week
// strip. Attached to a calendar and a date, it shows the day number, works out the day's
// state flags (which choose its theme look), fetches the day's events from the calendar's
// data source and draws them as shapes or as lines of text.
//
// Events belong to the attach that asked for them: an answer of the callback form is taken
// on the main queue, and only while the cell still shows the attach it was asked for. An
// attach to another day drops the previous day's events at once.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCell.h"
#include "OLMCalendar/Themes/Styles/XQCalendarDayCellStyle.h"
#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/graphics/Text.h"

#include <cstdint>

// A day's state flags, copied into the style's state, on which the themes key their groups.
using XQCalendarDayCellState = long;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateToday = 1;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateWeekend = 2;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateCurrentMonth = 4;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateCurrentYear = 8;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateSelected = 16;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateFirstInRange = 32;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateLastInRange = 64;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateMidInRange = 128;
inline constexpr XQCalendarDayCellState XQCalendarDayCellStateOutOfRange = 256;

namespace gfx {
class GraphicsContext;
}

class XQCalendarDayCell : public XQCalendarCell {
public:
    OLM_DECLARE_CLASS(XQCalendarDayCell)
    static std::shared_ptr<XQCalendarDayCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarDayCell>(frame);
    }

    // The selection flags of a date (selected 16, first 32, last 64 | 16, inside 128 of a
    // range of several days), from the calendar's selection. Counted by days.
    static XQCalendarDayCellState selectionStateForDate(XQCalendar& calendar, const fnd::Date& date);

    XQCalendarDayCellStyle& style() const { return static_cast<XQCalendarDayCellStyle&>(XQCalendarCell::style()); }
    std::shared_ptr<XQCalendarCellStyle> createStyle() const override;

    const std::optional<fnd::Date>& date() const { return _date; }
    void setDate(std::optional<fnd::Date> date) { _date = date; }
    // The day's events as kept for drawing (see sortEvents).
    const XQCalendarEvents& events() const { return _events; }
    void setEvents(XQCalendarEvents events) { _events = std::move(events); }
    // The day's events as the data source gave them (neither sorted nor cut).
    const XQCalendarEvents& allEvents() const { return _allEvents; }
    XQCalendarDayCellState state() const { return _state; }
    // An equal state changes nothing; otherwise restyles, stacks the cell by its selection
    // (selected above range days above today) and redraws.
    void setState(XQCalendarDayCellState state);
    // How many events the data source gave before the cut to `maxEventsCount`.
    long originalEventsCount() const { return _originalEventsCount; }
    void setOriginalEventsCount(long count) { _originalEventsCount = count; }
    // The shape size computed for a shape without one of its own ("00" in the label's font).
    gfx::Size localShapeSize() const { return _localShapeSize; }
    void setLocalShapeSize(gfx::Size size) { _localShapeSize = size; }

    // Binds the cell: day number, state, events. A null calendar clears the cell.
    virtual void attachWithCalendar(XQCalendar* calendar, const fnd::Date& date);
    // The state flags of a date for the cell's calendar (0 without one).
    virtual XQCalendarDayCellState stateForDate(const fnd::Date& date);
    // The events as kept: with events shown as text, all-day events first (order kept
    // otherwise) and at most `maxEventsCount` of them; as they are otherwise.
    XQCalendarEvents sortEvents(XQCalendarEvents events, const fnd::Date& date) const;
    // The index of the event among its start day's events as this cell would keep them;
    // fnd::NotFound when it is not there.
    long getEventPosition(const XQCalendarEventRef& event);
    // The delegate's text for the event, else its title.
    std::string textForEvent(const XQCalendarEventRef& event) const;
    // The colour (all-day or timed), font and paragraph style of an event's text.
    gfx::TextAttributes textAttributesForEvent(const XQCalendarEventRef& event) const;

    void touchesEnded(const ui::TouchSet& touches, ui::Event* event) override;

    // The shape with the range band, then the events.
    void drawRect(const gfx::Rect& rect) override;
    void drawEvents(gfx::GraphicsContext& context, const gfx::Rect& rect);
    void drawEventsAsText(gfx::GraphicsContext& context, const gfx::Rect& rect);

protected:
    friend struct rt::Access;
    XQCalendarDayCell() = default;
    bool acceptsStyle(const XQCalendarCellStyle& style) const override;
    // Draws the line that tells how many events are not shown ("%d more...") at `at`.
    virtual void drawMoreLine(long count, gfx::Point at) const;

private:
    void loadEvents(XQCalendar& calendar, const fnd::Date& date, bool again);
    void storeEvents(XQCalendarEvents events);
    void drawRangeBand(gfx::GraphicsContext& context, const gfx::Rect& shapeRect, gfx::Float width);

    std::optional<fnd::Date> _date;
    XQCalendarEvents _events;
    XQCalendarEvents _allEvents;
    XQCalendarDayCellState _state = 0;
    long _originalEventsCount = 0;
    gfx::Size _localShapeSize;
    // Counts attaches, so that a late answer of the callback form is known for what it is.
    std::uint64_t _attachCount = 0;
};
