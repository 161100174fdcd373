#include "platform/foundation/ProcessDefaults.h"
#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

#include <set>

namespace cal::test {
namespace {

fnd::Date ymd(const fnd::Calendar& cal, long year, long month, long day) {
    fnd::DateComponents c;
    c.year = year;
    c.month = month;
    c.day = day;
    return *cal.dateFromComponents(c);
}

struct Zone {
    const char* name;
    long year, month;
    // "now" as a UTC instant (seconds), or 0 to keep the test default.
    double now;
};

class MonthDateMatrixTest : public MonthPresenterTest, public ::testing::WithParamInterface<Zone> {};

// Every cell shows the start of a day, the days follow each other, weekdays stay in their
// columns, and the flags and hit tests agree with the dates, for each first weekday.
TEST_P(MonthDateMatrixTest, theGridOfAMonth) {
    const Zone zone = GetParam();
    fnd::ScopedDefaults defaults;
    fnd::TimeZone::setDefaultTimeZone(*fnd::TimeZone::named(zone.name));
    if (zone.now > 0) fnd::Clock::setFixedNow(fnd::Date::fromTimeIntervalSince1970(zone.now));
    for (long firstWeekday : {1L, 2L, 7L}) {
        SCOPED_TRACE(fnd::stringWithFormat("%s %ld-%ld first weekday %ld", zone.name, zone.year, zone.month,
                                           firstWeekday));
        auto cal = calendarWithFirstWeekday(firstWeekday);
        calendar->setCalendar(cal);
        calendar->setMinDate(std::nullopt);
        calendar->setMaxDate(std::nullopt);
        fnd::DateComponents c;
        c.year = zone.year;
        c.month = zone.month;
        c.day = 15;
        c.hour = 12;
        show(*cal->dateFromComponents(c));
        calendar->update(true);
        month().layoutIfNeeded();

        const auto& cells = month().dayCells();
        std::optional<fnd::Date> previous;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto& cell = *cells[i];
            ASSERT_TRUE(cell.date());
            const fnd::Date date = *cell.date();
            EXPECT_EQ(cal->startOfDayForDate(date), date) << i;
            if (previous) {
                EXPECT_GT(date, *previous) << i;
            }
            previous = date;
            const long column = static_cast<long>(i % 7);
            const long weekday = cal->component(fnd::CalendarUnitWeekday, date);
            EXPECT_EQ((weekday - firstWeekday + 7) % 7, column) << i;
            EXPECT_EQ(cell.label()->text(), std::to_string(cal->component(fnd::CalendarUnitDay, date)));
            const bool inMonth = cal->component(fnd::CalendarUnitMonth, date) == zone.month;
            EXPECT_EQ((cell.state() & XQCalendarDayCellStateCurrentMonth) != 0, inMonth) << i;
            EXPECT_EQ((cell.state() & XQCalendarDayCellStateWeekend) != 0, weekday == 1 || weekday == 7) << i;
            EXPECT_EQ((cell.state() & XQCalendarDayCellStateToday) != 0,
                      cal->isDateEqualToDate(date, fnd::Date::now(), fnd::CalendarUnitDay))
                << i;
            EXPECT_EQ(month().cellForDate(date), cells[i]) << i;
            EXPECT_EQ(text(month().dateFromPoint(centre(cell))), text(date)) << i;
        }
        // Month steps there and back land in the neighbouring months.
        ASSERT_TRUE(month().navigateForward(false));
        EXPECT_EQ(cal->component(fnd::CalendarUnitMonth, calendar->displayedDate()), zone.month % 12 + 1);
        ASSERT_TRUE(month().navigateBack(false));
        ASSERT_TRUE(month().navigateBack(false));
        EXPECT_EQ(cal->component(fnd::CalendarUnitMonth, calendar->displayedDate()), (zone.month + 10) % 12 + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, MonthDateMatrixTest,
                         ::testing::Values(Zone{"America/Sao_Paulo", 2016, 10, 0}, Zone{"America/Sao_Paulo", 2017, 2, 0},
                                           Zone{"Europe/London", 2017, 10, 0},
                                           // 14 October 2016 23:30 UTC: already the 15th in Sydney
                                           Zone{"Australia/Sydney", 2016, 10, 1476487800},
                                           Zone{"Australia/Sydney", 2017, 4, 1491953400}));

// Kiritimati skipped 31 December 1994 (UTC-10 to UTC+14): the grid shows 1 January in that
// cell's place and every later cell keeps its weekday column.
TEST_F(MonthPresenterTest, aSkippedDayKeepsTheGridInStep) {
    fnd::ScopedDefaults defaults;
    fnd::TimeZone::setDefaultTimeZone(*fnd::TimeZone::named("Pacific/Kiritimati"));
    auto cal = calendarWithFirstWeekday(1);
    calendar->setCalendar(cal);
    calendar->setMinDate(std::nullopt);
    calendar->setMaxDate(std::nullopt);
    show(ymd(*cal, 1994, 12, 10));
    std::set<std::string> days;
    for (std::size_t i = 0; i < month().dayCells().size(); ++i) {
        const auto& cell = *month().dayCells()[i];
        days.insert(text(cell.date()));
        const long weekday = cal->component(fnd::CalendarUnitWeekday, *cell.date());
        if (text(cell.date()) != "1995-01-01") {
            EXPECT_EQ(weekday - 1, static_cast<long>(i % 7)) << text(cell.date());
        }
    }
    EXPECT_EQ(days.count("1994-12-31"), 0u);
    EXPECT_EQ(days.count("1995-01-02"), 1u);
    ASSERT_TRUE(month().navigateForward(false));
    EXPECT_EQ(month().titleCell()->label()->text(), "January 1995");
}

// Month steps in calendars with leap months visit every month once.
TEST_F(MonthPresenterTest, monthStepsInLunarCalendarsNeverRepeatOrSkip) {
    for (const char* identifier : {"hebrew", "islamic"}) {
        SCOPED_TRACE(identifier);
        auto cal = fnd::Calendar::make(identifier);
        calendar->setCalendar(cal);
        calendar->setMinDate(std::nullopt);
        calendar->setMaxDate(std::nullopt);
        show(ymd(*cal, std::string(identifier) == "hebrew" ? 5784 : 1445, 1, 1));
        std::set<std::string> titles;
        const long months = std::string(identifier) == "hebrew" ? 13 : 12; // 5784 has Adar I
        for (long i = 0; i < months; ++i) {
            titles.insert(month().titleCell()->label()->text());
            ASSERT_TRUE(month().navigateForward(false));
        }
        EXPECT_EQ(static_cast<long>(titles.size()), months);
        EXPECT_EQ(cal->component(fnd::CalendarUnitMonth, calendar->displayedDate()), 1);
    }
}

} // namespace
} // namespace cal::test
