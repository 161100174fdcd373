// The zoomed-out views and the flow view as an application shows them: the real calendar at
// phone size and scale 3, each in the default theme and again in the iPad theme ("-ipad").

#include "Demo.h"

#include "OLMCalendar/Presenters/Flow/XQCalendarFlowPresenter.h"
#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/TestDriver.h"

namespace {

using namespace gfx;
using olm::demo::at;

constexpr Size kPhone{390, 844};

void useTheme(XQCalendar& calendar, bool iPad) {
    if (iPad) calendar.setTheme(XQCalendarIPadTheme::make());
}

// The float from the month view to the month names, stopped half-way, in a window of the
// headless host.
std::string pinchPicture(const std::string& path, const std::string& caption, bool iPad) {
    ui::TestDriver driver(kPhone);
    auto calendar = XQCalendar::make(Rect{{0, 0}, kPhone});
    useTheme(*calendar, iPad);
    calendar->setSelectedDate(at(2026, 12, 22));
    driver.window()->addSubview(calendar);
    driver.runUntilIdle();
    calendar->setViewMode(XQCalendarViewModeMonthNames, true, XQViewTransitionDirectionBackward, true);
    if (const auto& transition = calendar->transition()) transition->updateTransition(0.5);
    const ImageRef frame = driver.render();
    const std::string written = olm::demo::captionedPicture(path, caption, {frame}, kPhone);
    if (const auto& transition = calendar->transition()) transition->finishTransition();
    driver.runUntilIdle();
    return written;
}

std::vector<std::string> renderYearFamily(const std::string& outDir) {
    const double savedScale = screenScale();
    setScreenScale(3);
    fnd::Clock::setFixedNow(at(2026, 12, 15, 10, 30));
    std::vector<std::string> written;
    const auto keep = [&](std::string path) {
        if (!path.empty()) written.push_back(std::move(path));
    };
    for (bool iPad : {false, true}) {
        const std::string suffix = iPad ? "-ipad" : "";
        const std::string note = iPad ? " (iPad theme)" : "";
        keep(olm::demo::calendarPicture(
            outDir + "/month-names" + suffix + ".png", "Month names: June selected, Mar to Oct in range" + note,
            Appearance::light, [&](XQCalendar& calendar) {
                useTheme(calendar, iPad);
                calendar.setMinDate(at(2026, 3, 1));
                calendar.setMaxDate(at(2026, 10, 31));
                calendar.setSelectedDate(at(2026, 6, 15));
                calendar.setDisplayedDate(at(2026, 6, 15), false);
                calendar.setViewMode(XQCalendarViewModeMonthNames);
            }));
        keep(olm::demo::calendarPicture(
            outDir + "/year-numbers" + suffix + ".png", "Year numbers: 2026 selected, 2025 to 2027 in range" + note,
            Appearance::light, [&](XQCalendar& calendar) {
                useTheme(calendar, iPad);
                calendar.setSelectedDate(at(2026, 6, 15));
                calendar.setDisplayedDate(at(2022, 6, 15), false);
                calendar.setViewMode(XQCalendarViewModeYearNumbers);
            }));
        keep(olm::demo::calendarPicture(
            outDir + "/flow" + suffix + ".png", "Flow view mid-scroll, the 22nd selected" + note,
            Appearance::light, [&](XQCalendar& calendar) {
                useTheme(calendar, iPad);
                calendar.setSelectedDate(at(2026, 12, 22));
                calendar.setViewMode(XQCalendarViewModeFlow);
                calendar.layoutIfNeeded();
                auto& flow = static_cast<XQCalendarFlowPresenter&>(*calendar.presenter());
                flow.layoutIfNeeded();
                // The scroll stands with December's header a little above the middle.
                const double december = flow.offsetForDate(at(2026, 12, 1));
                flow.collectionView()->setContentOffset({0, december - 0.45 * kPhone.height});
            }));
        keep(pinchPicture(outDir + "/pinch-month-names" + suffix + ".png",
                          "Pinch: half-way to the month names" + note, iPad));
    }
    fnd::Clock::setFixedNow(std::nullopt);
    setScreenScale(savedScale);
    return written;
}

} // namespace

OLM_DEMO_PAGE("22-year-family", renderYearFamily);
