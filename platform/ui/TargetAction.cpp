#include "platform/ui/TargetAction.h"

#include <algorithm>

namespace ui {

void TargetActionList::pruneDeadTargets() {
    std::erase_if(_entries, [](const std::shared_ptr<Entry>& e) {
        if (e->isLive()) return false;
        e->removed = true;
        return true;
    });
}

void TargetActionList::addEntry(Entry entry, ActionMask mask) {
    pruneDeadTargets();
    for (const auto& existing : _entries) {
        if (existing->callbackHandle == 0 && existing->targetAddress == entry.targetAddress &&
            *existing->actionType == *entry.actionType &&
            existing->sameAction(existing->action.get(), entry.action.get())) {
            existing->mask |= mask;
            return;
        }
    }
    entry.mask = mask;
    _entries.push_back(std::make_shared<Entry>(std::move(entry)));
}

std::size_t TargetActionList::addCallback(Callback callback, ActionMask mask) {
    if (!callback || mask == 0) return 0;
    pruneDeadTargets();
    auto entry = std::make_shared<Entry>();
    entry->invoke = std::move(callback);
    entry->callbackHandle = _nextHandle++;
    entry->mask = mask;
    _entries.push_back(entry);
    return entry->callbackHandle;
}

void TargetActionList::removeMatching(ActionMask mask, const std::function<bool(const Entry&)>& matches) {
    pruneDeadTargets();
    std::erase_if(_entries, [&](const std::shared_ptr<Entry>& e) {
        if (!matches(*e)) return false;
        e->mask &= ~mask;
        if (e->mask != 0) return false;
        e->removed = true;
        return true;
    });
}

void TargetActionList::removeTarget(const void* target, ActionMask mask) {
    removeMatching(mask, [&](const Entry& e) {
        return e.callbackHandle == 0 && (target == nullptr || e.targetAddress == target);
    });
}

void TargetActionList::removeCallback(std::size_t handle) {
    if (handle == 0) return;
    removeMatching(~ActionMask(0), [&](const Entry& e) { return e.callbackHandle == handle; });
}

void TargetActionList::send(rt::Object& sender, Event* event, ActionMask mask) {
    // The actions may add or remove entries (or release the sender's owner): work on a copy
    // and keep the sender alive through the calls.
    const std::shared_ptr<rt::Object> keepSender = sender.weak_from_this().lock();
    const std::vector<std::shared_ptr<Entry>> entries = _entries;
    for (const auto& entry : entries)
        if (!entry->removed && (entry->mask & mask) != 0 && entry->isLive()) entry->invoke(sender, event);
    pruneDeadTargets();
}

ActionMask TargetActionList::allMasks() const {
    ActionMask all = 0;
    for (const auto& e : _entries)
        if (e->isLive()) all |= e->mask;
    return all;
}

std::vector<std::shared_ptr<void>> TargetActionList::allTargets() const {
    std::vector<std::shared_ptr<void>> targets;
    for (const auto& e : _entries) {
        std::shared_ptr<void> t = e->target.lock();
        if (!t) continue;
        const bool seen = std::any_of(targets.begin(), targets.end(), [&](const std::shared_ptr<void>& o) {
            return !o.owner_before(t) && !t.owner_before(o);
        });
        if (!seen) targets.push_back(std::move(t));
    }
    return targets;
}

} // namespace ui
