#include "platform/foundation/Calendar.h"
#include "DateHelpers.h"
#include "platform/foundation/ProcessDefaults.h"

#include <gtest/gtest.h>

#include <climits>

using namespace fnd;
using fnd::test::ymd;

namespace {

constexpr double kHour = 3600;
constexpr double kDay = 24 * kHour;

CalendarRef calendarIn(const char* zone, const char* locale = "en_US", const char* identifier = "gregorian") {
    CalendarRef cal = Calendar::make(identifier);
    cal->setTimeZone(TimeZone::named(zone));
    cal->setLocale(Locale(locale));
    return cal;
}

Date dateOf(const Calendar& cal, long y, long m, long d, std::optional<long> h = {},
            std::optional<long> mi = {}) {
    return cal.dateFromComponents(test::ymd(y, m, d, h, mi)).value();
}

// Year, month, day, hour, minute and second of a date, for readable expectations.
DateComponents fieldsOf(const Calendar& cal, const Date& date) {
    return cal.components(252, date);
}

// Of a date in the Common Era: a year comes with its era.
DateComponents ymdhms(long y, long m, long d, long h, long mi, long s) {
    DateComponents c = test::ymd(y, m, d, h, mi, s);
    c.era = 1;
    return c;
}

} // namespace

TEST(Date, OrdersTotallyAndConvertsBetweenEpochs) {
    const Date ref = Date::fromTimeIntervalSinceReferenceDate(0);
    EXPECT_EQ(ref.timeIntervalSince1970(), 978307200.0);
    EXPECT_EQ(ref.dateByAddingTimeInterval(-1).compare(ref), OrderedAscending);
    EXPECT_EQ(ref.compare(ref.dateByAddingTimeInterval(-1)), OrderedDescending);
    EXPECT_EQ(ref.compare(Date::fromTimeIntervalSince1970(978307200.0)), OrderedSame);
    // NaN would break every ordering and calendar computation: it is stored as the epoch.
    const Date nan = Date::fromTimeIntervalSince1970(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan, Date());
    EXPECT_EQ(nan.compare(Date()), OrderedSame);
}

TEST(Date, NowComesFromTheSettableClock) {
    ScopedDefaults restore;
    Clock::setFixedNow(Date::fromTimeIntervalSince1970(1000));
    EXPECT_EQ(Date::now().timeIntervalSince1970(), 1000);
    Clock::advance(5);
    EXPECT_EQ(Date::now().timeIntervalSince1970(), 1005);
    Clock::setFixedNow(std::nullopt);
    EXPECT_GT(Date::now().timeIntervalSince1970(), 1.7e9); // the real time
}

TEST(Calendar, ComponentsUseOneBasedMonthsAndSundayFirstWeekdaysAndOnlyTheMaskedUnitsAndTheEraOfAYear) {
    auto cal = calendarIn("America/New_York");
    const Date now = Date::now(); // Tuesday 2026-12-15 10:30 in New York
    const DateComponents c = cal->components(28 | CalendarUnitWeekday, now);
    EXPECT_EQ(c.year, 2026);
    EXPECT_EQ(c.month, 12);
    EXPECT_EQ(c.day, 15);
    EXPECT_EQ(c.weekday, 3);
    EXPECT_FALSE(c.hour.has_value());
    EXPECT_EQ(c.era, 1); // a year comes with its era
    EXPECT_FALSE(cal->components(CalendarUnitMonth | CalendarUnitDay, now).era.has_value());
    EXPECT_EQ(cal->component(CalendarUnitHour, now), 10);
    // The same instant is already the next day further east.
    EXPECT_EQ(calendarIn("Asia/Tokyo")->component(CalendarUnitDay, now.dateByAddingTimeInterval(14 * kHour)),
              16);
}

TEST(Calendar, DateFromComponentsIsLenientAndUnsetFieldsTakeTheirFirstValue) {
    auto cal = calendarIn("America/New_York");
    EXPECT_EQ(fieldsOf(*cal, dateOf(*cal, 2024, 3, 0)), ymdhms(2024, 2, 29, 0, 0, 0));  // day 0
    EXPECT_EQ(fieldsOf(*cal, dateOf(*cal, 2023, 3, -1)), ymdhms(2023, 2, 27, 0, 0, 0)); // before day 0
    EXPECT_EQ(fieldsOf(*cal, dateOf(*cal, 2024, 13, 1)), ymdhms(2025, 1, 1, 0, 0, 0));  // month 13
    EXPECT_EQ(fieldsOf(*cal, dateOf(*cal, 2024, 0, 1)), ymdhms(2023, 12, 1, 0, 0, 0));  // month 0
    EXPECT_EQ(fieldsOf(*cal, dateOf(*cal, 2024, 1, 32)), ymdhms(2024, 2, 1, 0, 0, 0));  // day 32
    EXPECT_EQ(fieldsOf(*cal, dateOf(*cal, 2024, 12, 31, 24)), ymdhms(2025, 1, 1, 0, 0, 0));
    DateComponents back = ymd(2024, 1, 1);
    back.second = -1;
    EXPECT_EQ(fieldsOf(*cal, cal->dateFromComponents(back).value()), ymdhms(2023, 12, 31, 23, 59, 59));

    DateComponents onlyMonth;
    onlyMonth.month = 5;
    const DateComponents first =
        cal->components(CalendarUnitEra | 252, cal->dateFromComponents(onlyMonth).value());
    EXPECT_EQ(first.era, 1);
    EXPECT_EQ(first.year, 1);
    EXPECT_EQ(first.month, 5);
    EXPECT_EQ(first.day, 1);
    EXPECT_EQ(first.hour, 0);

    // Values far outside any calendar give some date or nothing, never a crash.
    DateComponents huge = ymd(LONG_MAX, LONG_MIN, LONG_MAX, LONG_MAX, LONG_MIN);
    huge.second = LONG_MAX;
    huge.weekOfYear = LONG_MIN;
    (void)cal->dateFromComponents(huge);
    (void)cal->dateByAddingComponents(huge, Date::now());
}

TEST(Calendar, DateFromComponentsResolvesWeekBasedFields) {
    auto cal = calendarIn("UTC", "de_DE"); // ISO weeks
    DateComponents c;
    c.yearForWeekOfYear = 2020;
    c.weekOfYear = 53;
    c.weekday = 6; // Friday of ISO week 2020-W53
    EXPECT_EQ(fieldsOf(*cal, cal->dateFromComponents(c).value()), ymdhms(2021, 1, 1, 0, 0, 0));
    // When the day of the month is given too, it wins over the weekday.
    DateComponents both = ymd(2021, 1, 5);
    both.weekday = 1;
    EXPECT_EQ(fieldsOf(*cal, cal->dateFromComponents(both).value()), ymdhms(2021, 1, 5, 0, 0, 0));
}

TEST(Calendar, MonthAndYearStepsPinTheDayToTheEndOfShorterMonths) {
    auto cal = calendarIn("America/New_York");
    auto add = [&](const Date& d, long months, long years) {
        DateComponents c;
        c.month = months;
        c.year = years;
        return fieldsOf(*cal, cal->dateByAddingComponents(c, d).value());
    };
    EXPECT_EQ(add(dateOf(*cal, 2023, 1, 31), 1, 0), ymdhms(2023, 2, 28, 0, 0, 0));
    EXPECT_EQ(add(dateOf(*cal, 2024, 1, 31), 1, 0), ymdhms(2024, 2, 29, 0, 0, 0));
    EXPECT_EQ(add(dateOf(*cal, 2024, 1, 31), 2, 0), ymdhms(2024, 3, 31, 0, 0, 0)); // not pinned twice
    EXPECT_EQ(add(dateOf(*cal, 2024, 3, 31), -1, 0), ymdhms(2024, 2, 29, 0, 0, 0));
    EXPECT_EQ(add(dateOf(*cal, 2024, 2, 29), 0, 1), ymdhms(2025, 2, 28, 0, 0, 0));
    EXPECT_EQ(add(dateOf(*cal, 2024, 2, 29), 0, 4), ymdhms(2028, 2, 29, 0, 0, 0));
    EXPECT_EQ(
        fieldsOf(*cal, cal->dateByAddingUnit(CalendarUnitDay, -15, dateOf(*cal, 2026, 3, 1, 9)).value()),
        ymdhms(2026, 2, 14, 9, 0, 0));
}

TEST(Calendar, DifferencesCountWholeUnitsTruncatedTowardZero) {
    auto cal = calendarIn("America/New_York");
    const Date a = dateOf(*cal, 2024, 3, 15, 10);
    const DateComponents forward =
        cal->components(CalendarUnitDay | CalendarUnitHour, a, dateOf(*cal, 2024, 3, 16, 9, 59));
    EXPECT_EQ(forward.day, 0);
    EXPECT_EQ(forward.hour, 23); // 2024-03-15 is after the US spring change, so no hour is missing
    EXPECT_EQ(cal->components(CalendarUnitMonth, a, dateOf(*cal, 2024, 1, 20)).month, -1); // not -2
    EXPECT_EQ(cal->components(CalendarUnitDay, a, dateOf(*cal, 2024, 3, 14, 11)).day, 0);  // -23 h
    const DateComponents mixed = cal->components(252, a, dateOf(*cal, 2025, 5, 17, 12, 30));
    EXPECT_EQ(mixed, test::ymd(1, 2, 2, 2, 30, 0)); // a difference has no era
    // Spans wider than 32 bits of seconds still count.
    EXPECT_NEAR(
        static_cast<double>(
            cal->components(CalendarUnitSecond, Date::distantPast(), Date::distantFuture()).second.value()),
        Date::distantFuture().timeIntervalSinceDate(Date::distantPast()), 1.0);
}

TEST(Calendar, DaylightSavingDaysInSaoPauloAndLondon) {
    // Sao Paulo 2016-10-16: clocks jumped from 00:00 to 01:00, so the day begins at 01:00.
    auto sp = calendarIn("America/Sao_Paulo", "pt_BR");
    const Date spDay = dateOf(*sp, 2016, 10, 16);
    EXPECT_EQ(fieldsOf(*sp, spDay), ymdhms(2016, 10, 16, 1, 0, 0));
    EXPECT_EQ(sp->startOfDayForDate(dateOf(*sp, 2016, 10, 16, 15)), spDay);
    const Date spNext = dateOf(*sp, 2016, 10, 17);
    EXPECT_EQ(spNext.timeIntervalSinceDate(spDay), 23 * kHour);
    const Date spBefore = dateOf(*sp, 2016, 10, 15);
    EXPECT_EQ(sp->components(CalendarUnitDay, spBefore, spDay).day, 1);
    EXPECT_EQ(sp->components(CalendarUnitDay, spBefore, spNext).day, 2);
    EXPECT_EQ(sp->dateByAddingUnit(CalendarUnitDay, 1, spBefore), spDay);
    EXPECT_TRUE(sp->isDateEqualToDate(spDay, spDay.dateByAddingTimeInterval(22 * kHour), CalendarUnitDay));

    // London 2017-10-29: clocks went back at 02:00 BST, so the day has 25 hours.
    auto london = calendarIn("Europe/London", "en_GB");
    const Date day = dateOf(*london, 2017, 10, 29);
    const Date next = dateOf(*london, 2017, 10, 30);
    EXPECT_EQ(next.timeIntervalSinceDate(day), 25 * kHour);
    const DateComponents span = london->components(CalendarUnitDay | CalendarUnitHour, day, next);
    EXPECT_EQ(span.day, 1);
    EXPECT_EQ(span.hour, 0);
    EXPECT_EQ(london->components(CalendarUnitHour, day, next).hour, 25);
    EXPECT_EQ(london->rangeOfUnit(CalendarUnitDay, CalendarUnitMonth, day), (Range{1, 31}));
    // 01:30 happens twice: the first (summer time) is meant; hours are added as elapsed time.
    const Date early = dateOf(*london, 2017, 10, 29, 1, 30);
    EXPECT_EQ(TimeZone::named("Europe/London")->secondsFromGMTForDate(early), 3600);
    const Date later = early.dateByAddingTimeInterval(kHour);
    EXPECT_EQ(london->component(CalendarUnitHour, later), 1);
    EXPECT_FALSE(london->isDateEqualToDate(early, later, CalendarUnitHour));
    EXPECT_TRUE(london->isDateEqualToDate(early, later, CalendarUnitDay));
    EXPECT_EQ(fieldsOf(*london, london->dateByAddingUnit(CalendarUnitHour, 3, day).value()),
              ymdhms(2017, 10, 29, 2, 0, 0));
}

TEST(Calendar, FirstWeekdayAndWeekRulesComeFromTheLocaleUnlessSet) {
    auto cal = Calendar::make();
    struct Case {
        const char* locale;
        long firstWeekday;
        long minimumDays;
    };
    for (const Case& c :
         {Case{"en_US", 1, 1}, Case{"de_DE", 2, 4}, Case{"ar_EG", 7, 1}, Case{"fa_IR", 7, 1}}) {
        cal->setLocale(Locale(c.locale));
        EXPECT_EQ(cal->firstWeekday(), c.firstWeekday) << c.locale;
        EXPECT_EQ(cal->minimumDaysInFirstWeek(), c.minimumDays) << c.locale;
    }
    cal->setFirstWeekday(3);
    cal->setFirstWeekday(0); // out of range: ignored
    cal->setFirstWeekday(8);
    cal->setLocale(Locale("en_US")); // an explicit first weekday outlives a change of locale
    EXPECT_EQ(cal->firstWeekday(), 3);
    EXPECT_EQ(cal->copy()->firstWeekday(), 3);
    EXPECT_EQ(Calendar::make("iso8601")->firstWeekday(), 2);
    EXPECT_EQ(Calendar::make("no such calendar"), nullptr);
    EXPECT_EQ(Calendar::make("roc")->identifier(), "republicOfChina"); // ICU's name is accepted too
}

TEST(Calendar, WeeksOfAMonthAreTheDistinctWeeksItTouches) {
    auto us = calendarIn("America/New_York", "en_US");
    auto iso = calendarIn("America/New_York", "de_DE");
    auto weeks = [](const CalendarRef& cal, long y, long m) {
        return cal->rangeOfUnit(CalendarUnitWeekOfMonth, CalendarUnitMonth, dateOf(*cal, y, m, 10)).length;
    };
    EXPECT_EQ(weeks(us, 2015, 2), 4); // 1 February 2015 is a Sunday, 28 days
    EXPECT_EQ(weeks(iso, 2015, 2), 5);
    EXPECT_EQ(weeks(us, 2024, 12), 5); // begins on a Sunday, ends on a Tuesday
    EXPECT_EQ(weeks(iso, 2024, 12), 6);
    EXPECT_EQ(weeks(us, 2021, 1), 6); // begins on a Friday, ends on a Sunday
    EXPECT_EQ(weeks(iso, 2021, 1), 5);
    EXPECT_EQ(us->rangeOfUnit(CalendarUnitWeekOfMonth, CalendarUnitMonth, dateOf(*us, 2024, 12, 1)).location,
              1);

    EXPECT_EQ(us->rangeOfUnit(CalendarUnitWeekday, CalendarUnitWeekOfMonth, Date::now()), (Range{1, 7}));
    EXPECT_EQ(us->rangeOfUnit(CalendarUnitDay, CalendarUnitMonth, dateOf(*us, 2024, 2, 3)), (Range{1, 29}));
    EXPECT_EQ(us->rangeOfUnit(CalendarUnitMonth, CalendarUnitYear, Date::now()), (Range{1, 12}));
    EXPECT_EQ(us->rangeOfUnit(CalendarUnitDay, CalendarUnitWeekOfMonth, dateOf(*us, 2021, 1, 1)),
              (Range{1, 2}));
    EXPECT_EQ(us->rangeOfUnit(CalendarUnitDay, CalendarUnitWeekOfMonth, dateOf(*us, 2021, 1, 31)),
              (Range{31, 1}));
    EXPECT_EQ(us->rangeOfUnit(CalendarUnitYear, CalendarUnitDay, Date::now()).location, NotFound);
}

TEST(Calendar, WeekOfYearBelongsToTheWeekBasedYear) {
    auto us = calendarIn("UTC", "en_US");
    auto iso = calendarIn("UTC", "de_DE");
    constexpr CalendarUnit kWeek = CalendarUnitWeekOfYear | CalendarUnitYearForWeekOfYear;
    const DateComponents usNewYear = us->components(kWeek, dateOf(*us, 2021, 1, 1));
    EXPECT_EQ(usNewYear.weekOfYear, 1);
    EXPECT_EQ(usNewYear.yearForWeekOfYear, 2021);
    const DateComponents isoNewYear = iso->components(kWeek, dateOf(*iso, 2021, 1, 1));
    EXPECT_EQ(isoNewYear.weekOfYear, 53);
    EXPECT_EQ(isoNewYear.yearForWeekOfYear, 2020);
    const DateComponents usDecember = us->components(kWeek, dateOf(*us, 2024, 12, 29));
    EXPECT_EQ(usDecember.weekOfYear, 1);
    EXPECT_EQ(usDecember.yearForWeekOfYear, 2025);
    EXPECT_TRUE(
        iso->isDateEqualToDate(dateOf(*iso, 2020, 12, 28), dateOf(*iso, 2021, 1, 3), CalendarUnitWeekOfYear));
    EXPECT_FALSE(
        us->isDateEqualToDate(dateOf(*us, 2020, 12, 28), dateOf(*us, 2021, 1, 3), CalendarUnitWeekOfYear));
}

TEST(Calendar, SameUnitComparisonAndStartOfDay) {
    auto cal = calendarIn("America/New_York");
    const Date morning = dateOf(*cal, 2026, 12, 15, 0, 5);
    const Date night = dateOf(*cal, 2026, 12, 15, 23, 59);
    EXPECT_TRUE(cal->isDateEqualToDate(morning, night, CalendarUnitDay));
    EXPECT_FALSE(cal->isDateEqualToDate(night, night.dateByAddingTimeInterval(61), CalendarUnitDay));
    EXPECT_TRUE(cal->isDateEqualToDate(morning, dateOf(*cal, 2026, 12, 1), CalendarUnitMonth));
    EXPECT_FALSE(cal->isDateEqualToDate(morning, dateOf(*cal, 2025, 12, 15), CalendarUnitMonth));
    EXPECT_TRUE(cal->isDateInToday(night));
    EXPECT_EQ(cal->startOfDayForDate(night), dateOf(*cal, 2026, 12, 15));
    // Another zone, another day: the calendar's zone decides.
    cal->setTimeZone(TimeZone::named("Asia/Tokyo"));
    EXPECT_FALSE(cal->isDateEqualToDate(morning, night, CalendarUnitDay));
}

TEST(Calendar, CurrentFollowsTheProcessDefaultsAndCopiesAreIndependent) {
    ScopedDefaults restore;
    Locale::setCurrent(Locale("de_DE"));
    TimeZone::setDefaultTimeZone(*TimeZone::named("Europe/Berlin"));
    auto cal = Calendar::current();
    EXPECT_EQ(cal->identifier(), "gregorian");
    EXPECT_EQ(cal->firstWeekday(), 2);
    EXPECT_EQ(cal->timeZone().identifier(), "Europe/Berlin");
    Locale::setCurrent(Locale("ja_JP@calendar=japanese"));
    EXPECT_EQ(Calendar::current()->identifier(), "japanese");

    auto copy = cal->copy();
    copy->setTimeZone(TimeZone::named("UTC"));
    copy->setFirstWeekday(1);
    EXPECT_EQ(cal->timeZone().identifier(), "Europe/Berlin");
    EXPECT_EQ(cal->firstWeekday(), 2);
}

TEST(Calendar, UnitLimits) {
    auto cal = Calendar::make();
    EXPECT_EQ(cal->maximumRangeOfUnit(CalendarUnitMonth), (Range{1, 12}));
    EXPECT_EQ(cal->maximumRangeOfUnit(CalendarUnitDay), (Range{1, 31}));
    EXPECT_EQ(cal->minimumRangeOfUnit(CalendarUnitDay), (Range{1, 28}));
    EXPECT_EQ(cal->maximumRangeOfUnit(CalendarUnitWeekday), (Range{1, 7}));
    EXPECT_EQ(cal->maximumRangeOfUnit(CalendarUnitHour), (Range{0, 24}));
    EXPECT_EQ(cal->maximumRangeOfUnit(1 << 20).location, NotFound);
    EXPECT_EQ(Calendar::make("hebrew")->maximumRangeOfUnit(CalendarUnitMonth), (Range{1, 13}));
}
