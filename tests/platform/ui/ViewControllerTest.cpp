#include "ControllerTestSupport.h"

#include "platform/ui/Screen.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

using namespace ui;
using namespace ui::test;

namespace {

// Loads a view of its own class and checks that it is stored before viewDidLoad.
class CustomViewController : public ViewController {
public:
    OLM_DECLARE_CLASS(CustomViewController)
    static std::shared_ptr<CustomViewController> make(Log* log) { return rt::create<CustomViewController>(log); }
    Log* log = nullptr;
    std::shared_ptr<RecordingView> made;
    void loadView() override {
        made = RecordingView::make("v", log, {0, 0, 100, 50});
        setView(made);
    }
    void viewDidLoad() override {
        log->push_back(isViewLoaded() && view() == made ? "viewDidLoad:stored" : "viewDidLoad:missing");
    }
    void viewWillLayoutSubviews() override { log->push_back("c.viewWillLayoutSubviews"); }
    void viewDidLayoutSubviews() override { log->push_back("c.viewDidLayoutSubviews"); }

protected:
    CustomViewController() = default;
    void init(Log* l) { log = l; }
    friend class rt::Access;
};

const rt::Class& CustomViewController::staticClass() {
    static rt::Class cls("CustomViewController", &ViewController::staticClass());
    return cls;
}

} // namespace

TEST(ViewController, LoadsAPlainScreenSizedViewOnFirstRead) {
    Log log;
    auto controller = RecordingController::make("a", &log);
    EXPECT_FALSE(controller->isViewLoaded());
    const std::shared_ptr<View> view = controller->view();
    EXPECT_EQ(log, (Log{"a.viewDidLoad"}));
    EXPECT_EQ(view->frame(), Screen::mainScreen().bounds());
    EXPECT_EQ(controller->view(), view);
    EXPECT_EQ(log.size(), 1u); // loaded once
}

TEST(ViewController, WrapsItsViewsLayoutWhateverTheViewsClass) {
    Log log;
    auto controller = CustomViewController::make(&log);
    const std::shared_ptr<View> view = controller->view();
    view->setNeedsLayout();
    view->layoutIfNeeded();
    EXPECT_EQ(log, (Log{"viewDidLoad:stored", "c.viewWillLayoutSubviews", "v.layoutSubviews",
                        "c.viewDidLayoutSubviews"}));

    // A view kept after its controller went away lays out on its own.
    std::weak_ptr<CustomViewController> weak = controller;
    controller.reset();
    EXPECT_TRUE(weak.expired());
    log.clear();
    view->setNeedsLayout();
    view->layoutIfNeeded();
    EXPECT_EQ(log, (Log{"v.layoutSubviews"}));
}

TEST(ViewController, ContainmentSendsMovesAndLeadsToTheNavigationController) {
    Log log;
    auto parent = RecordingController::make("p", &log);
    auto child = RecordingController::make("c", &log);
    parent->addChildViewController(child);
    EXPECT_EQ(child->parentViewController(), parent.get());
    child->didMoveToParentViewController(parent.get());
    parent->addChildViewController(child);   // already a child
    child->addChildViewController(parent);   // an ancestor
    EXPECT_EQ(parent->childViewControllers().size(), 1u);
    EXPECT_TRUE(child->childViewControllers().empty());
    EXPECT_EQ(child->navigationController(), nullptr);

    child->willMoveToParentViewController(nullptr);
    child->removeFromParentViewController();
    EXPECT_EQ(child->parentViewController(), nullptr);
    EXPECT_EQ(log, (Log{"c.willMove:p", "c.didMove:p", "c.willMove", "c.didMove"}));

    auto navigation = NavigationController::make(parent);
    parent->addChildViewController(child);
    EXPECT_EQ(child->navigationController(), navigation.get());
    EXPECT_EQ(navigation->navigationController(), nullptr);
}

TEST(ViewController, AppearanceCallsComeOncePerChange) {
    Log log;
    auto controller = RecordingController::make("a", &log);
    controller->beginAppearanceTransition(true, false);
    controller->beginAppearanceTransition(true, false);
    controller->endAppearanceTransition();
    controller->endAppearanceTransition();
    controller->beginAppearanceTransition(true, false); // already shown
    controller->beginAppearanceTransition(false, true);
    controller->endAppearanceTransition();
    EXPECT_EQ(log, (Log{"a.viewWillAppear", "a.viewDidAppear", "a.viewWillDisappear", "a.viewDidDisappear"}));
}

TEST(Window, RootViewControllerAppearsAfterItsFirstLayoutPass) {
    Log log;
    TestDriver driver({320, 480});
    auto first = RecordingController::make("a", &log);
    driver.window()->setRootViewController(first);
    EXPECT_EQ(log, (Log{"a.viewDidLoad", "a.viewWillAppear"}));
    EXPECT_EQ(first->view()->frame(), (gfx::Rect{0, 0, 320, 480}));
    driver.runUntilIdle();
    EXPECT_EQ(log, (Log{"a.viewDidLoad", "a.viewWillAppear", "a.viewWillLayoutSubviews",
                        "a.viewDidLayoutSubviews", "a.viewDidAppear"}));

    log.clear();
    auto second = RecordingController::make("b", &log);
    driver.window()->setRootViewController(second);
    EXPECT_EQ(log, (Log{"a.viewWillDisappear", "a.viewDidDisappear", "b.viewDidLoad", "b.viewWillAppear"}));
    EXPECT_EQ(first->view()->superview(), nullptr);
    EXPECT_EQ(driver.window()->rootView(), second->view());
}
