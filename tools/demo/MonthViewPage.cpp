// The month view as an application shows it: the real calendar in a 390 x 844-point window
// at scale 3, each picture with a caption band above it.

#include "Demo.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarMonthTitleCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"
#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/foundation/TimeZone.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"
#include "platform/ui/TestDriver.h"

#include <functional>
#include <map>
#include <string>

namespace olm::demo {

using namespace gfx;

fnd::Date at(long year, long month, long day, long hour, long minute) {
    fnd::DateComponents c;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    return *fnd::Calendar::make()->dateFromComponents(c);
}

std::string calendarPicture(const std::string& path, const std::string& caption, Appearance appearance,
                            const std::function<void(XQCalendar&)>& configure, Size size) {
    setCurrentAppearance(appearance);
    auto calendar = XQCalendar::make(Rect{0, 0, size.width, size.height});
    configure(*calendar);
    const ImageRef shot = calendar->takeScreenshot();
    beginImageContext({size.width, size.height + kCaption}, true, screenScale());
    if (GraphicsContext* c = currentContext()) {
        c->setFillColor(systemColors::secondarySystemBackground());
        c->fillRect({0, 0, size.width, kCaption});
        drawAtPoint(caption, {12, 13},
                    TextAttributes{Font::boldSystemFont(15), systemColors::label(), ParagraphStyle{}});
        if (shot) c->drawImage(shot, {0, kCaption, size.width, size.height});
    }
    const ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    setCurrentAppearance(Appearance::light);
    return image && image->writePNG(path) ? path : std::string();
}

} // namespace olm::demo

namespace {

using namespace gfx;
using olm::demo::at;
using olm::demo::kCaption;
using olm::demo::calendarPicture;

// Three coloured events on most days of December 2026, a few all-day events across days.
class SampleEvents : public XQCalendarDataSource {
public:
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar& calendar, const fnd::Date& date) override {
        const auto& cal = calendar.calendar();
        const long day = cal->component(fnd::CalendarUnitDay, date);
        const long month = cal->component(fnd::CalendarUnitMonth, date);
        XQCalendarEvents events;
        if (month != 12 && !(month == 1 && day <= 9)) return events;
        const Color palette[] = {systemColors::systemRed(), systemColors::systemGreen(), systemColors::systemBlue(),
                                 systemColors::systemOrange(), systemColors::systemPurple()};
        if (day >= 7 && day <= 9) events.push_back(make(date, "Conference", palette[4], true));
        const long count = (day * 7) % 4;
        const char* titles[] = {"Standup", "Lunch with Ana", "Design review", "Gym"};
        for (long i = 0; i < count; ++i)
            events.push_back(make(date, titles[(day + i) % 4], palette[(day + i) % 4], false, 9 + 2 * i));
        return events;
    }

private:
    static XQCalendarEventRef make(const fnd::Date& day, const char* title, Color color, bool allDay,
                                   long hour = 0) {
        auto event = XQCalendarEvent::make();
        auto cal = fnd::Calendar::make();
        event->setStartDate(cal->dateByAddingUnit(fnd::CalendarUnitHour, hour, day));
        event->setEndDate(cal->dateByAddingUnit(fnd::CalendarUnitHour, allDay ? 23 : hour + 1, day));
        event->setTitle(title);
        event->setEventColor(color);
        event->setAllDay(allDay);
        return event;
    }
};

void showEventsAsText(XQCalendar& calendar) {
    calendar.theme()->addStyleGroupWithClass(XQCalendarDayCell::staticClass(), {{"displayEventsAsText", true}});
    calendar.update(true);
}

XQCalendarMonthPresenter& monthOf(XQCalendar& calendar) {
    return static_cast<XQCalendarMonthPresenter&>(*calendar.presenter());
}

// A calendar in a window of the headless host, a gesture driven half-way by `drive`, and the
// frame the window shows then.
ImageRef gestureFrame(const std::function<void(ui::TestDriver&)>& drive) {
    ui::TestDriver driver(Size{390, 844});
    auto calendar = XQCalendar::make(Rect{0, 0, 390, 844});
    calendar->setSelectedDate(at(2026, 12, 22));
    driver.window()->addSubview(calendar);
    driver.runUntilIdle();
    drive(driver);
    ImageRef frame = driver.render();
    driver.touchCancel(1);
    driver.touchCancel(2);
    driver.runUntilIdle();
    return frame;
}

// A swipe to January and a pinch out of the month view, each half-way, side by side.
std::string gesturesPicture(const std::string& path) {
    const ImageRef swipe = gestureFrame([](ui::TestDriver& driver) {
        driver.touchDown(1, {296, 420});
        for (double x = 292; x >= 160; x -= 4) { // slower than a flick: the finger drives it
            driver.step();
            driver.touchMove(1, {x, 420});
        }
        driver.step();
    });
    const ImageRef pinch = gestureFrame([](ui::TestDriver& driver) {
        driver.touches({{1, ui::TouchPhaseBegan, {115, 420}, 0}, {2, ui::TouchPhaseBegan, {275, 420}, 0}});
        for (double d = 76; d >= 40; d -= 4) {
            driver.step();
            driver.touches({{1, ui::TouchPhaseMoved, {195 - d, 420}, 0}, {2, ui::TouchPhaseMoved, {195 + d, 420}, 0}});
        }
        driver.step();
    });
    const Size size{2 * 390 + 12, 844 + kCaption};
    beginImageContext(size, true, screenScale());
    if (GraphicsContext* c = currentContext()) {
        c->setFillColor(systemColors::secondarySystemBackground());
        c->fillRect({{0, 0}, size});
        drawAtPoint("Half-way: a swipe to January (scroll), a pinch out of the month (float)", {12, 13},
                    TextAttributes{Font::boldSystemFont(15), systemColors::label(), ParagraphStyle{}});
        if (swipe) c->drawImage(swipe, {0, kCaption, 390, 844});
        if (pinch) c->drawImage(pinch, {402, kCaption, 390, 844});
    }
    const ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    return image && image->writePNG(path) ? path : std::string();
}

std::vector<std::string> renderMonthViews(const std::string& outDir) {
    const double savedScale = screenScale();
    setScreenScale(3);
    fnd::Clock::setFixedNow(at(2026, 12, 15, 10, 30));
    auto events = std::make_shared<SampleEvents>();
    std::vector<std::string> written;
    const auto keep = [&](std::string path) {
        if (!path.empty()) written.push_back(std::move(path));
    };
    const auto withEvents = [&](XQCalendar& calendar) { calendar.setDataSource(events); };
    for (Appearance appearance : {Appearance::light, Appearance::dark}) {
        const bool dark = appearance == Appearance::dark;
        const std::string suffix = dark ? "-dark" : "";
        const std::string note = dark ? " (dark)" : "";
        keep(calendarPicture(outDir + "/month" + suffix + ".png", "Month view: events as shapes, today, a selection" + note,
                     appearance, [&](XQCalendar& calendar) {
                         withEvents(calendar);
                         calendar.setSelectedDate(at(2026, 12, 22));
                     }));
        keep(calendarPicture(outDir + "/month-text" + suffix + ".png", "Events as text: all-day bars, \"more\" lines" + note,
                     appearance, [&](XQCalendar& calendar) {
                         withEvents(calendar);
                         showEventsAsText(calendar);
                     }));
        keep(calendarPicture(outDir + "/month-ipad" + suffix + ".png", "iPad theme, 1024 x 1366" + note, appearance,
                     [&](XQCalendar& calendar) {
                         calendar.setTheme(XQCalendarIPadTheme::make());
                         withEvents(calendar);
                         calendar.setSelectedDate(at(2026, 12, 22));
                         calendar.update(true);
                     },
                     {1024, 1366}));
    }

    const std::pair<XQCalendarSelectionMode, const char*> modes[] = {
        {XQCalendarSelectionModeNone, "none"},
        {XQCalendarSelectionModeSingle, "single"},
        {XQCalendarSelectionModeMultiple, "multiple"},
        {XQCalendarSelectionModeRange, "range"}};
    for (const auto& [mode, name] : modes) {
        keep(calendarPicture(outDir + "/month-selection-" + name + ".png", std::string("Selection mode: ") + name,
                     Appearance::light, [&, mode = mode](XQCalendar& calendar) {
                         calendar.setSelectionMode(mode);
                         calendar.setSelectedDate(at(2026, 12, 22));
                         if (mode == XQCalendarSelectionModeMultiple)
                             calendar.setSelectedDates({at(2026, 12, 3), at(2026, 12, 10), at(2026, 12, 22)});
                         if (mode == XQCalendarSelectionModeRange)
                             calendar.setSelectedDatesRange(XQDateRange::make(at(2026, 11, 30), at(2026, 12, 8)),
                                                            at(2026, 12, 8));
                     }));
    }

    const auto inlineList = [&](XQCalendar& calendar, const fnd::Date& date) {
        withEvents(calendar);
        auto& month = monthOf(calendar);
        month.setInlineEventsViewMode(XQCalendarInlineEventsViewModeInline);
        calendar.layoutIfNeeded();
        if (auto cell = month.cellForDate(date)) month.showInlineEventsForCell(*cell, false);
    };
    keep(calendarPicture(outDir + "/month-inline.png", "Inline list under a middle row", Appearance::light,
                 [&](XQCalendar& calendar) { inlineList(calendar, at(2026, 12, 17)); }));
    keep(calendarPicture(outDir + "/month-inline-last-row.png", "Inline list under the last row, grid shifted up",
                 Appearance::light, [&](XQCalendar& calendar) { inlineList(calendar, at(2027, 1, 5)); }));

    keep(calendarPicture(outDir + "/week.png", "Week view: a week spanning two months", Appearance::light,
                 [&](XQCalendar& calendar) {
                     withEvents(calendar);
                     calendar.setViewMode(XQCalendarViewModeWeek);
                     calendar.setDisplayedDate(at(2026, 12, 30), true);
                 }));

    keep(calendarPicture(outDir + "/month-options.png", "Week numbers, weekends hidden, title mode 2", Appearance::light,
                 [&](XQCalendar& calendar) {
                     withEvents(calendar);
                     auto& month = monthOf(calendar);
                     month.setWeekNumbersHidden(false);
                     month.setWeekendsHidden(true);
                     if (auto title = std::dynamic_pointer_cast<XQCalendarMonthTitleCell>(month.titleCell()))
                         title->setLayoutMode(XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons);
                     calendar.update(true);
                 }));
    keep(calendarPicture(outDir + "/month-february.png", "February 2026 in 4 rows (equalWeekNumber NO)", Appearance::light,
                 [&](XQCalendar& calendar) {
                     monthOf(calendar).setEqualWeekNumber(false);
                     calendar.setDisplayedDate(at(2026, 2, 10), true);
                 }));
    keep(calendarPicture(outDir + "/month-ar-EG.png", "ar_EG, first weekday Saturday", Appearance::light,
                 [&](XQCalendar& calendar) {
                     auto cal = fnd::Calendar::make();
                     cal->setFirstWeekday(7);
                     calendar.setLocale(fnd::Locale("ar_EG"));
                     calendar.setCalendar(cal);
                     calendar.update(true);
                 }));
    keep(calendarPicture(outDir + "/month-hebrew.png", "Hebrew calendar (he_IL)", Appearance::light,
                 [&](XQCalendar& calendar) {
                     calendar.setLocale(fnd::Locale("he_IL"));
                     calendar.setCalendar(fnd::Calendar::make("hebrew"));
                     calendar.update(true);
                 }));
    keep(gesturesPicture(outDir + "/month-gestures.png"));
    fnd::Clock::setFixedNow(std::nullopt);
    setScreenScale(savedScale);
    return written;
}

} // namespace

namespace olm::demo {

ImageRef monthViewPage(long month, double scale) {
    fnd::Clock::setFixedNow(at(2026, 12, 15, 10, 30));
    auto calendar = XQCalendar::make(Rect{{0, 0}, {2 * kSamplePageSize.width, 2 * kSamplePageSize.height}});
    calendar->setDisplayedDate(at(2026, month, 15, 12), true);
    calendar->setSelectedDate(at(2026, month, 9));
    const ImageRef big = calendar->takeScreenshot();
    fnd::Clock::setFixedNow(std::nullopt);
    beginImageContext(kSamplePageSize, true, scale);
    if (GraphicsContext* c = currentContext(); c && big) c->drawImage(big, {{0, 0}, kSamplePageSize});
    ImageRef page = imageFromCurrentImageContext();
    endImageContext();
    return page;
}

} // namespace olm::demo

OLM_DEMO_PAGE("20-month", renderMonthViews);
