#include "platform/runtime/Value.h"

#include "TestObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Kind = rt::Value::Kind;
constexpr long longMax = std::numeric_limits<long>::max();
constexpr long longMin = std::numeric_limits<long>::min();

} // namespace

TEST(Value, ConstructorsPickTheKindOfTheArgument) {
    EXPECT_EQ(rt::Value(nullptr).kind(), Kind::nil);
    EXPECT_EQ(rt::Value::null().kind(), Kind::null);
    EXPECT_EQ(rt::Value(3).kind(), Kind::integer);
    EXPECT_EQ(rt::Value(3u).kind(), Kind::integer);
    EXPECT_EQ(rt::Value(0.5f).kind(), Kind::real);
    // A string literal must not decay to a pointer and become a bool.
    EXPECT_EQ(rt::Value("HelveticaNeue-Light").kind(), Kind::string);
    // Empty pointers and optionals are nil, not objects or colours.
    EXPECT_TRUE(rt::Value(std::shared_ptr<Shape>()).isNil());
    EXPECT_TRUE(rt::Value(gfx::FontRef()).isNil());
    EXPECT_TRUE(rt::Value(std::optional<gfx::Color>()).isNil());
    EXPECT_EQ(rt::Value(std::optional<gfx::Color>(gfx::Color())).kind(), Kind::color);
    // Unsigned values beyond the boxed range saturate instead of wrapping negative.
    EXPECT_EQ(rt::Value(std::numeric_limits<unsigned long>::max()).integerValue(), longMax);
}

TEST(Value, NumbersReadAsAnyNumberKind) {
    EXPECT_EQ(rt::Value(1.7).integerValue(), 1);
    EXPECT_EQ(rt::Value(-1.7).integerValue(), -1);
    EXPECT_EQ(rt::Value(0).boolValue(), false);
    EXPECT_EQ(rt::Value(2).boolValue(), true);
    EXPECT_EQ(rt::Value(0.25).boolValue(), true);
    EXPECT_EQ(rt::Value(true).doubleValue(), 1.0);
    // What a plain cast leaves undefined has an answer.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(rt::Value(nan).integerValue(), 0);
    EXPECT_EQ(rt::Value(nan).boolValue(), false);
    EXPECT_EQ(rt::Value(1e300).integerValue(), longMax);
    EXPECT_EQ(rt::Value(-INFINITY).integerValue(), longMin);
    EXPECT_EQ(rt::Value(9223372036854775808.0).integerValue(), longMax);
}

TEST(Value, NonNumbersGiveNoNumberAndOnlyThemselves) {
    for (const rt::Value& v : {rt::Value(), rt::Value::null(), rt::Value("1"), rt::Value(gfx::Color()),
                               rt::Value(gfx::Size{1, 1}), rt::Value(rt::create<Shape>())}) {
        EXPECT_FALSE(v.boolValue()) << v.describe();
        EXPECT_FALSE(v.integerValue()) << v.describe();
        EXPECT_FALSE(v.doubleValue()) << v.describe();
    }
    EXPECT_FALSE(rt::Value(gfx::Size{1, 2}).pointValue());
    EXPECT_FALSE(rt::Value(gfx::Size{1, 2}).edgeInsetsValue());
    EXPECT_EQ(rt::Value(gfx::Size{1, 2}).sizeValue(), (gfx::Size{1, 2}));
    EXPECT_FALSE(rt::Value(1).colorValue());
    EXPECT_FALSE(rt::Value(1).stringValue());
    EXPECT_EQ(rt::Value(rt::create<Shape>()).fontValue(), nullptr);
}

TEST(Value, EqualityComparesNumbersByValueAndObjectsByIdentity) {
    EXPECT_EQ(rt::Value(1), rt::Value(1.0));
    EXPECT_EQ(rt::Value(true), rt::Value(1));
    EXPECT_EQ(rt::Value(false), rt::Value(0.0));
    EXPECT_NE(rt::Value(1), rt::Value(1.5));
    EXPECT_NE(rt::Value(1), rt::Value("1"));
    // 2^53 + 1 has no double: comparing through a double would call them equal.
    EXPECT_NE(rt::Value(9007199254740993L), rt::Value(9007199254740992.0));
    EXPECT_NE(rt::Value(longMax), rt::Value(9223372036854775808.0));
    const rt::Value nan(std::nan(""));
    EXPECT_EQ(nan, nan);
    EXPECT_NE(rt::Value(), rt::Value::null());
    EXPECT_EQ(rt::Value(gfx::Color::rgb8(54, 54, 54)), rt::Value(gfx::Color::rgb8(54, 54, 54)));
    EXPECT_NE(rt::Value(gfx::Color::rgb8(54, 54, 54)), rt::Value(gfx::Color::rgb8(54, 54, 55)));
    EXPECT_EQ(rt::Value("a"), rt::Value(std::string("a")));
    auto a = rt::create<Shape>();
    EXPECT_EQ(rt::Value(a), rt::Value(a));
    EXPECT_NE(rt::Value(a), rt::Value(rt::create<Shape>()));
}

TEST(Value, ConvertsToParameterTypes) {
    // Integers of other widths saturate; unsigned ones stop at 0.
    EXPECT_EQ(rt::Value(1e12).as<int>(), std::numeric_limits<int>::max());
    EXPECT_EQ(rt::Value(-70000).as<short>(), std::numeric_limits<short>::min());
    EXPECT_EQ(rt::Value(-1).as<unsigned long>(), 0UL);
    EXPECT_EQ(rt::Value(2.9).as<unsigned char>(), 2);
    EXPECT_EQ(rt::Value(1e300).as<float>(), std::numeric_limits<float>::max());
    EXPECT_TRUE(std::isinf(*rt::Value(INFINITY).as<float>()));

    // Objects convert to their own class and its bases, const or not (the rest of the
    // object rules are exercised through setters).
    auto special = rt::create<RoundShape>();
    EXPECT_EQ(rt::Value(special).as<std::shared_ptr<Shape>>(), std::shared_ptr<Shape>(special));
    EXPECT_EQ(rt::Value(special).as<std::shared_ptr<const Shape>>(), std::shared_ptr<const Shape>(special));
    EXPECT_FALSE(rt::Value(1).as<std::shared_ptr<Shape>>());
    EXPECT_EQ(rt::Value(special).describe(), "an object of class RoundShape");
}
