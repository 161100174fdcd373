#include "OLMCalendar/Presenters/Month/MonthGridGeometry.h"
#include "OLMCalendar/Themes/Styles/XQCalendarMonthPresenterStyle.h"
#include "OLMCore/XQTheme.h"
#include "platform/graphics/SystemColors.h"

#include <gtest/gtest.h>

namespace {

// Weekend columns for a first weekday (1 Sunday ... 7 Saturday) in a 7-day week.
std::vector<bool> weekends(long firstWeekday) {
    std::vector<bool> w(7);
    for (long k = 0; k < 7; ++k) {
        const long day = (firstWeekday + k - 1) % 7;
        w[static_cast<std::size_t>(k)] = day == 0 || day == 6;
    }
    return w;
}

MonthGridGeometry::Input phone(long rows = 6) {
    MonthGridGeometry::Input in;
    in.width = 390;
    in.height = 794;
    in.rows = rows;
    in.columnSpacing = -0.5;
    in.rowSpacing = -0.5;
    in.weekNumberWidth = 15;
    in.weekendColumns = weekends(1);
    return in;
}

TEST(MonthGridGeometry, columnWidthsAndRowHeightsOfAPhoneScreen) {
    auto in = phone();
    EXPECT_NEAR(MonthGridGeometry::make(in).columnWidth, 56.142857, 1e-6);
    in.weekNumbersHidden = false;
    EXPECT_DOUBLE_EQ(MonthGridGeometry::make(in).columnWidth, 54);
    in.weekNumberWidth = -1;
    const auto wide = MonthGridGeometry::make(in);
    EXPECT_DOUBLE_EQ(wide.columnWidth, 49.1875);
    EXPECT_DOUBLE_EQ(wide.weekNumberWidth, 49.1875);
    EXPECT_DOUBLE_EQ(*wide.columnX[0], 49.1875); // no spacing after the week-number column
    in = phone();
    in.weekendsHidden = true;
    const auto fiveColumns = MonthGridGeometry::make(in);
    EXPECT_DOUBLE_EQ(fiveColumns.columnWidth, 78.4);
    EXPECT_FALSE(fiveColumns.columnX[0]);
    EXPECT_DOUBLE_EQ(*fiveColumns.columnX[1], 0);
    EXPECT_FALSE(fiveColumns.columnX[6]);
    EXPECT_EQ(fiveColumns.dayFrame(10, 6), gfx::Rect::zero());

    EXPECT_DOUBLE_EQ(MonthGridGeometry::make(phone(6)).rowHeight, 132.75);
    EXPECT_DOUBLE_EQ(MonthGridGeometry::make(phone(5)).rowHeight, 159.2);
    EXPECT_DOUBLE_EQ(MonthGridGeometry::make(phone(4)).rowHeight, 198.875);
}

TEST(MonthGridGeometry, degenerateInputsGiveZeroSizesNotDivisionsByZero) {
    auto in = phone();
    in.daysInWeek = 0; // acts as 7
    EXPECT_NEAR(MonthGridGeometry::make(in).columnWidth, 56.142857, 1e-6);
    in.daysInWeek = 2;
    in.weekendsHidden = true;
    in.weekendColumns = {true, true};
    const auto none = MonthGridGeometry::make(in);
    EXPECT_EQ(none.columnWidth, 0);
    EXPECT_FALSE(none.placeAt({10, 10}));
    in.rows = 0;
    in.height = 0;
    EXPECT_EQ(MonthGridGeometry::make(in).rowHeight, 0);
}

// Every visible column is hit at its middle, whatever the first weekday; the last points of
// the last column and row belong to them; the week-number column hits nothing.
TEST(MonthGridGeometry, hitTestsFollowTheLayout) {
    for (long firstWeekday : {1L, 2L, 3L, 7L}) {
        SCOPED_TRACE(firstWeekday);
        auto in = phone();
        in.weekendsHidden = true;
        in.weekendColumns = weekends(firstWeekday);
        const auto g = MonthGridGeometry::make(in);
        long visible = 0;
        for (long k = 0; k < 7; ++k) {
            if (!g.columnX[static_cast<std::size_t>(k)]) continue;
            ++visible;
            const auto frame = g.dayFrame(g.rowTop(2), k);
            const auto place = g.placeAt({frame.origin.x + frame.size.width / 2, frame.origin.y + 1});
            ASSERT_TRUE(place);
            EXPECT_EQ(place->column, k);
            EXPECT_EQ(place->row, 2);
        }
        EXPECT_EQ(visible, 5);
    }
    auto in = phone();
    in.weekNumbersHidden = false;
    const auto g = MonthGridGeometry::make(in);
    EXPECT_FALSE(g.placeAt({10, 100}));
    const auto corner = g.placeAt({389.9, 793.9});
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->column, 6);
    EXPECT_EQ(corner->row, 5);
    EXPECT_FALSE(g.placeAt({200, -1}));
}

TEST(XQCalendarMonthPresenterStyle, defaultsKeysAndGuardedSetters) {
    auto style = XQCalendarMonthPresenterStyle::make();
    EXPECT_EQ(style->columnSpacing(), -0.5);
    EXPECT_EQ(style->rowSpacing(), -0.5);
    EXPECT_EQ(style->titleCellHeight(), 30);
    EXPECT_EQ(style->dayNameCellHeight(), 20);
    EXPECT_EQ(style->weekNumberCellWidth(), 15);
    EXPECT_EQ(style->popoverColor(), gfx::Color::rgba(0.212, 0.212, 0.212, 1));
    EXPECT_EQ(style->backgroundColor(), gfx::systemColors::systemBackground());

    auto theme = XQTheme::make();
    theme->addStyleGroupWithClass(XQCalendarMonthPresenterStyle::staticClass(),
                                  {{"columnSpacing", rt::Value(-1)},
                                   {"rowSpacing", rt::Value(-1)},
                                   {"backgroundColor", rt::Value(gfx::Color::rgb8(247, 247, 247))},
                                   {"titleCellHeight", rt::Value(44)}});
    style->setRowSpacing(2); // the application's own value sticks
    theme->stylesForClass(XQCalendarMonthPresenterStyle::staticClass())->applyStylesToNode(style);
    EXPECT_EQ(style->columnSpacing(), -1);
    EXPECT_EQ(style->rowSpacing(), 2);
    EXPECT_EQ(style->backgroundColor(), gfx::Color::rgb8(247, 247, 247));
    EXPECT_EQ(style->titleCellHeight(), 44);
}

} // namespace
