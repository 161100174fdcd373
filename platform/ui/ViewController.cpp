#include "platform/ui/ViewController.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

#include <algorithm>

namespace ui {

OLM_DEFINE_CLASS(NavigationItem, rt::Object)
OLM_DEFINE_CLASS(ViewController, Responder)

// --- Navigation item.

void NavigationItem::setTitle(std::string title) {
    _title = std::move(title);
    changed(false);
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated) {
    _rightBarButtonItem = std::move(item);
    changed(animated);
}

void NavigationItem::changed(bool animated) const {
    if (_changed) _changed(animated);
}

// --- View controller.

ViewController::~ViewController() {
    if (_view && _view->_viewController == this) _view->_viewController = nullptr;
    for (const auto& child : _children)
        child->_parent = nullptr;
}

const std::shared_ptr<View>& ViewController::view() {
    if (!_view) {
        // The controller may be released by what its hooks do; keep it for the load.
        const std::shared_ptr<ViewController> keep = rt::sharedFrom(this);
        loadView();
        if (!_view) setView(View::make(Screen::mainScreen().bounds()));
        viewDidLoad();
    }
    return _view;
}

void ViewController::setView(std::shared_ptr<View> view) {
    if (view == _view) return;
    if (_view && _view->_viewController == this) _view->_viewController = nullptr;
    _view = std::move(view);
    if (!_view) return;
    // A view serves one controller: the one that took it last.
    if (ViewController* previous = _view->_viewController; previous != nullptr && previous != this)
        previous->_view.reset();
    _view->_viewController = this;
}

void ViewController::loadView() {
    setView(View::make(Screen::mainScreen().bounds()));
}

void ViewController::viewDidLayout() {
    viewDidLayoutSubviews();
    if (std::exchange(_didAppearAfterLayout, false)) endAppearanceTransition();
}

void ViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
    const Appearance target = isAppearing ? Appearance::appearing : Appearance::disappearing;
    const Appearance settled = isAppearing ? Appearance::appeared : Appearance::disappeared;
    if (_appearance == target || _appearance == settled) return;
    _appearance = target;
    _appearanceAnimated = animated;
    if (isAppearing)
        viewWillAppear(animated);
    else
        viewWillDisappear(animated);
}

void ViewController::endAppearanceTransition() {
    _didAppearAfterLayout = false;
    if (_appearance == Appearance::appearing) {
        _appearance = Appearance::appeared;
        viewDidAppear(_appearanceAnimated);
    } else if (_appearance == Appearance::disappearing) {
        _appearance = Appearance::disappeared;
        viewDidDisappear(_appearanceAnimated);
    }
}

void ViewController::addChildViewController(std::shared_ptr<ViewController> child) {
    if (!child) return;
    for (const ViewController* c = this; c != nullptr; c = c->_parent)
        if (c == child.get()) return;
    if (child->_parent == this) return;
    if (child->_parent != nullptr) child->removeFromParentViewController();
    child->willMoveToParentViewController(this);
    child->_parent = this;
    _children.push_back(std::move(child));
}

void ViewController::removeFromParentViewController() {
    ViewController* parent = _parent;
    if (parent == nullptr) return;
    const std::shared_ptr<ViewController> keep = rt::sharedFrom(this);
    std::erase_if(parent->_children, [&](const auto& c) { return c.get() == this; });
    _parent = nullptr;
    didMoveToParentViewController(nullptr);
}

NavigationController* ViewController::navigationController() const {
    for (ViewController* c = _parent; c != nullptr; c = c->_parent)
        if (auto* navigation = dynamic_cast<NavigationController*>(c)) return navigation;
    return nullptr;
}

const std::shared_ptr<NavigationItem>& ViewController::navigationItem() {
    if (!_navigationItem) _navigationItem = NavigationItem::make();
    return _navigationItem;
}

} // namespace ui
