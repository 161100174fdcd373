#include "OLMCalendar/Transitions/XQViewTransitionFold.h"

#include "platform/ui/GradientLayer.h"
#include "platform/ui/Screen.h"

#include <numbers>

OLM_DEFINE_CLASS(XQViewTransitionFold, XQViewTransition)

namespace {

constexpr double kPi = std::numbers::pi;

gfx::Transform3D perspectiveOf(double m34) {
    gfx::Transform3D p;
    p.m34 = m34;
    return p;
}

} // namespace

void XQViewTransitionFold::init(const gfx::Rect& frame) {
    XQViewTransition::init(frame);
    setClipsToBounds(true);
}

void XQViewTransitionFold::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                           XQViewTransitionDirection direction) {
    setBackgroundColor(superviewBackgroundColor());
    setDirection(direction);
    // Begun again, the strips and the page of an earlier run go (they would show through).
    for (const auto& fold : _folds)
        fold->removeFromSuperview();
    if (_toView) _toView->removeFromSuperview();
    _toView = nullptr;
    createFolds(2, from);
    // The flat pose in the device's perspective: a flat strip looks the same without it, but
    // a play from here then turns the strips in one perspective instead of fading it in.
    showPose(0, devicePerspective());
    const gfx::Size size = bounds().size;
    const double edge = (isVertical() ? size.height : size.width) *
                        (direction == XQViewTransitionDirectionBackward ? -1 : 1);
    _toView = ui::View::make(isVertical() ? gfx::Rect{0, edge, size.width, size.height}
                                          : gfx::Rect{edge, 0, size.width, size.height});
    _toView->layer()->setContents(to);
    addSubview(_toView);
    _initialPercent = -1.0;
}

void XQViewTransitionFold::createFolds(int pairs, const gfx::ImageRef& image) {
    const gfx::Size size = bounds().size;
    _foldWidth = (isVertical() ? size.height : size.width) * 0.5 / 2;
    _folds.clear();
    const double fw = _foldWidth;
    for (int i = 0; i < pairs; ++i) {
        const double x = 2 * i * fw - fw / 2;
        _folds.push_back(createFold(x, true, image));
        _folds.push_back(createFold(x + 2 * fw, false, image));
    }
}

std::shared_ptr<ui::View> XQViewTransitionFold::createFold(double offset, bool isLeft, const gfx::ImageRef& image) {
    const gfx::Size size = bounds().size;
    const double fw = _foldWidth;
    const bool vertical = isVertical();
    auto fold = ui::View::make(vertical ? gfx::Rect{0, offset, size.width, fw} : gfx::Rect{offset, 0, fw, size.height});
    // The crop is one point short along the axis and stretched over the strip; a strip under
    // a point long shows nothing.
    const double s = isLeft ? 1 : -1;
    const double cropStart = offset + s * fw / 2;
    const gfx::Rect crop = vertical ? gfx::Rect{0, cropStart, size.width, fw - 1.0}
                                    : gfx::Rect{cropStart, 0, fw - 1.0, size.height};
    if (crop.size.width > 0 && crop.size.height > 0)
        fold->layer()->setContents(cropImg(image, crop, false, orientation()));
    // The layer keeps its position (the frame's centre), so re-anchoring moves the strip by
    // half its length onto its place, hinged at the anchor.
    fold->layer()->setAnchorPoint(vertical ? gfx::Point{0.5, isLeft ? 0.0 : 1.0} : gfx::Point{isLeft ? 0.0 : 1.0, 0.5});
    fold->layer()->setAllowsEdgeAntialiasing(true);
    addShadowToFold(fold, !isLeft);
    addSubview(fold);
    return fold;
}

void XQViewTransitionFold::addShadowToFold(const std::shared_ptr<ui::View>& fold, bool reverse) {
    auto shade = ui::View::make(fold->bounds());
    auto gradient = ui::GradientLayer::make();
    gradient->setFrame(shade->bounds());
    gradient->setColors({gfx::Color::white(0, 0), gfx::Color::white(0, 0.15)});
    if (isVertical()) {
        gradient->setStartPoint(reverse ? gfx::Point{0, 0} : gfx::Point{1, 1});
        gradient->setEndPoint(reverse ? gfx::Point{0.2, 1} : gfx::Point{0, 0});
    } else {
        gradient->setStartPoint(reverse ? gfx::Point{0, 0.2} : gfx::Point{1, 0});
        gradient->setEndPoint(reverse ? gfx::Point{1, 0} : gfx::Point{0, 1});
    }
    // Index 1 of a layer with no sublayers: appended.
    shade->layer()->insertSublayer(gradient, 1);
    shade->setAlpha(0);
    fold->addSubview(shade);
}

gfx::Transform3D XQViewTransitionFold::devicePerspective() {
    const ui::Device& device = ui::Device::currentDevice();
    const bool wide = device.userInterfaceIdiom() == ui::UserInterfaceIdiomPad ||
                      ui::deviceOrientationIsLandscape(device.orientation());
    return perspectiveOf(wide ? -0.002 : -0.005);
}

void XQViewTransitionFold::showPose(double f, const gfx::Transform3D& perspective) {
    const gfx::Size size = bounds().size;
    const double w = size.width, h = size.height;
    const bool vertical = isVertical();
    const bool forward = isForward();
    const double length = vertical ? h : w;
    // Where a hinge at `at` (flat) is when folded by f.
    auto hinge = [&](double at) {
        const double along = forward ? at * (1 - f) : at + (length - at) * f;
        return vertical ? gfx::Point{w / 2, along} : gfx::Point{along, h / 2};
    };
    const double turn = kPi / 2 * f;
    for (std::size_t k = 0; k < _folds.size(); ++k) {
        ui::View& fold = *_folds[k];
        const bool first = k % 2 == 0;
        // Pair i's first strip is hinged at 2i·fw, its second at 2i·fw + 2fw.
        const double at = 2 * static_cast<double>(k / 2) * _foldWidth + (first ? 0 : 2 * _foldWidth);
        const double angle = (first != vertical) ? turn : -turn;
        fold.layer()->setPosition(hinge(at));
        fold.layer()->setTransform(vertical ? gfx::rotate(perspective, angle, 1, 0, 0)
                                            : gfx::rotate(perspective, angle, 0, 1, 0));
        for (const auto& shade : fold.subviews())
            shade->setAlpha(f);
    }
    if (_toView) {
        const double along = forward ? length - length * f : -length + length * f;
        _toView->setFrame(vertical ? gfx::Rect{0, along, w, h} : gfx::Rect{along, 0, w, h});
    }
}

void XQViewTransitionFold::transitionWithAnimation() {
    animate(transitionDuration());
}

void XQViewTransitionFold::updateTransition(double p) {
    if (_initialPercent == -1.0) _initialPercent = p;
    showPose(p - _initialPercent, devicePerspective());
}

void XQViewTransitionFold::finishTransition() {
    animate(transitionDuration() / 2);
}

void XQViewTransitionFold::cancelTransition() {
    animateToPose(0, perspectiveOf(-0.005), transitionDuration() / 2, true);
}

void XQViewTransitionFold::animate(double duration) {
    animateToPose(1, devicePerspective(), duration, false);
}

void XQViewTransitionFold::animateToPose(double f, const gfx::Transform3D& perspective, double duration,
                                         bool canceled) {
    std::vector<ui::View*> moving;
    for (const auto& fold : _folds) {
        moving.push_back(fold.get());
        for (const auto& shade : fold->subviews())
            moving.push_back(shade.get());
    }
    if (_toView) moving.push_back(_toView.get());
    holdPresentedPose(moving);
    ui::View::animateWithDuration(
        duration, [this, f, perspective] { showPose(f, perspective); }, endingCompletion(canceled));
}
