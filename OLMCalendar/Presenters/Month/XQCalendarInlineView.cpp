#include "OLMCalendar/Presenters/Month/XQCalendarInlineView.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarInlineViewTableViewCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/foundation/Strings.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarInlineView, XQView)

std::string inlineEventTimeText(const XQCalendarEventProtocol& event, const fnd::Date& day,
                                const fnd::CalendarRef& calendar) {
    auto comps = calendar->components(
        fnd::CalendarUnitEra | fnd::CalendarUnitYear | fnd::CalendarUnitMonth | fnd::CalendarUnitDay, day);
    const fnd::Date dayStart = calendar->startOfDayForDate(day);
    comps.hour = 23;
    comps.minute = 59;
    comps.second = 59;
    const fnd::Date dayEnd = calendar->dateFromComponents(comps).value_or(dayStart);
    const fnd::Date start = std::max(event.startDate().value_or(dayStart), dayStart);
    const fnd::Date end = std::min(event.endDate().value_or(dayEnd), dayEnd);
    const bool coversDay = (!event.startDate() || *event.startDate() <= dayStart) &&
                           (!event.endDate() || *event.endDate() >= dayEnd);
    if (event.isAllDay() || coversDay) return "all day";
    auto formatter = fnd::DateFormatter::make();
    formatter->setCalendar(calendar);
    formatter->setDateFormat("hh:mm a");
    return fnd::stringWithFormat("%@ - %@", formatter->stringFromDate(start), formatter->stringFromDate(end));
}

void XQCalendarInlineView::init() {
    XQView::init();
    setHidden(true);
    _tableView = ui::TableView::make(gfx::Rect::zero());
    _tableView->setAutoresizingMask(ui::ViewAutoresizingFlexibleWidth | ui::ViewAutoresizingFlexibleHeight);
    _tableView->setDataSource(std::dynamic_pointer_cast<ui::TableViewDataSource>(rt::sharedFrom(this)));
    _tableView->setDelegate(std::dynamic_pointer_cast<ui::TableViewDelegate>(rt::sharedFrom(this)));
    const bool system = gfx::systemColorsAvailable();
    _tableView->setBackgroundColor(system ? gfx::systemColors::secondarySystemBackground()
                                          : gfx::Color::rgba(0.212, 0.212, 0.212));
    _tableView->setSeparatorColor(system ? gfx::systemColors::separator() : gfx::Color::rgba(0.271, 0.271, 0.271));
    addSubview(_tableView);
}

void XQCalendarInlineView::setDayCell(const std::shared_ptr<XQCalendarDayCell>& cell) {
    _dayCell = cell;
}

double XQCalendarInlineView::heightForEventCount(std::size_t count) const {
    if (_fixedHeight) return _maxHeight;
    const float rows = static_cast<float>(count) * static_cast<float>(_rowHeight);
    if (std::isnan(_maxHeight)) return rows;
    return std::min(static_cast<double>(static_cast<float>(_maxHeight)), static_cast<double>(rows));
}

void XQCalendarInlineView::reloadData() {
    auto cell = dayCell();
    _events = cell ? cell->events() : XQCalendarEvents{};
    _tableView->reloadData();
}

long XQCalendarInlineView::tableViewNumberOfRowsInSection(ui::TableView&, long) {
    return static_cast<long>(_events.size());
}

std::shared_ptr<ui::TableViewCell> XQCalendarInlineView::tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                                                        const fnd::IndexPath& indexPath) {
    auto row = std::dynamic_pointer_cast<XQCalendarInlineViewTableViewCell>(tableView.dequeueReusableCell("cell"));
    if (!row) row = XQCalendarInlineViewTableViewCell::make(ui::TableViewCellStyleValue1, "cell");
    auto presenter = owner();
    if (presenter)
        if (auto delegate = presenter->delegate()) delegate->monthPresenterUpdateVisualsForInlineEventCell(*presenter, *row);
    if (auto cell = dayCell()) {
        const long index = indexPath.row();
        // The cell's events may have changed since the reload: rows past them stay empty.
        if (index >= 0 && index < static_cast<long>(cell->events().size())) row->attachWithCell(*cell, index);
    }
    return row;
}

void XQCalendarInlineView::tableViewDidSelectRowAtIndexPath(ui::TableView&, const fnd::IndexPath& indexPath) {
    const long index = indexPath.row();
    if (index < 0 || index >= static_cast<long>(_events.size())) return;
    auto presenter = owner();
    if (!presenter) return;
    if (auto delegate = presenter->delegate())
        delegate->monthPresenterInlineEventSelected(*presenter, _events[static_cast<std::size_t>(index)]);
}
