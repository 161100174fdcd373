// The cells that show one piece of text: title, weekday name, week number.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCellFormatters.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarWeekNumberCell.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Strings.h"

OLM_DEFINE_CLASS(XQCalendarTitleCell, XQCalendarCell)
OLM_DEFINE_CLASS(XQCalendarDayNameCell, XQCalendarCell)
OLM_DEFINE_CLASS(XQCalendarWeekNumberCell, XQCalendarCell)

std::shared_ptr<XQCalendarCell> delegateCellOfKind(XQCalendar& calendar, XQCalendarCellType kind) {
    auto delegate = calendar.delegate();
    auto cell = delegate ? delegate->calendarViewForCellOfKind(calendar, kind) : nullptr;
    if (!cell || cell->superview()) return nullptr; // none, or one already shown
    // A cell of another kind would break the presenter's layout and attaches.
    XQCalendarCell* c = cell.get();
    const bool fits = (kind == XQCalendarCellTypeDay && dynamic_cast<XQCalendarDayCell*>(c)) ||
                      (kind == XQCalendarCellTypeDayName && dynamic_cast<XQCalendarDayNameCell*>(c)) ||
                      (kind == XQCalendarCellTypeWeekNumber && dynamic_cast<XQCalendarWeekNumberCell*>(c)) ||
                      (kind == XQCalendarCellTypeTitle && dynamic_cast<XQCalendarTitleCell*>(c));
    return fits ? cell : nullptr;
}

std::shared_ptr<XQCalendarCell> stockCellOfKind(XQCalendarCellType kind) {
    switch (kind) {
    case XQCalendarCellTypeDay:
        return XQCalendarDayCell::make();
    case XQCalendarCellTypeDayName:
        return XQCalendarDayNameCell::make();
    case XQCalendarCellTypeWeekNumber:
        return XQCalendarWeekNumberCell::make();
    case XQCalendarCellTypeTitle:
        return XQCalendarTitleCell::make();
    default:
        return nullptr;
    }
}

namespace {

// The text effect of the calendar's current presenter, by the query given.
XQCalendarTextEffect presenterEffect(XQCalendar* calendar,
                                     XQCalendarTextEffect (XQCalendarPresenter::*effect)() const) {
    const XQCalendarPresenter* presenter = calendar ? calendar->presenter().get() : nullptr;
    return presenter ? (presenter->*effect)() : XQCalendarTextEffectNone;
}

} // namespace

void XQCalendarTitleCell::attachWithCalendar(XQCalendar* calendar, const std::string& text) {
    setOwner(calendar);
    showText(textWithEffect(text, presenterEffect(calendar, &XQCalendarPresenter::monthNameTextEffect)));
}

void XQCalendarDayNameCell::attachWithCalendar(XQCalendar* calendar, long offset) {
    setOwner(calendar);
    std::string name;
    if (calendar) {
        const fnd::CalendarRef& cal = calendar->calendar();
        const auto symbols = cells::dateFormatter(calendar->locale(), cal, "").shortWeekdaySymbols();
        if (!symbols.empty()) {
            const long count = static_cast<long>(symbols.size());
            long i = (offset + cal->firstWeekday() - 1) % count;
            if (i < 0) i += count;
            name = textWithEffect(symbols[static_cast<std::size_t>(i)],
                                  presenterEffect(calendar, &XQCalendarPresenter::dayNameTextEffect));
        }
    }
    showText(std::move(name));
}

void XQCalendarWeekNumberCell::attachWithCalendar(XQCalendar* calendar, long weekNumber) {
    setOwner(calendar);
    _weekNumber = weekNumber;
    showText(fnd::stringWithFormat("%d", weekNumber));
}
