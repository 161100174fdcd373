// The year view as an application shows it: twelve mini months of 2026 with today (15
// December) on its shape and the weekends in their own colour, at phone size and scale 3, in
// the default theme and again in the iPad theme ("-ipad").

#include "Demo.h"

#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/graphics/Screen.h"

namespace {

std::vector<std::string> renderYearView(const std::string& outDir) {
    const double savedScale = gfx::screenScale();
    gfx::setScreenScale(3);
    fnd::Clock::setFixedNow(olm::demo::at(2026, 12, 15, 10, 30));
    std::vector<std::string> written;
    for (bool iPad : {false, true}) {
        const std::string path = outDir + "/year-view" + (iPad ? "-ipad" : "") + ".png";
        const std::string caption =
            std::string("Year view 2026: today, weekends") + (iPad ? " (iPad theme)" : "");
        auto shown = olm::demo::calendarPicture(path, caption, gfx::Appearance::light, [&](XQCalendar& calendar) {
            if (iPad) calendar.setTheme(XQCalendarIPadTheme::make());
            calendar.setViewMode(XQCalendarViewModeYear);
        });
        if (!shown.empty()) written.push_back(std::move(shown));
    }
    fnd::Clock::setFixedNow(std::nullopt);
    gfx::setScreenScale(savedScale);
    return written;
}

} // namespace

OLM_DEMO_PAGE("22-year-view", renderYearView);
