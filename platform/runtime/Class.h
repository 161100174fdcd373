#pragma once

// Classes as values, the part of an object runtime the calendar relies on: tables of
// classes (presenters by view mode, transitions by mode, cell classes), theme matching
// by class up the superclass chain, and making an object of a class from such a table.

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>

namespace rt {

class Object;

class Class {
public:
    Class(std::string name, const Class* superclass) : _name(std::move(name)), _superclass(superclass) {}
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

private:
    std::string _name;
    const Class* _superclass;
    std::unordered_map<std::type_index, std::any> _factories;
};

} // namespace rt

// Inside a class body (public section): declares the class descriptor of `Self`.
#define OLM_DECLARE_CLASS(Self)                                                                              \
    static const ::rt::Class& staticClass();                                                                 \
    const ::rt::Class& objectClass() const override { return Self::staticClass(); }

// In one .cpp: defines the descriptor of `Self` with `Super` as its superclass.
#define OLM_DEFINE_CLASS(Self, Super)                                                                        \
    const ::rt::Class& Self::staticClass() {                                                                 \
        static ::rt::Class cls(#Self, &Super::staticClass());                                                \
        return cls;                                                                                          \
    }
