#include "platform/ui/ScrollView.h"

#include "platform/graphics/Screen.h"
#include "platform/ui/DisplayLink.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/TimingFunction.h"

#include <algorithm>
#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(ScrollView, View)

namespace {

bool isFinite(gfx::Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

constexpr double rubberBandCoefficient = 0.55;

// The damped overshoot of a finger `overshoot` points beyond the edge of a view `extent` long.
double damped(double overshoot, double extent) {
    return (1 - 1 / (overshoot * rubberBandCoefficient / extent + 1)) * extent;
}

// The finger overshoot that shows `shown` points beyond the edge.
double undamped(double shown, double extent) {
    const double fraction = std::min(shown / extent, 0.999);
    return (1 / (1 - fraction) - 1) * extent / rubberBandCoefficient;
}

// Along one axis: an offset of the finger with its overshoot damped, or undamped again.
double dampAxis(double raw, double maximum, double extent, bool undamp) {
    if (!(extent > 0)) return std::clamp(raw, 0.0, maximum);
    const auto map = [&](double x) { return undamp ? undamped(x, extent) : damped(x, extent); };
    if (raw < 0) return -map(-raw);
    if (raw > maximum) return maximum + map(raw - maximum);
    return raw;
}

} // namespace

// The scroll view's pan: tells it when fingers touch down (stopping motion) and when the
// gesture is over (springing back from beyond an edge).
class ScrollView::Pan : public PanGestureRecognizer {
public:
    std::weak_ptr<ScrollView> owner;

    void touchesBegan(const TouchSet& touches, Event* event) override {
        if (activeTouches().size() == touches.size())
            if (const auto scroll = owner.lock()) scroll->fingerDown();
        PanGestureRecognizer::touchesBegan(touches, event);
    }

protected:
    Pan() = default;
    friend class rt::Access;

    void reset() override {
        PanGestureRecognizer::reset();
        if (const auto scroll = owner.lock()) scroll->fingerLifted();
    }
};

class ScrollView::PanDelegate : public GestureRecognizerDelegate {
public:
    explicit PanDelegate(ScrollView* owner) : _owner(owner) {}
    bool gestureRecognizerShouldBegin(GestureRecognizer& recognizer) override {
        const auto* pan = dynamic_cast<const PanGestureRecognizer*>(&recognizer);
        return pan == nullptr || _owner->panShouldBegin(*pan);
    }

private:
    ScrollView* _owner; // owns this delegate
};

void ScrollView::init(const gfx::Rect& frame) {
    View::init(frame);
    setClipsToBounds(true);
    auto pan = rt::create<Pan>();
    pan->owner = rt::weakFrom(this);
    pan->addTarget(this, &ScrollView::pan);
    _panDelegate = std::make_shared<PanDelegate>(this);
    pan->setDelegate(_panDelegate);
    _pan = pan;
    addGestureRecognizer(_pan);
    const std::weak_ptr<ScrollView> weak = rt::weakFrom(this);
    _link = DisplayLink::make([weak](double now) {
        if (const auto scroll = weak.lock()) scroll->tick(now);
    });
}

ScrollView::~ScrollView() = default;

// --- Content.

void ScrollView::setContentSize(gfx::Size size) {
    const auto extent = [](double v) { return std::isfinite(v) && v > 0 ? v : 0.0; };
    _contentSize = {extent(size.width), extent(size.height)};
}

gfx::Point ScrollView::maximumContentOffset() const {
    const gfx::Size size = bounds().size;
    return {std::max(0.0, _contentSize.width - size.width), std::max(0.0, _contentSize.height - size.height)};
}

gfx::Point ScrollView::clampedOffset(gfx::Point offset) const {
    const gfx::Point maximum = maximumContentOffset();
    return {std::clamp(offset.x, 0.0, maximum.x), std::clamp(offset.y, 0.0, maximum.y)};
}

gfx::Point ScrollView::dampedOffset(gfx::Point raw) const {
    if (!_bounces) return clampedOffset(raw);
    const gfx::Point maximum = maximumContentOffset();
    const gfx::Size size = bounds().size;
    return {dampAxis(raw.x, maximum.x, size.width, false), dampAxis(raw.y, maximum.y, size.height, false)};
}

gfx::Point ScrollView::undampedOffset(gfx::Point offset) const {
    if (!_bounces) return offset;
    const gfx::Point maximum = maximumContentOffset();
    const gfx::Size size = bounds().size;
    return {dampAxis(offset.x, maximum.x, size.width, true), dampAxis(offset.y, maximum.y, size.height, true)};
}

void ScrollView::setContentOffset(gfx::Point offset) {
    setContentOffset(offset, false);
}

void ScrollView::setContentOffset(gfx::Point offset, bool animated) {
    if (!isFinite(offset)) return;
    const std::shared_ptr<ScrollView> keep = rt::sharedFrom(this);
    stopMotion(true);
    if (animated) {
        if (!(offset == contentOffset())) startMotion(Motion::animating, offset, scrollAnimationDuration);
        return;
    }
    if (_dragging) {
        // The drag goes on from the new offset.
        const gfx::Point t = _pan->translationInView(this);
        const gfx::Point origin = undampedOffset(offset);
        _dragOrigin = {origin.x + t.x, origin.y + t.y};
    }
    moveContent(offset);
}

void ScrollView::moveContent(gfx::Point offset) {
    const gfx::Rect b = bounds();
    if (offset == b.origin) return;
    const std::shared_ptr<ScrollView> keep = rt::sharedFrom(this);
    setBounds({offset, b.size});
    setNeedsLayout();
    if (const auto d = delegate()) d->scrollViewDidScroll(*this);
}

// --- The pan.

bool ScrollView::isScrollEnabled() const {
    return _pan->isEnabled();
}

void ScrollView::setScrollEnabled(bool enabled) {
    _pan->setEnabled(enabled);
}

bool ScrollView::canScrollHorizontally() const {
    return _contentSize.width > bounds().size.width || _alwaysBounceHorizontal;
}

bool ScrollView::canScrollVertically() const {
    return _contentSize.height > bounds().size.height || _alwaysBounceVertical;
}

bool ScrollView::panShouldBegin(const PanGestureRecognizer& pan) const {
    // The movement that starts the pan must run mainly along an axis this view scrolls;
    // otherwise it is left to the recognizers of the ancestors.
    const gfx::Point t = pan.translationInView(this);
    return std::abs(t.x) > std::abs(t.y) ? canScrollHorizontally() : canScrollVertically();
}

void ScrollView::fingerDown() {
    _tracking = true;
    _touchStoppedMotion = _motion != Motion::none;
    stopMotion(true);
}

void ScrollView::fingerLifted() {
    _tracking = false;
    if (_dragging || _motion != Motion::none) return;
    // A finger that stopped the content beyond an edge and lifted without dragging.
    const gfx::Point target = clampedOffset(contentOffset());
    if (!(target == contentOffset())) startMotion(Motion::decelerating, target);
}

void ScrollView::pan(PanGestureRecognizer& recognizer) {
    switch (recognizer.state()) {
    case GestureRecognizerStateBegan:
        beginDrag();
        break;
    case GestureRecognizerStateChanged:
        if (_dragging) dragTo(recognizer.translationInView(this));
        break;
    case GestureRecognizerStateEnded:
        if (_dragging) endDrag(recognizer.velocityInView(this));
        break;
    case GestureRecognizerStateCancelled:
        if (_dragging) endDrag({});
        break;
    default:
        break;
    }
}

void ScrollView::beginDrag() {
    const std::shared_ptr<ScrollView> keep = rt::sharedFrom(this);
    stopMotion(true);
    _dragging = true;
    // The content follows the finger from here: the movement that started the pan is not
    // made up for.
    _pan->setTranslation({}, this);
    _dragOrigin = undampedOffset(contentOffset());
    if (const auto d = delegate()) d->scrollViewWillBeginDragging(*this);
}

void ScrollView::dragTo(gfx::Point translation) {
    const gfx::Point current = contentOffset();
    const gfx::Point offset = dampedOffset({_dragOrigin.x - translation.x, _dragOrigin.y - translation.y});
    moveContent({canScrollHorizontally() ? offset.x : current.x, canScrollVertically() ? offset.y : current.y});
}

void ScrollView::endDrag(gfx::Point fingerVelocity) {
    const std::shared_ptr<ScrollView> keep = rt::sharedFrom(this);
    // Points per millisecond, positive when the offset grows.
    const gfx::Point velocity{canScrollHorizontally() ? -fingerVelocity.x / 1000 : 0,
                              canScrollVertically() ? -fingerVelocity.y / 1000 : 0};
    const gfx::Point offset = contentOffset();
    const double reach = decelerationRate / (1 - decelerationRate);
    const gfx::Point proposed = clampedOffset({offset.x + velocity.x * reach, offset.y + velocity.y * reach});
    gfx::Point target = proposed;
    if (const auto d = delegate()) d->scrollViewWillEndDraggingWithVelocityTargetContentOffset(*this, velocity, &target);
    target = clampedOffset(isFinite(target) ? target : proposed);
    _dragging = false;
    const bool decelerate = !(target == contentOffset());
    if (decelerate) startMotion(Motion::decelerating, target);
    if (const auto d = delegate()) d->scrollViewDidEndDraggingWillDecelerate(*this, decelerate);
}

// --- Motion.

void ScrollView::startMotion(Motion motion, gfx::Point target, double duration) {
    _motion = motion;
    _motionStart = currentMediaTime();
    _motionDuration = duration;
    _motionFrom = contentOffset();
    _motionTarget = target;
    _link->setPaused(false);
}

void ScrollView::stopMotion(bool report) {
    if (_motion == Motion::none) return;
    const bool wasDecelerating = _motion == Motion::decelerating;
    _motion = Motion::none;
    _link->setPaused(true);
    if (report && wasDecelerating)
        if (const auto d = delegate()) d->scrollViewDidEndDecelerating(*this);
}

void ScrollView::tick(double now) {
    if (_motion == Motion::none) {
        _link->setPaused(true);
        return;
    }
    const std::shared_ptr<ScrollView> keep = rt::sharedFrom(this);
    const gfx::Point from = _motionFrom;
    const gfx::Point to = _motionTarget;
    const double elapsed = std::max(0.0, now - _motionStart);
    double fraction = 1;
    if (_motion == Motion::decelerating)
        fraction = 1 - std::pow(decelerationRate, elapsed * 1000);
    else if (elapsed < _motionDuration)
        fraction = TimingFunction::easeInEaseOut().evaluate(elapsed / _motionDuration);
    gfx::Point offset{from.x + (to.x - from.x) * fraction, from.y + (to.y - from.y) * fraction};
    const double halfPixel = 0.5 / gfx::screenScale();
    const bool arrived = std::abs(to.x - offset.x) < halfPixel && std::abs(to.y - offset.y) < halfPixel;
    if (!arrived) {
        moveContent(offset);
        return;
    }
    // Arrived: the motion is over before the last move is reported, so that a callback
    // that scrolls or starts another motion does not stop this one a second time.
    const Motion ended = _motion;
    _motion = Motion::none;
    _link->setPaused(true);
    moveContent(to);
    if (const auto d = delegate()) {
        if (ended == Motion::decelerating)
            d->scrollViewDidEndDecelerating(*this);
        else
            d->scrollViewDidEndScrollingAnimation(*this);
    }
}

} // namespace ui
