// Calendars whose years restart with each era (Japanese, Republic of China) and calendars
// with leap months or months of their own (Hebrew, Islamic, Persian): the day and month
// helpers must keep a date in its own era, and month steps must visit every month once.

#include "CalendarTestSupport.h"

#include <set>
#include <utility>

using namespace cal::test;

namespace {

// Answers through the callback at once and remembers what it was asked.
class IntervalSource : public XQCalendarDataSource {
public:
    std::vector<std::pair<fnd::Date, fnd::Date>> asked;
    bool calendarEventsFromDate(XQCalendar&, const fnd::Date& from, const fnd::Date& to,
                                EventsCallback callback) override {
        asked.emplace_back(from, to);
        callback({});
        return true;
    }
};

struct EraCase {
    const char* calendar;
    fnd::Date date;
    // The date of the same day, month and year number in another era: where a round trip
    // that drops the era lands.
    fnd::Date twin;
};

} // namespace

TEST_F(CalendarTest, DayAndMonthHelpersKeepTheEra) {
    const std::vector<EraCase> cases = {
        {"japanese", day(1990, 1, 15, 14, 0), day(2020, 1, 15)}, // Heisei 2 / Reiwa 2
        {"japanese", day(1989, 1, 7, 14, 0), day(2082, 1, 7)},   // last day of Showa 64 / Reiwa 64
        {"japanese", day(1989, 1, 8, 14, 0), day(2019, 1, 8)},   // first day of Heisei 1 / Reiwa 1
        {"japanese", day(2019, 4, 30, 14, 0), day(2049, 4, 30)}, // last day of Heisei 31 / Reiwa 31
        {"japanese", day(2019, 5, 1, 14, 0), day(1989, 5, 1)},   // first day of Reiwa 1 / Heisei 1
        {"republicOfChina", day(1911, 12, 31, 14, 0), day(1912, 12, 31)}, // 1 before / 1 of the Republic
        {"republicOfChina", day(1900, 6, 1, 14, 0), day(1923, 6, 1)},     // 12 before / 12 of the Republic
    };
    auto gregorian = XQCalendar::make(gfx::Rect{0, 0, 100, 100});
    auto source = std::make_shared<IntervalSource>();
    calendar->setDataSource(source);
    calendar->setMaxDate(std::nullopt);

    for (const EraCase& c : cases) {
        SCOPED_TRACE(std::string(c.calendar) + " " + text(c.date));
        calendar->setCalendar(fnd::Calendar::make(c.calendar));
        const fnd::Date midnight = *calendar->dateWithoutTime(c.date);
        EXPECT_EQ(text(midnight), text(c.date).substr(0, 10));
        EXPECT_TRUE(calendar->isDate(c.date, midnight, XQCalendar::dayUnits));
        EXPECT_FALSE(calendar->isDate(c.date, c.twin, XQCalendar::dayUnits));
        EXPECT_FALSE(calendar->isDate(c.date, c.twin, XQCalendar::monthUnits));
        EXPECT_FALSE(calendar->isDate(c.date, c.twin, fnd::CalendarUnitYear));
        EXPECT_NE(calendar->dayKey(c.date), calendar->dayKey(c.twin));

        // Month grids (the same months as the Gregorian calendar's) and steps across eras.
        for (long months : {-13L, -1L, 0L, 1L, 12L}) {
            for (long cell : {0L, 6L, 41L}) {
                EXPECT_EQ(text(calendar->dateWithOffset(cell, months, c.date)),
                          text(gregorian->dateWithOffset(cell, months, c.date)))
                    << "cell " << cell << ", " << months << " months on";
            }
        }

        calendar->setMinDate(c.date);
        EXPECT_EQ(calendar->minDate(), midnight);

        source->asked.clear();
        calendar->eventsForDate(c.date);
        ASSERT_EQ(source->asked.size(), 1u);
        EXPECT_EQ(source->asked[0].first, midnight);
        EXPECT_EQ(text(source->asked[0].second), text(midnight) + " 23:59");

        calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
        calendar->resetSelection();
        calendar->setSelectedDate(c.date);
        calendar->setSelectedDate(c.twin);
        EXPECT_EQ(calendar->selectedDates()->size(), 2u);
        EXPECT_TRUE(calendar->isDateSelected(c.date));
        EXPECT_TRUE(calendar->isDateSelected(c.twin));
        calendar->setMinDate(std::nullopt);
    }
}

TEST_F(CalendarTest, DayKeysCarryTheEraOnlyOutsideTheLastEra) {
    calendar->setCalendar(fnd::Calendar::make("gregorian"));
    EXPECT_EQ(calendar->dayKey(day(2024, 3, 5)), "5.3.2024");
    calendar->setCalendar(fnd::Calendar::make("japanese"));
    EXPECT_EQ(calendar->dayKey(day(2020, 1, 15)), "15.1.2");
    EXPECT_EQ(calendar->dayKey(day(1990, 1, 15)), "15.1.2.235");
}

namespace {

struct MonthYear {
    long era;
    long year;
    long month;
    friend auto operator<=>(const MonthYear&, const MonthYear&) = default;
};

} // namespace

// Forward and back, one month at a time through a year of each calendar: every step lands on
// the next (previous) month, so a year's worth of steps visits each of its months once.
TEST_F(CalendarTest, MonthStepsVisitEveryMonthOnceInCalendarsWithTheirOwnMonths) {
    struct Year {
        const char* calendar;
        long year;
        std::set<long> months; // the month numbers of that year
    };
    const std::set<long> twelve{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::vector<Year> years = {
        {"hebrew", 5784, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}, // leap: Adar I is month 6
        {"hebrew", 5785, {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13}},    // common: no Adar I
        {"islamicCivil", 1446, twelve},
        {"persian", 1403, twelve},
        {"gregorian", 2024, twelve},
    };
    for (const Year& y : years) {
        SCOPED_TRACE(std::string(y.calendar) + " " + std::to_string(y.year));
        auto cal = fnd::Calendar::make(y.calendar);
        ASSERT_TRUE(cal);
        calendar->setCalendar(cal);
        fnd::DateComponents first;
        first.year = y.year;
        first.month = 1;
        first.day = 10;
        const fnd::Date start = *cal->dateFromComponents(first);
        // The grid's sixth cell always lies in the month the grid shows.
        auto shown = [&](long months, const fnd::Date& from) {
            const auto cell = calendar->dateWithOffset(6, months, from).value();
            const auto c = cal->components(XQCalendar::monthUnits, cell);
            return MonthYear{*c.era, *c.year, *c.month};
        };
        const auto n = static_cast<long>(y.months.size());
        // A day inside the month `months` after the start's.
        auto dayIn = [&](long months) { return calendar->dateWithOffset(6, months, start).value(); };

        std::vector<MonthYear> forward{shown(0, start)};
        for (long i = 0; i < n; ++i) {
            forward.push_back(shown(1, dayIn(i)));
            EXPECT_EQ(forward.back(), shown(i + 1, start)) << "step " << i + 1; // all at once
        }
        std::set<long> visited;
        for (long i = 0; i < n; ++i) {
            EXPECT_EQ(forward[i].year, y.year);
            visited.insert(forward[i].month);
        }
        EXPECT_EQ(visited, y.months);
        EXPECT_EQ(forward[n].year, y.year + 1);
        EXPECT_EQ(forward[n].month, 1);

        // Back from the first month of the next year through the same months in reverse, one
        // step at a time and all at once.
        for (long i = 1; i <= n; ++i) {
            EXPECT_EQ(shown(-1, dayIn(n - i + 1)), forward[n - i]) << "step back " << i;
            EXPECT_EQ(shown(-i, dayIn(n)), forward[n - i]) << "steps back " << i;
        }
    }
}
