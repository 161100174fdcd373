#pragma once

// Setting properties by name with boxed values, as themes do: a theme stores
// {"textColor", colour}, {"textInsets", insets}, {"shape", rt::Value::null()}, ... and
// applies them to a style object with rt::setValueForKey(style, key, value).
//
// Registering a class's keys. A class declares, in a public section, a static function
// that lists its settable keys, and defines it in the .cpp that holds its
// OLM_DEFINE_CLASS (which finds the function and runs it the first time a key of the
// class is looked up):
//
//     // MyCellStyle.h
//     class MyCellStyle : public MyStyleNode {
//     public:
//         OLM_DECLARE_CLASS(MyCellStyle)
//         static void registerKeys(rt::Keys<MyCellStyle>& keys);
//         void setTextColor(std::optional<gfx::Color> color);
//         const std::optional<gfx::Color>& textColor() const { return _textColor; }
//         void setTextInsets(const gfx::EdgeInsets& insets);
//         void setShape(std::shared_ptr<MyShape> shape);
//         ...
//     };
//
//     // MyCellStyle.cpp
//     #include "platform/runtime/KeyValue.h"
//     OLM_DEFINE_CLASS(MyCellStyle, MyStyleNode)
//     void MyCellStyle::registerKeys(rt::Keys<MyCellStyle>& keys) {
//         keys.add("textColor", &MyCellStyle::setTextColor, &MyCellStyle::textColor)
//             .add("textInsets", &MyCellStyle::setTextInsets)
//             .add("shape", &MyCellStyle::setShape)
//             .add("spacing", &MyCellStyle::_spacing)                  // a field: set and read directly
//             .add("wrap", [](MyCellStyle& s, bool wrap) { s._wrap = wrap; });
//     }
//
// The setter is a member function with one parameter (of the class or of a base), a
// callable taking (MyCellStyle&, parameter), or a data member; an optional getter is a
// const member function or a callable taking (const MyCellStyle&). The parameter type
// picks the conversion (ValueConversion in Value.h): bool, any integer or floating-point
// type, gfx::EdgeInsets/Size/Point/Rect, gfx::Color, std::optional<gfx::Color>,
// gfx::FontRef, std::shared_ptr<T> of an object class, std::string, rt::Value.
//
// A class inherits the keys of its superclasses and may register one of theirs again to
// override it (for itself and its subclasses). Registering a key twice in one class
// keeps the last.
//
// Setting: a value converts to the setter's parameter as boxed numbers do; nil and null
// clear what can be cleared (an optional becomes nullopt, a font or an object nullptr)
// and are ignored by plain values. An unknown key, or a value that does not convert, is
// ignored: setValueForKey answers false and, once per class and key, the reporter hears
// of it (in debug builds it prints to stderr; tests may install their own).
//
// Lookups are hashed and allocate nothing; a class's table, inherited keys included, is
// built once. Main thread only, except that building the tables is safe from any thread.

#include "platform/runtime/Class.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/Value.h"

#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace rt {

// One settable key of a class.
class KeyAccessor {
public:
    // False when the value does not convert to the setter's parameter.
    using Setter = std::function<bool(Object&, const Value&)>;
    using Getter = std::function<Value(const Object&)>;

    KeyAccessor(std::string key, std::string takes, Setter setter, Getter getter)
        : _key(std::move(key)), _takes(std::move(takes)), _setter(std::move(setter)),
          _getter(std::move(getter)) {}

    const std::string& key() const { return _key; }
    // What the setter takes: "a colour or nil", "an integer", ...
    const std::string& takes() const { return _takes; }
    bool hasGetter() const { return static_cast<bool>(_getter); }

    // The node must be of the class that registered the key or of a subclass.
    bool set(Object& node, const Value& value) const { return _setter(node, value); }
    // Nil when the key has no getter.
    Value get(const Object& node) const { return _getter ? _getter(node) : Value(); }

private:
    std::string _key;
    std::string _takes;
    Setter _setter;
    Getter _getter;
};

// The keys of one class, its superclasses' included.
class KeyTable {
public:
    KeyTable() = default;
    KeyTable(const KeyTable&) = delete;
    KeyTable& operator=(const KeyTable&) = delete;

    const KeyAccessor* find(std::string_view key) const {
        auto it = _all.find(key);
        return it != _all.end() ? it->second : nullptr;
    }
    std::size_t size() const { return _all.size(); }

    // Adds a key of the class being registered, replacing an inherited or earlier one.
    void add(KeyAccessor accessor);
    // Takes every key of the superclass (before the class's own are added).
    void inherit(const KeyTable& superclassTable);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };

    // The accessors this class registered; inherited ones live in their class's table.
    std::vector<std::unique_ptr<const KeyAccessor>> _own;
    std::unordered_map<std::string, const KeyAccessor*, Hash, std::equal_to<>> _all;
};

namespace detail {

template <class Signature> struct FunctionArgs;
template <class R, class... Args> struct FunctionArgs<std::function<R(Args...)>> {
    template <std::size_t i> using arg = std::tuple_element_t<i, std::tuple<Args...>>;
    static constexpr std::size_t count = sizeof...(Args);
};

// The parameter type of a setter: a member function taking one argument, a data member,
// or a callable taking the object and the argument.
template <class Setter> struct SetterParameter;
template <class C, class R, class P> struct SetterParameter<R (C::*)(P)> { using type = P; };
template <class C, class R, class P> struct SetterParameter<R (C::*)(P) noexcept> { using type = P; };
template <class C, class M>
requires(!std::is_function_v<M>) struct SetterParameter<M C::*> {
    using type = M;
};
template <class F>
requires requires(F f) {
    std::function{f};
}
struct SetterParameter<F> {
    using Args = FunctionArgs<decltype(std::function{std::declval<F>()})>;
    static_assert(Args::count == 2, "a setter callable takes the object and the value");
    using type = typename Args::template arg<1>;
};

} // namespace detail

// Registers the keys of class T (see the top of this file).
template <class T> class Keys {
    static_assert(std::is_convertible_v<T*, Object*>, "keys are registered for object classes");

public:
    explicit Keys(KeyTable& table) : _table(table) {}

    template <class Setter> Keys& add(std::string_view key, Setter setter) {
        if constexpr (std::is_member_object_pointer_v<Setter>) {
            return add(key, setter, setter);
        } else {
            _table.add(
                KeyAccessor(std::string(key), takes<Setter>(), makeSetter(std::move(setter)), nullptr));
            return *this;
        }
    }

    template <class Setter, class Getter> Keys& add(std::string_view key, Setter setter, Getter getter) {
        _table.add(KeyAccessor(std::string(key), takes<Setter>(), makeSetter(std::move(setter)),
                               makeGetter(std::move(getter))));
        return *this;
    }

private:
    template <class Setter>
    using Parameter = std::remove_cvref_t<typename detail::SetterParameter<Setter>::type>;

    template <class Setter> static std::string takes() {
        using P = Parameter<Setter>;
        static_assert(ValueConvertible<P>, "the setter's parameter cannot be made from a boxed value");
        return ValueConversion<P>::name();
    }

    template <class Setter> static KeyAccessor::Setter makeSetter(Setter setter) {
        using P = Parameter<Setter>;
        return [setter](Object& node, const Value& value) {
            auto converted = value.as<P>();
            if (!converted) return false;
            // The node's class is T or a subclass, so it is a T (the class macros check
            // that the descriptor chain follows the C++ one).
            T& object = static_cast<T&>(node);
            if constexpr (std::is_member_object_pointer_v<Setter>)
                object.*setter = std::move(*converted);
            else
                std::invoke(setter, object, std::move(*converted));
            return true;
        };
    }

    template <class Getter> static KeyAccessor::Getter makeGetter(Getter getter) {
        using R = std::invoke_result_t<Getter, const T&>;
        static_assert(std::constructible_from<Value, R>, "the getter's result cannot be boxed");
        return
            [getter](const Object& node) { return Value(std::invoke(getter, static_cast<const T&>(node))); };
    }

    KeyTable& _table;
};

namespace detail {
template <class T> void registerKeysOf(KeyTable& table) {
    Keys<T> keys(table);
    T::registerKeys(keys);
}
} // namespace detail

// Sets a property of the node by name. False (and the value ignored) when the node's class
// has no such key or the value does not convert to the key's parameter.
bool setValueForKey(Object& node, std::string_view key, const Value& value);

// A property of the node by name; nil when the class has no such key or the key no getter.
Value getValueForKey(const Object& node, std::string_view key);

// Whether objects of the class can set the key.
inline bool hasKey(const Class& cls, std::string_view key) {
    return cls.keyTable().find(key) != nullptr;
}

// What the reporter hears about an ignored key or value.
struct KeyValueIssue {
    const Class& nodeClass;
    std::string_view key;
    // One line naming the class, the key and what went wrong.
    std::string message;
};
using KeyValueReporter = std::function<void(const KeyValueIssue&)>;

// Replaces the reporter of ignored keys and values and returns the previous one; an empty
// reporter silences them. Each class and key is reported once for as long as a reporter
// is installed; installing one starts afresh. The default prints to stderr in debug
// builds and is empty with NDEBUG.
KeyValueReporter setKeyValueReporter(KeyValueReporter reporter);

} // namespace rt
