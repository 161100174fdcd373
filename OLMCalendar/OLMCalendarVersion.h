#pragma once

// Version stamps exported by the framework, in the form the build tools of the
// original platform emit them, and the calendar-unit mask the framework exports.
extern "C" {
extern const unsigned char OLMCalendarVersionString[];
extern const double OLMCalendarVersionNumber;
// Year, month, day, hour, minute and second (252), as an fnd::CalendarUnit mask.
extern const unsigned long dateUnits;
}
