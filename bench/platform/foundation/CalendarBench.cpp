#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/NumberFormatter.h"

#include <benchmark/benchmark.h>

using namespace fnd;

namespace {

CalendarRef benchCalendar() {
    CalendarRef cal = Calendar::make();
    cal->setLocale(Locale("en_US"));
    cal->setTimeZone(TimeZone::named("America/New_York"));
    return cal;
}

const Date kDate = Date::fromTimeIntervalSince1970(1797348600); // 2026-12-15 10:30 New York

} // namespace

static void BM_CalendarComponentsYearMonthDay(benchmark::State& state) {
    auto cal = benchCalendar();
    double t = kDate.timeIntervalSince1970();
    for (auto _ : state) {
        t += 86400; // a new instant every time, as a grid of cells would ask
        benchmark::DoNotOptimize(cal->components(28, Date::fromTimeIntervalSince1970(t)));
    }
}
BENCHMARK(BM_CalendarComponentsYearMonthDay);

static void BM_CalendarDateFromComponents(benchmark::State& state) {
    auto cal = benchCalendar();
    DateComponents c;
    c.year = 2026;
    c.month = 12;
    long day = 0;
    for (auto _ : state) {
        c.day = ++day % 400;
        benchmark::DoNotOptimize(cal->dateFromComponents(c));
    }
}
BENCHMARK(BM_CalendarDateFromComponents);

// The 42 days of a month grid: each cell's date from components, then its year, month and
// day back, as the month view does when it attaches its cells.
static void BM_CalendarMonthGrid42(benchmark::State& state) {
    auto cal = benchCalendar();
    for (auto _ : state) {
        DateComponents first = cal->components(28, kDate);
        first.day = 1;
        const Date firstDay = cal->dateFromComponents(first).value();
        const long lead = (cal->component(CalendarUnitWeekday, firstDay) - cal->firstWeekday() + 7) % 7;
        for (long i = 0; i < 42; ++i) {
            DateComponents cell = first;
            cell.day = 1 - lead + i;
            const Date date = cal->dateFromComponents(cell).value();
            benchmark::DoNotOptimize(cal->components(28 | CalendarUnitWeekday, date));
        }
    }
}
BENCHMARK(BM_CalendarMonthGrid42)->Unit(benchmark::kMicrosecond);

// A new formatter per label, as cells do when they attach.
static void BM_NewDateFormatterMonthYear(benchmark::State& state) {
    for (auto _ : state) {
        auto f = DateFormatter::make();
        f->setDateFormat("MMMM yyyy");
        f->setLocale(Locale("en_US"));
        benchmark::DoNotOptimize(f->stringFromDate(kDate));
    }
}
BENCHMARK(BM_NewDateFormatterMonthYear)->Unit(benchmark::kMicrosecond);

static void BM_NewNumberFormatterDay(benchmark::State& state) {
    long day = 0;
    for (auto _ : state) {
        auto f = NumberFormatter::make();
        f->setLocale(Locale("en_US"));
        benchmark::DoNotOptimize(f->stringFromNumber(++day % 31));
    }
}
BENCHMARK(BM_NewNumberFormatterDay)->Unit(benchmark::kMicrosecond);
