#pragma once

// Helpers of the controller tests: a view controller and an animator that log their calls.

#include "UITestSupport.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"

#include <string>

namespace ui::test {

// Logs its lifecycle as "<name>.<hook>[:<argument>]".
class RecordingController : public ViewController {
public:
    OLM_DECLARE_CLASS(RecordingController)
    static std::shared_ptr<RecordingController> make(std::string name, Log* log) {
        return rt::create<RecordingController>(std::move(name), log);
    }

    std::string name;
    Log* log = nullptr;

    void viewDidLoad() override { record("viewDidLoad"); }
    void viewWillAppear(bool) override { record("viewWillAppear"); }
    void viewDidAppear(bool) override { record("viewDidAppear"); }
    void viewWillDisappear(bool) override { record("viewWillDisappear"); }
    void viewDidDisappear(bool) override { record("viewDidDisappear"); }
    void viewWillLayoutSubviews() override { record("viewWillLayoutSubviews"); }
    void viewDidLayoutSubviews() override { record("viewDidLayoutSubviews"); }
    void willMoveToParentViewController(ViewController* p) override { record("willMove", p); }
    void didMoveToParentViewController(ViewController* p) override { record("didMove", p); }

    void record(const std::string& hook, const ViewController* argument = nullptr) {
        if (log == nullptr) return;
        std::string entry = name + "." + hook;
        if (argument != nullptr) {
            const auto* r = dynamic_cast<const RecordingController*>(argument);
            entry += ":" + (r != nullptr ? r->name : std::string("nav"));
        }
        log->push_back(entry);
    }
    // Tests that only care about some hooks drop the rest.
    void recordNothing() { log = nullptr; }

protected:
    RecordingController() = default;
    void init(std::string n, Log* l) {
        name = std::move(n);
        log = l;
    }
    friend class rt::Access;
};

inline const rt::Class& RecordingController::staticClass() {
    static rt::Class cls("RecordingController", &ViewController::staticClass());
    return cls;
}

// An animator that logs what it is given and leaves the end to the test (`context`), unless
// `completeAtOnce`.
class RecordingAnimator : public ViewControllerAnimatedTransitioning {
public:
    explicit RecordingAnimator(Log* log) : log(log) {}
    Log* log;
    TransitionContextRef context;
    bool addsToView = true;
    bool completeAtOnce = false;

    double transitionDuration(const TransitionContextRef&) override { return 0.3; }
    void animateTransition(const TransitionContextRef& c) override {
        context = c;
        log->push_back("animateTransition");
        if (addsToView) c->containerView()->addSubview(c->viewForKey(TransitionContextToViewKey));
        if (completeAtOnce) c->completeTransition(true);
    }
};

// Answers its animator for every operation and logs the operation and the controllers.
class RecordingNavigationDelegate : public NavigationControllerDelegate {
public:
    explicit RecordingNavigationDelegate(Log* log) : log(log), animator(std::make_shared<RecordingAnimator>(log)) {}
    Log* log;
    std::shared_ptr<RecordingAnimator> animator;
    bool answersAnimator = true;

    std::shared_ptr<ViewControllerAnimatedTransitioning> navigationControllerAnimationControllerForOperation(
        NavigationController&, NavigationControllerOperation operation, ViewController& from,
        ViewController& to) override {
        log->push_back("animatorFor:" + std::to_string(operation) + ":" +
                       dynamic_cast<RecordingController&>(from).name + ">" +
                       dynamic_cast<RecordingController&>(to).name);
        return answersAnimator ? animator : nullptr;
    }
};

} // namespace ui::test
