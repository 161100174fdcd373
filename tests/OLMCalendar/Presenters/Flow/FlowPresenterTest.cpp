// The flow view: sections and offsets, the days' places, taps, paging to month starts within
// the bounds, the reports of a drag, and navigation.

#include "OLMCalendar/Presenters/Flow/XQCalendarFlowCells.h"
#include "OLMCalendar/Presenters/Flow/XQCalendarFlowPresenter.h"
#include "tests/OLMCalendar/Presenters/HostedPresenterTest.h"

#include <cmath>
#include <tuple>

namespace cal::test {
namespace {

class FlowTest : public HostedPresenterTest {
protected:
    XQCalendarFlowPresenter& flow() { return show<XQCalendarFlowPresenter>(XQCalendarViewModeFlow); }

    // The day cell of an item of a section, as the data source makes it.
    std::shared_ptr<XQCalendarFlowDayCell> dayItem(XQCalendarFlowPresenter& presenter, long section, long item) {
        return std::dynamic_pointer_cast<XQCalendarFlowDayCell>(presenter.collectionViewCellForItemAtIndexPath(
            *presenter.collectionView(), fnd::IndexPath::forItem(item, section)));
    }
    // Where a flick from `offset` at velocity `v` (points per ms) comes to rest.
    double flick(XQCalendarFlowPresenter& presenter, double offset, double v) {
        auto& collection = *presenter.collectionView();
        collection.setContentOffset({0, offset});
        gfx::Point target{0, offset};
        presenter.scrollViewWillEndDraggingWithVelocityTargetContentOffset(collection, {0, v}, &target);
        return target.y;
    }
};

TEST_F(FlowTest, MonthsFromJanuaryOfMinDatesYearOneSectionEach) {
    auto& presenter = flow();
    EXPECT_EQ(presenter.collectionView()->numberOfSections(), 36);
    EXPECT_EQ(presenter.collectionView()->numberOfItemsInSection(0), 49);
    // 22 + 7 rows of floor(568 / 9) = 63, overlapping by half a point.
    EXPECT_EQ(presenter.sectionHeight(), 460);
    EXPECT_EQ(presenter.collectionView()->contentOffset().y, 23 * 460);
    EXPECT_EQ(text(presenter.dateFromPoint({0, 23 * 460 + 459})), "2026-12-01");
    const auto attributes = presenter.collectionView()->layoutAttributesForItemAtIndexPath(fnd::IndexPath::forItem(8, 1));
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->frame().size, (gfx::Size{45, 63}));
    EXPECT_NEAR(attributes->frame().origin.y, 460 + 22 + 62.5, 1e-9);
    // Only the cells on screen exist.
    EXPECT_LE(presenter.collectionView()->visibleCells().size(), 2u * 49);
}

TEST_F(FlowTest, TheFirstRowStartsOnTheFirstWeekday) {
    // June 2026 begins on a Monday, March 2026 on a Sunday.
    for (const auto& [firstWeekday, section, lead] :
         {std::tuple{1L, 17L, 1L}, std::tuple{2L, 17L, 0L}, std::tuple{3L, 17L, 6L}, std::tuple{2L, 14L, 6L}}) {
        auto cal = fnd::Calendar::make();
        cal->setFirstWeekday(firstWeekday);
        calendar->setCalendar(cal);
        auto& presenter = flow();
        const auto first = dayItem(presenter, section, 7 + lead);
        EXPECT_FALSE(first->isHidden());
        EXPECT_EQ(calendar->calendar()->component(fnd::CalendarUnitDay, *first->view()->date()), 1);
        if (lead > 0) {
            EXPECT_TRUE(dayItem(presenter, section, 6 + lead)->isHidden());
        }
        // Reused for a day of the month, a hidden cell shows again.
        EXPECT_FALSE(dayItem(presenter, section, 20)->isHidden());
    }
}

TEST_F(FlowTest, TapsSelectShownDaysWithinTheBoundsOnly) {
    calendar->setMinDate(day(2025, 1, 10));
    calendar->setDisplayedDate(day(2025, 1, 20), false);
    flow();
    // January 2025 starts on a Wednesday. The header is 22 high and the weekday names 63, so
    // week rows (columns of 45 points) start at y = 84.5 + 62.5 n.
    driver->tap({3 * 45 + 20, 84.5 + 2 * 62.5 + 30}); // the 15th
    EXPECT_EQ(text(calendar->selectedDate()), "2025-01-15");
    driver->tap({20, 84.5 + 30});         // 29 December, hidden
    driver->tap({4 * 45 + 20, 84.5 + 30}); // the 2nd, before minDate
    EXPECT_EQ(text(calendar->selectedDate()), "2025-01-15");
    EXPECT_EQ(entries("didTapCell").size(), 2u);
    driver->tap({20, 40}); // a weekday name
    EXPECT_EQ(text(calendar->selectedDate()), "2025-01-15");
}

TEST_F(FlowTest, FlicksComeToRestAtMonthStartsWithinTheSections) {
    auto& presenter = flow();
    const double march = 14 * 460, h = 460;
    EXPECT_EQ(flick(presenter, march + 230, 0.5), march + 2 * h);
    EXPECT_EQ(text(calendar->displayedDate()), "2026-05-01");
    EXPECT_EQ(flick(presenter, march + 230, 1.5), march + 2 * h);
    EXPECT_EQ(flick(presenter, march + 230, 3.2), march + 4 * h);
    EXPECT_EQ(flick(presenter, march + 230, -0.5), march);
    EXPECT_EQ(flick(presenter, march + 230, -1.5), march - h);
    EXPECT_EQ(text(calendar->displayedDate()), "2026-02-01");
    // Past either end: the first and the last section.
    EXPECT_EQ(flick(presenter, 100, -3.2), 0);
    EXPECT_EQ(text(calendar->displayedDate()), "2025-01-01");
    EXPECT_EQ(flick(presenter, 35 * h - 10, 3.2), 35 * h);
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-01");
    // Without velocity the view stays and the month at the top is displayed.
    EXPECT_EQ(flick(presenter, march + 230, 0), march + 230);
    EXPECT_EQ(text(calendar->displayedDate()), "2026-03-01");
}

TEST_F(FlowTest, EveryDragThatComesToRestReportsOnce) {
    auto& presenter = flow();
    driver->panAndRest({160, 400}, {160, 200}, 0.3);
    const double released = presenter.collectionView()->contentOffset().y;
    driver->runUntilIdle();
    EXPECT_GT(released, 23 * 460 + 100);
    EXPECT_EQ(presenter.collectionView()->contentOffset().y, released);
    EXPECT_EQ(entries("didNavigate"), (Log{"didNavigate 2026-12-01"}));

    driver->panAtSpeed({160, 400}, {160, 100}, 1500);
    driver->runUntilIdle();
    const double rest = presenter.collectionView()->contentOffset().y;
    EXPECT_EQ(std::fmod(rest, 460), 0);
    EXPECT_EQ(entries("didNavigate"), (Log{"didNavigate " + text(presenter.dateFromPoint({0, rest}))}));
}

TEST_F(FlowTest, AScrollIsNotUndoneByALayoutPass) {
    auto& presenter = flow();
    const double start = presenter.collectionView()->contentOffset().y;
    driver->touchDown(1, {160, 400});
    for (int i = 1; i <= 5; ++i) {
        driver->step();
        driver->touchMove(1, {160, 400.0 - 30 * i});
    }
    driver->step();
    EXPECT_GT(presenter.collectionView()->contentOffset().y, start + 100);
    driver->touchUp(1, {160, 250});
    driver->runUntilIdle();
}

TEST_F(FlowTest, NavigationStepsAMonthAndStaysWithinTheBounds) {
    calendar->setMaxDate(day(2027, 12, 15));
    auto& presenter = flow();
    calendar->setDisplayedDate(day(2027, 11, 15, 10, 30), false);
    // A month on passes maxDate by its time of day: maxDate's own day is reached.
    EXPECT_TRUE(presenter.navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-15");
    EXPECT_FALSE(presenter.navigateForward(false));
    driver->runUntilIdle();
    EXPECT_EQ(presenter.collectionView()->contentOffset().y, presenter.offsetForDate(day(2027, 12, 1)));
    // A date before minDate (as "Today" may send) lands on minDate.
    takeLog();
    presenter.navigateToDate(day(2020, 5, 5), false);
    EXPECT_EQ(text(calendar->displayedDate()), "2025-01-01");
    EXPECT_EQ(presenter.collectionView()->contentOffset().y, 0);
    EXPECT_EQ(entries("didNavigate"), (Log{"didNavigate 2025-01-01"}));
}

TEST_F(FlowTest, HeadersNameTheCalendarYear) {
    calendar->setLocale(fnd::Locale("de_DE"));
    auto& presenter = flow();
    auto header = std::dynamic_pointer_cast<XQCalendarFlowMonthTitleView>(
        presenter.collectionViewViewForSupplementaryElementOfKindAtIndexPath(
            *presenter.collectionView(), ui::CollectionElementKindSectionHeader, fnd::IndexPath::forItem(0, 24)));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->view()->label()->text(), "Januar 2027");
}

TEST_F(FlowTest, NoBoundsGiveNoSections) {
    auto& presenter = flow();
    calendar->setMinDate(std::nullopt);
    driver->runUntilIdle();
    EXPECT_EQ(presenter.collectionView()->numberOfSections(), 0);
    calendar->setMinDate(day(2026, 1, 1));
    calendar->setMaxDate(day(2025, 6, 1));
    presenter.setNeedsLayout();
    driver->runUntilIdle();
    EXPECT_EQ(presenter.collectionView()->numberOfSections(), 0);
    EXPECT_FALSE(presenter.navigateForward(true));
}

} // namespace
} // namespace cal::test
