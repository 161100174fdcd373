#include "OLMCalendar/NavigationController/XQCalendarNavigationAnimator.h"

#include "OLMCalendar/NavigationController/XQCalendarYearViewController.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/ViewAnimation.h"

#include <optional>

OLM_DEFINE_CLASS(XQCalendarNavigationAnimator, rt::Object)

namespace {

// The year view grows fourfold and fades over this share of the transition.
constexpr double zoomShare = 0.8;
constexpr double zoom = 4;

// The two controllers' views of a transition, the destination's added to the container over
// the system background. Nothing (and the transition completed) when the context lacks one.
struct Stage {
    std::shared_ptr<ui::ViewController> fromController;
    std::shared_ptr<ui::View> from, to;
};

std::optional<Stage> setUpStage(const ui::TransitionContextRef& context) {
    const auto container = context->containerView();
    auto fromController = context->viewControllerForKey(ui::TransitionContextFromViewControllerKey);
    const auto toController = context->viewControllerForKey(ui::TransitionContextToViewControllerKey);
    if (!container || !fromController || !toController) {
        context->completeTransition(!context->transitionWasCancelled());
        return std::nullopt;
    }
    Stage stage{fromController, fromController->view(), toController->view()};
    container->setBackgroundColor(gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::colors::white()));
    container->addSubview(stage.to);
    return stage;
}

} // namespace

gfx::AffineTransform XQCalendarNavigationAnimator::rectTransform(gfx::Point offset, gfx::Point scale) {
    // Scaled first, then moved: the scale acts about the view's centre.
    return gfx::AffineTransform::makeTranslation(offset.x, offset.y).scale(scale.x, scale.y);
}

gfx::AffineTransform XQCalendarNavigationAnimator::zoomTransform(gfx::Point offset) {
    // The rect's centre, `offset` from the view's centre, moves to 4 offset on scaling and back
    // by 3 offset: it stays where it is.
    return gfx::AffineTransform::makeTranslation(-(zoom - 1) * offset.x, -(zoom - 1) * offset.y).scale(zoom, zoom);
}

double XQCalendarNavigationAnimator::transitionDuration(const ui::TransitionContextRef& context) {
    (void)context;
    return duration;
}

void XQCalendarNavigationAnimator::animateTransition(const ui::TransitionContextRef& context) {
    if (!context) return;
    if (_operation == ui::NavigationControllerOperationPop)
        doPop(context);
    else
        push(context);
}

void XQCalendarNavigationAnimator::push(const ui::TransitionContextRef& context) {
    const std::optional<Stage> stage = setUpStage(context);
    if (!stage) return;
    const std::shared_ptr<ui::View>& from = stage->from;
    const std::shared_ptr<ui::View>& to = stage->to;

    auto* year = dynamic_cast<XQCalendarYearViewController*>(stage->fromController.get());
    const gfx::Rect rect = year ? year->selectedItemRect() : gfx::Rect::zero();
    const gfx::Size size = from->bounds().size;
    _offset = {rect.midX() - size.width / 2, rect.midY() - size.height / 2};
    _scale = {size.width > 0 ? rect.size.width / size.width : 0, size.height > 0 ? rect.size.height / size.height : 0};
    to->setFrame(from->frame());
    // Laid out (and its calendar sized) now, not inside the animation: the month view only
    // grows, its content does not.
    to->layoutIfNeeded();
    to->setTransform(rectTransform(_offset, _scale));

    const gfx::AffineTransform zoomed = zoomTransform(_offset);
    ui::View::animateWithDuration(zoomShare * duration, [&] {
        from->setTransform(zoomed);
        from->setAlpha(0);
    });
    ui::View::animateWithDuration(
        duration, 0, ui::ViewAnimationOptionLayoutSubviews, [&] { to->setTransform(gfx::AffineTransform::identity()); },
        [from, context](bool) {
            from->setAlpha(1);
            from->setTransform(gfx::AffineTransform::identity());
            context->completeTransition(!context->transitionWasCancelled());
        });
}

void XQCalendarNavigationAnimator::doPop(const ui::TransitionContextRef& context) {
    if (!context) return;
    const std::optional<Stage> stage = setUpStage(context);
    if (!stage) return;
    const std::shared_ptr<ui::View>& from = stage->from;
    const std::shared_ptr<ui::View>& to = stage->to;
    // From the latest push, whatever the year view shows now.
    const gfx::AffineTransform shrunk = rectTransform(_offset, _scale);
    to->setTransform(zoomTransform(_offset));
    to->setAlpha(0);
    ui::View::animateWithDuration(
        duration, 0, ui::ViewAnimationOptionLayoutSubviews,
        [&] {
            from->setTransform(shrunk);
            to->setTransform(gfx::AffineTransform::identity());
            to->setAlpha(1);
        },
        [from, to, context](bool) {
            const bool cancelled = context->transitionWasCancelled();
            if (cancelled) {
                // The month view stays: back to full size, the year view gone from over it.
                from->setTransform(gfx::AffineTransform::identity());
                to->removeFromSuperview();
            }
            context->completeTransition(!cancelled);
        });
}
