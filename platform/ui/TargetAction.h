#pragma once

// Target-action lists: what gesture recognizers and controls call when something happens.
// An entry is either a target object with a member function (the action), or a callback.
// Targets are not retained: the list keeps a weak reference, and an entry whose target has
// gone away is skipped and dropped. A target/action pair is registered once; adding it
// again only widens the events (a bit mask) it is registered for.
//
// Actions take the sender, the sender and the event, or nothing:
//
//     void tap(ui::TapGestureRecognizer& recognizer);     // or a pointer, or any base class
//     void nextMonthAction(ui::Control* sender);
//     void changed(ui::Control& sender, ui::Event* event);
//     void refresh();
//
// A sender that is not of the action's parameter type is passed as null to a pointer
// parameter; an action taking a reference is then not called.

#include "platform/ui/Event.h"

#include <functional>
#include <memory>
#include <tuple>
#include <type_traits>
#include <typeinfo>
#include <vector>

namespace ui {

using ActionMask = unsigned long;

namespace detail {

template <class M> struct ActionTraits;
template <class R, class C, class... A> struct ActionTraits<R (C::*)(A...)> {
    using Class = C;
    using Args = std::tuple<A...>;
};
template <class R, class C, class... A>
struct ActionTraits<R (C::*)(A...) const> : ActionTraits<R (C::*)(A...)> {};
template <class R, class C, class... A>
struct ActionTraits<R (C::*)(A...) noexcept> : ActionTraits<R (C::*)(A...)> {};
template <class R, class C, class... A>
struct ActionTraits<R (C::*)(A...) const noexcept> : ActionTraits<R (C::*)(A...)> {};

template <class Args> constexpr bool validSecondArgument() {
    if constexpr (std::tuple_size_v<Args> == 1)
        return true;
    else if constexpr (std::tuple_size_v<Args> == 2)
        return std::is_same_v<std::tuple_element_t<1, Args>, Event*>;
    else
        return false;
}

// Calls `action` on `target` with the sender converted to the parameter's type.
template <class Target, class Action>
void invokeAction(Target& target, const Action& action, rt::Object& sender, Event* event) {
    using Args = typename ActionTraits<Action>::Args;
    constexpr std::size_t arity = std::tuple_size_v<Args>;
    if constexpr (arity == 0) {
        (target.*action)();
    } else {
        using First = std::tuple_element_t<0, Args>;
        static_assert(validSecondArgument<Args>(),
                      "an action takes nothing, the sender, or the sender and the event");
        auto call = [&](auto&& senderArgument) {
            if constexpr (arity == 1)
                (target.*action)(senderArgument);
            else
                (target.*action)(senderArgument, event);
        };
        if constexpr (std::is_pointer_v<First>) {
            using S = std::remove_cv_t<std::remove_pointer_t<First>>;
            call(dynamic_cast<S*>(&sender));
        } else {
            static_assert(std::is_lvalue_reference_v<First>, "the sender is passed by pointer or reference");
            using S = std::remove_cv_t<std::remove_reference_t<First>>;
            if (S* s = dynamic_cast<S*>(&sender)) call(*s);
        }
    }
}

// The address that identifies an object whatever base it is seen through.
template <class T> const void* identityOf(const T* object) {
    if (object == nullptr) return nullptr;
    if constexpr (std::is_polymorphic_v<T>)
        return dynamic_cast<const void*>(object);
    else
        return static_cast<const void*>(object);
}

} // namespace detail

class TargetActionList {
public:
    using Callback = std::function<void(rt::Object& sender, Event* event)>;

    // Adds `action` of `target` for the events in `mask` (a null target is ignored).
    template <class T, class Action>
    void add(const std::shared_ptr<T>& target, Action action, ActionMask mask) {
        static_assert(std::is_member_function_pointer_v<Action>, "an action is a member function");
        static_assert(std::is_base_of_v<typename detail::ActionTraits<Action>::Class, T>,
                      "the action is not a member of the target's class");
        if (!target || action == nullptr || mask == 0) return;
        std::weak_ptr<T> weak = target;
        Entry entry;
        entry.target = weak;
        entry.targetAddress = detail::identityOf(target.get());
        entry.action = std::make_shared<const Action>(action);
        entry.actionType = &typeid(Action);
        entry.sameAction = [](const void* a, const void* b) {
            return *static_cast<const Action*>(a) == *static_cast<const Action*>(b);
        };
        entry.invoke = [weak, action](rt::Object& sender, Event* event) {
            if (const std::shared_ptr<T> strong = weak.lock())
                detail::invokeAction(*strong, action, sender, event);
        };
        addEntry(std::move(entry), mask);
    }

    // A target given by pointer must be an object owned by a shared pointer (any rt::Object
    // made by its factory); otherwise nothing is added.
    template <class T, class Action>
    requires std::is_base_of_v<rt::Object, T>
    void add(T* target, Action action, ActionMask mask) { add(rt::sharedFrom(target), action, mask); }

    // Adds a callback; the answer identifies it for `removeCallback` (never 0). Callbacks are
    // never merged: each call adds one.
    std::size_t addCallback(Callback callback, ActionMask mask);

    // Removes the events in `mask` from the pair; a pair left with none is removed.
    template <class T, class Action> void remove(const T* target, Action action, ActionMask mask) {
        const void* address = detail::identityOf(target);
        removeMatching(mask, [&](const Entry& e) {
            return e.targetAddress == address && e.actionType != nullptr && *e.actionType == typeid(Action) &&
                   e.sameAction(e.action.get(), &action);
        });
    }
    // Every action of `target` (every target's, when null) for the events in `mask`.
    void removeTarget(const void* target, ActionMask mask);
    template <class T> void removeTarget(const T* target, ActionMask mask) {
        removeTarget(detail::identityOf(target), mask);
    }
    void removeCallback(std::size_t handle);

    // Calls, in the order they were added, the live entries registered for any event in
    // `mask`. Entries removed by an earlier call of the same send are skipped.
    void send(rt::Object& sender, Event* event, ActionMask mask);

    // The union of the events of the live entries.
    ActionMask allMasks() const;
    // The live targets, each once, in the order added.
    std::vector<std::shared_ptr<void>> allTargets() const;

private:
    struct Entry {
        std::weak_ptr<void> target;
        const void* targetAddress = nullptr;
        std::shared_ptr<const void> action;
        const std::type_info* actionType = nullptr;
        bool (*sameAction)(const void*, const void*) = nullptr;
        std::function<void(rt::Object&, Event*)> invoke;
        std::size_t callbackHandle = 0;
        ActionMask mask = 0;
        bool removed = false;

        bool isLive() const { return callbackHandle != 0 || !target.expired(); }
    };

    void addEntry(Entry entry, ActionMask mask);
    void removeMatching(ActionMask mask, const std::function<bool(const Entry&)>& matches);
    void pruneDeadTargets();

    std::vector<std::shared_ptr<Entry>> _entries;
    std::size_t _nextHandle = 1;
};

} // namespace ui
