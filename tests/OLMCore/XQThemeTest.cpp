#include "OLMCore/XQTheme.h"
#include "OLMCore/XQShape.h"
#include "platform/runtime/KeyValue.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// A style class written the way the calendar's style classes are.
class CellStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(CellStyle)
    static std::shared_ptr<CellStyle> make() { return rt::create<CellStyle>(); }
    static void registerKeys(rt::Keys<CellStyle>& keys);

    static constexpr PropertyBits textColorBit = 0x2, backgroundColorBit = 0x4, topBorderColorBit = 0x20,
                                  borderWidthBit = 0x80, alignmentBit = 0x800, shapeBit = 0x1000;

    const std::optional<gfx::Color>& textColor() const { return _textColor; }
    void setTextColor(std::optional<gfx::Color> c) {
        if (canSetValue(textColorBit, _textColor)) _textColor = c;
    }
    const std::optional<gfx::Color>& backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> c) {
        if (canSetValue(backgroundColorBit, _backgroundColor)) _backgroundColor = c;
    }
    const std::optional<gfx::Color>& topBorderColor() const { return _topBorderColor; }
    void setTopBorderColor(std::optional<gfx::Color> c) {
        if (canSetValue(topBorderColorBit, _topBorderColor)) _topBorderColor = c;
    }
    double borderWidth() const { return _borderWidth; }
    void setBorderWidth(double w) {
        if (canSetValue(borderWidthBit, _borderWidth)) _borderWidth = w;
    }
    long alignment() const { return _alignment; }
    // The published one-argument form: bookkept, but not restorable after a theme block.
    void setAlignment(long a) {
        if (canSetValue(alignmentBit)) _alignment = a;
    }
    const std::shared_ptr<XQShape>& shape() const { return _shape; }
    void setShape(std::shared_ptr<XQShape> s) {
        if (canSetValue(shapeBit, _shape)) _shape = std::move(s);
    }
    bool wrap() const { return _wrap; }
    void setWrap(bool w) { _wrap = w; }

    void resetLocalValues() override {
        XQStyleNode::resetLocalValues();
        _textColor = gfx::Color::white(0);
        _backgroundColor = std::nullopt;
        _topBorderColor = gfx::Color::white(0.8);
        _borderWidth = 0.5;
        _alignment = 48;
        _shape = nullptr;
    }

protected:
    friend struct rt::Access;
    CellStyle() = default;

private:
    std::optional<gfx::Color> _textColor;
    std::optional<gfx::Color> _backgroundColor;
    std::optional<gfx::Color> _topBorderColor;
    double _borderWidth = 0;
    long _alignment = 0;
    std::shared_ptr<XQShape> _shape;
    bool _wrap = false;
};
OLM_DEFINE_CLASS(CellStyle, XQStyleNode)

void CellStyle::registerKeys(rt::Keys<CellStyle>& keys) {
    keys.add("textColor", &CellStyle::setTextColor)
        .add("backgroundColor", &CellStyle::setBackgroundColor)
        .add("topBorderColor", &CellStyle::setTopBorderColor)
        .add("borderWidth", &CellStyle::setBorderWidth)
        .add("textAlignment", &CellStyle::setAlignment)
        .add("shape", &CellStyle::setShape)
        .add("wrap", &CellStyle::setWrap);
}

// Styled view classes: only their descriptors matter to the theme.
#define TEST_CLASS(Name, Super)                                                                              \
    class Name : public Super {                                                                              \
    public:                                                                                                  \
        OLM_DECLARE_CLASS(Name)                                                                              \
    };                                                                                                       \
    OLM_DEFINE_CLASS(Name, Super)

TEST_CLASS(DayCell, rt::Object)
TEST_CLASS(WeekDayCell, DayCell)
TEST_CLASS(TitleCell, rt::Object)
TEST_CLASS(YearPresenter, rt::Object)
TEST_CLASS(LandscapeYearPresenter, YearPresenter)

const gfx::Color dim = gfx::Color::rgb8(163, 163, 163);
const gfx::Color normal = gfx::Color::rgb8(3, 3, 3);
const gfx::Color weekend = gfx::Color::rgb8(94, 94, 94);
const gfx::Color today = gfx::Color::rgb8(3, 122, 255);
const gfx::Color inverted = gfx::Color::white(1);
const gfx::Color fill3 = gfx::Color::rgb8(3, 121, 255);

// Silences (and records) what the key-value layer reports about ignored keys.
class ReporterScope {
public:
    ReporterScope() {
        _previous = rt::setKeyValueReporter([this](const rt::KeyValueIssue& i) { keys.emplace_back(i.key); });
    }
    ~ReporterScope() { rt::setKeyValueReporter(_previous); }
    std::vector<std::string> keys;

private:
    rt::KeyValueReporter _previous;
};

class XQThemeTest : public ::testing::Test {
protected:
    // The day-cell groups of the default theme, in its order.
    void addDayCellGroups() {
        theme->addStyleGroupWithClass(DayCell::staticClass(),
                                      {{"shape", rt::Value::null()}, {"textColor", dim}});
        theme->addStyleGroupWithClassState(DayCell::staticClass(), 4, {{"textColor", normal}});
        theme->addStyleGroupWithClassState(DayCell::staticClass(), 6, {{"textColor", weekend}});
        theme->addStyleGroupWithClassState(DayCell::staticClass(), 1,
                                           {{"textColor", today}, {"borderWidth", 2}});
        theme->addStyleGroupWithClassState(DayCell::staticClass(), 16,
                                           {{"textColor", inverted}, {"shape", disc}});
        theme->addStyleGroupWithClassState(DayCell::staticClass(), 17, {{"backgroundColor", fill3}});
    }

    // Styles `style` as a view of `cls` in `state`.
    void styleAs(const rt::Class& cls, long state) {
        style->styleID()->setState(state);
        theme->stylesForClass(cls)->applyStylesToNode(style);
    }

    std::shared_ptr<XQTheme> theme = XQTheme::make();
    std::shared_ptr<CellStyle> style = CellStyle::make();
    std::shared_ptr<XQShape> disc = XQPredefinedShape::shapeWithType(2, {0, 0});
};

TEST_F(XQThemeTest, StatesMatchByContainmentAndLaterGroupsWin) {
    addDayCellGroups();
    struct Case {
        long state;
        gfx::Color text;
        bool shape;
        std::optional<gfx::Color> background;
    };
    const Case cases[] = {
        {0, dim, false, std::nullopt},      // only the all-states group
        {2, dim, false, std::nullopt},      // weekend outside the month: 6 needs both flags
        {4, normal, false, std::nullopt},   // current month
        {6, weekend, false, std::nullopt},  // weekend in the current month
        {14, weekend, false, std::nullopt}, // plus current year: extra flags do not hurt
        {5, today, false, std::nullopt},    // today in the month: 1 was registered after 4
        {16, inverted, true, std::nullopt}, // selected
        {17, inverted, true, fill3},        // selected today: 16 then 17
        {21, inverted, true, fill3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        // The same style is restyled from state to state, as a reused cell is.
        styleAs(DayCell::staticClass(), c.state);
        EXPECT_EQ(style->textColor(), c.text);
        EXPECT_EQ(style->shape() != nullptr, c.shape);
        EXPECT_EQ(style->backgroundColor(), c.background);
    }
}

TEST_F(XQThemeTest, GroupsOfAClassStyleItsSubclassesButNotItsSuperclass) {
    theme->addStyleGroupWithClass(DayCell::staticClass(), {{"textColor", dim}});
    theme->addStyleGroupWithClass(WeekDayCell::staticClass(), {{"backgroundColor", weekend}});
    theme->addStyleGroupWithClassState(DayCell::staticClass(), 4, {{"textColor", normal}});
    theme->addStyleGroupWithClass(TitleCell::staticClass(), {{"textColor", today}});

    EXPECT_EQ(theme->stylesForClass(WeekDayCell::staticClass())->groups().size(), 3u);
    EXPECT_EQ(theme->stylesForClass(DayCell::staticClass())->groups().size(), 2u);

    styleAs(WeekDayCell::staticClass(), 4);
    EXPECT_EQ(style->textColor(), normal); // registration order, across class and subclass
    EXPECT_EQ(style->backgroundColor(), weekend);

    auto dayStyle = CellStyle::make();
    theme->stylesForClass(DayCell::staticClass())->applyStylesToNode(dayStyle);
    EXPECT_EQ(dayStyle->textColor(), dim);
    EXPECT_EQ(dayStyle->backgroundColor(), std::nullopt);

    // A class with no groups gets an empty list, which changes nothing.
    auto unstyled = theme->stylesForClass(YearPresenter::staticClass());
    ASSERT_NE(unstyled, nullptr);
    EXPECT_TRUE(unstyled->groups().empty());
}

TEST_F(XQThemeTest, ConditionClassLimitsAGroupToStylesCarryingThatClass) {
    theme->addStyleGroupWithClass(TitleCell::staticClass(),
                                  {{"textColor", normal}, {"topBorderColor", weekend}});
    auto yearTitle = XQStyleGroup::make(TitleCell::staticClass());
    yearTitle->styleID()->setConditionClass(YearPresenter::staticClass());
    yearTitle->setPropertyValue(today, "textColor");
    yearTitle->setPropertyValue(rt::Value(), "topBorderColor"); // nil clears, as null does
    theme->addStyleGroup(yearTitle);

    // A title cell elsewhere: no condition class on its style.
    styleAs(TitleCell::staticClass(), 0);
    EXPECT_EQ(style->textColor(), normal);
    EXPECT_EQ(style->topBorderColor(), weekend);

    // The year view's title cell carries the condition class; a subclass of it counts too.
    for (const rt::Class* condition :
         {&YearPresenter::staticClass(), &LandscapeYearPresenter::staticClass()}) {
        auto yearStyle = CellStyle::make();
        auto id = XQStyleID::make();
        id->setConditionClass(condition);
        yearStyle->setStyleID(id);
        theme->stylesForClass(TitleCell::staticClass())->applyStylesToNode(yearStyle);
        EXPECT_EQ(yearStyle->textColor(), today);
        EXPECT_EQ(yearStyle->topBorderColor(), std::nullopt);
    }

    // An unrelated condition class does not match the conditioned group.
    auto other = CellStyle::make();
    other->styleID()->setConditionClass(DayCell::staticClass());
    theme->stylesForClass(TitleCell::staticClass())->applyStylesToNode(other);
    EXPECT_EQ(other->textColor(), normal);
}

TEST_F(XQThemeTest, ApplicationValuesSurviveRethemingUntilReset) {
    addDayCellGroups();
    style->setTextColor(gfx::Color::rgba(1, 0, 0)); // set by the application
    style->setWrap(true);                           // unguarded
    EXPECT_EQ(style->localValuesMask(), CellStyle::textColorBit);

    for (long state : {0L, 4L, 16L}) {
        styleAs(DayCell::staticClass(), state);
        EXPECT_EQ(style->textColor(), gfx::Color::rgba(1, 0, 0));
    }
    EXPECT_NE(style->shape(), nullptr); // the other keys of the groups still apply
    EXPECT_TRUE(style->wrap());

    style->resetLocalValues();
    styleAs(DayCell::staticClass(), 4);
    EXPECT_EQ(style->textColor(), normal);
}

TEST_F(XQThemeTest, ThemeBlockValuesLastUntilTheNextApplication) {
    addDayCellGroups();
    styleAs(DayCell::staticClass(), 4);

    // The delegate restyles the cell for one date: a key the theme sets and one it never sets.
    style->beginThemeBlock();
    style->setTextColor(gfx::Color::rgba(0, 1, 0));
    style->setBackgroundColor(gfx::Color::rgba(1, 0, 0));
    style->setTopBorderColor(std::nullopt);
    style->endThemeBlock();
    EXPECT_EQ(style->textColor(), gfx::Color::rgba(0, 1, 0));
    EXPECT_EQ(style->backgroundColor(), gfx::Color::rgba(1, 0, 0));
    EXPECT_EQ(style->localValuesMask(), 0u); // nothing became an application value

    // The cell is reused for another date: nothing of the restyle sticks.
    styleAs(DayCell::staticClass(), 4);
    EXPECT_EQ(style->textColor(), normal);
    EXPECT_EQ(style->backgroundColor(), std::nullopt);
    EXPECT_EQ(style->topBorderColor(), gfx::Color::white(0.8));
}

TEST_F(XQThemeTest, ThemeBlockOverApplicationValues) {
    addDayCellGroups();
    style->setBackgroundColor(weekend); // application value
    style->setTextColor(gfx::Color::rgba(1, 0, 0));

    // A delegate may override an application value for one restyle; the next application of
    // the theme brings the application's value back. Writing a key twice in one block, or in
    // two blocks in a row, restores the value from before the first write.
    style->beginThemeBlock();
    style->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    style->setBackgroundColor(gfx::Color::rgba(0, 1, 1));
    style->endThemeBlock();
    style->beginThemeBlock();
    style->setBackgroundColor(gfx::Color::rgba(1, 1, 0));
    style->setTextColor(gfx::Color::rgba(0, 1, 0));
    style->endThemeBlock();
    styleAs(DayCell::staticClass(), 16);
    EXPECT_EQ(style->backgroundColor(), weekend);
    EXPECT_EQ(style->textColor(), gfx::Color::rgba(1, 0, 0));

    // The application setting a key after a block wins: the block's value is not restored
    // over it.
    style->beginThemeBlock();
    style->setTextColor(gfx::Color::rgba(0, 1, 0));
    style->endThemeBlock();
    style->setTextColor(gfx::Color::rgba(0, 0, 1));
    styleAs(DayCell::staticClass(), 0);
    EXPECT_EQ(style->textColor(), gfx::Color::rgba(0, 0, 1));
}

TEST_F(XQThemeTest, ThemeBlocksNestAndAnUnbalancedEndIsHarmless) {
    style->endThemeBlock(); // no block open
    EXPECT_FALSE(style->isInThemeBlock());
    style->beginThemeBlock();
    style->beginThemeBlock();
    style->endThemeBlock();
    EXPECT_TRUE(style->isInThemeBlock());
    style->setBorderWidth(3); // still inside the outer block: transient
    style->endThemeBlock();
    EXPECT_FALSE(style->isInThemeBlock());
    styleAs(DayCell::staticClass(), 0); // no groups at all: the block is still undone
    EXPECT_EQ(style->borderWidth(), 0.5);
}

TEST_F(XQThemeTest, OneArgumentGuardInAThemeBlockIsTransientButNotRestorable) {
    theme->addStyleGroupWithClassState(DayCell::staticClass(), 1, {{"textAlignment", 6}});
    style->beginThemeBlock();
    style->setAlignment(9);
    style->endThemeBlock();
    EXPECT_EQ(style->localValuesMask(), 0u);
    styleAs(DayCell::staticClass(), 0);
    EXPECT_EQ(style->alignment(), 9); // nothing to restore it from
    styleAs(DayCell::staticClass(), 1);
    EXPECT_EQ(style->alignment(), 6); // but the theme may overwrite it
}

TEST_F(XQThemeTest, NullClearsAndBadKeysOrValuesAreSkipped) {
    ReporterScope reporter;
    theme->addStyleGroupWithClass(DayCell::staticClass(), {{"noSuchKey", 1},
                                                           {"textColor", "not a colour"},
                                                           {"shape", rt::Value::null()},
                                                           {"borderWidth", true},
                                                           {"backgroundColor", normal},
                                                           {"topBorderColor", rt::Value::null()}});
    // Set a shape through the theme first, then clear it through another group.
    theme->addStyleGroupWithClassState(DayCell::staticClass(), 16, {{"shape", disc}});
    theme->addStyleGroupWithClassState(DayCell::staticClass(), 32, {{"shape", rt::Value::null()}});

    styleAs(DayCell::staticClass(), 16);
    EXPECT_EQ(style->shape(), disc);
    styleAs(DayCell::staticClass(), 48);
    EXPECT_EQ(style->shape(), nullptr);
    EXPECT_EQ(style->topBorderColor(), std::nullopt);
    EXPECT_EQ(style->textColor(), gfx::Color::white(0)); // the string was not taken
    EXPECT_EQ(style->borderWidth(), 1);                  // a bool is a number: YES is 1
    EXPECT_EQ(style->backgroundColor(), normal);         // keys after the bad ones still apply
    EXPECT_EQ(reporter.keys, (std::vector<std::string>{"noSuchKey", "textColor"}));

    // A nil node is ignored.
    theme->stylesForClass(DayCell::staticClass())->applyStylesToNode(std::shared_ptr<CellStyle>());
}

TEST_F(XQThemeTest, StylesPerClassAreCachedUntilAGroupIsAdded) {
    auto group = theme->addStyleGroupWithClass(DayCell::staticClass(), {{"textColor", dim}});
    auto first = theme->stylesForClass(WeekDayCell::staticClass());
    EXPECT_EQ(theme->stylesForClass(WeekDayCell::staticClass()), first);

    // Values set on a registered group apply at once: the group is shared, not copied.
    group->setPropertyValue(normal, "textColor");
    group->setPropertyValue(weekend, "backgroundColor");
    styleAs(WeekDayCell::staticClass(), 0);
    EXPECT_EQ(style->textColor(), normal);
    EXPECT_EQ(style->backgroundColor(), weekend);
    ASSERT_EQ(group->values().size(), 2u); // replaced in place, not added twice
    EXPECT_EQ(group->values()[0].first, "textColor");

    theme->addStyleGroupWithClassState(DayCell::staticClass(), 2, {{"textColor", today}});
    theme->addStyleGroup(nullptr);
    auto second = theme->stylesForClass(WeekDayCell::staticClass());
    EXPECT_NE(second, first);
    EXPECT_EQ(second->groups().size(), 2u);
    EXPECT_EQ(first->groups().size(), 1u); // a list handed out earlier stays valid
    styleAs(WeekDayCell::staticClass(), 2);
    EXPECT_EQ(style->textColor(), today);
}

TEST(XQStyleNode, EveryNodeHasAStyleID) {
    auto node = XQStyleNode::make();
    ASSERT_NE(node->styleID(), nullptr);
    EXPECT_EQ(node->styleID()->state(), 0);
    EXPECT_EQ(node->styleID()->conditionClass(), nullptr);
    auto id = XQStyleID::make();
    id->setState(6);
    node->setStyleID(id);
    EXPECT_EQ(node->styleID(), id);
    node->setStyleID(nullptr);
    ASSERT_NE(node->styleID(), nullptr);
    EXPECT_EQ(node->styleID()->state(), 0);
}

} // namespace
