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

std::string captionedPicture(const std::string& path, const std::string& caption, const std::vector<ImageRef>& shots,
                             Size size) {
    constexpr double gap = 12;
    const double n = static_cast<double>(shots.size());
    const Size sheet{n * size.width + (n - 1) * gap, size.height + kCaption};
    beginImageContext(sheet, true, screenScale());
    if (GraphicsContext* c = currentContext()) {
        c->setFillColor(systemColors::secondarySystemBackground());
        c->fillRect({{0, 0}, sheet});
        drawAtPoint(caption, {12, 13},
                    TextAttributes{Font::boldSystemFont(15), systemColors::label(), ParagraphStyle{}});
        for (std::size_t i = 0; i < shots.size(); ++i)
            if (shots[i])
                c->drawImage(shots[i], {static_cast<double>(i) * (size.width + gap), kCaption, size.width, size.height});
    }
    const ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    return image && image->writePNG(path) ? path : std::string();
}

std::string calendarPicture(const std::string& path, const std::string& caption, Appearance appearance,
                            const std::function<void(XQCalendar&)>& configure, Size size) {
    setCurrentAppearance(appearance);
    auto calendar = XQCalendar::make(Rect{0, 0, size.width, size.height});
    configure(*calendar);
    const ImageRef shot = calendar->takeScreenshot();
    setCurrentAppearance(Appearance::light);
    return captionedPicture(path, caption, {shot}, size);
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

// A calendar in a window of the headless host, set up by `configure`, and the frame the
// window shows after `drive`.
ImageRef liveFrame(const std::function<void(XQCalendar&)>& configure,
                   const std::function<void(ui::TestDriver&, XQCalendar&)>& drive) {
    ui::TestDriver driver(Size{390, 844});
    auto calendar = XQCalendar::make(Rect{0, 0, 390, 844});
    calendar->setSelectedDate(at(2026, 12, 22));
    configure(*calendar);
    driver.window()->addSubview(calendar);
    driver.runUntilIdle();
    drive(driver, *calendar);
    ImageRef frame = driver.render();
    driver.touchCancel(1);
    driver.touchCancel(2);
    driver.runUntilIdle();
    return frame;
}

// A swipe to January, slower than a flick so that the finger drives it, stopped half-way.
void swipeHalfWay(ui::TestDriver& driver, XQCalendar&) {
    driver.touchDown(1, {296, 420});
    for (double x = 292; x >= 160; x -= 4) {
        driver.step();
        driver.touchMove(1, {x, 420});
    }
    driver.step();
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
    const ImageRef popover = liveFrame(
        [&](XQCalendar& calendar) {
            withEvents(calendar);
            monthOf(calendar).setInlineEventsViewMode(XQCalendarInlineEventsViewModePopover);
        },
        [](ui::TestDriver& driver, XQCalendar& calendar) {
            auto& month = monthOf(calendar);
            if (auto cell = month.cellForDate(at(2026, 12, 17))) month.showInlineEventsForCell(*cell, false);
            driver.runUntilIdle();
        });
    keep(olm::demo::captionedPicture(outDir + "/month-popover.png", "Popover mode: the events of 17 December",
                                     {popover}, {390, 844}));
    fnd::Clock::setFixedNow(std::nullopt);
    setScreenScale(savedScale);
    return written;
}

} // namespace

namespace olm::demo {

std::vector<LiveFrame> monthGestureFrames() {
    fnd::Clock::setFixedNow(at(2026, 12, 15, 10, 30));
    const auto plain = [](XQCalendar&) {};
    std::vector<LiveFrame> frames{
        {"Swipe to January (scroll)", liveFrame(plain, swipeHalfWay)},
        {"The same, sticky header", liveFrame([](XQCalendar& calendar) { monthOf(calendar).setHeaderIsSticky(true); },
                                              swipeHalfWay)},
        {"Pinch out of the month (float)", liveFrame(plain, [](ui::TestDriver& driver, XQCalendar&) {
             driver.touches({{1, ui::TouchPhaseBegan, {115, 420}, 0}, {2, ui::TouchPhaseBegan, {275, 420}, 0}});
             for (double d = 76; d >= 40; d -= 4) {
                 driver.step();
                 driver.touches(
                     {{1, ui::TouchPhaseMoved, {195 - d, 420}, 0}, {2, ui::TouchPhaseMoved, {195 + d, 420}, 0}});
             }
             driver.step();
         })},
    };
    fnd::Clock::setFixedNow(std::nullopt);
    return frames;
}

} // namespace olm::demo

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
