#include "OLMCalendar/Presenters/Month/Cells/XQCalendarWeekNumberCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

namespace cal::test {
namespace {

TEST_F(MonthPresenterTest, aNewCalendarShowsTheMonthView) {
    ASSERT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_EQ(month().dayCells().size(), 42u);
    EXPECT_EQ(month().contentView()->subviews().size(), 48u);
    EXPECT_EQ(month().titleCell()->label()->text(), "December 2026");
    EXPECT_EQ(text(month().dayCells().front()->date()), "2026-11-29");
    EXPECT_EQ(text(month().dayCells().back()->date()), "2027-01-09");
}

// The rows that hold a day of the month, never week-of-year arithmetic.
TEST_F(MonthPresenterTest, rowsAreTheGridRowsHoldingADayOfTheMonth) {
    month().setEqualWeekNumber(false);
    struct Case {
        long year, month, firstWeekday, minimumDays, rows;
    } cases[] = {{2015, 2, 1, 1, 4}, {2015, 2, 2, 1, 5}, {2026, 2, 1, 1, 4}, {2026, 2, 2, 1, 5},
                 {2021, 2, 2, 1, 4}, {2024, 12, 1, 1, 5}, {2021, 1, 2, 4, 5}, {2026, 8, 1, 1, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(fnd::stringWithFormat("%ld-%ld first weekday %ld", c.year, c.month, c.firstWeekday));
        auto cal = calendarWithFirstWeekday(c.firstWeekday);
        cal->setMinimumDaysInFirstWeek(c.minimumDays);
        calendar->setCalendar(cal);
        show(day(c.year, c.month, 10));
        EXPECT_EQ(month().weeksInMonth(), c.rows);
        EXPECT_EQ(month().dayCells().size(), static_cast<std::size_t>(c.rows * 7));
    }
    month().setEqualWeekNumber(true);
    show(day(2015, 2, 10));
    EXPECT_EQ(month().rowCount(), 6);
}

TEST_F(MonthPresenterTest, aNewMonthReBindsTheCellsAndANewRowCountRebuildsThem) {
    month().setEqualWeekNumber(false);
    show(day(2026, 3, 10)); // 5 rows
    const auto first = month().dayCells().front();
    show(day(2026, 4, 10)); // 5 rows
    EXPECT_EQ(month().dayCells().front(), first);
    EXPECT_EQ(text(first->date()), "2026-03-29");
    show(day(2026, 2, 10)); // 4 rows
    EXPECT_NE(month().dayCells().front(), first);
    EXPECT_EQ(month().dayCells().size(), 28u);
    // An unchanged update only re-binds: no layout is asked for.
    month().update(false);
    EXPECT_FALSE(month().layer()->needsLayout());
}

TEST_F(MonthPresenterTest, layoutNumbersOfAPhoneScreen) {
    auto& m = month();
    EXPECT_EQ(m.headerView()->frame(), (gfx::Rect{0, 0, 390, 50}));
    EXPECT_EQ(m.contentView()->frame(), (gfx::Rect{0, 50, 390, 794}));
    EXPECT_DOUBLE_EQ(m.rowHeight(), 132.75);
    const gfx::Rect second = m.dayCells()[8]->frame();
    EXPECT_NEAR(second.origin.x, 56.142857 - 0.5, 1e-6);
    EXPECT_DOUBLE_EQ(second.origin.y, 132.25);
    m.setWeekNumbersHidden(false);
    m.setNeedsLayout();
    m.layoutIfNeeded();
    EXPECT_EQ(m.weekNumberCells()[1]->frame(), (gfx::Rect{0, 132.25, 15, 132.75}));
    EXPECT_DOUBLE_EQ(m.dayCells()[7]->frame().origin.x, 15); // no spacing after the week numbers
    EXPECT_DOUBLE_EQ(m.dayCells()[7]->frame().size.width, 54);
    m.setTitleHidden(true);
    m.setHeaderIsSticky(true);
    m.update(false);
    m.layoutIfNeeded();
    EXPECT_EQ(m.headerView()->frame().size.height, 50); // keeps its height
    EXPECT_EQ(m.contentView()->frame().origin.y, 20);
    EXPECT_EQ(m.getTransitionFrame(), (gfx::Rect{0, 20, 390, 824}));
}

// Every visible column answers its own date, whatever the first weekday; points on the week
// number column or outside the grid answer nil.
TEST_F(MonthPresenterTest, hitTestsWithWeekendsHiddenFollowTheLayout) {
    auto& m = month();
    m.setWeekendsHidden(true);
    m.setWeekNumbersHidden(false);
    for (long firstWeekday : {1L, 2L, 3L, 7L}) {
        SCOPED_TRACE(firstWeekday);
        calendar->setCalendar(calendarWithFirstWeekday(firstWeekday));
        show(day(2026, 12, 15));
        long hits = 0;
        for (const auto& cell : m.dayCells()) {
            if (cell->frame().isEmpty()) continue;
            EXPECT_EQ(text(m.dateFromPoint(centre(*cell))), text(cell->date()));
            EXPECT_EQ(m.cellForDate(*cell->date()), cell);
            ++hits;
        }
        EXPECT_EQ(hits, 30);
    }
    EXPECT_FALSE(m.dateFromPoint({5, 300}));
    EXPECT_FALSE(m.dateFromPoint({200, 10}));
    EXPECT_TRUE(m.dateFromPoint({389.9, 843.9})); // the last points of the last cell
    EXPECT_FALSE(m.cellForDate(day(2026, 10, 1)));
}

TEST_F(MonthPresenterTest, titlesComeFromTheCalendarTheyShow) {
    auto hebrew = fnd::Calendar::make("hebrew");
    calendar->setCalendar(hebrew);
    calendar->setLocale(fnd::Locale("en_US"));
    show(day(2026, 12, 15));
    EXPECT_EQ(month().titleCell()->label()->text(), "Tevet 5787");
}

TEST_F(MonthPresenterTest, monthStepsReachTheMonthsOfTheBoundsButNotBeyond) {
    calendar->setMinDate(day(2026, 11, 20));
    calendar->setMaxDate(day(2027, 1, 10));
    show(day(2026, 12, 5, 9));
    EXPECT_EQ(text(month().prevDate()), "2026-11-20"); // clamped
    EXPECT_TRUE(month().navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-11-20");
    EXPECT_FALSE(month().navigateBack(false)); // stays in November
    EXPECT_TRUE(month().navigateForward(false));
    EXPECT_TRUE(month().navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-10"); // landed on the bound
    EXPECT_FALSE(month().navigateForward(false));
}

// Range marks come from days, in subview order; cells of hidden weekend columns are marked
// too (they show until the next layout).
TEST_F(MonthPresenterTest, theSelectionWalkMarksARangeAndReportsItsDays) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    takeLog();
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 11, 30), day(2026, 12, 2)), day(2026, 12, 2));
    EXPECT_EQ(takeLog(), (Log{"didSelect 2026-11-30", "didSelect 2026-12-01", "didSelect 2026-12-02"}));
    const auto& cells = month().dayCells();
    EXPECT_EQ(cells[1]->state() & 240, 32);
    EXPECT_EQ(cells[2]->state() & 240, 128);
    EXPECT_EQ(cells[3]->state() & 240, 80);
    month().setWeekendsHidden(true);
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 4), day(2026, 12, 7)), day(2026, 12, 7));
    EXPECT_EQ(takeLog(), (Log{"didDeselect 2026-11-30", "didDeselect 2026-12-01", "didDeselect 2026-12-02",
                              "didSelect 2026-12-04", "didSelect 2026-12-05", "didSelect 2026-12-06",
                              "didSelect 2026-12-07"}));
    EXPECT_EQ(cells[6]->state() & 240, 128); // Saturday 5 December
    EXPECT_EQ(cells[7]->state() & 240, 128);
}

// A delegate told of a selected day may move the month: cells it gives other dates keep the
// states of their new dates, not the one worked out for the day that was selected.
TEST_F(MonthPresenterTest, aDelegateThatMovesTheMonthOnASelectionLeavesNoStaleMarks) {
    struct Mover : ListDelegate {
        using ListDelegate::ListDelegate;
        void calendarDidSelectDate(XQCalendar& calendar, const fnd::Date& date) override {
            ListDelegate::calendarDidSelectDate(calendar, date);
            if (!moved) calendar.navigateForward(false);
            moved = true;
        }
        bool moved = false;
    };
    show(day(2026, 11, 15));
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    const auto mover = std::make_shared<Mover>(&log);
    calendar->setDelegate(mover);
    // 5 December is a trailing day of November's grid.
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 5), day(2026, 12, 5)), day(2026, 12, 5));
    ASSERT_EQ(text(calendar->displayedDate()).substr(0, 7), "2026-12");
    for (const auto& cell : month().dayCells()) {
        if (!cell->date()) continue;
        EXPECT_EQ(cell->state() & 240, XQCalendarDayCell::selectionStateForDate(*calendar, *cell->date()) & 240)
            << text(cell->date());
    }
}

TEST_F(MonthPresenterTest, delegateCellsOfTheWrongKindOrGivenTwiceAreReplaced) {
    struct Supplier : ListDelegate {
        using ListDelegate::ListDelegate;
        std::shared_ptr<XQCalendarDayCell> shared = XQCalendarDayCell::make();
        std::shared_ptr<XQCalendarCell> calendarViewForCellOfKind(XQCalendar&, XQCalendarCellType kind) override {
            if (kind == XQCalendarCellTypeDay) return shared;
            if (kind == XQCalendarCellTypeWeekNumber) return XQCalendarDayCell::make();
            return nullptr;
        }
    };
    auto supplier = std::make_shared<Supplier>(&log);
    calendar->setDelegate(supplier);
    const auto& m = month();
    EXPECT_EQ(m.dayCells().front(), supplier->shared);
    EXPECT_NE(m.dayCells()[1], supplier->shared);
    EXPECT_TRUE(dynamic_cast<XQCalendarWeekNumberCell*>(m.contentView()->subviews().front().get()));
    EXPECT_EQ(m.contentView()->subviews().size(), 48u);
}

TEST_F(MonthPresenterTest, aTapSelectsTheDayUnderTheFinger) {
    const auto cell = month().dayCells()[17];
    driver->tap(centre(*cell));
    driver->runUntilIdle();
    EXPECT_EQ(text(calendar->selectedDate()), text(cell->date()));
    EXPECT_TRUE(cell->state() & XQCalendarDayCellStateSelected);
}

} // namespace
} // namespace cal::test

namespace cal::test {
namespace {

// Drawn contents resolve their dynamic colours when drawn: a new appearance redraws them.
TEST_F(MonthPresenterTest, anAppearanceSwitchRedrawsTheShownCalendar) {
    const auto cell = month().dayCells()[17];
    const gfx::Point point = cell->convertPointToView({cell->bounds().midX(), cell->bounds().midY()}, nullptr);
    calendar->setSelectedDate(cell->date());
    driver->runUntilIdle();
    const gfx::RGBA light = driver->pixel(point);
    gfx::setCurrentAppearance(gfx::Appearance::dark);
    driver->runUntilIdle();
    const gfx::RGBA dark = driver->pixel(point);
    gfx::setCurrentAppearance(gfx::Appearance::light);
    driver->runUntilIdle();
    EXPECT_LT(light.r, 0.2); // the selection's disc: label colour
    EXPECT_GT(dark.r, 0.8);
}

} // namespace
} // namespace cal::test
