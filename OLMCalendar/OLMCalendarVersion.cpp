#include "OLMCalendar/OLMCalendarVersion.h"

#include "platform/foundation/DateComponents.h"

#include <type_traits>

static_assert(std::is_same_v<fnd::CalendarUnit, unsigned long>,
              "dateUnits is exported as a calendar-unit mask");

extern "C" {
const unsigned char OLMCalendarVersionString[] = "@(#)PROGRAM:OLMCalendar  PROJECT:OLMCalendar-1\n";
const double OLMCalendarVersionNumber = 1.0;
const unsigned long dateUnits = fnd::CalendarUnitYear | fnd::CalendarUnitMonth | fnd::CalendarUnitDay |
                                fnd::CalendarUnitHour | fnd::CalendarUnitMinute | fnd::CalendarUnitSecond;
}
