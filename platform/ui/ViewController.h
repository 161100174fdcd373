#pragma once

// View controllers: an object that owns a view tree, makes it when it is first asked for,
// and is told when the view appears, disappears and lays out. Controllers nest (a
// navigation controller holds its stack as children); a window shows one as its root.
//
//     class MonthController : public ui::ViewController {
//     public:
//         OLM_DECLARE_CLASS(MonthController)
//         static std::shared_ptr<MonthController> make() { return rt::create<MonthController>(); }
//         void viewDidLoad() override;                  // add subviews to view()
//         void viewDidLayoutSubviews() override;        // place them in view()->bounds()
//     protected:
//         friend class rt::Access;
//     };
//
// The view is made on first read of `view()` by `loadView` (a plain view of the main
// screen's bounds unless overridden), stored, then `viewDidLoad` runs. Whatever the view's
// class, its `layoutSubviews` runs between the controller's `viewWillLayoutSubviews` and
// `viewDidLayoutSubviews` (the view keeps a non-owning link to its controller).
//
// Appearance: `beginAppearanceTransition` / `endAppearanceTransition` send the will/did
// appear and disappear calls, each once per change of state (a second "appearing" while
// appearing sends nothing), so containers can forward them freely. Main thread only.

#include "platform/ui/Responder.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class BarButtonItem;
class NavigationController;

// What a navigation bar shows for a controller: its title and a button at the right.
// Changes are shown at once by the bar that shows the item.
class NavigationItem : public rt::Object {
public:
    OLM_DECLARE_CLASS(NavigationItem)
    static std::shared_ptr<NavigationItem> make() { return rt::create<NavigationItem>(); }

    const std::string& title() const { return _title; }
    void setTitle(std::string title);
    const std::shared_ptr<BarButtonItem>& rightBarButtonItem() const { return _rightBarButtonItem; }
    // Animated, the bar fades the new button in (or the old one out) over 0.3 s.
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false);

    // Called after each change with whether to animate it (the bar showing the item sets it);
    // null for none.
    void setChangeHandler(std::function<void(bool animated)> handler) { _changed = std::move(handler); }

protected:
    NavigationItem() = default;
    friend class rt::Access;

private:
    void changed(bool animated) const;
    std::string _title;
    std::shared_ptr<BarButtonItem> _rightBarButtonItem;
    std::function<void(bool)> _changed;
};

class ViewController : public Responder {
public:
    OLM_DECLARE_CLASS(ViewController)
    static std::shared_ptr<ViewController> make() { return rt::create<ViewController>(); }
    ~ViewController() override;

    // --- The view.
    // Loads the view first when it is not loaded yet.
    const std::shared_ptr<View>& view();
    bool isViewLoaded() const { return _view != nullptr; }
    // Replaces the view (null unloads it; the next `view()` loads again). `loadView`
    // overrides call it with the view they made.
    void setView(std::shared_ptr<View> view);
    // Makes the view; the default makes a plain view of the main screen's bounds.
    virtual void loadView();
    virtual void viewDidLoad() {}

    // --- Appearance.
    virtual void viewWillAppear(bool animated) { (void)animated; }
    virtual void viewDidAppear(bool animated) { (void)animated; }
    virtual void viewWillDisappear(bool animated) { (void)animated; }
    virtual void viewDidDisappear(bool animated) { (void)animated; }
    // Starts appearing (`isAppearing`) or disappearing: sends the will-call unless the
    // controller is already in (or on its way to) that state.
    void beginAppearanceTransition(bool isAppearing, bool animated);
    // Sends the did-call of the change begun last, once.
    void endAppearanceTransition();
    // Whether the controller has appeared or is appearing.
    bool isAppearingOrAppeared() const {
        return _appearance == Appearance::appearing || _appearance == Appearance::appeared;
    }

    // --- Layout of the view.
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}

    // --- Containment. Children are held strongly in the order added.
    ViewController* parentViewController() const { return _parent; }
    const std::vector<std::shared_ptr<ViewController>>& childViewControllers() const { return _children; }
    // Sends the child `willMoveToParentViewController(this)` (taking it from its old parent
    // first); the caller sends `didMoveToParentViewController` when the move has ended.
    // Null, this controller or one of its ancestors is ignored.
    void addChildViewController(std::shared_ptr<ViewController> child);
    // Leaves the parent and sends `didMoveToParentViewController(nullptr)`; the caller sends
    // `willMoveToParentViewController(nullptr)` before.
    void removeFromParentViewController();
    virtual void willMoveToParentViewController(ViewController* parent) { (void)parent; }
    virtual void didMoveToParentViewController(ViewController* parent) { (void)parent; }
    // The nearest ancestor that is a navigation controller; null when there is none.
    NavigationController* navigationController() const;
    // Made on first use.
    const std::shared_ptr<NavigationItem>& navigationItem();

protected:
    ViewController() = default;
    void init() {}
    friend class rt::Access;

private:
    friend class View;
    // Called by the view around its `layoutSubviews`.
    void viewWillLayout() { viewWillLayoutSubviews(); }
    void viewDidLayout();

    enum class Appearance { disappeared, appearing, appeared, disappearing };
    friend class Window;
    // Set by the window: the did-appear comes after the view's next layout.
    bool _didAppearAfterLayout = false;

    std::shared_ptr<View> _view;
    ViewController* _parent = nullptr;
    std::vector<std::shared_ptr<ViewController>> _children;
    std::shared_ptr<NavigationItem> _navigationItem;
    Appearance _appearance = Appearance::disappeared;
    bool _appearanceAnimated = false;
};

} // namespace ui
