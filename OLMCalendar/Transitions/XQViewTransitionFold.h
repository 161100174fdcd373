#pragma once

// The accordion. The from snapshot is cut into four equal strips along the transition's
// axis (x, or y when vertical), hinged in pairs like a folding screen; as the transition
// runs every strip turns a quarter turn about its hinge and the hinges slide together
// towards one edge, so the page folds up flat there while the to snapshot (`toView`) slides
// in over it from the other side. Each strip darkens as it turns. Transition mode 2 of the
// presenters.
//
// With D the length of the axis and fw = D / 4 (`foldWidth`), strip k covers
// [k·fw, (k + 1)·fw); pair i holds strip 2i, hinged at its leading edge 2i·fw, and strip
// 2i + 1, hinged at its trailing edge (2i + 2)·fw. Each strip shows its part of the image
// (cropped one point short and stretched) under a shade that darkens towards its fold.
//
// For a fold fraction f (0 flat, 1 folded) the first strips turn by +π/2·f about y (-π/2·f
// about x when vertical), the second strips the other way, in perspective (m34 -0.002 on a
// pad or in landscape, else -0.005); forward the hinges h move to h·(1 - f) and `toView`
// comes in from beyond the trailing edge, backward they move to h + (D - h)·f and `toView`
// comes in from before the leading edge. Driven, f is the progress less the first progress
// received (not clamped). Play (over the duration) and finish (over half of it) animate to
// f = 1 and report false; cancel animates back to f = 0 over half the duration, always with
// m34 -0.005, and reports true.

#include "OLMCalendar/Transitions/XQViewTransition.h"

#include "platform/graphics/Transform3D.h"

#include <vector>

class XQViewTransitionFold : public XQViewTransition {
public:
    OLM_DECLARE_CLASS(XQViewTransitionFold)
    static std::shared_ptr<XQViewTransitionFold> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransitionFold>(frame);
    }

    // Shows the to image, above the strips.
    const std::shared_ptr<ui::View>& toView() const { return _toView; }
    // The length of one strip along the axis.
    double foldWidth() const { return _foldWidth; }
    // The four strips: pair 0 first and second, pair 1 first and second.
    const std::vector<std::shared_ptr<ui::View>>& folds() const { return _folds; }
    // The first progress received since begin (-1 before it).
    double initialPercent() const { return _initialPercent; }

    void transitionWithAnimation() override;
    void updateTransition(double progress) override;
    void finishTransition() override;
    void cancelTransition() override;

    // Cuts `image` into `pairs` pairs of strips.
    void createFolds(int pairs, const gfx::ImageRef& image);
    // One strip at `offset` along the axis (half a strip before where it lands), hinged at
    // its leading edge when `isLeft`, at its trailing edge otherwise; added as a subview.
    std::shared_ptr<ui::View> createFold(double offset, bool isLeft, const gfx::ImageRef& image);
    // Lays the shade over `fold`, darkening towards its free edge (`reverse` for second strips).
    void addShadowToFold(const std::shared_ptr<ui::View>& fold, bool reverse);

protected:
    XQViewTransitionFold() = default;
    friend struct rt::Access;
    void init(const gfx::Rect& frame);

    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;

    // Animates to the folded pose over `duration`; reports false at its end.
    void animate(double duration);

private:
    // The perspective the device calls for.
    static gfx::Transform3D devicePerspective();
    // Shows the pose of fold fraction `f` under `perspective`.
    void showPose(double f, const gfx::Transform3D& perspective);
    void animateToPose(double f, const gfx::Transform3D& perspective, double duration, bool canceled);

    std::shared_ptr<ui::View> _toView;
    double _foldWidth = 0;
    std::vector<std::shared_ptr<ui::View>> _folds;
    double _initialPercent = -1.0;
};
