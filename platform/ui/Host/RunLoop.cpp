#include "platform/ui/Host/RunLoop.h"

#include "platform/foundation/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/DisplayLink.h"
#include "platform/ui/Layer.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace ui {

RunLoop& RunLoop::main() {
    static RunLoop loop;
    return loop;
}

void RunLoop::addWindow(const std::shared_ptr<Window>& window) {
    if (!window) return;
    removeWindow(window.get());
    _windows.push_back(window);
}

void RunLoop::removeWindow(const Window* window) {
    std::erase_if(_windows, [&](const std::weak_ptr<Window>& w) {
        const std::shared_ptr<Window> shown = w.lock();
        return !shown || shown.get() == window;
    });
}

std::vector<std::shared_ptr<Window>> RunLoop::windows() const {
    std::vector<std::shared_ptr<Window>> shown;
    for (const auto& w : _windows)
        if (std::shared_ptr<Window> window = w.lock()) shown.push_back(std::move(window));
    return shown;
}

bool RunLoop::isRealTime() const {
    return !MediaClock::isManual();
}

void RunLoop::setRealTime(bool realTime) {
    MediaClock::setManual(!realTime);
}

void RunLoop::enter(Phase phase) const {
    if (_observer) _observer(phase);
}

void RunLoop::step() {
    ++_turns;
    // The windows are held for the turn: a task that closes one does not pull it away
    // from under the phases still to run.
    std::vector<std::shared_ptr<Window>> shown = windows();
    enter(Phase::input);
    for (const auto& window : shown)
        window->deliverQueuedInput();
    enter(Phase::mainQueue);
    fnd::mainQueue().drain();
    enter(Phase::animations);
    advanceAnimations();
    DisplayLink::fireAll(currentMediaTime());
    enter(Phase::animationStops);
    fnd::mainQueue().drain();

    // Tasks may have shown or closed windows: the frame is made for those shown now.
    shown = windows();
    // Drawn contents resolved their dynamic colours when drawn: a new appearance redraws them.
    const gfx::Appearance appearance = gfx::currentAppearance();
    if (appearance != _drawnAppearance) {
        _drawnAppearance = appearance;
        for (const auto& window : shown)
            markDrawnLayersForDisplay(*window->layer());
    }
    enter(Phase::layout);
    for (const auto& window : shown)
        window->layoutIfNeeded();
    enter(Phase::display);
    Layer::markBoundedStoresForDisplay();
    for (const auto& window : shown)
        window->layer()->displayTreeIfNeeded();
    enter(Phase::commit);
    Transaction::flush();
    enter(Phase::composite);
    for (const auto& window : shown)
        window->composite();
}

void RunLoop::markDrawnLayersForDisplay(Layer& layer) {
    if (const LayerDelegate* delegate = layer.delegate(); delegate && delegate->implementsDrawLayerInContext(layer))
        layer.setNeedsDisplay();
    for (const auto& sublayer : layer.sublayers())
        markDrawnLayersForDisplay(*sublayer);
}

bool RunLoop::isIdle() const {
    if (!fnd::mainQueue().empty() || AnimationEngine::hasRunningAnimations() ||
        DisplayLink::hasActiveLinks())
        return false;
    if (gfx::currentAppearance() != _drawnAppearance) return false;
    for (const auto& window : windows())
        if (window->hasQueuedInput() || window->hasPendingDeadline() || window->needsLayoutOrDisplay())
            return false;
    return true;
}

bool RunLoop::run(const std::function<bool()>& done, double timeoutSeconds, double frameInterval) {
    using Clock = std::chrono::steady_clock;
    if (!(frameInterval > 0) || !std::isfinite(frameInterval)) frameInterval = 1.0 / 60;
    const auto interval =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(frameInterval));
    const auto start = Clock::now();
    const bool bounded = std::isfinite(timeoutSeconds);
    const auto deadline = bounded ? start + std::chrono::duration_cast<Clock::duration>(
                                                std::chrono::duration<double>(std::max(0.0, timeoutSeconds)))
                                  : Clock::time_point::max();
    auto next = start;
    for (;;) {
        step();
        if (done && done()) return true;
        next += interval;
        const auto now = Clock::now();
        if (now >= deadline) return false;
        if (next < now) next = now; // fell behind: do not try to catch up with a burst
        std::this_thread::sleep_until(std::min(next, deadline));
    }
}

} // namespace ui
