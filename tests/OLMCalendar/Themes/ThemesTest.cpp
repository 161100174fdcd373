#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"
#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"
#include "platform/graphics/Screen.h"
#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

namespace cal::test {
namespace {

namespace g = XQCalendarThemeGlobals;

class ThemesTest : public MonthPresenterTest {
protected:
    void TearDown() override {
        gfx::setSystemColorsAvailable(true);
        MonthPresenterTest::TearDown();
    }
    // The style of the cell of a day after a full restyle of the calendar.
    const XQCalendarDayCellStyle& styleOf(long d) {
        calendar->update(true);
        return month().cellForDate(day(2026, 12, d))->style();
    }
    static gfx::Color fillColor(const std::shared_ptr<XQFill>& fill) {
        auto solid = std::dynamic_pointer_cast<XQSolidFill>(fill);
        return solid ? solid->color() : gfx::Color();
    }
};

TEST_F(ThemesTest, defaultThemeLooksOnBothSystemBranches) {
    for (bool system : {true, false}) {
        SCOPED_TRACE(system);
        gfx::setSystemColorsAvailable(system);
        calendar->setTheme(XQCalendarDefaultTheme::make());
        calendar->setSelectedDate(day(2026, 12, 22));
        const gfx::Color label = system ? gfx::systemColors::label() : gfx::Color::rgb8(3, 3, 3);
        EXPECT_EQ(styleOf(21).textColor(), label); // current month
        EXPECT_EQ(styleOf(20).textColor(), system ? gfx::systemColors::systemGray() : gfx::Color::rgb8(94, 94, 94));
        EXPECT_EQ(styleOf(15).textColor(), system ? gfx::systemColors::systemBlue() : gfx::Color::rgb8(3, 122, 255));
        const auto& selected = styleOf(22);
        EXPECT_EQ(selected.textColor(), system ? gfx::systemColors::systemBackground() : gfx::colors::white());
        EXPECT_EQ(fillColor(selected.shapeFill()), system ? gfx::systemColors::label() : gfx::Color::rgb8(54, 54, 54));
        EXPECT_TRUE(selected.shape());
        EXPECT_FALSE(styleOf(21).shape());
        calendar->setSelectedDate(day(2026, 12, 15));
        EXPECT_EQ(fillColor(styleOf(15).shapeFill()), *g::blueTextColor); // selected today
        calendar->setMinDate(day(2026, 12, 10));
        EXPECT_EQ(styleOf(1).textColor(), system ? gfx::systemColors::systemGray2() : gfx::colors::lightGray());
        calendar->setMinDate(day(2025, 1, 1));
    }
    EXPECT_EQ(fillColor(g::fill2), gfx::colors::clear());
    EXPECT_FALSE(g::monthSelectedBackgroundColor);
}

TEST_F(ThemesTest, rangeLooksInBothThemes) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 8), day(2026, 12, 10)), day(2026, 12, 10));
    EXPECT_EQ(fillColor(styleOf(9).shapeFill()), gfx::colors::clear());
    EXPECT_EQ(styleOf(9).textColor(), gfx::systemColors::label());
    calendar->setTheme(XQCalendarIPadTheme::make());
    EXPECT_EQ(styleOf(9).backgroundColor(), gfx::Color::rgb8(54, 54, 54));
    EXPECT_EQ(styleOf(8).backgroundColor(), gfx::Color::rgb8(54, 54, 54));
    EXPECT_EQ(styleOf(10).backgroundColor(), gfx::Color::rgb8(102, 102, 102)); // the selected end stands out
    EXPECT_EQ(styleOf(10).textColor(), gfx::colors::white());
    EXPECT_TRUE(styleOf(10).displayEventsAsText());
    month().layoutIfNeeded();
    EXPECT_EQ(month().style()->columnSpacing(), -1);
}

TEST_F(ThemesTest, anIPadThemeAloneLeavesTheGlobalsAlone) {
    const auto savedFill = g::fill;
    const auto savedText = g::textColor;
    g::fill = nullptr;
    g::textColor.reset();
    XQCalendarIPadTheme::make();
    EXPECT_FALSE(g::fill);
    EXPECT_FALSE(g::textColor);
    // A default theme assigns them; groups made earlier keep their objects.
    auto first = XQCalendarDefaultTheme::make();
    const auto firstFill = g::fill;
    XQCalendarDefaultTheme::make();
    EXPECT_NE(g::fill, firstFill);
    EXPECT_EQ(first->stylesForClass(XQCalendarDayCell::staticClass())->groups()[7]->propertyValue("shapeFill")
                  ->objectValue(),
              firstFill);
    g::fill = savedFill;
    g::textColor = savedText;
}

} // namespace
} // namespace cal::test
