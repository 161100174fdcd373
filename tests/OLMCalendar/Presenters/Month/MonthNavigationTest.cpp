#include "OLMCalendar/Presenters/Month/Cells/XQCalendarMonthTitleCell.h"
#include "platform/ui/Button.h"
#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

namespace cal::test {
namespace {

using MonthNavigationTest = MonthPresenterTest;

TEST_F(MonthNavigationTest, aSwipeScrollsToTheNextMonthAndOneTurnedBackReturns) {
    driver->pan({300, 400}, {60, 400}, 0.6, 12);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
    EXPECT_EQ(month().titleCell()->label()->text(), "January 2027");
    EXPECT_FALSE(month().isTransitionRunning());
    // A swipe that turns back before it is lifted is cancelled.
    driver->pan(std::vector<gfx::Point>{{300, 400}, {200, 400}, {320, 400}}, 2.4, 24);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
    EXPECT_EQ(month().titleCell()->label()->text(), "January 2027");
}

TEST_F(MonthNavigationTest, aStickyHeaderStaysOutOfTheTransition) {
    month().setHeaderIsSticky(true);
    // The weekday names (the same in both months) stay where they are.
    std::vector<gfx::RGBA> names;
    for (double x = 10; x < 390; x += 7) names.push_back(driver->pixel({x, 40}));
    driver->touchDown(1, {300, 400});
    for (double x = 290; x >= 200; x -= 10) {
        driver->step();
        driver->touchMove(1, {x, 400});
    }
    driver->step();
    ASSERT_TRUE(month().isTransitionRunning());
    EXPECT_EQ(month().currentTransition()->frame().origin.y, 50);
    std::vector<gfx::RGBA> during;
    for (double x = 10; x < 390; x += 7) during.push_back(driver->pixel({x, 40}));
    EXPECT_EQ(during, names);
    driver->touchUp(1, {200, 400});
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
}

TEST_F(MonthNavigationTest, theTitleArrowsNavigate) {
    auto title = std::dynamic_pointer_cast<XQCalendarMonthTitleCell>(month().titleCell());
    ASSERT_TRUE(title);
    title->setLayoutMode(XQCalendarMonthTitleCellLayoutModeMonthButtons);
    drain();
    const gfx::Rect next = title->nextMonthButton()->convertRectToView(title->nextMonthButton()->bounds(), nullptr);
    driver->tap({next.midX(), next.midY()});
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
    EXPECT_FALSE(calendar->selectedDate()); // the presenter's tap selected nothing
}

TEST_F(MonthNavigationTest, aPinchGoesToMonthNamesAndASpreadComesBack) {
    driver->pinch({195, 420}, 1, 0.5, 0.3);
    drain();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonthNames);
    EXPECT_FALSE(calendar->transition());
    driver->pinch({195, 420}, 1, 1.8, 0.3);
    drain();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_EQ(calendar->presenter().get(), &month());
}

} // namespace
} // namespace cal::test
