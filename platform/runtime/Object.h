#pragma once

// The root of every reference-counted object of the platform and the framework.
//
// Objects live in std::shared_ptr (strong) and std::weak_ptr (weak). They are made by
// factories that construct and then run the initialiser, so that the initialiser may call
// virtual hooks of the subclass and hand out shared pointers to itself:
//
//     class Widget : public rt::Object {
//     public:
//         OLM_DECLARE_CLASS(Widget)
//         static std::shared_ptr<Widget> make(int size) { return rt::create<Widget>(size); }
//     protected:
//         void init(int size);   // the initialiser; may call virtual hooks
//     };
//
// rt::create<T>(args...) calls T's (protected or public) default constructor and then
// `init(args...)`. Classes befriend rt::Access to keep their constructor and initialiser
// protected.

#include "platform/runtime/Class.h"

#include <memory>

namespace rt {

class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    static const Class& staticClass() {
        static Class cls("Object", nullptr);
        return cls;
    }
    virtual const Class& objectClass() const { return staticClass(); }

    bool isKindOf(const Class& cls) const { return objectClass().isSubclassOf(cls); }
    bool isMemberOf(const Class& cls) const { return &objectClass() == &cls; }

protected:
    Object() = default;
    void init() {}
};

// Grants the factory access to protected constructors and initialisers.
struct Access {
    template <class T>
    static T* construct() {
        return new T();
    }
    template <class T, class... Args>
    static void init(T& object, Args&&... args) {
        object.init(std::forward<Args>(args)...);
    }
};

// Constructs a T, then runs its initialiser with the arguments.
template <class T, class... Args>
std::shared_ptr<T> create(Args&&... args) {
    std::shared_ptr<T> object(Access::construct<T>());
    Access::init(*object, std::forward<Args>(args)...);
    return object;
}

// The shared pointer of an object from inside its own methods, typed as the caller's class.
template <class T>
std::shared_ptr<T> sharedFrom(T* self) {
    if (self == nullptr) return nullptr;
    return std::static_pointer_cast<T>(self->shared_from_this());
}

template <class T>
std::weak_ptr<T> weakFrom(T* self) {
    if (self == nullptr) return {};
    return std::static_pointer_cast<T>(self->weak_from_this().lock());
}

} // namespace rt
