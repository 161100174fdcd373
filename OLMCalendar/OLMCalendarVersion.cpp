#include "OLMCalendar/OLMCalendarVersion.h"

extern "C" {
const unsigned char OLMCalendarVersionString[] = "@(#)PROGRAM:OLMCalendar  PROJECT:OLMCalendar-1\n";
const double OLMCalendarVersionNumber = 1.0;
}
