// The month-names grid: layout, states and their colours, taps, navigation at the bounds, and
// calendars whose years do not have twelve months.

#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNamesPresenter.h"
#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"
#include "tests/OLMCalendar/Presenters/HostedPresenterTest.h"

namespace cal::test {
namespace {

class MonthNamesTest : public HostedPresenterTest {
protected:
    XQCalendarMonthNamesPresenter& names() { return show<XQCalendarMonthNamesPresenter>(XQCalendarViewModeMonthNames); }

    static std::vector<std::string> shownNames(const XQCalendarMonthNamesPresenter& presenter) {
        std::vector<std::string> shown;
        for (const auto& cell : presenter.cells())
            if (!cell->isHidden()) shown.push_back(cell->label()->text());
        return shown;
    }
};

TEST_F(MonthNamesTest, TwelveMonthsUnderTheYearInFourRowsOfThree) {
    auto& presenter = names();
    EXPECT_EQ(presenter.titleCell()->frame(), (gfx::Rect{0, 0, 320, 40}));
    EXPECT_EQ(presenter.titleCell()->label()->text(), "2026");
    EXPECT_EQ(presenter.content()->frame(), (gfx::Rect{0, 40, 320, 528}));
    EXPECT_EQ(shownNames(presenter), (std::vector<std::string>{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug",
                                                                "Sep", "Oct", "Nov", "Dec"}));
    // Columns and rows step by the whole part of the cell size less half a point.
    const auto& cells = presenter.cells();
    ASSERT_EQ(cells.size(), 12u);
    EXPECT_NEAR(cells[1]->frame().origin.x, 106, 1e-9);
    EXPECT_NEAR(cells[2]->frame().origin.x, 212, 1e-9);
    EXPECT_NEAR(cells[2]->frame().size.width, 320.0 / 3, 1e-9);
    EXPECT_NEAR(cells[3]->frame().origin.y, 131, 1e-9);
    EXPECT_NEAR(cells[11]->frame().origin.y, 393, 1e-9);
    EXPECT_EQ(text(cells[4]->date()), "2026-05-01");
}

TEST_F(MonthNamesTest, StatesFollowTheSelectionAndTheBoundsAndTheThemeColoursThem) {
    calendar->setSelectedDate(day(2026, 3, 10));
    calendar->setMinDate(day(2026, 5, 20));
    auto& presenter = names();
    namespace g = XQCalendarThemeGlobals;
    const auto& cells = presenter.cells();
    EXPECT_EQ(cells[2]->state(), XQCalendarMonthYearCellStateSelected | XQCalendarMonthYearCellStateOutOfRange);
    EXPECT_EQ(cells[3]->state(), XQCalendarMonthYearCellStateOutOfRange);
    EXPECT_EQ(cells[3]->label()->textColor(), g::grayTextColor);
    // minDate's own month is in range.
    EXPECT_EQ(cells[4]->state(), 0);
    EXPECT_EQ(cells[4]->label()->textColor(), g::normalTextColor);

    calendar->setMinDate(day(2025, 1, 1));
    EXPECT_EQ(cells[2]->state(), XQCalendarMonthYearCellStateSelected);
    EXPECT_EQ(cells[2]->label()->textColor(), g::invertedNormalTextColor);
    EXPECT_EQ(cells[2]->style().shapeFill(), g::fill);
    EXPECT_EQ(cells[3]->state(), 0);
}

TEST_F(MonthNamesTest, ASelectedMonthStandsOnAFilledCircle) {
    calendar->setSelectedDate(day(2026, 6, 15));
    auto& presenter = names();
    const auto below = [&](long index) { // under the name, inside the circle
        const gfx::Rect frame = presenter.cells()[static_cast<std::size_t>(index)]->frame();
        return gfx::Point{frame.midX(), 40 + frame.midY() + 22};
    };
    driver->runUntilIdle();
    EXPECT_EQ(driver->render() ? driver->pixel(below(5)) : gfx::RGBA{}, (gfx::RGBA{0, 0, 0, 1}));
    EXPECT_EQ(driver->pixel(below(4)), (gfx::RGBA{1, 1, 1, 1}));
    calendar->setSelectedDate(day(2026, 5, 15));
    driver->runUntilIdle();
    driver->render();
    EXPECT_EQ(driver->pixel(below(5)), (gfx::RGBA{1, 1, 1, 1}));
    EXPECT_EQ(driver->pixel(below(4)), (gfx::RGBA{0, 0, 0, 1}));
}

TEST_F(MonthNamesTest, ATapOpensTheMonthUnderItAlsoOnTheRightEdge) {
    names();
    // The right edge of the second row: June.
    driver->tap({319.5, 40 + 131 + 60});
    driver->runUntilIdle();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_EQ(text(calendar->displayedDate()), "2026-06-01");
    EXPECT_EQ(calendar->transition(), nullptr);
    EXPECT_EQ(entries("did"), (Log{"didChangeViewMode 2->1", "didNavigate 2026-06-01"}));
}

TEST_F(MonthNamesTest, ATapOutsideTheRangeOrOnAnEmptyPlaceOpensNothing) {
    calendar->setMaxDate(day(2026, 10, 31));
    auto& presenter = names();
    driver->tap({270, 40 + 393 + 60}); // December
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonthNames);
    presenter.setColumns(5);
    calendar->update(false);
    driver->runUntilIdle();
    EXPECT_EQ(presenter.dateFromPoint({300, 40 + 500}), std::nullopt); // the 15th place
    EXPECT_EQ(presenter.dateFromPoint({-1, 100}), std::nullopt);
}

TEST_F(MonthNamesTest, FiveColumnsShowEveryMonthInThreeRows) {
    auto& presenter = names();
    presenter.setColumns(5);
    calendar->update(false);
    driver->runUntilIdle();
    EXPECT_EQ(presenter.createdColumns(), 5);
    ASSERT_EQ(presenter.cells().size(), 15u);
    EXPECT_EQ(shownNames(presenter).size(), 12u);
    EXPECT_EQ(presenter.cells()[11]->label()->text(), "Dec");
    EXPECT_TRUE(presenter.cells()[12]->isHidden());
    EXPECT_NEAR(presenter.cells()[10]->frame().origin.y, 2 * 175, 1e-9);
    EXPECT_EQ(text(presenter.dateFromPoint({10, 40 + 360})), "2026-11-01");
}

TEST_F(MonthNamesTest, NavigationMovesAYearAndStopsAtTheBounds) {
    auto& presenter = names();
    EXPECT_TRUE(presenter.navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-01");
    EXPECT_EQ(presenter.titleCell()->label()->text(), "2027");
    EXPECT_FALSE(presenter.navigateForward(false));
    EXPECT_TRUE(presenter.navigateBack(false));
    EXPECT_TRUE(presenter.navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2025-01-01");
    EXPECT_FALSE(presenter.navigateBack(false));
    // A move back runs its transition backward.
    EXPECT_TRUE(presenter.isDateBefore(day(2024, 12, 31)));
    EXPECT_FALSE(presenter.isDateBefore(day(2025, 1, 2)));
}

TEST_F(MonthNamesTest, AHebrewYearShowsAllOfItsMonths) {
    calendar->setCalendar(fnd::Calendar::make("hebrew"));
    calendar->setMinDate(day(2020, 1, 1));
    calendar->setMaxDate(day(2030, 1, 1));
    calendar->setDisplayedDate(day(2024, 1, 15), false); // Tevet 5784, a leap year
    auto& presenter = names();
    EXPECT_EQ(presenter.titleCell()->label()->text(), "5784");
    const auto leap = shownNames(presenter);
    ASSERT_EQ(leap.size(), 13u);
    EXPECT_EQ(leap[5], "Adar I");
    EXPECT_EQ(leap[6], "Adar II");
    EXPECT_EQ(leap[12], "Elul");
    EXPECT_EQ(presenter.cells().size(), 15u); // five rows of three

    // A tap on Elul opens its first day.
    const gfx::Rect elul = presenter.cells()[12]->frame();
    driver->tap({elul.midX(), 40 + elul.midY()});
    driver->runUntilIdle();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_EQ(text(calendar->displayedDate()), "2024-09-04");

    calendar->setDisplayedDate(day(2024, 12, 1), false); // 5785, a common year
    auto& common = names();
    EXPECT_EQ(shownNames(common).size(), 12u);
    EXPECT_EQ(shownNames(common).back(), "Elul");
    EXPECT_EQ(common.cells().size(), 12u);
}

TEST_F(MonthNamesTest, AYearThatAnEraBeginsShowsItsOwnMonthsAndNavigationVisitsIt) {
    calendar->setCalendar(fnd::Calendar::make("japanese"));
    calendar->setMinDate(day(1985, 1, 1));
    calendar->setMaxDate(day(2025, 1, 1));
    const auto shownDates = [](const XQCalendarMonthNamesPresenter& presenter) {
        std::vector<std::string> shown;
        for (const auto& cell : presenter.cells())
            if (!cell->isHidden()) shown.push_back(text(cell->date()));
        return shown;
    };
    // Heisei 1 began on 8 January 1989, the week after Showa 64's first.
    calendar->setDisplayedDate(day(1989, 2, 11), false);
    auto& presenter = names();
    auto heisei = shownDates(presenter);
    ASSERT_EQ(heisei.size(), 12u);
    EXPECT_EQ(heisei[0], "1989-01-08");
    EXPECT_EQ(heisei[1], "1989-02-01");
    EXPECT_EQ(heisei[11], "1989-12-01");
    EXPECT_TRUE(presenter.navigateBack(false));
    EXPECT_EQ(shownDates(presenter), std::vector<std::string>{"1989-01-01"});
    EXPECT_TRUE(presenter.navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "1989-01-08");
    EXPECT_EQ(shownDates(presenter), heisei);

    // Reiwa 1 began on 1 May 2019: its year has eight months, Heisei 31 the four before.
    calendar->setDisplayedDate(day(2019, 6, 10), false);
    calendar->update(false);
    const auto reiwa = shownDates(presenter);
    ASSERT_EQ(reiwa.size(), 8u);
    EXPECT_EQ(reiwa[0], "2019-05-01");
}

} // namespace
} // namespace cal::test
