#pragma once

// Boxed values: what a theme stores for a style property and hands to the key-value
// setter (KeyValue.h). A value is nil (no value at all), null (an explicit "clear this
// property"), a number (made from a bool, an integer or a double), a geometry value (edge
// insets, size, point, rectangle), a colour, a font, an object or a string.
//
// Numbers convert into each other the way boxed numbers do: a number reads as a bool, an
// integer or a double whatever it was made from (1.7 as an integer is 1, 0 as a bool is
// false, true as a double is 1.0); anything that is not a number asked for as a number
// gives no answer. Every other kind reads only as itself.

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/runtime/Object.h"

#include <concepts>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace rt {

class Value {
public:
    enum class Kind {
        nil,
        null,
        boolean,
        integer,
        real,
        edgeInsets,
        size,
        point,
        rect,
        color,
        font,
        object,
        string
    };

    // nil.
    Value() = default;
    Value(std::nullptr_t) {}
    // The explicit "clear this property".
    static Value null() {
        Value v;
        v._storage.emplace<NullTag>();
        return v;
    }

    Value(bool b) : _storage(b) {}
    template <std::integral I>
    requires(!std::same_as<I, bool>) Value(I i) : _storage(saturatedLong(i)) {}
    template <std::floating_point F> Value(F f) : _storage(static_cast<double>(f)) {}

    Value(gfx::EdgeInsets v) : _storage(v) {}
    Value(gfx::Size v) : _storage(v) {}
    Value(gfx::Point v) : _storage(v) {}
    Value(gfx::Rect v) : _storage(v) {}
    Value(const gfx::Color& v) : _storage(v) {}

    // A null font or object is nil.
    Value(gfx::FontRef font) {
        if (font) _storage = std::move(font);
    }
    template <class T>
    requires std::is_convertible_v<T*, Object*> Value(std::shared_ptr<T> object) {
        if (object) _storage.emplace<std::shared_ptr<Object>>(std::move(object));
    }

    Value(std::string s) : _storage(std::move(s)) {}
    Value(std::string_view s) : _storage(std::string(s)) {}
    Value(const char* s) : _storage(s != nullptr ? std::string(s) : std::string()) {}

    // An empty optional is nil.
    template <class X>
    requires std::constructible_from<Value, const X&> Value(const std::optional<X>& v) {
        if (v) *this = Value(*v);
    }

    // A raw pointer would silently become a bool: box the shared pointer instead.
    template <class T> Value(T*) = delete;

    Kind kind() const { return static_cast<Kind>(_storage.index()); }
    bool isNil() const { return kind() == Kind::nil; }
    bool isNull() const { return kind() == Kind::null; }
    // Nil or null: what clears a property that can be cleared.
    bool isNilOrNull() const { return isNil() || isNull(); }
    bool isNumber() const {
        return kind() == Kind::boolean || kind() == Kind::integer || kind() == Kind::real;
    }

    // Numbers, converted as described at the top; no answer for anything else. Doubles
    // beyond the integer range saturate and NaN reads as 0 (and as false).
    std::optional<bool> boolValue() const;
    std::optional<long> integerValue() const;
    std::optional<double> doubleValue() const;

    std::optional<gfx::EdgeInsets> edgeInsetsValue() const { return exactly<gfx::EdgeInsets>(); }
    std::optional<gfx::Size> sizeValue() const { return exactly<gfx::Size>(); }
    std::optional<gfx::Point> pointValue() const { return exactly<gfx::Point>(); }
    std::optional<gfx::Rect> rectValue() const { return exactly<gfx::Rect>(); }
    std::optional<gfx::Color> colorValue() const { return exactly<gfx::Color>(); }
    std::optional<std::string_view> stringValue() const {
        const auto* s = std::get_if<std::string>(&_storage);
        return s != nullptr ? std::optional<std::string_view>(*s) : std::nullopt;
    }
    // nullptr when the value is not a font.
    gfx::FontRef fontValue() const { return exactly<gfx::FontRef>().value_or(nullptr); }
    // nullptr when the value is not an object, or not one of class T.
    template <class T = Object> std::shared_ptr<T> objectValue() const {
        const auto* o = std::get_if<std::shared_ptr<Object>>(&_storage);
        return o != nullptr ? std::dynamic_pointer_cast<T>(*o) : nullptr;
    }

    // The payload when the value holds exactly a T (bool, long, double, a geometry value,
    // gfx::Color, gfx::FontRef, std::string), without conversion.
    template <class T> std::optional<T> exactly() const {
        const auto* v = std::get_if<T>(&_storage);
        return v != nullptr ? std::optional<T>(*v) : std::nullopt;
    }

    // The value as the parameter type P of a setter (see ValueConversion below): no answer
    // when it does not convert. Nil and null give the empty P for the types that can be
    // empty (optionals, fonts, objects) and no answer for the others.
    template <class P> std::optional<P> as() const;

    // Numbers are equal when their values are (1 == 1.0 == true); fonts and objects when
    // they are the same object; everything else by value, the kinds being the same.
    friend bool operator==(const Value& a, const Value& b);

    // "nil", "a bool", "a colour", "an object of class X", ...: for messages.
    std::string describe() const;

private:
    struct NullTag {
        friend constexpr bool operator==(NullTag, NullTag) { return true; }
    };
    // In the order of Kind.
    using Storage =
        std::variant<std::monostate, NullTag, bool, long, double, gfx::EdgeInsets, gfx::Size, gfx::Point,
                     gfx::Rect, gfx::Color, gfx::FontRef, std::shared_ptr<Object>, std::string>;

    template <std::integral I> static long saturatedLong(I i) {
        if constexpr (std::is_unsigned_v<I> && sizeof(I) >= sizeof(long)) {
            if (i > static_cast<unsigned long>(std::numeric_limits<long>::max()))
                return std::numeric_limits<long>::max();
        }
        return static_cast<long>(i);
    }

    Storage _storage;
};

// How a boxed value becomes a parameter of type P. Specialised for every type a setter
// may take: bool, the integer and floating-point types, the geometry values, gfx::Color,
// gfx::FontRef, std::shared_ptr<T> of any object class T, std::string, rt::Value itself,
// and std::optional of any of them. `from` gives no answer when the value does not fit;
// `name` says what the parameter takes, for messages.
template <class P> struct ValueConversion;

template <class P>
concept ValueConvertible = requires(const Value& v) {
    { ValueConversion<P>::from(v) } -> std::same_as<std::optional<P>>;
    { ValueConversion<P>::name() } -> std::convertible_to<std::string>;
};

template <class P> std::optional<P> Value::as() const {
    static_assert(ValueConvertible<P>, "no conversion from a boxed value to this type");
    return ValueConversion<P>::from(*this);
}

template <> struct ValueConversion<bool> {
    static std::optional<bool> from(const Value& v) { return v.boolValue(); }
    static std::string name() { return "a bool"; }
};

// Integers of every width saturate at the limits of the parameter's type.
template <std::integral I>
requires(!std::same_as<I, bool>) struct ValueConversion<I> {
    static std::optional<I> from(const Value& v) {
        const auto l = v.integerValue();
        if (!l) return std::nullopt;
        if constexpr (std::is_signed_v<I>) {
            if (*l < static_cast<long long>(std::numeric_limits<I>::min()))
                return std::numeric_limits<I>::min();
            if (*l > static_cast<long long>(std::numeric_limits<I>::max()))
                return std::numeric_limits<I>::max();
        } else {
            if (*l < 0) return I(0);
            if (static_cast<unsigned long long>(*l) > std::numeric_limits<I>::max())
                return std::numeric_limits<I>::max();
        }
        return static_cast<I>(*l);
    }
    static std::string name() { return "an integer"; }
};

// Finite doubles beyond a float's range saturate at its largest value.
template <std::floating_point F> struct ValueConversion<F> {
    static std::optional<F> from(const Value& v) {
        const auto d = v.doubleValue();
        if (!d) return std::nullopt;
        if constexpr (!std::same_as<F, double>) {
            constexpr double most = std::numeric_limits<F>::max();
            if (*d > most && *d <= std::numeric_limits<double>::max()) return std::numeric_limits<F>::max();
            if (*d < -most && *d >= -std::numeric_limits<double>::max())
                return -std::numeric_limits<F>::max();
        }
        return static_cast<F>(*d);
    }
    static std::string name() { return "a number"; }
};

// Values that read only as themselves.
template <class P>
requires(std::same_as<P, gfx::EdgeInsets> || std::same_as<P, gfx::Size> || std::same_as<P, gfx::Point> ||
         std::same_as<P, gfx::Rect> || std::same_as<P, gfx::Color> ||
         std::same_as<P, std::string>) struct ValueConversion<P> {
    static std::optional<P> from(const Value& v) { return v.exactly<P>(); }
    static std::string name() { return Value(P{}).describe(); }
};

template <> struct ValueConversion<Value> {
    static std::optional<Value> from(const Value& v) { return v; }
    static std::string name() { return "any value"; }
};

template <> struct ValueConversion<gfx::FontRef> {
    static std::optional<gfx::FontRef> from(const Value& v) {
        if (v.isNilOrNull()) return gfx::FontRef();
        auto font = v.fontValue();
        return font ? std::optional<gfx::FontRef>(std::move(font)) : std::nullopt;
    }
    static std::string name() { return "a font"; }
};

// An object of class T or of a subclass; nil and null give nullptr.
template <class T>
requires std::is_convertible_v<T*, const Object*>
struct ValueConversion<std::shared_ptr<T>> {
    static std::optional<std::shared_ptr<T>> from(const Value& v) {
        if (v.isNilOrNull()) return std::shared_ptr<T>();
        auto object = v.objectValue<std::remove_const_t<T>>();
        return object ? std::optional<std::shared_ptr<T>>(std::move(object)) : std::nullopt;
    }
    static std::string name() { return "an object of class " + std::remove_const_t<T>::staticClass().name(); }
};

template <class X>
requires ValueConvertible<X>
struct ValueConversion<std::optional<X>> {
    static std::optional<std::optional<X>> from(const Value& v) {
        if (v.isNilOrNull()) return std::optional<X>();
        auto x = ValueConversion<X>::from(v);
        return x ? std::optional<std::optional<X>>(std::move(x)) : std::nullopt;
    }
    static std::string name() { return ValueConversion<X>::name() + " or nil"; }
};

} // namespace rt
