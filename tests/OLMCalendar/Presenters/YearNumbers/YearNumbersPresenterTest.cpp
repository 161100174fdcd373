// The year-numbers grid: layout, states, taps into the month names, paging at the bounds, and
// the pinch chain between the month view and the two zoomed-out grids.

#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumbersPresenter.h"
#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"
#include "OLMCore/XQFill.h"
#include "platform/graphics/SystemColors.h"
#include "tests/OLMCalendar/Presenters/HostedPresenterTest.h"

namespace cal::test {
namespace {

class YearNumbersTest : public HostedPresenterTest {
protected:
    XQCalendarYearNumbersPresenter& years() { return show<XQCalendarYearNumbersPresenter>(XQCalendarViewModeYearNumbers); }
};

TEST_F(YearNumbersTest, APageOfSixteenYearsFromTheDisplayedOne) {
    calendar->setSelectedDate(day(2026, 3, 10));
    auto& presenter = years();
    const auto& cells = presenter.cells();
    ASSERT_EQ(cells.size(), 16u);
    EXPECT_EQ(cells[0]->label()->text(), "2026");
    EXPECT_EQ(cells[15]->label()->text(), "2041");
    // Columns step by the cell width less a point; the last one reaches the right edge.
    EXPECT_NEAR(cells[1]->frame().origin.x, 79, 1e-9);
    EXPECT_NEAR(cells[3]->frame().origin.x, 237, 1e-9);
    EXPECT_NEAR(cells[3]->frame().size.width, 83, 1e-9);
    EXPECT_NEAR(cells[4]->frame().origin.y, 141, 1e-9);
    EXPECT_EQ(cells[0]->state(), XQCalendarMonthYearCellStateSelected);
    EXPECT_EQ(cells[1]->state(), 0);
    EXPECT_EQ(cells[2]->state(), XQCalendarMonthYearCellStateOutOfRange);
}

TEST_F(YearNumbersTest, TheIPadThemeColoursItsOwnSelectedAndOutOfRangeYears) {
    calendar->setTheme(XQCalendarIPadTheme::make());
    calendar->setSelectedDate(day(2026, 3, 10));
    const auto& cells = years().cells();
    EXPECT_EQ(cells[0]->label()->textColor(), gfx::colors::white());
    const auto fill = std::dynamic_pointer_cast<XQSolidFill>(cells[0]->style().shapeFill());
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill->color(), gfx::Color::rgb8(54, 54, 54));
    EXPECT_EQ(cells[1]->label()->textColor(), gfx::Color::rgb8(3, 3, 3));
    EXPECT_EQ(cells[2]->label()->textColor(), gfx::colors::gray());
}

TEST_F(YearNumbersTest, ATapOpensTheYearUnderItAlsoOnTheRightEdge) {
    calendar->setMaxDate(day(2045, 12, 31));
    years();
    driver->tap({318, 150}); // the second row's last year
    driver->runUntilIdle();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonthNames);
    EXPECT_EQ(text(calendar->displayedDate()), "2033-01-01");
    EXPECT_EQ(entries("did"), (Log{"didChangeViewMode 4->2", "didNavigate 2033-01-01"}));
}

TEST_F(YearNumbersTest, PagingLandsOnTheBoundsAndStopsThere) {
    auto& presenter = years();
    // A page on passes maxDate: the step lands on maxDate's day.
    EXPECT_TRUE(presenter.navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-31");
    EXPECT_EQ(presenter.cells()[0]->label()->text(), "2027");
    EXPECT_FALSE(presenter.navigateForward(false));
    EXPECT_TRUE(presenter.navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2025-01-01");
    EXPECT_FALSE(presenter.navigateBack(false));

    calendar->setMaxDate(day(2060, 1, 1));
    EXPECT_TRUE(presenter.navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2041-01-01");
    EXPECT_TRUE(presenter.isDateBefore(day(2040, 6, 1)));
}

TEST_F(YearNumbersTest, AbsurdGridsAreCapped) {
    auto& presenter = years();
    presenter.setColumns(0);
    presenter.setRows(-3);
    calendar->update(false);
    driver->runUntilIdle();
    ASSERT_EQ(presenter.cells().size(), 1u);
    EXPECT_EQ(presenter.cells()[0]->frame(), (gfx::Rect{0, 0, 320, 568}));
    EXPECT_EQ(text(presenter.dateFromPoint({319, 567})), "2026-01-01");
    presenter.setColumns(100000);
    presenter.setRows(100000);
    calendar->update(false);
    EXPECT_EQ(static_cast<long>(presenter.cells().size()), MonthYearGrid::maxCells);
}

TEST_F(YearNumbersTest, PinchingWalksTheZoomChainAndBack) {
    const gfx::Point centre{160, 300};
    for (double scale : {0.5, 0.5, 1.8, 1.8}) {
        driver->pinch(centre, 1.0, scale, 0.3);
        driver->runUntilIdle();
    }
    EXPECT_EQ(entries("didChangeViewMode"), (Log{"didChangeViewMode 1->2", "didChangeViewMode 2->4",
                                                  "didChangeViewMode 4->2", "didChangeViewMode 2->1"}));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15 10:30");
    EXPECT_EQ(calendar->transition(), nullptr);
    ASSERT_EQ(calendar->subviews().size(), 1u);
    EXPECT_EQ(calendar->subviews().front(), calendar->presenter());
}

TEST_F(YearNumbersTest, ARangeDraggedFromAYearBegunBeforeMinDateStartsAtMinDate) {
    // Persian 1403 holds minDate (1 January 2025) but begins on 20 March 2024.
    calendar->setCalendar(fnd::Calendar::make("persian"));
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    auto& presenter = years();
    showDate(day(2025, 1, 1));
    const auto& cells = presenter.cells();
    ASSERT_GE(cells.size(), 2u);
    driver->pan({cells[0]->frame().midX(), cells[0]->frame().midY()},
                {cells[1]->frame().midX(), cells[1]->frame().midY()}, 0.3);
    driver->runUntilIdle();
    const auto range = calendar->selectedDatesRange();
    ASSERT_TRUE(range && range->startDate() && range->endDate());
    EXPECT_EQ(text(range->startDate()), "2025-01-01");
    EXPECT_EQ(text(range->endDate()), "2025-03-21");
}

} // namespace
} // namespace cal::test
