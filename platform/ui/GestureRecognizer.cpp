#include "platform/ui/GestureRecognizer.h"

#include "platform/ui/TouchDispatcher.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace ui {

OLM_DEFINE_CLASS(GestureRecognizer, rt::Object)

bool GestureRecognizerDelegate::gestureRecognizerShouldBegin(GestureRecognizer&) {
    return true;
}
bool GestureRecognizerDelegate::gestureRecognizerShouldReceiveTouch(GestureRecognizer&, Touch&) {
    return true;
}
bool GestureRecognizerDelegate::gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
    GestureRecognizer&, GestureRecognizer&) {
    return false;
}
bool GestureRecognizerDelegate::gestureRecognizerShouldRequireFailureOfGestureRecognizer(GestureRecognizer&,
                                                                                         GestureRecognizer&) {
    return false;
}
bool GestureRecognizerDelegate::gestureRecognizerShouldBeRequiredToFailByGestureRecognizer(
    GestureRecognizer&, GestureRecognizer&) {
    return false;
}

namespace {

bool isFinished(GestureRecognizerState state) {
    return state == GestureRecognizerStateEnded || state == GestureRecognizerStateCancelled ||
           state == GestureRecognizerStateFailed;
}

bool isLifted(const Touch& touch) {
    return touch.phase() == TouchPhaseEnded || touch.phase() == TouchPhaseCancelled;
}

} // namespace

GestureRecognizer::~GestureRecognizer() = default;

View* GestureRecognizer::view() const {
    return _view.lock().get();
}

void GestureRecognizer::attachToView(View* view) {
    _view = rt::weakFrom(view);
}

void GestureRecognizer::detachFromView(const View* view) {
    if (this->view() == view) _view.reset();
}

void GestureRecognizer::setEnabled(bool enabled) {
    if (_enabled == enabled) return;
    _enabled = enabled;
    if (enabled) return;
    if (_dispatcher != nullptr) {
        _dispatcher->recognizerWasDisabled(*this);
    } else if (_state == GestureRecognizerStateBegan || _state == GestureRecognizerStateChanged) {
        commitState(GestureRecognizerStateCancelled);
        sendActions();
        resetForNextGesture();
    }
}

void GestureRecognizer::requireGestureRecognizerToFail(const std::shared_ptr<GestureRecognizer>& other) {
    if (!other || other.get() == this) return;
    std::erase_if(_requiredToFail, [](const std::weak_ptr<GestureRecognizer>& w) { return w.expired(); });
    for (const auto& w : _requiredToFail)
        if (w.lock() == other) return;
    _requiredToFail.push_back(other);
}

std::size_t GestureRecognizer::addAction(std::function<void(GestureRecognizer&)> action) {
    if (!action) return 0;
    return _actions.addCallback(
        [action = std::move(action)](rt::Object& sender, Event*) {
            if (auto* recognizer = dynamic_cast<GestureRecognizer*>(&sender)) action(*recognizer);
        },
        1);
}

// --- Location.

gfx::Point GestureRecognizer::centroidOf(const TouchSet& touches) {
    gfx::Point sum;
    long count = 0;
    for (const auto& touch : touches) {
        if (!touch) continue;
        const gfx::Point p = touch->locationInWindow();
        sum.x += p.x;
        sum.y += p.y;
        ++count;
    }
    if (count == 0) return {};
    return {sum.x / static_cast<double>(count), sum.y / static_cast<double>(count)};
}

gfx::Point GestureRecognizer::centroidInWindow() const {
    return _touches.empty() ? _lastCentroid : centroidOf(_touches);
}

TouchSet GestureRecognizer::activeTouches() const {
    TouchSet active;
    for (const auto& touch : _touches)
        if (!isLifted(*touch)) active.push_back(touch);
    return active;
}

gfx::Point GestureRecognizer::vectorInView(gfx::Point windowVector, const View* view) {
    if (view == nullptr) return windowVector;
    const gfx::Point origin = view->convertPointFromView({0, 0}, nullptr);
    const gfx::Point end = view->convertPointFromView(windowVector, nullptr);
    return {end.x - origin.x, end.y - origin.y};
}

gfx::Point GestureRecognizer::vectorFromView(gfx::Point viewVector, const View* view) {
    if (view == nullptr) return viewVector;
    const gfx::Point origin = view->convertPointToView({0, 0}, nullptr);
    const gfx::Point end = view->convertPointToView(viewVector, nullptr);
    return {end.x - origin.x, end.y - origin.y};
}

double GestureRecognizer::timestampOf(const TouchSet& touches, const Event* event) {
    if (event != nullptr) return event->timestamp();
    double latest = 0;
    for (const auto& touch : touches)
        if (touch) latest = std::max(latest, touch->timestamp());
    return latest;
}

gfx::Point GestureRecognizer::locationInView(const View* view) const {
    const gfx::Point p = centroidInWindow();
    return view != nullptr ? view->convertPointFromView(p, nullptr) : p;
}

gfx::Point GestureRecognizer::locationOfTouch(long index, const View* view) const {
    if (index < 0 || index >= numberOfTouches()) return locationInView(view);
    return _touches[static_cast<std::size_t>(index)]->locationInView(view);
}

// --- Touches. The dispatcher records them before calling; subclasses decide.

void GestureRecognizer::touchesBegan(const TouchSet&, Event*) {}
void GestureRecognizer::touchesMoved(const TouchSet&, Event*) {}
void GestureRecognizer::touchesEnded(const TouchSet&, Event*) {}
void GestureRecognizer::touchesCancelled(const TouchSet&, Event*) {}

bool GestureRecognizer::canPreventGestureRecognizer(const GestureRecognizer&) const {
    return true;
}
bool GestureRecognizer::canBePreventedByGestureRecognizer(const GestureRecognizer&) const {
    return true;
}

void GestureRecognizer::addTouch(const std::shared_ptr<Touch>& touch) {
    if (std::find(_touches.begin(), _touches.end(), touch) == _touches.end()) _touches.push_back(touch);
}

void GestureRecognizer::ignoreTouch(const Touch& touch) {
    const auto it =
        std::find_if(_touches.begin(), _touches.end(), [&](const auto& t) { return t.get() == &touch; });
    if (it == _touches.end()) return;
    _lastCentroid = centroidInWindow();
    _touches.erase(it);
    if (_dispatcher != nullptr) _dispatcher->forgetTouch(*this, touch);
}

void GestureRecognizer::removeFinishedTouches() {
    if (_touches.empty()) return;
    _lastCentroid = centroidOf(_touches);
    std::erase_if(_touches, [](const std::shared_ptr<Touch>& t) { return isLifted(*t); });
}

// --- State.

void GestureRecognizer::setState(GestureRecognizerState state) {
    if (_dispatcher != nullptr) {
        _dispatcher->requestState(*this, state);
        return;
    }
    // Not in a delivery (a recognizer driven by hand): the transitions apply as they are.
    if (isFinished(_state) || state == _state || state < GestureRecognizerStatePossible ||
        state > GestureRecognizerStateFailed)
        return;
    commitState(state);
    if (state != GestureRecognizerStateFailed && state != GestureRecognizerStatePossible) sendActions();
}

void GestureRecognizer::commitState(GestureRecognizerState state) {
    _state = state;
}

void GestureRecognizer::sendActions() {
    _actions.send(*this, nullptr, 1);
}

void GestureRecognizer::reset() {}

void GestureRecognizer::resetForNextGesture() {
    if (!_touches.empty()) _lastCentroid = centroidOf(_touches);
    _touches.clear();
    _pendingState.reset();
    _pendingEnds = false;
    _dispatcher = nullptr;
    _state = GestureRecognizerStatePossible;
    reset();
}

} // namespace ui
