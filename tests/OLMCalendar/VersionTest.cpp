#include "OLMCalendar/OLMCalendarVersion.h"

#include <gtest/gtest.h>

TEST(Version, ExportedStampsHaveTheirPublishedForm) {
    const char* stamp = reinterpret_cast<const char*>(OLMCalendarVersionString);
    EXPECT_STREQ(stamp, "@(#)PROGRAM:OLMCalendar  PROJECT:OLMCalendar-1\n");
    EXPECT_DOUBLE_EQ(OLMCalendarVersionNumber, 1.0);
}
