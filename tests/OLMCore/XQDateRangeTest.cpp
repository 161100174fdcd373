#include "OLMCore/XQDateRange.h"

#include <gtest/gtest.h>

namespace {

fnd::Date day(double n) {
    return fnd::Date::fromTimeIntervalSince1970(n * 86400);
}

} // namespace

TEST(XQDateRange, EmptyRangeHasNoDates) {
    auto range = XQDateRange::make();
    EXPECT_FALSE(range->startDate().has_value());
    EXPECT_FALSE(range->endDate().has_value());
    EXPECT_FALSE(range->isNormalized());
}

TEST(XQDateRange, OrdersItsDatesAndSaysWhetherItSwappedThem) {
    auto forward = XQDateRange::make(day(3), day(9));
    EXPECT_EQ(forward->startDate(), day(3));
    EXPECT_EQ(forward->endDate(), day(9));
    EXPECT_FALSE(forward->isNormalized()); // the last selected date is the end

    // Dragged backwards: the last selected date (given as end) becomes the start.
    auto backward = XQDateRange::make(day(9), day(3));
    EXPECT_EQ(backward->startDate(), day(3));
    EXPECT_EQ(backward->endDate(), day(9));
    EXPECT_TRUE(backward->isNormalized());

    // One day, or the same instant twice, is already in order.
    auto single = XQDateRange::make(day(5), day(5));
    EXPECT_EQ(single->startDate(), single->endDate());
    EXPECT_FALSE(single->isNormalized());

    // Times within the same day are ordered too: 12:00 then 09:00.
    auto sameDay = XQDateRange::make(day(5.5), day(5.375));
    EXPECT_EQ(sameDay->startDate(), day(5.375));
    EXPECT_TRUE(sameDay->isNormalized());
}

TEST(XQDateRange, AMissingDateIsKeptWhereItWasGiven) {
    auto noEnd = XQDateRange::make(day(4), std::nullopt);
    EXPECT_EQ(noEnd->startDate(), day(4));
    EXPECT_FALSE(noEnd->endDate().has_value());
    EXPECT_FALSE(noEnd->isNormalized());

    auto noStart = XQDateRange::make(std::nullopt, day(4));
    EXPECT_FALSE(noStart->startDate().has_value());
    EXPECT_EQ(noStart->endDate(), day(4));
    EXPECT_FALSE(noStart->isNormalized());
}
