#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"

#include "platform/graphics/Transform3D.h"
#include "platform/ui/Animation.h"

OLM_DEFINE_CLASS(XQViewTransitionFloat, XQViewTransition)

namespace {

gfx::Transform3D scaleTransform(double s) {
    return gfx::Transform3D::makeScale(s, s, 1);
}

// Sets `key` of `layer` to `to` and animates it there, linearly over `duration`, from the
// model value it held: the animation starts wherever the last update left the layer.
void animateLayer(ui::Layer& layer, const char* keyPath, const ui::LayerValue& to, double duration,
                  const std::string& key, std::shared_ptr<ui::AnimationDelegate> delegate = nullptr) {
    ui::LayerValue from = layer.valueForKey(keyPath);
    layer.setValueForKey(keyPath, to);
    auto animation = ui::BasicAnimation::make(keyPath);
    animation->setFromValue(from);
    animation->setToValue(to);
    animation->setDuration(duration);
    if (delegate) animation->setDelegate(std::move(delegate));
    layer.addAnimation(animation, key);
}

} // namespace

void XQViewTransitionFloat::init(const gfx::Rect& frame) {
    XQViewTransition::init(frame);
    setClipsToBounds(true);
    _bottom = ui::Layer::make();
    layer()->addSublayer(_bottom);
    _top = ui::Layer::make();
    layer()->addSublayer(_top);
    setNeedsLayout();
}

void XQViewTransitionFloat::layoutSublayersOfLayer(ui::Layer& layer) {
    XQViewTransition::layoutSublayersOfLayer(layer);
    if (&layer != this->layer().get()) return;
    const gfx::Rect bounds = this->bounds();
    // Following the view's size is not something to animate.
    withoutActions([&] {
        for (ui::Layer* page : {_top.get(), _bottom.get()}) {
            page->setBounds(bounds);
            page->setPosition({bounds.size.width / 2, bounds.size.height / 2});
        }
    });
}

void XQViewTransitionFloat::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                            XQViewTransitionDirection direction) {
    withoutActions([&] {
        setBackgroundColor(pageBackgroundColor());
        setDirection(direction);
        _top->setContents(from);
        _bottom->setContents(to);
        showPose(poseAt(0));
        _canceled = false;
    });
}

void XQViewTransitionFloat::transitionWithAnimation() {
    animate(transitionDuration());
}

void XQViewTransitionFloat::updateTransition(double progress) {
    withoutActions([&] { showPose(poseAt(progress)); });
}

void XQViewTransitionFloat::finishTransition() {
    animate(transitionDuration() / 2);
}

void XQViewTransitionFloat::cancelTransition() {
    animateToPose(poseAt(0), transitionDuration() / 2, true);
}

void XQViewTransitionFloat::animate(double duration) {
    animateToPose(poseAt(1), duration, false);
}

XQViewTransitionFloat::Pose XQViewTransitionFloat::poseAt(double p) const {
    if (isForward()) return {1 + 0.8 * p, 1 - p, 0.6 + 0.4 * p, p};
    return {1 - 0.4 * p, 1 - p, 1.8 - 0.8 * p, p};
}

void XQViewTransitionFloat::showPose(const Pose& pose) {
    _top->setOpacity(pose.topOpacity);
    _bottom->setOpacity(pose.bottomOpacity);
    _bottom->setTransform(scaleTransform(pose.bottomScale));
    _top->setTransform(scaleTransform(pose.topScale));
}

void XQViewTransitionFloat::animateToPose(const Pose& pose, double duration, bool canceled) {
    // The report carries the outcome of the animation that ends the transition, the last one
    // started: a finish that follows a cancel ends on the end pose and reports so.
    _canceled = canceled;
    // "a4" replacing the "a4" of an earlier play or finish stops that one first; its ticket is
    // no longer the last, so only the animation started here can report.
    auto listener = endingAnimationDelegate([canceled](XQViewTransition&) { return canceled; });
    animateLayer(*_top, "transform", scaleTransform(pose.topScale), duration, "a1");
    animateLayer(*_top, "opacity", pose.topOpacity, duration, "a2");
    animateLayer(*_bottom, "opacity", pose.bottomOpacity, duration, "a3");
    animateLayer(*_bottom, "transform", scaleTransform(pose.bottomScale), duration, "a4",
                 std::move(listener));
}
