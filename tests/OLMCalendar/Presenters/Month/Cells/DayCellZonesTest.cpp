#include "CellTestSupport.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarMonthTitleCell.h"
#include "platform/foundation/ProcessDefaults.h"

namespace cal::test {
namespace {

constexpr fnd::CalendarUnit allUnits = fnd::CalendarUnitYear | fnd::CalendarUnitMonth | fnd::CalendarUnitDay |
                                       fnd::CalendarUnitHour | fnd::CalendarUnitMinute | fnd::CalendarUnitSecond;

class DayCellZonesTest : public CellTest {
protected:
    void SetUp() override {
        CellTest::SetUp();
        useSource(EventSource::Form::callbackNow);
        calendar->setMinDate(std::nullopt);
        calendar->setMaxDate(std::nullopt);
    }

    // The calendar follows the zone; "now" is set as a UTC time stamp.
    void inZone(const char* zone, fnd::TimeInterval now) {
        fnd::TimeZone::setDefaultTimeZone(*fnd::TimeZone::named(zone));
        fnd::Clock::setFixedNow(fnd::Date::fromTimeIntervalSince1970(now));
        calendar->setCalendar(fnd::Calendar::current());
    }

    // Attaches a cell to every day of the month (at its first instant and late in the day)
    // and checks the number, the flags and the interval asked of the data source.
    void checkMonth(long year, long month, const std::optional<long>& today) {
        const fnd::Calendar& cal = *calendar->calendar();
        fnd::DateComponents c;
        c.year = year;
        c.month = month;
        c.day = 15;
        calendar->setDisplayedDate(cal.dateFromComponents(c), false);
        const long days = cal.rangeOfUnit(fnd::CalendarUnitDay, fnd::CalendarUnitMonth, *cal.dateFromComponents(c)).length;
        const long nowYear = cal.component(fnd::CalendarUnitYear, fnd::Date::now());
        auto cell = XQCalendarDayCell::make({0, 0, 40, 30});
        for (long d = 1; d <= days; ++d) {
            c.day = d;
            c.hour = 0;
            const fnd::Date start = *cal.dateFromComponents(c);
            c.hour = 22;
            for (const fnd::Date& date : {start, *cal.dateFromComponents(c)}) {
                source->asked.clear();
                cell->attachWithCalendar(calendar.get(), date);
                SCOPED_TRACE(text(date));
                EXPECT_EQ(cell->label()->text(), std::to_string(d));
                const long weekday = cal.component(fnd::CalendarUnitWeekday, date);
                long expected = 4 | (year == nowYear ? 8 : 0) | (weekday == 1 || weekday == 7 ? 2 : 0);
                if (today && *today == d) expected |= 1;
                EXPECT_EQ(cell->state(), expected);
                ASSERT_EQ(source->asked.size(), 1u);
                EXPECT_EQ(source->asked[0].first, cal.startOfDayForDate(date));
                const auto end = cal.components(allUnits, source->asked[0].second);
                EXPECT_EQ(std::tuple(*end.day, *end.hour, *end.minute, *end.second), std::tuple(d, 23L, 59L, 59L));
            }
        }
    }

    fnd::ScopedDefaults restore;
};

TEST_F(DayCellZonesTest, SaoPauloDaylightSavingDays) {
    inZone("America/Sao_Paulo", 1476662400); // 2016-10-17 00:00 UTC = 16 October 22:00 local
    checkMonth(2016, 10, 16);                // the 16th starts at 01:00
    EXPECT_EQ(calendar->calendar()->component(fnd::CalendarUnitHour, source->asked[0].first), 0);
    // The 18th lasts 25 hours; its end is the first 23:59:59 of the repeated hour.
    checkMonth(2017, 2, std::nullopt);
    source->asked.clear();
    dayCell(day(2017, 2, 18, 12));
    ASSERT_EQ(source->asked.size(), 1u);
    EXPECT_EQ(source->asked[0].second.timeIntervalSinceDate(source->asked[0].first), 24 * 3600 - 1);
}

TEST_F(DayCellZonesTest, LondonSydneyAndKiritimati) {
    inZone("Europe/London", 1508889600); // 2017-10-25 00:00 UTC
    checkMonth(2017, 10, 25);
    inZone("Australia/Sydney", 1475956800); // 2016-10-08 20:00 UTC, already the 9th in Sydney
    checkMonth(2016, 10, 9);
    inZone("Pacific/Kiritimati", 1797348600); // 2026-12-15 15:30 UTC, the 16th at UTC+14
    checkMonth(2026, 12, 16);
}

TEST_F(DayCellZonesTest, WeekendsAndDayNamesForEveryFirstWeekday) {
    const fnd::Date saturday = day(2026, 12, 19), sunday = day(2026, 12, 20), monday = day(2026, 12, 21);
    auto name = XQCalendarDayNameCell::make();
    for (long first : {1L, 2L, 7L}) {
        calendar->calendar()->setFirstWeekday(first);
        SCOPED_TRACE(first);
        EXPECT_EQ(dayCell(saturday)->state() & 2, 2);
        EXPECT_EQ(dayCell(sunday)->state() & 2, 2);
        EXPECT_EQ(dayCell(monday)->state() & 2, 0);
        name->attachWithCalendar(calendar.get(), 0);
        EXPECT_EQ(name->label()->text(), (std::array{"Sun", "Mon", "Sat"})[first == 1 ? 0 : first == 2 ? 1 : 2]);
    }
    calendar->calendar()->setFirstWeekday(1);
}

TEST_F(DayCellZonesTest, HebrewAndIslamicCalendarsNumberTheirOwnDays) {
    auto title = XQCalendarMonthTitleCell::make({0, 0, 320, 40});
    title->setLayoutMode(XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons);
    const fnd::Date march5 = day(2026, 3, 5, 12);
    const struct {
        const char* identifier;
        const char* day;
        const char* month;
        const char* year;
    } cases[] = {{"hebrew", "16", "Adar", "5786"}, {"islamicCivil", "16", "Ramadan", "1447"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identifier);
        calendar->setCalendar(fnd::Calendar::make(c.identifier));
        calendar->setDisplayedDate(march5, false);
        EXPECT_EQ(dayCell(march5)->label()->text(), c.day);
        EXPECT_EQ(dayCell(march5)->state() & 4, 4);
        title->attachWithCalendar(calendar.get(), "ignored");
        EXPECT_EQ(title->label()->text(), c.month);
        EXPECT_EQ(title->yearLabel()->text(), c.year);
    }
}

} // namespace
} // namespace cal::test
