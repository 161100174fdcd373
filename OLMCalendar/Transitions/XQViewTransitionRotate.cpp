#include "OLMCalendar/Transitions/XQViewTransitionRotate.h"

#include <numbers>

OLM_DEFINE_CLASS(XQViewTransitionRotate, XQViewTransition)

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSpringDamping = 0.800000011920929; // 0.8 held in single precision
constexpr double kSpringVelocity = 0.5;

gfx::AffineTransform turn(double angle) {
    return gfx::AffineTransform::makeRotation(angle);
}

} // namespace

void XQViewTransitionRotate::init(const gfx::Rect& frame) {
    XQViewTransition::init(frame);
    setClipsToBounds(true);
    for (auto* page : {&_bottom, &_top}) {
        *page = ui::View::make(bounds());
        (*page)->layer()->setAllowsEdgeAntialiasing(true);
        addSubview(*page);
    }
}

void XQViewTransitionRotate::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                             XQViewTransitionDirection direction) {
    setBackgroundColor(superviewBackgroundColor());
    setDirection(direction);
    // Begun again, the pages start clean: whatever an earlier run left on them goes.
    for (auto [page, image] : {std::pair{_top.get(), &from}, std::pair{_bottom.get(), &to}}) {
        page->layer()->removeAllAnimations();
        // Every turn is about the top-right corner; the frame is set after the anchor (and
        // with the turn undone) so that the page covers the view.
        page->setTransform(gfx::AffineTransform::identity());
        page->layer()->setAnchorPoint({1, 0});
        page->setFrame(bounds());
        page->setAlpha(1);
        page->layer()->setContents(*image);
    }
    if (direction == XQViewTransitionDirectionForward) {
        _bottom->setAlpha(0);
        _bottom->setTransform(turn(-kPi / 4));
        bringSubviewToFront(_top.get());
    } else {
        _bottom->setTransform(turn(kPi / 2));
        bringSubviewToFront(_bottom.get());
    }
}

void XQViewTransitionRotate::transitionWithAnimation() {
    animate(transitionDuration());
}

void XQViewTransitionRotate::updateTransition(double p) {
    _top->setAlpha(1 - p);
    if (isForward()) {
        _bottom->setAlpha(p);
        _bottom->setTransform(turn(-kPi / 4 + kPi / 4 * p));
        _top->setTransform(turn(kPi * p * 0.5));
        return;
    }
    _bottom->setAlpha(1);
    // The to page is in place half-way; later updates leave it there.
    const double q = 2 * p;
    if (q <= 1) _bottom->setTransform(turn(kPi / 2 - kPi / 2 * q));
}

void XQViewTransitionRotate::finishTransition() {
    animate(transitionDuration() / 2);
}

void XQViewTransitionRotate::cancelTransition() {
    spring(
        transitionDuration(),
        [this] {
            _top->setTransform(gfx::AffineTransform::identity());
            _top->setAlpha(1);
            _bottom->setAlpha(0);
            _bottom->setTransform(turn(isForward() ? -kPi / 4 : kPi / 2));
        },
        true);
}

void XQViewTransitionRotate::animate(double duration) {
    spring(
        duration,
        [this] {
            if (isForward()) _top->setTransform(turn(kPi / 2));
            _bottom->setTransform(gfx::AffineTransform::identity());
            _top->setAlpha(0);
            _bottom->setAlpha(1);
        },
        false);
}

void XQViewTransitionRotate::spring(double duration, const std::function<void()>& animations, bool canceled) {
    holdPresentedPose({_top.get(), _bottom.get()});
    ui::View::animateWithDuration(duration, 0, kSpringDamping, kSpringVelocity, ui::ViewAnimationOptionCurveEaseIn,
                                  animations, endingCompletion(canceled));
}
