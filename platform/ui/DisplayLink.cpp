#include "platform/ui/DisplayLink.h"

#include <algorithm>
#include <vector>

namespace ui {

OLM_DEFINE_CLASS(DisplayLink, rt::Object)

namespace {

// The links not paused, in the order they were unpaused.
std::vector<std::weak_ptr<DisplayLink>>& activeLinks() {
    static std::vector<std::weak_ptr<DisplayLink>> links;
    return links;
}

void forget(const DisplayLink* link) {
    std::erase_if(activeLinks(), [&](const std::weak_ptr<DisplayLink>& w) {
        const std::shared_ptr<DisplayLink> l = w.lock();
        return !l || l.get() == link;
    });
}

} // namespace

DisplayLink::~DisplayLink() {
    if (!_paused) forget(this);
}

void DisplayLink::setPaused(bool paused) {
    if (paused == _paused) return;
    _paused = paused;
    if (paused)
        forget(this);
    else
        activeLinks().push_back(rt::weakFrom(this));
}

void DisplayLink::fireAll(double mediaTime) {
    const std::vector<std::weak_ptr<DisplayLink>> links = activeLinks();
    for (const auto& weak : links) {
        const std::shared_ptr<DisplayLink> link = weak.lock();
        if (!link || link->_paused) continue;
        const Callback callback = link->_callback;
        if (callback) callback(mediaTime);
    }
}

bool DisplayLink::hasActiveLinks() {
    return std::any_of(activeLinks().begin(), activeLinks().end(),
                       [](const std::weak_ptr<DisplayLink>& w) { return !w.expired(); });
}

} // namespace ui
