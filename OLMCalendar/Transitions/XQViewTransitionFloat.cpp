#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"

#include "platform/graphics/Transform3D.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Transaction.h"

OLM_DEFINE_CLASS(XQViewTransitionFloat, XQViewTransition)

namespace {

gfx::Transform3D scaleTransform(double s) {
    return gfx::Transform3D::makeScale(s, s, 1);
}

// Changes made inside take effect at once, with no implicit animation trailing behind.
template <class F> void withoutActions(F&& changes) {
    ui::Transaction::begin();
    ui::Transaction::setDisableActions(true);
    changes();
    ui::Transaction::commit();
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

// Hears the end of the bottom layer's transform animation for the transition. The animation
// holds its delegate until it stops; `onStop` holds the transition only weakly, so that a
// transition dropped by its owner mid-animation is not kept alive by its own animation.
class EndListener : public ui::AnimationDelegate {
public:
    explicit EndListener(std::function<void()> onStop) : _onStop(std::move(onStop)) {}
    void animationDidStop(ui::Animation*, bool) override { _onStop(); }

private:
    std::function<void()> _onStop;
};

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
    _canceled = true;
    animateToPose(poseAt(0), transitionDuration() / 2);
}

void XQViewTransitionFloat::animate(double duration) {
    animateToPose(poseAt(1), duration);
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

void XQViewTransitionFloat::animateToPose(const Pose& pose, double duration) {
    const EndingTicket ticket = takeEndingTicket();
    std::weak_ptr<XQViewTransitionFloat> weakSelf = rt::weakFrom(this);
    // "a4" replacing the "a4" of an earlier play or finish stops that one first; its ticket is
    // no longer the last, so only the animation started here can report.
    auto listener = std::make_shared<EndListener>([weakSelf, ticket] {
        if (auto self = weakSelf.lock()) self->endingAnimationDidStop(ticket, self->_canceled);
    });
    animateLayer(*_top, "transform", scaleTransform(pose.topScale), duration, "a1");
    animateLayer(*_top, "opacity", pose.topOpacity, duration, "a2");
    animateLayer(*_bottom, "opacity", pose.bottomOpacity, duration, "a3");
    animateLayer(*_bottom, "transform", scaleTransform(pose.bottomScale), duration, "a4",
                 std::move(listener));
}
