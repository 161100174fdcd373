#include "CellTestSupport.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarMonthTitleCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarWeekNumberCell.h"

namespace cal::test {
namespace {

using TitleCellsTest = CellTest;

std::vector<std::string> dayNames(XQCalendar& calendar, std::vector<long> offsets) {
    auto cell = XQCalendarDayNameCell::make();
    std::vector<std::string> names;
    for (long offset : offsets) {
        cell->attachWithCalendar(&calendar, offset);
        names.push_back(cell->label()->text());
    }
    return names;
}

TEST_F(TitleCellsTest, DayNamesStartAtTheFirstWeekdayAndWrap) {
    using Names = std::vector<std::string>;
    calendar->calendar()->setFirstWeekday(2);
    EXPECT_EQ(dayNames(*calendar, {0, 1, 2, 3, 4, 5, 6}), (Names{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}));
    calendar->setDaysInWeek(9); // a count past the seven names still picks one of them
    EXPECT_EQ(dayNames(*calendar, {7, 8, -1, -9}), (Names{"Mon", "Tue", "Sun", "Sat"}));
    calendar->calendar()->setFirstWeekday(1);
    calendar->setLocale(fnd::Locale("de_DE"));
    EXPECT_EQ(dayNames(*calendar, {0, 1}), (Names{"So.", "Mo."}));

    // The case comes from the calendar's current presenter; unknown effects change nothing.
    grid().dayEffect = XQCalendarTextEffectUppercase;
    EXPECT_EQ(dayNames(*calendar, {1}), Names{"MO."});
    grid().dayEffect = 7;
    EXPECT_EQ(dayNames(*calendar, {1}), Names{"Mo."});
}

TEST_F(TitleCellsTest, TitlesTakeTheMonthNameCaseAndWeekNumbersShowAsGiven) {
    auto title = XQCalendarTitleCell::make();
    grid().monthEffect = XQCalendarTextEffectLowercase;
    title->attachWithCalendar(calendar.get(), "December 2026");
    EXPECT_EQ(title->label()->text(), "december 2026");
    grid().monthEffect = XQCalendarTextEffectNone;
    title->attachWithCalendar(calendar.get(), "December 2026");
    EXPECT_EQ(title->label()->text(), "December 2026");

    auto week = XQCalendarWeekNumberCell::make({0, 0, 60, 30});
    week->style().setTextAlignment(XQCalendarCellAlignmentHorizontalCenter);
    for (long number : {53L, 0L, -1L}) {
        week->attachWithCalendar(calendar.get(), number);
        EXPECT_EQ(week->label()->text(), std::to_string(number));
    }
    // Each attach fits the label to its new text.
    week->layoutIfNeeded();
    const gfx::Float narrow = week->label()->frame().size.width;
    week->attachWithCalendar(calendar.get(), 12345);
    week->layoutIfNeeded();
    EXPECT_GT(week->label()->frame().size.width, narrow);
}

class MonthTitleCellTest : public CellTest {
protected:
    std::shared_ptr<XQCalendarMonthTitleCell> cell = XQCalendarMonthTitleCell::make({0, 0, 320, 40});

    void layOut(XQCalendarMonthTitleCellLayoutMode mode) {
        cell->setLayoutMode(mode);
        cell->layoutIfNeeded();
    }
    std::vector<bool> hidden() const {
        return {cell->previousMonthButton()->isHidden(), cell->nextMonthButton()->isHidden(),
                cell->previousYearButton()->isHidden(), cell->nextYearButton()->isHidden(),
                cell->yearLabel()->isHidden()};
    }
};

TEST_F(MonthTitleCellTest, ModesShowAndPlaceTheirParts) {
    using Flags = std::vector<bool>;
    EXPECT_EQ(hidden(), (Flags{true, true, true, true, true}));
    layOut(XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons);
    EXPECT_EQ(hidden(), (Flags{false, false, false, false, false}));
    EXPECT_EQ(cell->label()->frame(), (gfx::Rect{0, 0, 160, 40}));
    EXPECT_EQ(cell->yearLabel()->frame(), (gfx::Rect{160, 0, 160, 40}));
    EXPECT_EQ(cell->previousMonthButton()->frame(), (gfx::Rect{0, 0, 44, 40}));
    EXPECT_EQ(cell->nextMonthButton()->frame(), (gfx::Rect{116, 0, 44, 40}));
    EXPECT_EQ(cell->previousYearButton()->frame(), (gfx::Rect{160, 0, 44, 40}));
    EXPECT_EQ(cell->nextYearButton()->frame(), (gfx::Rect{276, 0, 44, 40}));

    layOut(XQCalendarMonthTitleCellLayoutModeMonthButtons);
    EXPECT_EQ(hidden(), (Flags{false, false, true, true, true}));
    EXPECT_EQ(cell->nextMonthButton()->frame(), (gfx::Rect{276, 0, 44, 40}));

    // An application's button keeps its width and is wired to the cell, the old one unwired.
    const auto old = cell->previousMonthButton();
    cell->setPreviousMonthButton(ui::Button::make({0, 0, 30, 10}));
    EXPECT_EQ(old->superview(), nullptr);
    EXPECT_TRUE(old->allTargets().empty());
    EXPECT_EQ(cell->previousMonthButton()->allTargets().size(), 1u);
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->previousMonthButton()->frame(), (gfx::Rect{0, 0, 30, 40}));
    layOut(XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons);
    EXPECT_EQ(cell->previousMonthButton()->frame(), (gfx::Rect{0, 0, 30, 40}));

    // A button set while its part is hidden stays hidden; a mode outside 0...2 acts as 0.
    layOut(XQCalendarMonthTitleCellLayoutModeTitleOnly);
    cell->setNextYearButton(ui::Button::make({0, 0, 44, 40}));
    EXPECT_TRUE(cell->nextYearButton()->isHidden());
    layOut(9);
    EXPECT_EQ(hidden(), (Flags{true, true, true, true, true}));
}

TEST_F(MonthTitleCellTest, ModeTwoShowsMonthAndYearOfTheDisplayedDate) {
    grid().monthEffect = XQCalendarTextEffectUppercase;
    layOut(XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons);
    cell->attachWithCalendar(calendar.get(), "December 2026");
    EXPECT_EQ(cell->label()->text(), "DECEMBER");
    EXPECT_EQ(cell->yearLabel()->text(), "2026");
    theme->addStyleGroupWithClass(XQCalendarTitleCell::staticClass(), {{"textColor", gfx::colors::red()},
                                                                       {"textAlignment", 1}});
    cell->updateVisuals();
    EXPECT_EQ(cell->yearLabel()->textColor(), gfx::colors::red());
    EXPECT_EQ(cell->yearLabel()->textAlignment(), gfx::TextAlignment::left);
}

TEST_F(MonthTitleCellTest, ButtonsMoveTheCalendarAndWinTheTap) {
    ui::TestDriver driver(gfx::Size{350, 300});
    driver.window()->addSubview(calendar);
    layOut(XQCalendarMonthTitleCellLayoutModeMonthButtons);
    grid().addSubview(cell);
    cell->attachWithCalendar(calendar.get(), "December 2026");
    driver.runUntilIdle();
    const auto selected = calendar->selectedDate();

    driver.tap({300, 20});
    driver.runUntilIdle();
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
    EXPECT_EQ(calendar->selectedDate(), selected); // the presenter's tap did not select

    // Year steps compare days: the last date at 00:00 still allows its day.
    calendar->setDisplayedDate(day(2026, 12, 31, 10), false);
    calendar->setMaxDate(day(2027, 12, 31));
    cell->nextYearAction(nullptr);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-31");
    cell->nextYearAction(nullptr); // the last date lies in the displayed year
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-31");
    cell->prevYearAction(nullptr);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()).substr(0, 10), "2026-12-31");
    calendar->removeFromSuperview();
}

} // namespace
} // namespace cal::test
