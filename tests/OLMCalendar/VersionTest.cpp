#include "OLMCalendar/OLMCalendarVersion.h"
#include "OLMCalendar/XQCalendar.h"

#include <gtest/gtest.h>

TEST(Version, ExportedStampsHaveTheirPublishedForm) {
    const char* stamp = reinterpret_cast<const char*>(OLMCalendarVersionString);
    EXPECT_STREQ(stamp, "@(#)PROGRAM:OLMCalendar  PROJECT:OLMCalendar-1\n");
    EXPECT_DOUBLE_EQ(OLMCalendarVersionNumber, 1.0);
    EXPECT_EQ(dateUnits, 252UL);
    EXPECT_EQ(XQCalendar::versionString(), "%VERSION%");
}
