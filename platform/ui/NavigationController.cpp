#include "platform/ui/NavigationController.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

#include <algorithm>

namespace ui {

OLM_DEFINE_CLASS(NavigationBar, View)
OLM_DEFINE_CLASS(NavigationController, ViewController)

// --- The bar.

namespace {

constexpr double kBarMargin = 8;
constexpr double kSlideDuration = 0.35;
// How far the covered view moves while the other slides over it, as a share of the width.
constexpr double kParallax = 0.3;

std::shared_ptr<Button> makeBarButton() {
    auto button = Button::make(ButtonTypeSystem);
    button->setTitleFont(gfx::Font::systemFont(17));
    button->setHidden(true);
    return button;
}

} // namespace

void NavigationBar::init(const gfx::Rect& frame) {
    View::init(frame);
    setBackgroundColor(gfx::systemColors::secondarySystemBackground());
    _title = Label::make();
    _title->setFont(gfx::Font::boldSystemFont(17));
    _title->setTextAlignment(gfx::TextAlignment::center);
    _back = makeBarButton();
    _right = makeBarButton();
    addSubview(_title);
    addSubview(_back);
    addSubview(_right);
}

void NavigationBar::layoutSubviews() {
    const gfx::Rect b = bounds();
    const auto place = [&](Button& button, bool atLeft) {
        const double width = std::min(button.sizeThatFits(b.size).width + 2 * kBarMargin, b.width() / 3);
        button.setFrame({atLeft ? b.minX() : b.maxX() - width, b.minY(), width, b.height()});
        return width;
    };
    // The title is centred in the bar and kept clear of the buttons.
    const double side = std::max(place(*_back, true), place(*_right, false));
    _title->setFrame({b.minX() + side, b.minY(), std::max(0.0, b.width() - 2 * side), b.height()});
}

void NavigationBar::drawRect(const gfx::Rect& rect) {
    gfx::GraphicsContext* c = gfx::currentContext();
    if (c == nullptr) return;
    // A hairline along the bottom edge.
    const double pixel = 1 / std::max(1.0, gfx::screenScale());
    c->setFillColor(gfx::systemColors::separator());
    c->fillRect({rect.minX(), bounds().maxY() - pixel, rect.width(), pixel});
}

// --- The transition of one push or pop.

class NavigationController::Transition : public ViewControllerContextTransitioning,
                                          public std::enable_shared_from_this<Transition> {
public:
    Transition(NavigationController& navigation, NavigationControllerOperation operation,
               std::shared_ptr<ViewController> from, std::shared_ptr<ViewController> to, bool animated)
        : navigation(rt::weakFrom(&navigation)), operation(operation), from(std::move(from)), to(std::move(to)),
          animated(animated) {}

    std::shared_ptr<View> containerView() const override {
        const std::shared_ptr<NavigationController> n = navigation.lock();
        return n ? n->_container : nullptr;
    }
    std::shared_ptr<ViewController> viewControllerForKey(std::string_view key) const override {
        if (key == TransitionContextFromViewControllerKey) return from;
        if (key == TransitionContextToViewControllerKey) return to;
        return nullptr;
    }
    std::shared_ptr<View> viewForKey(std::string_view key) const override {
        if (key == TransitionContextFromViewKey) return from->view();
        if (key == TransitionContextToViewKey) return to->view();
        return nullptr;
    }
    gfx::Rect finalFrameForViewController(const ViewController* controller) const override {
        const std::shared_ptr<View> container = containerView();
        if (!container || controller != to.get()) return {};
        return container->bounds();
    }
    void completeTransition(bool didComplete) override {
        if (std::exchange(completed, true)) return;
        if (const std::shared_ptr<NavigationController> n = navigation.lock()) n->finishTransition(*this, didComplete);
    }
    bool transitionWasCancelled() const override { return false; }

    std::weak_ptr<NavigationController> navigation;
    NavigationControllerOperation operation;
    std::shared_ptr<ViewController> from;
    std::shared_ptr<ViewController> to;
    bool animated;
    std::shared_ptr<ViewControllerAnimatedTransitioning> animator;
    bool started = false;
    bool completed = false;
    bool forwardsAppearance = false;
};

namespace {

// The built-in animation: the new view slides in from the right over the old one, which
// moves a little to the left; a pop plays it backwards.
class SlideAnimator : public ViewControllerAnimatedTransitioning {
public:
    explicit SlideAnimator(NavigationControllerOperation operation) : _push(operation != NavigationControllerOperationPop) {}

    double transitionDuration(const TransitionContextRef&) override { return kSlideDuration; }

    void animateTransition(const TransitionContextRef& context) override {
        const std::shared_ptr<View> container = context->containerView();
        const std::shared_ptr<View> fromView = context->viewForKey(TransitionContextFromViewKey);
        const std::shared_ptr<View> toView = context->viewForKey(TransitionContextToViewKey);
        if (!container || !fromView || !toView) {
            context->completeTransition(true);
            return;
        }
        const gfx::Rect whole = container->bounds();
        const double w = whole.width();
        const gfx::Rect fromEnd = whole.offsetBy(_push ? -w * kParallax : w, 0);
        const gfx::Rect toStart = whole.offsetBy(_push ? w : -w * kParallax, 0);
        View::performWithoutAnimation([&] {
            if (_push)
                container->addSubview(toView);
            else
                container->insertSubviewBelow(toView, fromView.get());
            toView->setFrame(toStart);
        });
        View::animateWithDuration(
            transitionDuration(context), 0, ViewAnimationOptionCurveEaseInOut,
            [&] {
                toView->setFrame(whole);
                fromView->setFrame(fromEnd);
            },
            [context, fromView, whole](bool) {
                View::performWithoutAnimation([&] { fromView->setFrame(whole); });
                context->completeTransition(!context->transitionWasCancelled());
            });
    }

private:
    bool _push;
};

// The navigation controller's own view: lays out the bar and the container, and starts a
// pending transition in its layout pass.
class NavigationView : public View {
public:
    OLM_DECLARE_CLASS(NavigationView)
    static std::shared_ptr<NavigationView> make(const gfx::Rect& frame) { return rt::create<NavigationView>(frame); }
    std::function<void()> layout;
    void layoutSubviews() override {
        if (layout) layout();
    }

protected:
    NavigationView() = default;
    friend class rt::Access;
};

OLM_DEFINE_CLASS(NavigationView, View)

} // namespace

// --- Stack.

void NavigationController::init(std::shared_ptr<ViewController> root) {
    ViewController::init();
    if (!root || root->parentViewController() != nullptr) return;
    addChildViewController(root);
    if (root->parentViewController() != this) return;
    _stack.push_back(root);
    root->didMoveToParentViewController(this);
}

NavigationController::~NavigationController() {
    if (_shownItem) _shownItem->setChangeHandler(nullptr);
    if (auto* v = dynamic_cast<NavigationView*>(isViewLoaded() ? view().get() : nullptr)) v->layout = nullptr;
}

std::shared_ptr<ViewController> NavigationController::topViewController() const {
    return _stack.empty() ? nullptr : _stack.back();
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated) {
    if (!controller || _transition || controller->parentViewController() != nullptr) return;
    for (const ViewController* c = this; c != nullptr; c = c->parentViewController())
        if (c == controller.get()) return;
    const std::shared_ptr<NavigationController> keep = rt::sharedFrom(this);
    const std::shared_ptr<ViewController> from = topViewController();
    _stack.push_back(controller);
    if (!from) {
        // The first controller of an empty stack becomes the root without a transition.
        addChildViewController(controller);
        if (isViewLoaded()) showInContainer(*controller);
        if (isAppearingOrAppeared()) {
            controller->beginAppearanceTransition(true, false);
            controller->endAppearanceTransition();
        }
        controller->didMoveToParentViewController(this);
        updateBar();
        return;
    }
    beginTransition(NavigationControllerOperationPush, from, std::move(controller), animated);
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated) {
    if (_transition || _stack.size() < 2) return nullptr;
    const std::shared_ptr<NavigationController> keep = rt::sharedFrom(this);
    std::shared_ptr<ViewController> from = _stack.back();
    _stack.pop_back();
    beginTransition(NavigationControllerOperationPop, from, _stack.back(), animated);
    return from;
}

void NavigationController::beginTransition(NavigationControllerOperation operation, std::shared_ptr<ViewController> from,
                                           std::shared_ptr<ViewController> to, bool animated) {
    // The transition is recorded first, so that pushes and pops made by the hooks below are
    // ignored.
    _transition = std::make_shared<Transition>(*this, operation, from, to, animated);
    const std::shared_ptr<Transition> transition = _transition;
    if (operation == NavigationControllerOperationPush)
        addChildViewController(to);
    else
        from->willMoveToParentViewController(nullptr);
    if (_transition != transition || transition->started) return;
    // Off screen there is nothing to animate: the swap happens now.
    if (!isViewLoaded() || view()->window() == nullptr) {
        transition->animated = false;
        startPendingTransition();
    } else {
        view()->setNeedsLayout();
    }
}

void NavigationController::startPendingTransition() {
    const std::shared_ptr<Transition> t = _transition;
    if (!t || t->started) return;
    t->started = true;
    const std::shared_ptr<NavigationController> keep = rt::sharedFrom(this);
    const std::shared_ptr<View> toView = t->to->view();
    if (t->animated) {
        if (const std::shared_ptr<NavigationControllerDelegate> d = _delegate.lock())
            t->animator = d->navigationControllerAnimationControllerForOperation(*this, t->operation, *t->from, *t->to);
        if (!t->animator) t->animator = std::make_shared<SlideAnimator>(t->operation);
    }
    t->forwardsAppearance = isAppearingOrAppeared();
    if (t->forwardsAppearance) {
        t->from->beginAppearanceTransition(false, t->animated);
        t->to->beginAppearanceTransition(true, t->animated);
    }
    updateBar();
    if (isViewLoaded()) placeInContainer(*toView);
    if (t->animator)
        t->animator->animateTransition(t);
    else
        t->completeTransition(true);
}

void NavigationController::finishTransition(Transition& transition, bool didComplete) {
    if (_transition.get() != &transition) return;
    const std::shared_ptr<NavigationController> keep = rt::sharedFrom(this);
    const std::shared_ptr<Transition> t = _transition;
    const bool push = t->operation == NavigationControllerOperationPush;
    // The controller shown from now on, and the one that leaves.
    const std::shared_ptr<ViewController>& shown = didComplete ? t->to : t->from;
    const std::shared_ptr<ViewController>& gone = didComplete ? t->from : t->to;
    if (isViewLoaded()) {
        const std::shared_ptr<View>& goneView = gone->view();
        if (goneView->superview() == _container.get()) goneView->removeFromSuperview();
        showInContainer(*shown);
    }
    if (t->forwardsAppearance) {
        if (!didComplete) {
            // Turn both changes around before ending them.
            t->to->beginAppearanceTransition(false, t->animated);
            t->from->beginAppearanceTransition(true, t->animated);
        }
        gone->endAppearanceTransition();
        shown->endAppearanceTransition();
    }
    _transition.reset();
    // An animator may keep the context: let go of it so that the two do not hold each other.
    t->animator.reset();
    if (didComplete) {
        if (push)
            t->to->didMoveToParentViewController(this);
        else
            t->from->removeFromParentViewController();
    } else if (push) {
        std::erase(_stack, t->to);
        t->to->willMoveToParentViewController(nullptr);
        t->to->removeFromParentViewController();
    } else {
        _stack.push_back(t->from);
        t->from->willMoveToParentViewController(this);
        t->from->didMoveToParentViewController(this);
    }
    updateBar();
}

// --- View.

void NavigationController::loadView() {
    const gfx::Rect frame = Screen::mainScreen().bounds();
    auto root = NavigationView::make(frame);
    root->layout = [this] {
        layoutChrome();
        startPendingTransition();
    };
    _bar = NavigationBar::make({0, 0, frame.width(), NavigationBar::height});
    _bar->setAutoresizingMask(ViewAutoresizingFlexibleWidth);
    _bar->backButton()->addTarget(this, &NavigationController::backTapped, ControlEventTouchUpInside);
    _bar->rightButton()->addTarget(this, &NavigationController::rightTapped, ControlEventTouchUpInside);
    _container = View::make();
    _container->setClipsToBounds(true);
    root->addSubview(_container);
    root->addSubview(_bar);
    setView(root);
    layoutChrome();
    // A pending transition starts from the controller shown before it.
    if (const std::shared_ptr<ViewController> shown = _transition ? _transition->from : topViewController())
        showInContainer(*shown);
    updateBar();
}

void NavigationController::placeInContainer(View& view) {
    view.setAutoresizingMask(ViewAutoresizingFlexibleWidth | ViewAutoresizingFlexibleHeight);
    if (view.transform().isIdentity()) view.setFrame(_container->bounds());
}

void NavigationController::showInContainer(ViewController& controller) {
    const std::shared_ptr<View>& view = controller.view();
    if (view->superview() == _container.get()) return;
    placeInContainer(*view);
    _container->addSubview(view);
}

void NavigationController::layoutChrome() {
    const gfx::Rect b = view()->bounds();
    const double barHeight = std::min(NavigationBar::height, b.height());
    _bar->setFrame({b.minX(), b.minY(), b.width(), barHeight});
    _container->setFrame({b.minX(), b.minY() + barHeight, b.width(), b.height() - barHeight});
}

NavigationBar& NavigationController::navigationBar() {
    view();
    return *_bar;
}

const std::shared_ptr<View>& NavigationController::containerView() {
    view();
    return _container;
}

void NavigationController::updateBar(bool animated) {
    if (!_bar) return;
    const std::shared_ptr<ViewController> top = topViewController();
    const std::shared_ptr<NavigationItem> item = top ? top->navigationItem() : nullptr;
    if (_shownItem != item) {
        if (_shownItem) _shownItem->setChangeHandler(nullptr);
        _shownItem = item;
        if (item) item->setChangeHandler([weak = rt::weakFrom(this)](bool animated) {
            if (const auto n = weak.lock()) n->updateBar(animated);
        });
    }
    const std::shared_ptr<BarButtonItem> right = item ? item->rightBarButtonItem() : nullptr;
    _bar->titleLabel()->setText(item ? item->title() : std::string());
    const std::shared_ptr<Button>& button = _bar->rightButton();
    const std::string title = right ? right->title() : std::string();
    const bool changes = button->isHidden() == !right ? button->titleForState(ControlStateNormal) != title : true;
    if (animated && changes && right) {
        // The new button fades in.
        button->setTitle(title, ControlStateNormal);
        View::performWithoutAnimation([&] {
            button->setHidden(false);
            button->setAlpha(0);
        });
        View::animateWithDuration(barButtonFadeDuration, 0, ViewAnimationOptionBeginFromCurrentState,
                                  [&] { button->setAlpha(1); }, nullptr);
    } else if (animated && changes) {
        // The old one fades out, then hides unless a button came meanwhile.
        View::animateWithDuration(barButtonFadeDuration, 0, ViewAnimationOptionBeginFromCurrentState,
                                  [&] { button->setAlpha(0); },
                                  [weak = rt::weakFrom(this)](bool) {
                                      const auto n = weak.lock();
                                      if (!n || !n->_bar) return;
                                      const auto& b = n->_bar->rightButton();
                                      if (!(n->_shownItem && n->_shownItem->rightBarButtonItem())) b->setHidden(true);
                                      b->setAlpha(1);
                                  });
    } else {
        button->setTitle(title, ControlStateNormal);
        button->setHidden(!right);
        if (!animated) button->setAlpha(1);
    }
    _bar->backButton()->setTitle("\u2039 Back", ControlStateNormal);
    _bar->backButton()->setHidden(_stack.size() < 2);
    _bar->setNeedsLayout();
}

void NavigationController::backTapped() {
    popViewControllerAnimated(true);
}

void NavigationController::rightTapped() {
    if (!_shownItem) return;
    // The action may replace the item; it is sent to the one tapped.
    if (const std::shared_ptr<BarButtonItem> right = _shownItem->rightBarButtonItem()) right->sendAction();
}

// --- Appearance, passed on to the top controller.

void NavigationController::viewWillAppear(bool animated) {
    if (_transition) return;
    if (const auto top = topViewController()) top->beginAppearanceTransition(true, animated);
}

void NavigationController::viewDidAppear(bool) {
    if (_transition) return;
    if (const auto top = topViewController()) top->endAppearanceTransition();
}

void NavigationController::viewWillDisappear(bool animated) {
    if (_transition) return;
    if (const auto top = topViewController()) top->beginAppearanceTransition(false, animated);
}

void NavigationController::viewDidDisappear(bool) {
    if (_transition) return;
    if (const auto top = topViewController()) top->endAppearanceTransition();
}

} // namespace ui
