#pragma once

// Zooms and cross-fades between the two snapshots. Forward the from image grows and fades
// away while the to image rises out of the depth to full size; backward the from image
// shrinks and fades while the to image settles down from a larger size. It is the
// calendar's view-mode transition (driven by a pinch or played on a tap) and transition
// mode 3 of the presenters.
//
// Poses are uniform scales s (the transform scale (s, s, 1) about the layer's centre) and
// opacities; with p the progress (not clamped):
//
//     forward:  top (from) scale 1 + 0.8·p, opacity 1 - p; bottom (to) scale 0.6 + 0.4·p, opacity p
//     backward: top (from) scale 1 - 0.4·p, opacity 1 - p; bottom (to) scale 1.8 - 0.8·p, opacity p
//
// Begin and updates show their pose at once (implicit animations disabled). Play, finish
// and cancel add explicit linear animations under the keys "a1" (top transform), "a2" (top
// opacity), "a3" (bottom opacity) and "a4" (bottom transform), each from the layer's model
// value to the target pose, whose model value is set at the same time; so one routine both
// plays the whole transition from the start pose and finishes it from any interactive pose.
// The end report comes from the end of "a4" of the last ending animation started, and
// carries its outcome: cancelled for a cancel, not for a play or a finish (also one that
// follows a cancel still running).

#include "OLMCalendar/Transitions/XQViewTransition.h"
#include "platform/ui/Layer.h"

class XQViewTransitionFloat : public XQViewTransition {
public:
    OLM_DECLARE_CLASS(XQViewTransitionFloat)
    static std::shared_ptr<XQViewTransitionFloat> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransitionFloat>(frame);
    }

    // The layer showing the to image, below `top`.
    const std::shared_ptr<ui::Layer>& bottom() const { return _bottom; }
    // The layer showing the from image.
    const std::shared_ptr<ui::Layer>& top() const { return _top; }
    // What the end report carries: false from begin and from a play or finish, true from a
    // cancel (the last of them started decides).
    bool isCanceled() const { return _canceled; }

    void transitionWithAnimation() override;
    void updateTransition(double progress) override;
    void finishTransition() override;
    void cancelTransition() override;

    // Sizes both layers to the view's bounds, centred.
    void layoutSublayersOfLayer(ui::Layer& layer) override;

protected:
    XQViewTransitionFloat() = default;
    friend struct rt::Access;
    void init(const gfx::Rect& frame);

    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;

    // Animates to the end pose over `duration`; the report follows the end of "a4".
    void animate(double duration);

private:
    struct Pose {
        double topScale;
        double topOpacity;
        double bottomScale;
        double bottomOpacity;
    };
    Pose poseAt(double progress) const;
    void showPose(const Pose& pose);
    void animateToPose(const Pose& pose, double duration, bool canceled);

    std::shared_ptr<ui::Layer> _bottom;
    std::shared_ptr<ui::Layer> _top;
    bool _canceled = false;
};
