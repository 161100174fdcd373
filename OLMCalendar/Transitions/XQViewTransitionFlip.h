#pragma once

// The page turn. The view is split at its centre line (vertical for a horizontal transition,
// horizontal for a vertical one) into two halves; one half-page, printed on both faces,
// turns about the centre line like the leaf of a book, in perspective, and comes to lie over
// the other half. A darkening gradient on each face of the leaf and a flat shadow on each
// resting half give it depth. Transition mode 1 of the presenters.
//
// Layers, in a transform layer filling the view, back to front: `left` (the resting first
// half: left, or top when vertical), `bottom` (the resting second half, under the leaf),
// `right2` (the leaf's back face) and `right` (its front face, single-sided, so it vanishes
// when turned away: the two faces share a plane and are told apart by order and culling).
// `rightGradient` and `rightGradient2` fill the faces, `bottomShadow` and `topShadow` the
// resting halves.
//
// First and second image: forward (direction 0) the from and the to image; otherwise the
// other way round. `left` shows the first image's first half, `right` its second half,
// `right2` the second image's first half mirrored, `bottom` the second image's second half.
//
// The leaf's pose is q, the fraction of a half turn: 0 lies flat on the second half (front
// face up), 1 over the first half (back face up); rest poses are 0.001 and 0.996. A forward
// turn goes from 0.001 to 0.996, a backward one the other way. Updates set q = p (1 - p for
// direction 1) and the faces' and halves' shading; as standalone layers do, they animate
// implicitly for a short while behind the model. Play (over the duration), finish and
// cancel (over half of it) turn the leaf with explicit animations from the pose on screen
// ("a1" the front face, "a2" the back face, "a3" and "a4" the gradients, "a5" and "a6" the
// shadows, the one that fades in starting half-way); the report, the canceled flag (set by
// cancel, cleared by begin), comes once, at the end of the last "a1" started.

#include "OLMCalendar/Transitions/XQViewTransition.h"

#include "platform/ui/GradientLayer.h"
#include "platform/ui/TransformLayer.h"

class XQViewTransitionFlip : public XQViewTransition {
public:
    OLM_DECLARE_CLASS(XQViewTransitionFlip)
    static std::shared_ptr<XQViewTransitionFlip> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransitionFlip>(frame);
    }

    const std::shared_ptr<ui::TransformLayer>& transformLayer() const { return _transformLayer; }
    const std::shared_ptr<ui::Layer>& left() const { return _left; }
    const std::shared_ptr<ui::Layer>& bottom() const { return _bottom; }
    const std::shared_ptr<ui::Layer>& right2() const { return _right2; }
    const std::shared_ptr<ui::Layer>& right() const { return _right; }
    const std::shared_ptr<ui::GradientLayer>& rightGradient() const { return _rightGradient; }
    const std::shared_ptr<ui::GradientLayer>& rightGradient2() const { return _rightGradient2; }
    const std::shared_ptr<ui::Layer>& bottomShadow() const { return _bottomShadow; }
    const std::shared_ptr<ui::Layer>& topShadow() const { return _topShadow; }
    // What the end report carries: false from begin, true once cancelled.
    bool isCanceled() const { return _canceled; }

    void transitionWithAnimation() override;
    void updateTransition(double progress) override;
    void finishTransition() override;
    void cancelTransition() override;

    // Puts the halves at their places for the view's bounds.
    void layoutSublayersOfLayer(ui::Layer& layer) override;

    // Cuts the two images into the four half pages and sets the shading of the start pose.
    void updateFirst(const gfx::ImageRef& first, const gfx::ImageRef& second);
    // Poses the leaf at `q`: at once, or animated over `duration` with the shading.
    void rotate(double q, bool animate, double duration);

protected:
    XQViewTransitionFlip() = default;
    friend struct rt::Access;
    void init(const gfx::Rect& frame);

    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;

private:
    // The rest pose a forward turn starts from (and a backward one ends at), and the other.
    double startPose() const;
    double endPose() const;

    std::shared_ptr<ui::TransformLayer> _transformLayer;
    std::shared_ptr<ui::Layer> _left;
    std::shared_ptr<ui::Layer> _bottom;
    std::shared_ptr<ui::Layer> _right2;
    std::shared_ptr<ui::Layer> _right;
    std::shared_ptr<ui::GradientLayer> _rightGradient;
    std::shared_ptr<ui::GradientLayer> _rightGradient2;
    std::shared_ptr<ui::Layer> _bottomShadow;
    std::shared_ptr<ui::Layer> _topShadow;
    bool _canceled = false;
};
