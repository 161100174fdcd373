#include "OLMCalendar/Transitions/XQViewTransitionFlip.h"

#include "platform/graphics/Transform3D.h"
#include "platform/ui/MediaClock.h"

#include <numbers>

OLM_DEFINE_CLASS(XQViewTransitionFlip, XQViewTransition)

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kLeafPerspective = -0.002;
// How far the back face sits off the front face, so that the two never share pixels.
constexpr double kFaceGap = 0.01;

struct AnimationSpec {
    const char* keyPath;
    ui::LayerValue to;
    double duration;
    std::optional<ui::TimingFunction> timing;
    double beginTime = 0;     // 0: at once
    bool setsModel = true;    // false: shows `to` while it runs, then the model again
    std::shared_ptr<ui::AnimationDelegate> delegate = nullptr;
};

// Animates `layer` from the value on screen, replacing whatever trails there (an update's
// implicit animation, an earlier turn), so that nothing outlasts this animation.
void animateFromShown(ui::Layer& layer, const std::string& key, AnimationSpec spec) {
    const ui::LayerValue from = layer.presentationValueForKey(spec.keyPath);
    layer.removeAnimationForKey(spec.keyPath);
    if (spec.setsModel) layer.setValueForKey(spec.keyPath, spec.to);
    auto animation = ui::BasicAnimation::make(spec.keyPath);
    animation->setFromValue(from);
    animation->setToValue(spec.to);
    animation->setDuration(spec.duration);
    animation->setTimingFunction(spec.timing);
    animation->setBeginTime(spec.beginTime);
    animation->setDelegate(std::move(spec.delegate));
    layer.addAnimation(animation, key);
}

gfx::Color black(double alpha) {
    return gfx::Color::white(0, alpha);
}

} // namespace

void XQViewTransitionFlip::init(const gfx::Rect& frame) {
    XQViewTransition::init(frame);
    _transformLayer = ui::TransformLayer::make();
    layer()->addSublayer(_transformLayer);
    for (auto* half : {&_left, &_bottom, &_right2, &_right}) {
        *half = ui::Layer::make();
        _transformLayer->addSublayer(*half);
    }
    _right2->setAllowsEdgeAntialiasing(true);
    _right->setAllowsEdgeAntialiasing(true);
    _right->setDoubleSided(false);
    for (auto [gradient, face] : {std::pair{&_rightGradient, &_right}, std::pair{&_rightGradient2, &_right2}}) {
        *gradient = ui::GradientLayer::make();
        (*gradient)->setColors({black(0), black(0.5)});
        (*gradient)->setOpacity(0);
        (*face)->addSublayer(*gradient);
    }
    for (auto [shadow, half] : {std::pair{&_bottomShadow, &_bottom}, std::pair{&_topShadow, &_left}}) {
        *shadow = ui::Layer::make();
        (*shadow)->setBackgroundColor(black(0.3));
        (*shadow)->setOpacity(0);
        (*half)->addSublayer(*shadow);
    }
    setNeedsLayout();
}

void XQViewTransitionFlip::layoutSublayersOfLayer(ui::Layer& layer) {
    XQViewTransition::layoutSublayersOfLayer(layer);
    if (&layer != this->layer().get()) return;
    const gfx::Rect bounds = this->bounds();
    const double w = bounds.size.width, h = bounds.size.height;
    const bool vertical = isVertical();
    const gfx::Rect half = vertical ? gfx::Rect{0, 0, w, h / 2} : gfx::Rect{0, 0, w / 2, h};
    const gfx::Point hinge = vertical ? gfx::Point{0.5, 0} : gfx::Point{0, 0.5};
    // Following the view's size is not something to animate: the halves would slide in from
    // wherever they were.
    withoutActions([&] {
        _transformLayer->setFrame(bounds);
        for (ui::Layer* l : {_left.get(), _bottom.get(), _right.get(), _right2.get()})
            l->setBounds(half);
        const gfx::Point leftCentre = vertical ? gfx::Point{w / 2, h / 4} : gfx::Point{w / 4, h / 2};
        _left->setPosition(leftCentre);
        for (ui::Layer* l : {_bottom.get(), _right2.get(), _right.get()}) {
            l->setAnchorPoint(hinge);
            l->setPosition({w / 2, h / 2});
        }
        // Each face's and half's shading covers it.
        const gfx::Point hingeEdge = vertical ? gfx::Point{w / 2, 0} : gfx::Point{0, h / 2};
        for (auto [shade, host] : {std::pair<ui::Layer*, ui::Layer*>{_rightGradient.get(), _right.get()},
                                   {_rightGradient2.get(), _right2.get()},
                                   {_bottomShadow.get(), _bottom.get()}}) {
            shade->setBounds({{0, 0}, host->bounds().size});
            shade->setAnchorPoint(host->anchorPoint());
            shade->setPosition(hingeEdge);
        }
        _topShadow->setBounds({{0, 0}, _left->bounds().size});
        _topShadow->setPosition(leftCentre);
    });
}

double XQViewTransitionFlip::startPose() const {
    return isForward() ? 0.001 : 0.996;
}

double XQViewTransitionFlip::endPose() const {
    return isForward() ? 0.996 : 0.001;
}

void XQViewTransitionFlip::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                           XQViewTransitionDirection direction) {
    setDirection(direction);
    // Begun again, nothing of an earlier run keeps moving.
    for (ui::Layer* l : std::initializer_list<ui::Layer*>{_left.get(), _bottom.get(), _right2.get(), _right.get(),
                                                          _rightGradient.get(), _rightGradient2.get(),
                                                          _bottomShadow.get(), _topShadow.get()})
        l->removeAllAnimations();
    if (isForward())
        updateFirst(from, to);
    else
        updateFirst(to, from);
    _canceled = false;
    const gfx::Point start = isVertical() ? gfx::Point{0, 1} : gfx::Point{1, 0};
    withoutActions([&] {
        for (ui::GradientLayer* g : {_rightGradient.get(), _rightGradient2.get()}) {
            g->setStartPoint(start);
            g->setEndPoint({0, 0});
        }
        rotate(startPose(), false, 0);
    });
}

void XQViewTransitionFlip::updateFirst(const gfx::ImageRef& first, const gfx::ImageRef& second) {
    const gfx::Size size = first ? first->size() : gfx::Size{};
    const double w = size.width, h = size.height;
    const XQViewTransitionOrientation o = orientation();
    const bool vertical = isVertical();
    const gfx::Rect r1 = vertical ? gfx::Rect{0, 0, w, h / 2} : gfx::Rect{0, 0, w / 2, h};
    const gfx::Rect r2 = vertical ? gfx::Rect{0, h / 2, w, h / 2} : gfx::Rect{w / 2, 0, w / 2, h};
    const gfx::ImageRef c1 = cropImg(first, r1, false, o);
    const gfx::ImageRef c2 = cropImg(first, r2, false, o);
    const gfx::ImageRef c3 = cropImg(second, r1, true, o);
    const gfx::ImageRef c4 = cropImg(second, r2, false, o);
    withoutActions([&] {
        _left->setContents(c1);
        _bottom->setContents(c4);
        _right->setContents(c2);
        _right2->setContents(c3);
        const bool forward = isForward();
        _rightGradient->setOpacity(forward ? 0 : 1);
        _rightGradient2->setOpacity(forward ? 1 : 0);
        _bottomShadow->setOpacity(forward ? 1 : 0);
        _topShadow->setOpacity(forward ? 0 : 1);
    });
}

void XQViewTransitionFlip::rotate(double q, bool animate, double duration) {
    gfx::Transform3D p;
    p.m34 = kLeafPerspective;
    gfx::Transform3D t, t2;
    if (isVertical()) {
        t = gfx::rotate(p, kPi * q, 1, 0, 0);
        t2 = gfx::rotate(gfx::translate(p, 0, kFaceGap, 0), kPi * q, 1, 0, 0);
    } else {
        t = gfx::rotate(p, -kPi * q, 0, 1, 0);
        t2 = gfx::rotate(gfx::translate(p, kFaceGap, 0, 0), -kPi * q, 0, 1, 0);
    }
    if (!animate) {
        _right->setTransform(t);
        _right2->setTransform(t2);
        return;
    }
    const bool forward = isForward();
    const auto easeInOut = ui::TimingFunction::easeInEaseOut();
    const auto linear = ui::TimingFunction::linear();
    withoutActions([&] {
        // Only the last turn started reports: one replacing it stops it silently.
        auto listener = endingAnimationDelegate(
            [](XQViewTransition& flip) { return static_cast<XQViewTransitionFlip&>(flip)._canceled; });
        animateFromShown(*_right, "a1", {"transform", t, duration, easeInOut, 0, true, std::move(listener)});
        animateFromShown(*_right2, "a2", {"transform", t2, duration, easeInOut});
        animateFromShown(*_rightGradient, "a3", {"opacity", forward ? 1.0 : 0.0, duration, linear});
        animateFromShown(*_rightGradient2, "a4", {"opacity", forward ? 0.0 : 1.0, duration, linear});
        if (_canceled) {
            _rightGradient->setOpacity(0);
            _rightGradient2->setOpacity(0);
        }
        // The resting half being uncovered loses its shadow at once; the one being covered
        // darkens in the second half of the turn.
        ui::Layer& fading = forward ? *_bottomShadow : *_topShadow;
        ui::Layer& darkening = forward ? *_topShadow : *_bottomShadow;
        const double half = duration / 2;
        animateFromShown(fading, forward ? "a5" : "a6", {"opacity", 0.0, half, std::nullopt});
        animateFromShown(darkening, forward ? "a6" : "a5",
                         {"opacity", 1.0, half, std::nullopt, ui::currentMediaTime() + half, false});
    });
}

void XQViewTransitionFlip::transitionWithAnimation() {
    rotate(endPose(), true, transitionDuration());
}

void XQViewTransitionFlip::updateTransition(double p) {
    const double q = direction() == XQViewTransitionDirectionBackward ? 1 - p : p;
    rotate(q, false, 0);
    _rightGradient->setOpacity(q);
    _rightGradient2->setOpacity(1 - q);
    if (q >= 0.5) {
        _topShadow->setOpacity((q - 0.5) * 2);
        _bottomShadow->setOpacity(0);
    } else {
        _bottomShadow->setOpacity(1 - 2 * q);
        _topShadow->setOpacity(0);
    }
}

void XQViewTransitionFlip::finishTransition() {
    rotate(endPose(), true, transitionDuration() / 2);
}

void XQViewTransitionFlip::cancelTransition() {
    _canceled = true;
    rotate(startPose(), true, transitionDuration() / 2);
}
