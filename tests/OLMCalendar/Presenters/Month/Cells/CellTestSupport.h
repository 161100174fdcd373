#pragma once

// Helpers of the cell tests: events, data sources of both forms (answering at once, later,
// from another thread, twice or never), a delegate that restyles cells and supplies shapes
// and texts, and a fixture with a calendar whose presenter answers the cells' queries.

#include "../../../CalendarTestSupport.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/graphics/SystemColors.h"

#include <functional>
#include <map>
#include <thread>

namespace cal::test {

XQCalendarEventRef event(std::string title, const fnd::Date& start, const fnd::Date& end,
                         std::optional<gfx::Color> color = gfx::colors::red(), bool allDay = false);

// Answers the events of a day from a table keyed by day ("2026-12-15").
class EventSource : public XQCalendarDataSource {
public:
    enum class Form { atOnce, callbackNow, callbackLater, callbackThread, callbackTwice, never };
    explicit EventSource(Form form) : form(form) {}

    Form form;
    std::map<std::string, XQCalendarEvents> days;
    // The intervals the callback form was asked for.
    std::vector<std::pair<fnd::Date, fnd::Date>> asked;
    // Callbacks held by callbackLater, with the events they will be given.
    std::vector<std::pair<EventsCallback, XQCalendarEvents>> held;

    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar&, const fnd::Date& date) override;
    bool calendarEventsFromDate(XQCalendar&, const fnd::Date& from, const fnd::Date& to,
                                EventsCallback callback) override;
    // Answers the held callbacks (in order).
    void answerHeld();
};

// Restyles cells and draws events as the hooks say; unset hooks act as not implemented.
class CellDelegate : public XQCalendarDelegate {
public:
    std::function<void(XQCalendarCell&)> restyle;
    std::function<std::optional<std::shared_ptr<XQShape>>(const XQCalendarEventRef&)> shapeFor;
    std::function<std::optional<std::string>(const XQCalendarEventRef&)> textFor;

    void calendarUpdateVisualsForCell(XQCalendar&, XQCalendarCell& cell) override {
        if (restyle) restyle(cell);
    }
    std::optional<std::shared_ptr<XQShape>> calendarShapeForEvent(XQCalendar&, const XQCalendarEventRef& e) override {
        return shapeFor ? shapeFor(e) : std::nullopt;
    }
    std::optional<std::string> calendarTextForEvent(XQCalendar&, const XQCalendarEventRef& e) override {
        return textFor ? textFor(e) : std::nullopt;
    }
};

// A calendar (December 2026 displayed, "now" 15 December) with an empty theme, a cell
// delegate and a data source of the form asked for.
class CellTest : public CalendarTest {
protected:
    void SetUp() override;
    void useSource(EventSource::Form form);
    // A day cell of `size` attached to `date`.
    std::shared_ptr<XQCalendarDayCell> dayCell(const fnd::Date& date, gfx::Size size = {40, 30});

    std::shared_ptr<XQTheme> theme;
    std::shared_ptr<CellDelegate> cellDelegate;
    std::shared_ptr<EventSource> source;
};

// Renders a view alone at the screen's scale (its layout and drawing run first) and reads
// its pixels in points.
class Rendered {
public:
    explicit Rendered(const std::shared_ptr<ui::View>& view);
    gfx::RGBA at(gfx::Point point) const;
    // Whether the pixel is (nearly) the colour.
    bool is(gfx::Point point, const gfx::Color& color) const;

private:
    gfx::ImageRef _image;
};

} // namespace cal::test
