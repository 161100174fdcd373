#pragma once

// Custom transitions between view controllers: a container (the navigation controller) hands
// an animator a context naming the two controllers, their views and the view to animate in;
// the animator puts the "to" view in the container, animates, and calls `completeTransition`
// when it is done.
//
//     void ZoomAnimator::animateTransition(const ui::TransitionContextRef& context) {
//         auto to = context->viewForKey(ui::TransitionContextToViewKey);
//         context->containerView()->addSubview(to);
//         ui::View::animateWithDuration(transitionDuration(context), 0, 0, [&] { ... },
//             [context](bool) { context->completeTransition(!context->transitionWasCancelled()); });
//     }

#include "platform/graphics/Geometry.h"

#include <memory>
#include <string_view>

namespace ui {

class View;
class ViewController;

inline constexpr std::string_view TransitionContextFromViewControllerKey = "from";
inline constexpr std::string_view TransitionContextToViewControllerKey = "to";
inline constexpr std::string_view TransitionContextFromViewKey = "fromView";
inline constexpr std::string_view TransitionContextToViewKey = "toView";

class ViewControllerContextTransitioning {
public:
    virtual ~ViewControllerContextTransitioning() = default;

    // The view the transition happens in; the "from" view is in it when the transition starts.
    virtual std::shared_ptr<View> containerView() const = 0;
    // By the controller keys; null for another key.
    virtual std::shared_ptr<ViewController> viewControllerForKey(std::string_view key) const = 0;
    // By the view keys; null for another key.
    virtual std::shared_ptr<View> viewForKey(std::string_view key) const = 0;
    // Where the controller's view is when the transition has ended: the container's bounds
    // for the one shown then, an empty rectangle for the other.
    virtual gfx::Rect finalFrameForViewController(const ViewController* controller) const = 0;
    // Ends the transition: YES shows the "to" controller, NO restores the "from" one. Only
    // the first call counts.
    virtual void completeTransition(bool didComplete) = 0;
    // Transitions are not interactive here: always false.
    virtual bool transitionWasCancelled() const = 0;
};

using TransitionContextRef = std::shared_ptr<ViewControllerContextTransitioning>;

class ViewControllerAnimatedTransitioning {
public:
    virtual ~ViewControllerAnimatedTransitioning() = default;
    // Seconds; the context may be null.
    virtual double transitionDuration(const TransitionContextRef& context) = 0;
    virtual void animateTransition(const TransitionContextRef& context) = 0;
};

} // namespace ui
