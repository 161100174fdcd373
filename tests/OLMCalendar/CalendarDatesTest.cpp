// The calendar's date helpers across first weekdays, daylight-saving changes and odd inputs.

#include "CalendarTestSupport.h"

#include "platform/foundation/ProcessDefaults.h"

using namespace cal::test;

namespace {

fnd::CalendarRef gregorianStartingOn(long firstWeekday) {
    auto calendar = fnd::Calendar::make("gregorian");
    calendar->setFirstWeekday(firstWeekday);
    return calendar;
}

} // namespace

TEST_F(CalendarTest, MonthGridStartsOnTheCalendarsFirstWeekday) {
    // March 2026 begins on a Sunday.
    calendar->setCalendar(gregorianStartingOn(1));
    EXPECT_EQ(text(calendar->dateWithOffset(0, 0, day(2026, 3, 20))), "2026-03-01");
    calendar->setCalendar(gregorianStartingOn(2));
    EXPECT_EQ(text(calendar->dateWithOffset(0, 0, day(2026, 3, 20))), "2026-02-23");
    EXPECT_EQ(text(calendar->dateWithOffset(6, 0, day(2026, 3, 20))), "2026-03-01");
    // Month offsets roll over years (March 2027 starts on a Monday); the last cell of December
    // 2026's grid lies in January.
    EXPECT_EQ(text(calendar->dateWithOffset(0, 3, day(2026, 12, 15))), "2027-03-01");
    EXPECT_EQ(text(calendar->dateWithOffset(41, 0, day(2026, 12, 31))), "2027-01-10");
}

TEST_F(CalendarTest, GridDaysStayAtMidnightAcrossDaylightSavingChanges) {
    // New York springs forward on 8 March 2026 and falls back on 1 November 2026.
    for (long month : {3, 11}) {
        for (long i = 0; i < 42; ++i) {
            const auto date = calendar->dateWithOffset(i, 0, day(2026, month, 15));
            ASSERT_TRUE(date);
            EXPECT_EQ(*date, *calendar->dateWithoutTime(date)) << "cell " << i << " of month " << month;
            if (i > 0) {
                const auto previous = calendar->dateWithOffset(i - 1, 0, day(2026, month, 15));
                EXPECT_EQ(calendar->calendar()->components(fnd::CalendarUnitDay, *previous, *date).day, 1);
            }
        }
    }
}

TEST(CalendarDates, DayStartWhereMidnightIsSkipped) {
    fnd::ScopedDefaults defaults;
    fnd::TimeZone::setDefaultTimeZone(fnd::TimeZone::named("America/Sao_Paulo").value());
    auto calendar = XQCalendar::make(gfx::Rect{0, 0, 100, 100});
    calendar->setCalendar(fnd::Calendar::current());
    // 16 October 2016 began at 01:00 in Sao Paulo.
    const auto start = calendar->dateWithoutTime(day(2016, 10, 16, 15, 0));
    ASSERT_TRUE(start);
    EXPECT_EQ(text(start), "2016-10-16 01:00");
    EXPECT_TRUE(calendar->isDate(start, day(2016, 10, 16, 23, 0), 28));
    EXPECT_EQ(text(calendar->dateWithDay(16, 10, 2016)), "2016-10-16 01:00");
}

TEST_F(CalendarTest, WeekendColumnsFollowTheFirstWeekday) {
    calendar->setCalendar(gregorianStartingOn(1));
    std::vector<long> weekend;
    for (long c = 0; c < 7; ++c)
        if (calendar->isWeekend(c)) weekend.push_back(c);
    EXPECT_EQ(weekend, (std::vector<long>{0, 6}));

    calendar->setCalendar(gregorianStartingOn(2));
    weekend.clear();
    for (long c = 0; c < 7; ++c)
        if (calendar->isWeekend(c)) weekend.push_back(c);
    EXPECT_EQ(weekend, (std::vector<long>{5, 6}));

    // A cache of 0 is recomputed, never divided by; other odd counts give defined answers.
    calendar->setDaysInWeek(0);
    EXPECT_TRUE(calendar->isWeekend(6));
    EXPECT_EQ(calendar->daysInWeek(), 7);
    calendar->setDaysInWeek(-3);
    EXPECT_FALSE(calendar->isWeekend(-8));
}

TEST_F(CalendarTest, MonthLengthsAndComparisons) {
    calendar->setCalendar(gregorianStartingOn(1));
    // December 2026 touches five weeks, January 2027 six, February 2026 exactly four.
    EXPECT_EQ(calendar->weeksInMonth(0), 5);
    EXPECT_EQ(calendar->weeksInMonth(1), 6);
    EXPECT_EQ(calendar->weeksInMonth(-10), 4);

    EXPECT_TRUE(calendar->isDate(day(2026, 5, 1), day(2026, 5, 31, 23, 0), 12));
    EXPECT_FALSE(calendar->isDate(day(2026, 5, 1), day(2025, 5, 1), 12));
    EXPECT_TRUE(calendar->isDate(day(2026, 1, 1), day(2026, 12, 31), 4));
    EXPECT_FALSE(calendar->isDate(std::nullopt, day(2026, 1, 1), 28));
    EXPECT_FALSE(XQCalendar::isDate(day(2026, 1, 1), std::nullopt, 28, nullptr));
    EXPECT_TRUE(XQCalendar::isDate(day(2026, 1, 1, 3, 0), day(2026, 1, 1, 22, 0), 28, nullptr));
    EXPECT_EQ(text(XQCalendar::dateWithYear(2024, 2, 30, nullptr)), "2024-03-01");
    EXPECT_EQ(text(calendar->dateWithoutTime(day(2026, 7, 4, 18, 30))), "2026-07-04");
    EXPECT_FALSE(calendar->dateWithoutTime(std::nullopt));
}
