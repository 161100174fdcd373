#include "DateHelpers.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/NumberFormatter.h"
#include "platform/foundation/ProcessDefaults.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

Date utcDate(long y, long m, long d, long h = 12) {
    auto cal = Calendar::make();
    cal->setTimeZone(TimeZone::utc());
    return cal->dateFromComponents(test::ymd(y, m, d, h)).value();
}

std::string format(const char* pattern, const Date& date, const char* locale = "en_US",
                   const CalendarRef& calendar = nullptr) {
    auto f = DateFormatter::make();
    f->setDateFormat(pattern);
    f->setLocale(Locale(locale));
    f->setTimeZone(TimeZone::utc());
    if (calendar) f->setCalendar(calendar);
    return f->stringFromDate(date);
}

} // namespace

TEST(DateFormatter, CalendarYearAndWeekBasedYearDifferAroundNewYear) {
    // Sunday 29 December 2024 starts the first US week of 2025; in ISO weeks it ends 2024's.
    const Date dec29 = utcDate(2024, 12, 29);
    EXPECT_EQ(format("MMMM yyyy", dec29), "December 2024");
    EXPECT_EQ(format("MMMM YYYY", dec29), "December 2025");
    EXPECT_EQ(format("MMMM YYYY", dec29, "de_DE"), "Dezember 2024");
    // Friday 1 January 2021 lies in the last ISO week of 2020.
    const Date jan1 = utcDate(2021, 1, 1);
    EXPECT_EQ(format("MMMM YYYY", jan1), "January 2021");
    EXPECT_EQ(format("MMMM YYYY", jan1, "de_DE"), "Januar 2020");
    EXPECT_EQ(format("d.M.yyyy", jan1, "de_DE"), "1.1.2021");
}

TEST(DateFormatter, UsesACopyOfTheCalendarsWeekRules) {
    auto iso = Calendar::make();
    iso->setFirstWeekday(2);
    iso->setMinimumDaysInFirstWeek(4);
    auto f = DateFormatter::make();
    f->setDateFormat("YYYY");
    f->setLocale(Locale("en_US"));
    f->setTimeZone(TimeZone::utc());
    f->setCalendar(iso);
    EXPECT_EQ(f->stringFromDate(utcDate(2024, 12, 29)), "2024");
    iso->setFirstWeekday(1); // the formatter keeps the rules it was given
    iso->setMinimumDaysInFirstWeek(1);
    EXPECT_EQ(f->stringFromDate(utcDate(2024, 12, 29)), "2024");
    EXPECT_EQ(f->calendar()->firstWeekday(), 2);
    EXPECT_EQ(format("G y", utcDate(2026, 12, 15), "ja_JP", Calendar::make("japanese")), "令和 8");
}

TEST(DateFormatter, FollowsTheDefaultsUntilGivenItsOwnLocaleAndZone) {
    ScopedDefaults restore;
    auto f = DateFormatter::make();
    f->setDateFormat("MMMM HH:mm");
    EXPECT_EQ(f->stringFromDate(Date::now()), "December 10:30"); // en_US, New York
    Locale::setCurrent(Locale("de_DE"));
    TimeZone::setDefaultTimeZone(TimeZone::utc());
    EXPECT_EQ(f->stringFromDate(Date::now()), "Dezember 15:30");
    f->setLocale(Locale("fr_FR"));
    f->setTimeZone(TimeZone::named("Asia/Tokyo"));
    Locale::setCurrent(Locale("en_US"));
    EXPECT_EQ(f->stringFromDate(Date::now()), "décembre 00:30");
    f->setLocale(std::nullopt);
    EXPECT_EQ(f->locale(), Locale("en_US"));
    EXPECT_EQ(f->stringFromDate(Date::now()), "December 00:30");
}

TEST(DateFormatter, StylesStandForTheLocalesPatterns) {
    auto f = DateFormatter::make();
    f->setLocale(Locale("en_US"));
    f->setTimeZone(TimeZone::utc());
    const Date date = utcDate(2026, 12, 15, 15);
    EXPECT_EQ(f->stringFromDate(date), ""); // no format and no style
    f->setDateStyle(DateFormatterLongStyle);
    EXPECT_EQ(f->stringFromDate(date), "December 15, 2026");
    EXPECT_EQ(f->dateFormat(), "MMMM d, y");
    f->setDateFormat("yyyy");
    EXPECT_EQ(f->stringFromDate(date), "2026");
    f->setDateStyle(DateFormatterNoStyle); // a style replaces the explicit pattern again
    f->setTimeStyle(DateFormatterShortStyle);
    const std::string time = f->stringFromDate(date);
    EXPECT_EQ(time.substr(0, 4), "3:00");
    EXPECT_NE(time.find("PM"), std::string::npos);
    f->setTimeStyle(99); // out of range: no style
    EXPECT_EQ(f->stringFromDate(date), "");
}

TEST(DateFormatter, SymbolListsAreZeroBasedWithSundayAndJanuaryFirst) {
    auto f = DateFormatter::make();
    f->setLocale(Locale("en_US"));
    const auto weekdays = f->weekdaySymbols();
    ASSERT_EQ(weekdays.size(), 7u);
    EXPECT_EQ(weekdays[0], "Sunday");
    EXPECT_EQ(weekdays[6], "Saturday");
    EXPECT_EQ(f->shortWeekdaySymbols()[1], "Mon");
    EXPECT_EQ(f->veryShortWeekdaySymbols()[0], "S");
    const auto months = f->monthSymbols();
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months[0], "January");
    EXPECT_EQ(f->shortMonthSymbols()[11], "Dec");
    EXPECT_EQ(f->AMSymbol(), "AM");

    f->setLocale(Locale("de_DE"));
    EXPECT_EQ(f->weekdaySymbols()[0], "Sonntag");
    EXPECT_EQ(f->shortStandaloneMonthSymbols()[2], "Mär");
    // Format and standalone forms differ where the language inflects month names.
    f->setLocale(Locale("ru_RU"));
    EXPECT_EQ(f->monthSymbols()[0], "января");
    EXPECT_EQ(f->standaloneMonthSymbols()[0], "январь");
    f->setLocale(Locale("ar_EG"));
    EXPECT_EQ(f->weekdaySymbols().size(), 7u);
    EXPECT_EQ(f->weekdaySymbols()[0], "الأحد");
}

TEST(NumberFormatter, WritesIntegersInTheLocalesDigits) {
    ScopedDefaults restore;
    auto f = NumberFormatter::make();
    EXPECT_EQ(f->stringFromNumber(12L), "12"); // the current locale, en_US
    EXPECT_EQ(f->stringFromNumber(1234567L), "1234567");
    EXPECT_EQ(f->stringFromNumber(-3L), "-3");
    f->setLocale(Locale("ar_EG"));
    EXPECT_EQ(f->stringFromNumber(12L), "١٢");
    f->setLocale(Locale("hi_IN@numbers=deva"));
    EXPECT_EQ(f->stringFromNumber(7L), "७");
    f->setLocale(std::nullopt);
    Locale::setCurrent(Locale("fa_IR"));
    EXPECT_EQ(f->stringFromNumber(5L), "۵");
    f->setLocale(Locale("en_US"));
    f->setNumberStyle(NumberFormatterDecimalStyle);
    EXPECT_EQ(f->stringFromNumber(1234.5), "1,234.5");
}
