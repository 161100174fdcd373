// The day view as an application shows it: Tuesday 15 December 2026 (today, selected) in a
// 390 x 844-point calendar at scale 3, with all-day events and overlapping timed events, in
// light and dark, and the same day zoomed in and out about 9:00.

#include "Demo.h"

#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayView.h"
#include "OLMCalendar/Presenters/Day/XQCalendarDayViewPresenter.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"

namespace olm::demo {
namespace {

using namespace gfx;

struct Entry {
    const char* title;
    const char* detail;
    long day, hour, minute; // the start, in December 2026
    double minutes;         // the length
    Color color;
    bool allDay = false;
};

// The shown day's events, and a few on the days around it for the strip's shapes.
class DayViewEvents : public XQCalendarDataSource {
public:
    DayViewEvents() {
        namespace sys = systemColors;
        const Entry entries[] = {
            {"Team offsite", "", 15, 0, 0, 1440, sys::systemPurple(), true},
            {"Mom's birthday", "", 15, 0, 0, 1440, sys::systemPink(), true},
            {"Release week", "", 14, 0, 0, 4 * 1440, sys::systemGreen(), true},
            {"Holiday market", "", 15, 0, 0, 1440, sys::systemOrange(), true},
            {"Office closed for maintenance", "", 15, 0, 0, 1440, sys::systemGray(), true},
            {"Red-eye from Lisbon", "TP 209", 14, 22, 0, 570, sys::systemIndigo()},
            {"Quarterly planning", "Room 4B. Bring the roadmap draft and last quarter's numbers.", 15, 7, 30, 120,
             sys::systemBlue()},
            {"Design review", "Figma link in the invite", 15, 9, 30, 60, sys::systemRed()},
            {"Call with Berlin", "Dial-in 0800 1234", 15, 9, 45, 30, sys::systemTeal()},
            {"Coffee with Sam", "Corner cafe", 15, 10, 30, 30, sys::systemYellow()},
            {"Interviews", "Two candidates", 15, 11, 0, 60, sys::systemGreen()},
            {"1:1 Ana", "", 15, 11, 15, 30, sys::systemOrange()},
            {"Budget sync with finance and legal", "Q1 forecast", 15, 11, 30, 60, sys::systemPurple()},
            {"Pay the invoice", "", 15, 12, 45, 0, sys::systemRed()},
            {"Standup", "", 15, 13, 0, 5, sys::systemBlue()},
            {"Workshop", "Accessibility", 15, 13, 15, 60, sys::systemIndigo()},
            {"Dentist", "", 15, 13, 20, 30, sys::systemPink()},
            {"Yoga", "", 15, 13, 30, 60, sys::systemTeal()},
            {"Pick up parcel", "", 15, 13, 40, 30, sys::systemOrange()},
            {"Short sync", "Notes in the doc", 15, 14, 45, 30, sys::systemGreen()},
            {"Night train to Porto", "Car 7", 15, 23, 30, 90, sys::systemIndigo()},
            {"Standup", "", 16, 9, 0, 15, sys::systemBlue()},
            {"Lunch", "", 17, 12, 0, 60, sys::systemOrange()},
            {"Gym", "", 18, 18, 0, 60, sys::systemGreen()},
            {"Dinner", "", 19, 19, 0, 90, sys::systemRed()},
            {"Review", "", 11, 10, 0, 60, sys::systemPurple()},
        };
        for (const Entry& e : entries) {
            auto event = XQCalendarEvent::make();
            const fnd::Date start = at(2026, 12, e.day, e.hour, e.minute);
            event->setStartDate(start);
            event->setEndDate(start.dateByAddingTimeInterval(e.minutes * 60));
            event->setTitle(e.title);
            event->setDetail(e.detail);
            event->setEventColor(e.color);
            event->setAllDay(e.allDay);
            _events.push_back(event);
        }
    }
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar& calendar, const fnd::Date& date) override {
        const auto& cal = calendar.calendar();
        const fnd::Date start = cal->startOfDayForDate(date);
        const auto end = cal->dateByAddingUnit(fnd::CalendarUnitDay, 1, start);
        XQCalendarEvents day;
        for (const auto& event : _events)
            if (end && *event->startDate() < *end && (*event->endDate() > start || *event->startDate() == start))
                day.push_back(event);
        return day;
    }

private:
    XQCalendarEvents _events;
};

XQCalendarDayViewEventsView& eventsViewOf(XQCalendar& calendar) {
    return *static_cast<XQCalendarDayViewPresenter&>(*calendar.presenter()).dayView()->eventsView();
}

// The day view of 15 December scrolled to 7:00, zoomed to `zoom` about 9:00.
void showDay(XQCalendar& calendar, const std::shared_ptr<DayViewEvents>& events, double zoom) {
    calendar.setDataSource(events);
    calendar.setViewMode(XQCalendarViewModeDay);
    calendar.layoutIfNeeded();
    auto& view = eventsViewOf(calendar);
    view.layoutIfNeeded();
    // 7:00 a little below the top, so that its label shows whole.
    const double y7 = view.style()->topOffset() + 7 * view.style()->separatorSpacing();
    view.setContentOffset({0, y7 - 12});
    view.setZoom(zoom, {0, y7 + 2 * view.style()->separatorSpacing()});
}

std::string zoomedPicture(const std::string& path, const std::shared_ptr<DayViewEvents>& events) {
    const auto shot = [&](double zoom) {
        auto calendar = XQCalendar::make(Rect{0, 0, 390, 844});
        showDay(*calendar, events, zoom);
        return calendar->takeScreenshot();
    };
    const ImageRef in = shot(1.25);
    const ImageRef out = shot(0.75);
    return olm::demo::captionedPicture(path, "Pinched about 9:00: zoom 1.25 and 0.75", {in, out}, {390, 844});
}

std::vector<std::string> renderDayViews(const std::string& outDir) {
    const double savedScale = screenScale();
    setScreenScale(3);
    fnd::Clock::setFixedNow(at(2026, 12, 15, 10, 30));
    auto events = std::make_shared<DayViewEvents>();
    std::vector<std::string> written;
    const auto keep = [&](std::string path) {
        if (!path.empty()) written.push_back(std::move(path));
    };
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        const bool dark = appearance == Appearance::dark;
        keep(calendarPicture(outDir + (dark ? "/day-view-dark.png" : "/day-view-light.png"),
                             std::string("Day view: all-day strip, overlapping events from 7:00") + (dark ? " (dark)" : ""),
                             appearance, [&](XQCalendar& calendar) { showDay(calendar, events, 1); }));
    }
    keep(zoomedPicture(outDir + "/day-view-zoomed.png", events));
    fnd::Clock::setFixedNow(std::nullopt);
    setScreenScale(savedScale);
    return written;
}

} // namespace
} // namespace olm::demo

OLM_DEMO_PAGE("25-day", olm::demo::renderDayViews);
