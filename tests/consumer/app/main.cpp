// A tiny application built against the installed package: it makes a calendar, drives it
// headless for a frame and checks what it shows.
#include <OLMCalendar/OLMCalendarVersion.h>
#include <OLMCalendar/XQCalendar.h>
#include <platform/ui/TestDriver.h>

#include <cstdio>
#include <cstring>

int main() {
    const char* stamp = reinterpret_cast<const char*>(OLMCalendarVersionString);
    if (std::strstr(stamp, "PROJECT:OLMCalendar-1") == nullptr || OLMCalendarVersionNumber != 1.0) return 1;

    ui::TestDriver driver(gfx::Size{320, 480});
    auto calendar = XQCalendar::make(gfx::Rect{0, 0, 320, 480});
    driver.window()->addSubview(calendar);
    driver.runUntilIdle(1.0);
    if (calendar->viewMode() != XQCalendarViewModeMonth || calendar->presenter() == nullptr) return 2;
    calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
    calendar->setSelectedDates({calendar->displayedDate()});
    if (!calendar->isDateSelected(calendar->displayedDate())) return 3;
    std::printf("%s", stamp);
    return 0;
}
