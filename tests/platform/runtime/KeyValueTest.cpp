#include "platform/runtime/KeyValue.h"

#include "TestObjects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// A style with a setter of every parameter kind a theme sets.
class BaseStyle : public rt::Object {
public:
    OLM_DECLARE_CLASS(BaseStyle)
    static void registerKeys(rt::Keys<BaseStyle>& keys);

    void setFlag(bool v) { flag = v; }
    void setCount(long v) { count = v; }
    void setSmall(int v) noexcept { small = v; }
    void setWidth(double v) { width = v; }
    void setInsets(const gfx::EdgeInsets& v) { insets = v; }
    void setSize(gfx::Size v) { size = v; }
    void setTextColor(std::optional<gfx::Color> v) { textColor = v; }
    const std::optional<gfx::Color>& getTextColor() const { return textColor; }
    void setPlainColor(gfx::Color v) { plainColor = v; }
    void setFont(gfx::FontRef v) { font = std::move(v); }
    void setShape(const std::shared_ptr<Shape>& v) { shape = v; }
    void setName(const std::string& v) { name = v; }

    bool flag = false;
    long count = -1;
    int small = -1;
    double width = -1;
    float spacing = -1;
    gfx::EdgeInsets insets;
    gfx::Size size;
    std::optional<gfx::Color> textColor = gfx::Color::rgb8(1, 1, 1);
    gfx::Color plainColor = gfx::Color::rgb8(1, 1, 1);
    gfx::FontRef font;
    std::shared_ptr<Shape> shape;
    std::string name;
    bool wrap = false;

    friend struct rt::Access;
};
OLM_DEFINE_CLASS(BaseStyle, rt::Object)

void BaseStyle::registerKeys(rt::Keys<BaseStyle>& keys) {
    keys.add("flag", &BaseStyle::setFlag, &BaseStyle::flag)
        .add("count", &BaseStyle::setCount, &BaseStyle::count)
        .add("small", &BaseStyle::setSmall)
        .add("width", &BaseStyle::setWidth)
        .add("insets", &BaseStyle::setInsets, &BaseStyle::insets)
        .add("size", &BaseStyle::setSize)
        .add("textColor", &BaseStyle::setTextColor, &BaseStyle::getTextColor)
        .add("plainColor", &BaseStyle::setPlainColor)
        .add("font", &BaseStyle::setFont, [](const BaseStyle& s) { return s.font; })
        .add("shape", &BaseStyle::setShape, &BaseStyle::shape)
        .add("name", &BaseStyle::setName, &BaseStyle::name)
        .add("spacing", &BaseStyle::spacing)
        .add("wrap", [](BaseStyle& s, bool v) { s.wrap = v; });
}

// Overrides one key and adds one.
class DerivedStyle : public BaseStyle {
public:
    OLM_DECLARE_CLASS(DerivedStyle)
    static void registerKeys(rt::Keys<DerivedStyle>& keys);
    long extra = 0;

    friend struct rt::Access;
};
OLM_DEFINE_CLASS(DerivedStyle, BaseStyle)

void DerivedStyle::registerKeys(rt::Keys<DerivedStyle>& keys) {
    keys.add("count", [](DerivedStyle& s, long v) { s.count = 10 * v; })
        .add("extra", &DerivedStyle::extra)
        .add("extra", [](DerivedStyle& s, long v) { s.extra = v + 1; }); // the last registration wins
}

// Registers nothing of its own.
class LeafStyle : public DerivedStyle {
public:
    OLM_DECLARE_CLASS(LeafStyle)

    friend struct rt::Access;
};
OLM_DEFINE_CLASS(LeafStyle, DerivedStyle)

// Collects reports for the duration of a test.
class ReportLog {
public:
    ReportLog() {
        _previous = rt::setKeyValueReporter([this](const rt::KeyValueIssue& issue) {
            messages.push_back(issue.nodeClass.name() + "." + std::string(issue.key) + ": " + issue.message);
        });
    }
    ~ReportLog() { rt::setKeyValueReporter(std::move(_previous)); }
    std::vector<std::string> messages;

private:
    rt::KeyValueReporter _previous;
};

} // namespace

TEST(KeyValue, SubclassesInheritKeysAndMayOverrideThem) {
    EXPECT_TRUE(rt::hasKey(LeafStyle::staticClass(), "textColor"));
    EXPECT_TRUE(rt::hasKey(LeafStyle::staticClass(), "extra"));
    EXPECT_FALSE(rt::hasKey(BaseStyle::staticClass(), "extra"));
    EXPECT_FALSE(rt::hasKey(rt::Object::staticClass(), "count"));

    auto base = rt::create<BaseStyle>();
    auto leaf = rt::create<LeafStyle>();
    EXPECT_TRUE(rt::setValueForKey(*base, "count", 3));
    EXPECT_TRUE(rt::setValueForKey(*leaf, "count", 3));
    EXPECT_EQ(base->count, 3);
    EXPECT_EQ(leaf->count, 30); // the override of the class in between
    EXPECT_TRUE(rt::setValueForKey(*leaf, "extra", 4));
    EXPECT_EQ(leaf->extra, 5);

    // The base's keys reach the base's members of a subclass object.
    EXPECT_TRUE(rt::setValueForKey(*leaf, "insets", gfx::EdgeInsets{30, 2, 10, 2}));
    EXPECT_EQ(leaf->insets, (gfx::EdgeInsets{30, 2, 10, 2}));
    EXPECT_EQ(rt::getValueForKey(*leaf, "insets"), rt::Value(gfx::EdgeInsets{30, 2, 10, 2}));
}

TEST(KeyValue, NumbersConvertToTheSettersParameter) {
    auto s = rt::create<BaseStyle>();
    EXPECT_TRUE(rt::setValueForKey(*s, "flag", 2));
    EXPECT_TRUE(s->flag);
    EXPECT_TRUE(rt::setValueForKey(*s, "flag", 0.0));
    EXPECT_FALSE(s->flag);
    EXPECT_TRUE(rt::setValueForKey(*s, "count", 1.7));
    EXPECT_EQ(s->count, 1);
    EXPECT_TRUE(rt::setValueForKey(*s, "count", true));
    EXPECT_EQ(s->count, 1);
    EXPECT_TRUE(rt::setValueForKey(*s, "small", 1e12));
    EXPECT_EQ(s->small, std::numeric_limits<int>::max());
    EXPECT_TRUE(rt::setValueForKey(*s, "width", -1));
    EXPECT_EQ(s->width, -1.0);
    EXPECT_TRUE(rt::setValueForKey(*s, "spacing", 0.5));
    EXPECT_EQ(s->spacing, 0.5f);
    EXPECT_EQ(rt::getValueForKey(*s, "spacing"), rt::Value(0.5));
    EXPECT_TRUE(rt::setValueForKey(*s, "wrap", true));
    EXPECT_TRUE(s->wrap);
}

TEST(KeyValue, ValuesAndObjectsOfTheRightKindAreStored) {
    auto s = rt::create<BaseStyle>();
    const auto blue = gfx::Color::rgb8(3, 121, 255);
    EXPECT_TRUE(rt::setValueForKey(*s, "textColor", blue));
    EXPECT_EQ(s->textColor, blue);
    EXPECT_EQ(rt::getValueForKey(*s, "textColor"), rt::Value(blue));
    EXPECT_TRUE(rt::setValueForKey(*s, "plainColor", blue));
    EXPECT_EQ(s->plainColor, blue);
    EXPECT_TRUE(rt::setValueForKey(*s, "size", gfx::Size{4, 4}));
    EXPECT_EQ(s->size, (gfx::Size{4, 4}));
    EXPECT_TRUE(rt::setValueForKey(*s, "name", "HelveticaNeue-Medium"));
    EXPECT_EQ(s->name, "HelveticaNeue-Medium");

    const auto font = gfx::Font::systemFont(19);
    EXPECT_TRUE(rt::setValueForKey(*s, "font", font));
    EXPECT_EQ(s->font, font);
    EXPECT_EQ(rt::getValueForKey(*s, "font").fontValue(), font);

    // A subclass of the parameter's class is accepted; another class is not.
    auto round = rt::create<RoundShape>();
    EXPECT_TRUE(rt::setValueForKey(*s, "shape", round));
    EXPECT_EQ(s->shape, round);
    EXPECT_FALSE(rt::setValueForKey(*s, "shape", rt::create<Fill>()));
    EXPECT_EQ(s->shape, round);
}

TEST(KeyValue, NilAndNullClearWhatCanBeCleared) {
    auto s = rt::create<BaseStyle>();
    s->shape = rt::create<Shape>();
    s->font = gfx::Font::systemFont(19);
    EXPECT_TRUE(rt::setValueForKey(*s, "textColor", rt::Value::null()));
    EXPECT_EQ(s->textColor, std::nullopt);
    EXPECT_TRUE(rt::getValueForKey(*s, "textColor").isNil());
    EXPECT_TRUE(rt::setValueForKey(*s, "shape", rt::Value::null()));
    EXPECT_EQ(s->shape, nullptr);
    EXPECT_TRUE(rt::setValueForKey(*s, "font", rt::Value()));
    EXPECT_EQ(s->font, nullptr);

    // Plain values cannot be cleared: they keep what they hold.
    EXPECT_FALSE(rt::setValueForKey(*s, "count", rt::Value::null()));
    EXPECT_FALSE(rt::setValueForKey(*s, "plainColor", rt::Value()));
    EXPECT_FALSE(rt::setValueForKey(*s, "name", rt::Value::null()));
    EXPECT_EQ(s->count, -1);
    EXPECT_EQ(s->plainColor, gfx::Color::rgb8(1, 1, 1));
}

TEST(KeyValue, UnknownKeysAndWrongTypesAreIgnoredAndReportedOnce) {
    ReportLog log;
    auto s = rt::create<BaseStyle>();
    EXPECT_FALSE(rt::setValueForKey(*s, "noSuchKey", 1));
    EXPECT_FALSE(rt::setValueForKey(*s, "noSuchKey", 2));
    EXPECT_FALSE(rt::setValueForKey(*s, "", 1));
    EXPECT_FALSE(rt::setValueForKey(*s, "textColor", 1));
    EXPECT_FALSE(rt::setValueForKey(*s, "textColor", "red"));
    EXPECT_FALSE(rt::setValueForKey(*s, "insets", gfx::Size{1, 1}));
    EXPECT_FALSE(rt::setValueForKey(*s, "count", rt::Value::null()));
    EXPECT_FALSE(rt::setValueForKey(*s, "width", gfx::Color()));
    EXPECT_EQ(s->textColor, gfx::Color::rgb8(1, 1, 1));
    EXPECT_EQ(s->insets, gfx::EdgeInsets());
    EXPECT_EQ(s->width, -1);
    EXPECT_TRUE(rt::getValueForKey(*s, "noSuchKey").isNil());
    EXPECT_TRUE(rt::getValueForKey(*s, "small").isNil()); // write-only

    // Once per class and key; another class with the same key is heard again.
    auto d = rt::create<DerivedStyle>();
    EXPECT_FALSE(rt::setValueForKey(*d, "noSuchKey", 1));
    const std::vector<std::string> expected = {
        "BaseStyle.noSuchKey: OLMCalendar: BaseStyle ignored key \"noSuchKey\": no such key",
        "BaseStyle.: OLMCalendar: BaseStyle ignored key \"\": no such key",
        "BaseStyle.textColor: OLMCalendar: BaseStyle ignored key \"textColor\": it takes a colour or nil, "
        "not an "
        "integer",
        "BaseStyle.insets: OLMCalendar: BaseStyle ignored key \"insets\": it takes edge insets, not a size",
        "BaseStyle.count: OLMCalendar: BaseStyle ignored key \"count\": null cannot clear it (it takes an "
        "integer)",
        "BaseStyle.width: OLMCalendar: BaseStyle ignored key \"width\": it takes a number, not a colour",
        "DerivedStyle.noSuchKey: OLMCalendar: DerivedStyle ignored key \"noSuchKey\": no such key",
    };
    EXPECT_EQ(log.messages, expected);

    // A new reporter hears everything afresh.
    ReportLog second;
    EXPECT_FALSE(rt::setValueForKey(*s, "noSuchKey", 1));
    EXPECT_EQ(second.messages.size(), 1u);
}

TEST(KeyValue, DebugBuildsPrintReportsToStderrByDefault) {
#ifdef NDEBUG
    GTEST_SKIP() << "without a reporter of their own, release builds stay silent";
#else
    auto s = rt::create<BaseStyle>();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(rt::setValueForKey(*s, "printedKey", 1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "OLMCalendar: BaseStyle ignored key \"printedKey\": no such key\n");
#endif
}

namespace {

std::atomic<int> racingRegistrations{0};

class RacingStyle : public rt::Object {
public:
    OLM_DECLARE_CLASS(RacingStyle)
    static void registerKeys(rt::Keys<RacingStyle>& keys) {
        ++racingRegistrations;
        keys.add("value", &RacingStyle::value);
    }
    long value = 0;

    friend struct rt::Access;
};
OLM_DEFINE_CLASS(RacingStyle, rt::Object)

} // namespace

TEST(KeyValue, TwoThreadsRacingToTheFirstLookupRegisterOnce) {
    auto a = rt::create<RacingStyle>();
    auto b = rt::create<RacingStyle>();
    bool setA = false, setB = false;
    std::thread first([&] { setA = rt::setValueForKey(*a, "value", 1); });
    std::thread second([&] { setB = rt::setValueForKey(*b, "value", 2); });
    first.join();
    second.join();
    EXPECT_TRUE(setA && setB);
    EXPECT_EQ(a->value + b->value, 3);
    EXPECT_EQ(racingRegistrations.load(), 1);
}
