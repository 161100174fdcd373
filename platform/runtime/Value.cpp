#include "platform/runtime/Value.h"

#include <cmath>

namespace rt {

namespace {

// Truncates toward zero as a C cast does, but with the cases a cast leaves undefined given
// an answer: NaN is 0 and values beyond the range saturate.
long truncatedLong(double d) {
    if (std::isnan(d)) return 0;
    // 2^63 is exactly representable; every double below it truncates into range.
    constexpr double limit = 9223372036854775808.0;
    if (d >= limit) return std::numeric_limits<long>::max();
    if (d < -limit) return std::numeric_limits<long>::min();
    return static_cast<long>(d);
}

// Exact comparison of an integer with a double: no rounding of either into the other.
bool sameNumber(long l, double d) {
    if (!(d == std::trunc(d))) return false; // fractional, NaN or infinite
    constexpr double limit = 9223372036854775808.0;
    if (d >= limit || d < -limit) return false;
    return static_cast<long>(d) == l;
}

} // namespace

static_assert(sizeof(long) == 8, "boxed integers are 64-bit");

std::optional<bool> Value::boolValue() const {
    switch (kind()) {
    case Kind::boolean:
        return std::get<bool>(_storage);
    case Kind::integer:
        return std::get<long>(_storage) != 0;
    case Kind::real: {
        const double d = std::get<double>(_storage);
        return d != 0 && !std::isnan(d);
    }
    default:
        return std::nullopt;
    }
}

std::optional<long> Value::integerValue() const {
    switch (kind()) {
    case Kind::boolean:
        return std::get<bool>(_storage) ? 1L : 0L;
    case Kind::integer:
        return std::get<long>(_storage);
    case Kind::real:
        return truncatedLong(std::get<double>(_storage));
    default:
        return std::nullopt;
    }
}

std::optional<double> Value::doubleValue() const {
    switch (kind()) {
    case Kind::boolean:
        return std::get<bool>(_storage) ? 1.0 : 0.0;
    case Kind::integer:
        return static_cast<double>(std::get<long>(_storage));
    case Kind::real:
        return std::get<double>(_storage);
    default:
        return std::nullopt;
    }
}

bool operator==(const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) {
        if (a.kind() == Value::Kind::real && b.kind() == Value::Kind::real) {
            const double x = std::get<double>(a._storage), y = std::get<double>(b._storage);
            return x == y || (std::isnan(x) && std::isnan(y)); // a value equals itself, NaN too
        }
        if (a.kind() == Value::Kind::real) return sameNumber(*b.integerValue(), std::get<double>(a._storage));
        if (b.kind() == Value::Kind::real) return sameNumber(*a.integerValue(), std::get<double>(b._storage));
        return *a.integerValue() == *b.integerValue();
    }
    // Same kind and equal payload; shared pointers compare by identity.
    return a._storage == b._storage;
}

std::string Value::describe() const {
    switch (kind()) {
    case Kind::nil:
        return "nil";
    case Kind::null:
        return "null";
    case Kind::boolean:
        return "a bool";
    case Kind::integer:
        return "an integer";
    case Kind::real:
        return "a double";
    case Kind::edgeInsets:
        return "edge insets";
    case Kind::size:
        return "a size";
    case Kind::point:
        return "a point";
    case Kind::rect:
        return "a rectangle";
    case Kind::color:
        return "a colour";
    case Kind::font:
        return "a font";
    case Kind::object:
        return "an object of class " + std::get<std::shared_ptr<Object>>(_storage)->objectClass().name();
    case Kind::string:
        return "a string";
    }
    return "a value";
}

} // namespace rt
