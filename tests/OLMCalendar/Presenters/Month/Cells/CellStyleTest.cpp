#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCore/XQTheme.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/runtime/KeyValue.h"

#include <gtest/gtest.h>

namespace {

struct ScopedDisplay {
    double scale = gfx::screenScale();
    bool systemColors = gfx::systemColorsAvailable();
    ~ScopedDisplay() {
        gfx::setScreenScale(scale);
        gfx::setSystemColorsAvailable(systemColors);
    }
};

TEST(CellStyleTest, DefaultsFollowTheSystemColoursAndTheScreenScale) {
    ScopedDisplay restore;
    auto style = XQCalendarDayCellStyle::make();
    EXPECT_EQ(style->textColor(), gfx::systemColors::label());
    EXPECT_EQ(style->topBorderColor(), gfx::systemColors::systemGray4());
    EXPECT_EQ(style->bottomBorderColor(), gfx::systemColors::systemGray4());
    EXPECT_EQ(style->allDayEventTextColor(), gfx::systemColors::label());
    EXPECT_EQ(style->defaultSelectionColor(), gfx::systemColors::systemGray4());
    EXPECT_EQ(style->bottomBorderWidth(), 0.5); // the test main's scale is 2
    EXPECT_FALSE(style->leftBorderColor());
    EXPECT_EQ(style->textFont(), nullptr);
    EXPECT_EQ(style->textAlignment(), 48);
    EXPECT_EQ(style->eventAlignment(), 24);
    EXPECT_EQ(style->eventInsets(), (gfx::EdgeInsets{2, 2, 2, 2}));
    EXPECT_EQ(style->eventTextColor(), gfx::Color::rgb8(3, 3, 3));
    EXPECT_EQ(style->eventShape()->size(), (gfx::Size{4, 4}));
    EXPECT_TRUE(style->useDefaultSelectionStyle());
    EXPECT_EQ(style->maxEventsCount(), 0);

    gfx::setSystemColorsAvailable(false);
    for (double scale : {1.0, 3.0}) {
        gfx::setScreenScale(scale);
        auto old = XQCalendarDayCellStyle::make();
        EXPECT_EQ(old->textColor(), gfx::colors::black());
        EXPECT_EQ(old->topBorderColor(), gfx::Color::rgb8(204, 204, 204));
        EXPECT_EQ(old->allDayEventTextColor(), gfx::colors::black());
        EXPECT_EQ(old->defaultSelectionColor(), gfx::Color::rgb8(208, 208, 208));
        EXPECT_EQ(old->bottomBorderWidth(), 1.0);
    }
}

TEST(CellStyleTest, ApplicationValuesSurviveThemesAndThemeBlocksLastOneApplication) {
    auto theme = XQTheme::make();
    theme->addStyleGroupWithClass(XQCalendarDayCell::staticClass(),
                                  {{"textColor", gfx::colors::blue()}, {"eventTextColor", gfx::colors::green()}});
    const auto styles = theme->stylesForClass(XQCalendarDayCell::staticClass());
    auto style = XQCalendarDayCellStyle::make();

    style->setEventTextColor(gfx::colors::red()); // the application's own
    styles->applyStylesToNode(style);
    EXPECT_EQ(style->eventTextColor(), gfx::colors::red());
    EXPECT_EQ(style->textColor(), gfx::colors::blue());

    style->beginThemeBlock();
    style->setTextColor(gfx::colors::white());
    style->endThemeBlock();
    EXPECT_EQ(style->textColor(), gfx::colors::white());
    styles->applyStylesToNode(style);
    EXPECT_EQ(style->textColor(), gfx::colors::blue());
}

TEST(CellStyleTest, KeysTakeTheThemesBoxedValues) {
    auto style = XQCalendarDayCellStyle::make();
    style->setShape(XQPredefinedShape::shapeWithType(2, {}));
    EXPECT_TRUE(rt::setValueForKey(*style, "leftBorderWidth", 1));
    EXPECT_TRUE(rt::setValueForKey(*style, "textAlignment", 6L));
    EXPECT_TRUE(rt::setValueForKey(*style, "displayEventsAsText", true));
    EXPECT_TRUE(rt::setValueForKey(*style, "eventInsets", gfx::EdgeInsets{30, 2, 10, 2}));
    EXPECT_TRUE(rt::setValueForKey(*style, "textFont", gfx::Font::systemFont(18)));
    EXPECT_TRUE(rt::setValueForKey(*style, "maxEventsCount", 3));
    EXPECT_TRUE(rt::setValueForKey(*style, "shape", rt::Value::null()));
    EXPECT_TRUE(rt::setValueForKey(*style, "topBorderColor", rt::Value::null()));
    EXPECT_EQ(style->leftBorderWidth(), 1.0);
    EXPECT_EQ(style->textAlignment(), 6);
    EXPECT_TRUE(style->displayEventsAsText());
    EXPECT_EQ(style->eventInsets(), (gfx::EdgeInsets{30, 2, 10, 2}));
    EXPECT_EQ(style->textFont()->pointSize(), 18);
    EXPECT_EQ(style->maxEventsCount(), 3);
    EXPECT_EQ(style->shape(), nullptr);
    EXPECT_FALSE(style->topBorderColor());

    // Every property has its name, the plain cell style's included.
    for (const char* key : {"textInsets", "backgroundColor", "leftBorderColor", "rightBorderColor",
                            "bottomBorderColor", "topBorderWidth", "rightBorderWidth", "bottomBorderWidth",
                            "shapeFill", "shapeStroke"})
        EXPECT_TRUE(rt::hasKey(XQCalendarCellStyle::staticClass(), key)) << key;
    for (const char* key : {"eventFont", "eventTextColor", "allDayEventTextColor", "eventAlignment", "eventShape",
                            "eventSpacing", "eventOrientation", "useDefaultSelectionStyle",
                            "defaultSelectionColor", "stretchEvents", "wrapEventText"})
        EXPECT_TRUE(rt::hasKey(XQCalendarDayCellStyle::staticClass(), key)) << key;
    EXPECT_FALSE(rt::hasKey(XQCalendarCellStyle::staticClass(), "eventFont"));
}

} // namespace
