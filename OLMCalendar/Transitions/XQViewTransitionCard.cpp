#include "OLMCalendar/Transitions/XQViewTransitionCard.h"

#include <algorithm>
#include <cmath>
#include <numbers>

OLM_DEFINE_CLASS(XQViewTransitionCard, XQViewTransition)

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTiltAngle = 0.2617993877991494;    // 15°
constexpr double kMiddleAngle = 0.3141592653589793;  // π/10, where the driven tilt turns back
constexpr double kLift = 0.08;                       // of the height
constexpr ui::ViewKeyframeAnimationOptions kCubic = ui::ViewKeyframeAnimationOptionCalculationModeCubic;

// The identity seen in the cards' perspective.
gfx::Transform3D perspective() {
    gfx::Transform3D t;
    t.m34 = -1.0 / 900;
    return t;
}

gfx::Transform3D uniformScale(double s) {
    return gfx::Transform3D::makeScale(s, s, 1);
}

} // namespace

void XQViewTransitionCard::init(const gfx::Rect& frame) {
    XQViewTransition::init(frame);
    setClipsToBounds(true);
    for (auto* card : {&_bottom, &_top}) {
        *card = ui::View::make();
        (*card)->layer()->setAllowsEdgeAntialiasing(true);
        addSubview(*card);
    }
}

gfx::Transform3D XQViewTransitionCard::tilt() const {
    return gfx::rotate(gfx::scale(perspective(), 0.95, 0.95, 1), kTiltAngle, 1, 0, 0);
}

gfx::Transform3D XQViewTransitionCard::recede() const {
    return gfx::scale(gfx::translate(gfx::Transform3D::identity(), 0, -kLift * frame().size.height, 0), 0.8, 0.8, 1);
}

void XQViewTransitionCard::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                           XQViewTransitionDirection direction) {
    setBackgroundColor(superviewBackgroundColor());
    setDirection(direction);
    // Begun again, the cards start clean (transforms undone before the frames are set).
    for (auto [card, image] : {std::pair{_top.get(), &from}, std::pair{_bottom.get(), &to}}) {
        card->layer()->removeAllAnimations();
        card->layer()->setTransform(gfx::Transform3D::identity());
        card->setAlpha(1);
        card->setFrame(bounds());
        card->layer()->setContents(*image);
    }
    if (direction == XQViewTransitionDirectionBackward) {
        _bottom->layer()->setTransform(uniformScale(0.8));
        _bottom->setAlpha(0.3);
    } else {
        _bottom->setFrame(_bottom->frame().offsetBy(0, _bottom->frame().size.height));
    }
    _topFrame = _top->frame();
    _topFrame.origin.y = _topFrame.size.height;
}

void XQViewTransitionCard::runPhase(Phase phase) {
    const bool forward = isForward();
    switch (phase) {
    case Phase::A:
        if (forward) {
            _top->layer()->setTransform(tilt());
            _top->setAlpha(0.6);
        } else {
            _top->setFrame(_topFrame);
        }
        break;
    case Phase::B:
        if (forward) {
            _top->layer()->setTransform(recede());
        } else {
            _bottom->layer()->setTransform(tilt());
            _bottom->setAlpha(0.5);
        }
        break;
    case Phase::C:
        if (forward) {
            _bottom->setFrame(bounds());
            _top->setAlpha(0);
        } else {
            _bottom->setAlpha(1);
            _bottom->layer()->setTransform(gfx::Transform3D::identity());
        }
        break;
    case Phase::D:
        _top->setAlpha(0);
        _top->setFrame(_top->frame().offsetBy(0, bounds().size.height));
        break;
    }
}

void XQViewTransitionCard::transitionWithAnimation() {
    animate(transitionDuration());
}

void XQViewTransitionCard::animate(double duration) {
    holdPresentedPose({_top.get(), _bottom.get()});
    ui::View::animateKeyframesWithDuration(
        duration, 0, kCubic,
        [this] {
            ui::View::addKeyframeWithRelativeStartTime(0.0, 0.33, [this] { runPhase(Phase::A); });
            ui::View::addKeyframeWithRelativeStartTime(0.2, 0.33, [this] { runPhase(Phase::B); });
            ui::View::addKeyframeWithRelativeStartTime(0.6, 0.33, [this] { runPhase(Phase::C); });
        },
        endingCompletion(false));
}

void XQViewTransitionCard::updateTransition(double p) {
    _position = p;
    const gfx::Rect bounds = this->bounds();
    const double h = bounds.size.height;
    if (isForward()) {
        _top->setAlpha(1 - 1.5 * p);
        if (p <= 0.2) {
            _top->layer()->setTransform(gfx::rotate(perspective(), kPi / 4 * p * 2, 1, 0, 0));
        } else if (p <= 0.4) {
            const double q = p - 0.2;
            const double s = 1 - 0.2 * q * 4;
            gfx::Transform3D t = gfx::rotate(perspective(), kMiddleAngle - q * kMiddleAngle * 6, 1, 0, 0);
            t = gfx::scale(t, s, s, 1);
            _top->layer()->setTransform(gfx::translate(t, 0, -kLift * frame().size.height * q * 4, 0));
        }
        // The next card rises from 0.2 (already 30 % of the way there) and is in place by 2/3,
        // where the top card has faded out; before 0.2 it waits where begin put it.
        const double r = p < 0.2 ? 0 : std::min(1.0, 1.5 * p);
        _bottom->setFrame({bounds.origin.x, h - h * r, bounds.size.width, h});
        return;
    }
    const double q = std::min(p, 0.5);
    _top->setFrame({bounds.origin.x, frame().size.height * q * 2, bounds.size.width, h});
    const double s = 0.8 + 0.2 * q * 2;
    _bottom->layer()->setTransform(gfx::scale(perspective(), s, s, 1));
    _bottom->setAlpha(2 * std::abs(q));
}

void XQViewTransitionCard::finishTransition() {
    holdPresentedPose({_top.get(), _bottom.get()});
    const double position = _position;
    const bool fallsFurther = direction() == XQViewTransitionDirectionBackward;
    ui::View::animateKeyframesWithDuration(
        transitionDuration(), 0, kCubic,
        [this, position, fallsFurther] {
            // Only the phases the gesture has not passed yet.
            if (position < 0.2)
                ui::View::addKeyframeWithRelativeStartTime(0.0, 0.33, [this] { runPhase(Phase::A); });
            if (position < 0.4)
                ui::View::addKeyframeWithRelativeStartTime(0.2, 0.4, [this] { runPhase(Phase::B); });
            ui::View::addKeyframeWithRelativeStartTime(0.35, 0.45, [this] { runPhase(Phase::C); });
            if (fallsFurther)
                ui::View::addKeyframeWithRelativeStartTime(0.0, 0.8, [this] { runPhase(Phase::D); });
        },
        endingCompletion(false));
}

void XQViewTransitionCard::cancelTransition() {
    holdPresentedPose({_top.get(), _bottom.get()});
    ui::View::animateWithDuration(
        transitionDuration(),
        [this] {
            if (isForward()) {
                _top->layer()->setTransform(gfx::Transform3D::identity());
                _top->setAlpha(1);
                _bottom->setFrame(_topFrame);
            } else {
                _bottom->layer()->setTransform(uniformScale(0.8));
                _bottom->setAlpha(0.3);
                _top->setFrame(bounds());
            }
        },
        endingCompletion(true));
}
