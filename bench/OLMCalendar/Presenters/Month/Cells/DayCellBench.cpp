// A month of day cells on a phone screen: attaching 42 cells to a month's dates, styling
// them with the default month groups and drawing them (cells and labels) into their
// backing stores, with events as shapes or as lines of text.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "OLMCore/XQTheme.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/Screen.h"

#include "bench/FrameTiming.h"

#include <benchmark/benchmark.h>

#include <map>

namespace {

// The default theme's month-view groups for day cells.
void addDefaultDayCellGroups(XQTheme& theme) {
    namespace sc = gfx::systemColors;
    const rt::Class& cls = XQCalendarDayCell::staticClass();
    const auto circle = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {});
    const auto clearFill = XQSolidFill::solidFillWithColor(gfx::colors::clear());
    const auto selectedFill = XQSolidFill::solidFillWithColor(sc::label());
    theme.addStyleGroupWithClass(cls, {{"shape", rt::Value::null()},
                                       {"textColor", sc::systemGray2()},
                                       {"textFont", gfx::Font::systemFont(19)}});
    theme.addStyleGroupWithClassState(cls, 4, {{"textColor", sc::label()}});
    theme.addStyleGroupWithClassState(cls, 6, {{"textColor", sc::systemGray()}});
    theme.addStyleGroupWithClassState(cls, 1, {{"textColor", sc::systemBlue()},
                                               {"textFont", gfx::Font::boldSystemFont(19)}});
    for (long range : {128L, 32L, 64L})
        theme.addStyleGroupWithClassState(cls, range,
                                          {{"textColor", sc::label()}, {"shape", circle}, {"shapeFill", clearFill}});
    theme.addStyleGroupWithClassState(
        cls, 16, {{"textColor", sc::systemBackground()}, {"shape", circle}, {"shapeFill", selectedFill}});
    theme.addStyleGroupWithClassState(cls, 17, {{"shapeFill", XQSolidFill::solidFillWithColor(sc::systemBlue())}});
    theme.addStyleGroupWithClassState(cls, 256, {{"textColor", sc::systemGray2()}});
}

// Answers every day from arrays made in advance.
class PreparedSource : public XQCalendarDataSource {
public:
    std::map<long, XQCalendarEvents> byDayOfYear;
    fnd::CalendarRef calendar;
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar&, const fnd::Date& date) override {
        return byDayOfYear[calendar->components(fnd::CalendarUnitMonth | fnd::CalendarUnitDay, date).day.value() +
                           100 * calendar->component(fnd::CalendarUnitMonth, date)];
    }
};

class MonthOfCells {
public:
    explicit MonthOfCells(bool asText) {
        gfx::setScreenScale(3);
        ui::Screen::mainScreen().setSize({390, 844});
        fnd::Clock::setFixedNow(fnd::Date::fromTimeIntervalSince1970(1797348600)); // 2026-12-15
        calendar = XQCalendar::make(gfx::Rect{0, 0, 390, 844});
        auto theme = XQTheme::make();
        addDefaultDayCellGroups(*theme);
        theme->addStyleGroupWithClass(XQCalendarDayCell::staticClass(), {{"displayEventsAsText", asText}});
        calendar->setTheme(theme);
        calendar->setSelectedDate(fnd::Date::now().dateByAddingTimeInterval(2 * 86400));

        source = std::make_shared<PreparedSource>();
        source->calendar = calendar->calendar();
        const gfx::Color colors[] = {gfx::systemColors::systemRed(), gfx::systemColors::systemGreen(),
                                     gfx::systemColors::systemBlue(), gfx::systemColors::systemOrange()};
        for (long month : {11L, 12L, 1L})
            for (long d = 1; d <= 31; ++d) {
                XQCalendarEvents& events = source->byDayOfYear[100 * month + d];
                for (int i = 0; i < (asText ? 4 : 3); ++i) {
                    auto e = XQCalendarEvent::make();
                    const bool allDay = asText && i == 0;
                    e->setTitle(allDay ? "Conference" : "Meeting with the team");
                    e->setStartDate(fnd::Date::now());
                    e->setEndDate(fnd::Date::now().dateByAddingTimeInterval(allDay ? 2 * 86400 : 3600));
                    e->setAllDay(allDay);
                    e->setEventColor(colors[i]);
                    events.push_back(e);
                }
            }
        calendar->setDataSource(source);

        container = ui::View::make({0, 0, 390, 844});
        const double w = 390.0 / 7, h = 132;
        for (int i = 0; i < 42; ++i) {
            auto cell = XQCalendarDayCell::make({(i % 7) * w, 50 + (i / 7) * h, w, h});
            container->addSubview(cell);
            cells.push_back(cell);
        }
        months[0] = *calendar->dateWithOffset(0, 0, fnd::Date::now());
        months[1] = *calendar->dateWithOffset(0, -1, fnd::Date::now());
    }

    // Attaches the cells to the grid of one of two months, then lays out and draws them.
    void showMonth(int which) {
        const fnd::Date& first = months[which];
        for (std::size_t i = 0; i < cells.size(); ++i)
            cells[i]->attachWithCalendar(calendar.get(),
                                         *calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitDay,
                                                                                 static_cast<long>(i), first));
        container->layer()->layoutIfNeeded();
        container->layer()->displayTreeIfNeeded();
    }

    std::shared_ptr<XQCalendar> calendar;
    std::shared_ptr<PreparedSource> source;
    std::shared_ptr<ui::View> container;
    std::vector<std::shared_ptr<XQCalendarDayCell>> cells;
    fnd::Date months[2];
};

void run(benchmark::State& state, bool asText) {
    MonthOfCells month(asText);
    month.showMonth(0);
    int which = 1;
    bench::timeFrames(state, [&] {
        month.showMonth(which);
        which ^= 1;
    });
}

void BM_MonthOfDayCellsShapes(benchmark::State& state) {
    run(state, false);
}
void BM_MonthOfDayCellsText(benchmark::State& state) {
    run(state, true);
}
BENCHMARK(BM_MonthOfDayCellsShapes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthOfDayCellsText)->Unit(benchmark::kMillisecond);

} // namespace
