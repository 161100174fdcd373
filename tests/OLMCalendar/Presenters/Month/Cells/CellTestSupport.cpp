#include "CellTestSupport.h"

#include "platform/graphics/ImageContext.h"

#include <cmath>

namespace cal::test {

XQCalendarEventRef event(std::string title, const fnd::Date& start, const fnd::Date& end,
                         std::optional<gfx::Color> color, bool allDay) {
    auto e = XQCalendarEvent::make();
    e->setTitle(std::move(title));
    e->setStartDate(start);
    e->setEndDate(end);
    e->setEventColor(color);
    e->setAllDay(allDay);
    return e;
}

std::optional<XQCalendarEvents> EventSource::calendarEventsForDate(XQCalendar&, const fnd::Date& date) {
    if (form != Form::atOnce) return std::nullopt;
    return days[text(fnd::Calendar::current()->startOfDayForDate(date))];
}

bool EventSource::calendarEventsFromDate(XQCalendar&, const fnd::Date& from, const fnd::Date& to,
                                         EventsCallback callback) {
    asked.emplace_back(from, to);
    XQCalendarEvents events = days[text(fnd::Calendar::current()->startOfDayForDate(from))];
    switch (form) {
    case Form::atOnce:
    case Form::never:
        break;
    case Form::callbackNow:
        callback(events);
        break;
    case Form::callbackTwice:
        callback(events);
        callback(events);
        break;
    case Form::callbackLater:
        held.emplace_back(std::move(callback), std::move(events));
        break;
    case Form::callbackThread:
        std::thread([callback = std::move(callback), events]() { callback(events); }).join();
        break;
    }
    return true;
}

void EventSource::answerHeld() {
    auto answers = std::move(held);
    held.clear();
    for (auto& [callback, events] : answers)
        callback(events);
}

void CellTest::SetUp() {
    CalendarTest::SetUp();
    theme = XQTheme::make();
    calendar->setTheme(theme);
    cellDelegate = std::make_shared<CellDelegate>();
    calendar->setDelegate(cellDelegate);
    useSource(EventSource::Form::atOnce);
}

void CellTest::useSource(EventSource::Form form) {
    source = std::make_shared<EventSource>(form);
    calendar->setDataSource(source);
}

std::shared_ptr<XQCalendarDayCell> CellTest::dayCell(const fnd::Date& date, gfx::Size size) {
    auto cell = XQCalendarDayCell::make({{0, 0}, size});
    cell->attachWithCalendar(calendar.get(), date);
    return cell;
}

Rendered::Rendered(const std::shared_ptr<ui::View>& view) {
    gfx::beginImageContext(view->bounds().size, false, 0);
    if (gfx::GraphicsContext* context = gfx::currentContext()) view->layer()->renderInContext(*context);
    _image = gfx::imageFromCurrentImageContext();
    gfx::endImageContext();
}

gfx::RGBA Rendered::at(gfx::Point point) const {
    if (!_image) return {};
    return _image->pixel(static_cast<int>(std::floor(point.x * _image->scale())),
                         static_cast<int>(std::floor(point.y * _image->scale())));
}

bool Rendered::is(gfx::Point point, const gfx::Color& color) const {
    const gfx::RGBA p = at(point);
    const gfx::RGBA c = color.resolved();
    auto near = [](double a, double b) { return std::abs(a - b) < 0.04; };
    return near(p.r, c.r) && near(p.g, c.g) && near(p.b, c.b) && near(p.a, c.a);
}

} // namespace cal::test
