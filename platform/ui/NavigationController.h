#pragma once

// A navigation controller: a stack of view controllers of which the top one shows, under a
// 44-point opaque bar with the top item's title, its right button (tinted text) and, below
// the root, a back button that pops.
//
//     auto navigation = ui::NavigationController::make(yearController);
//     window->setRootViewController(navigation);
//     navigation->pushViewController(monthController, true);   // slides in next frame
//
// Push and pop change the stack at once (the pushed controller is sent
// `willMoveToParentViewController(navigation)`, the popped one
// `willMoveToParentViewController(nullptr)`); the transition starts in the next layout pass
// of the navigation controller's view: the "to" view is loaded, the animator chosen (the
// delegate's, or a 0.35 s slide when it has none; nothing when not animated), will-disappear
// and will-appear sent, the "to" view placed at its final frame unless it is transformed,
// and the animator started. At `completeTransition(YES)` the "from" view leaves the
// container, then come did-disappear, did-appear and `didMoveToParentViewController`; a
// popped controller is released after that. `completeTransition(NO)` puts the stack and the
// views back as they were and balances the appearance calls.
//
// While a transition is pending or running, pushes and pops are ignored; so are a controller
// already in the stack (or in another container) and popping the root. Main thread only.

#include "platform/ui/ViewController.h"
#include "platform/ui/ViewControllerTransitioning.h"

#include <memory>
#include <vector>

namespace ui {

class Button;
class Label;
class NavigationController;

using NavigationControllerOperation = long;
inline constexpr NavigationControllerOperation NavigationControllerOperationNone = 0;
inline constexpr NavigationControllerOperation NavigationControllerOperationPush = 1;
inline constexpr NavigationControllerOperation NavigationControllerOperationPop = 2;

class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    // The animator of an animated push or pop; null (the default) means the built-in slide.
    virtual std::shared_ptr<ViewControllerAnimatedTransitioning> navigationControllerAnimationControllerForOperation(
        NavigationController& navigationController, NavigationControllerOperation operation,
        ViewController& fromViewController, ViewController& toViewController) {
        (void)navigationController;
        (void)operation;
        (void)fromViewController;
        (void)toViewController;
        return nullptr;
    }
};

// The bar: opaque, a centred bold title, a back button at the left and the right item's
// title in the tint colour.
class NavigationBar : public View {
public:
    OLM_DECLARE_CLASS(NavigationBar)
    static constexpr double height = 44;
    static std::shared_ptr<NavigationBar> make(const gfx::Rect& frame = {}) {
        return rt::create<NavigationBar>(frame);
    }

    const std::shared_ptr<Label>& titleLabel() const { return _title; }
    // Hidden when there is nothing to go back to.
    const std::shared_ptr<Button>& backButton() const { return _back; }
    // Hidden when the item has no right button.
    const std::shared_ptr<Button>& rightButton() const { return _right; }

    void layoutSubviews() override;
    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect& rect) override;

protected:
    NavigationBar() = default;
    void init(const gfx::Rect& frame);
    friend class rt::Access;

private:
    std::shared_ptr<Label> _title;
    std::shared_ptr<Button> _back;
    std::shared_ptr<Button> _right;
};

class NavigationController : public ViewController {
public:
    OLM_DECLARE_CLASS(NavigationController)
    // `initWithRootViewController:`; a null root leaves the stack empty.
    static std::shared_ptr<NavigationController> make(std::shared_ptr<ViewController> root) {
        return rt::create<NavigationController>(std::move(root));
    }
    ~NavigationController() override;
    // How long a right bar button set animated fades.
    static constexpr double barButtonFadeDuration = 0.3;

    // Bottom (the root) first.
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return _stack; }
    std::shared_ptr<ViewController> topViewController() const;
    void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
    // The controller taken off the stack, or null when the pop was ignored.
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);

    const std::weak_ptr<NavigationControllerDelegate>& delegate() const { return _delegate; }
    void setDelegate(std::weak_ptr<NavigationControllerDelegate> delegate) { _delegate = std::move(delegate); }

    // Loads the view.
    NavigationBar& navigationBar();
    // The view the top controller's view fills (below the bar); loads the view.
    const std::shared_ptr<View>& containerView();
    // Whether a push or pop waits for its transition to start or end.
    bool isTransitioning() const { return _transition != nullptr; }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

protected:
    NavigationController() = default;
    void init(std::shared_ptr<ViewController> root);
    friend class rt::Access;

private:
    class Transition;
    friend class Transition;

    void layoutChrome();
    // Shows the top item; animated, a right button that comes or goes fades over 0.3 s.
    void updateBar(bool animated = false);
    void backTapped();
    void rightTapped();
    void beginTransition(NavigationControllerOperation operation, std::shared_ptr<ViewController> from,
                         std::shared_ptr<ViewController> to, bool animated);
    void startPendingTransition();
    void finishTransition(Transition& transition, bool didComplete);
    void placeInContainer(View& view);
    void showInContainer(ViewController& controller);

    std::vector<std::shared_ptr<ViewController>> _stack;
    std::weak_ptr<NavigationControllerDelegate> _delegate;
    std::shared_ptr<NavigationBar> _bar;
    std::shared_ptr<View> _container;
    std::shared_ptr<Transition> _transition;
    std::shared_ptr<NavigationItem> _shownItem;
};

} // namespace ui
