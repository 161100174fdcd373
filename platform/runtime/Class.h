#pragma once

// Classes as values, the part of an object runtime the calendar relies on: tables of
// classes (presenters by view mode, transitions by mode, cell classes), theme matching
// by class up the superclass chain, and making an object of a class from such a table.

#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <typeindex>
#include <unordered_map>

namespace rt {

class Object;
class KeyTable;
template <class T>
class Keys;

class Class {
public:
    // Adds the class's own settable keys to a table (KeyValue.h); OLM_DEFINE_CLASS passes
    // the class's `registerKeys` here when it has one.
    using KeyRegistrar = void (*)(KeyTable&);

    Class(std::string name, const Class* superclass, KeyRegistrar registerKeys = nullptr)
        : _name(std::move(name)), _superclass(superclass), _registerKeys(registerKeys) {}
    Class(const Class&) = delete;
    Class& operator=(const Class&) = delete;

    const std::string& name() const { return _name; }
    const Class* superclass() const { return _superclass; }

    // True for the class itself and every class derived from it.
    bool isSubclassOf(const Class& other) const {
        for (const Class* c = this; c != nullptr; c = c->_superclass)
            if (c == &other) return true;
        return false;
    }

    // Factories keyed by their signature, so that one table can make views with a frame
    // and another make transitions with none. `Sig` is a function type such as
    // `std::shared_ptr<ui::View>(gfx::Rect)`.
    template <class Sig>
    void setFactory(std::function<Sig> factory) {
        _factories[std::type_index(typeid(Sig))] = std::move(factory);
    }

    template <class Sig>
    bool hasFactory() const {
        return _factories.count(std::type_index(typeid(Sig))) != 0;
    }

    // Makes an object through the factory of that signature; an empty result when the
    // class has none (an abstract class in a table, for instance).
    template <class Sig, class... Args>
    auto make(Args&&... args) const -> typename std::function<Sig>::result_type {
        auto it = _factories.find(std::type_index(typeid(Sig)));
        if (it == _factories.end()) return {};
        const auto* fn = std::any_cast<std::function<Sig>>(&it->second);
        return fn != nullptr && *fn ? (*fn)(std::forward<Args>(args)...) : typename std::function<Sig>::result_type{};
    }

    // Every key the class can set by name, its superclasses' included; built on first use
    // (safely if two threads get there at once) and kept for the life of the class.
    const KeyTable& keyTable() const;

private:
    std::string _name;
    const Class* _superclass;
    std::unordered_map<std::type_index, std::any> _factories;
    KeyRegistrar _registerKeys;
    mutable std::once_flag _keyTableOnce;
    mutable std::shared_ptr<const KeyTable> _keyTable;
};

namespace detail {

// Defined in KeyValue.h, which a class that registers keys includes to write them.
template <class T>
void registerKeysOf(KeyTable& table);

// The class's own `static void registerKeys(rt::Keys<T>&)`, if it declares one (an
// inherited one takes its base's Keys and does not match).
template <class T>
constexpr Class::KeyRegistrar keyRegistrarOf() {
    if constexpr (requires(Keys<T>& keys) { T::registerKeys(keys); })
        return &registerKeysOf<T>;
    else
        return nullptr;
}

} // namespace detail

} // namespace rt

// Inside a class body (public section): declares the class descriptor of `Self`.
// The descriptor chain must agree with the C++ one (the key-value setter relies on it), so
// `Self` is checked to be the enclosing class and `Super` one of its bases.
#define OLM_DECLARE_CLASS(Self)                                                                              \
    static const ::rt::Class& staticClass();                                                                 \
    const ::rt::Class& objectClass() const override {                                                        \
        static_assert(std::is_same_v<decltype(this), const Self*>, "OLM_DECLARE_CLASS names another class"); \
        return Self::staticClass();                                                                          \
    }

// In one .cpp: defines the descriptor of `Self` with `Super` as its superclass. When
// `Self` declares `static void registerKeys(rt::Keys<Self>&)` (KeyValue.h), its keys are
// registered on first use; define it in the same .cpp.
#define OLM_DEFINE_CLASS(Self, Super)                                                                        \
    const ::rt::Class& Self::staticClass() {                                                                 \
        static_assert(std::is_base_of_v<Super, Self>, "OLM_DEFINE_CLASS: Super is not a base of Self");      \
        static ::rt::Class cls(#Self, &Super::staticClass(), ::rt::detail::keyRegistrarOf<Self>());          \
        return cls;                                                                                          \
    }
