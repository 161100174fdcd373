#include "platform/graphics/Screen.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TestDriver.h"
#include "UITestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

using namespace ui;

namespace {

// Records the delegate calls as "scroll", "beginDrag", "endDrag:<v.y>:<target.y>",
// "didEndDrag:<decelerate>", "endDecel", "endAnim"; hooks may act inside the calls.
class ScrollRecorder : public ScrollViewDelegate {
public:
    std::vector<std::string> log;
    gfx::Point velocity;
    gfx::Point proposed;
    std::optional<gfx::Point> writeTarget;
    std::function<void(ScrollView&)> onScroll;
    int scrolls = 0;

    void scrollViewDidScroll(ScrollView& s) override {
        ++scrolls;
        if (onScroll) onScroll(s);
    }
    void scrollViewWillBeginDragging(ScrollView&) override { log.push_back("beginDrag"); }
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(ScrollView&, gfx::Point v,
                                                                  gfx::Point* target) override {
        velocity = v;
        proposed = *target;
        if (writeTarget) *target = *writeTarget;
        log.push_back("endDrag");
    }
    void scrollViewDidEndDraggingWillDecelerate(ScrollView&, bool decelerate) override {
        log.push_back(decelerate ? "didEndDrag:YES" : "didEndDrag:NO");
    }
    void scrollViewDidEndDecelerating(ScrollView&) override { log.push_back("endDecel"); }
    void scrollViewDidEndScrollingAnimation(ScrollView&) override { log.push_back("endAnim"); }
};

// The year view's geometry at 320 x 568: a 310 x 558 scroll view, 1656 points of content.
struct YearScroll {
    TestDriver driver{{320, 568}};
    std::shared_ptr<test::RecordingView> host = test::RecordingView::make("host", nullptr, {0, 0, 320, 568});
    std::shared_ptr<ScrollView> scroll = ScrollView::make({5, 5, 310, 558});
    std::shared_ptr<ScrollRecorder> recorder = std::make_shared<ScrollRecorder>();
    YearScroll() {
        scroll->setContentSize({310, 1656});
        scroll->setDelegate(recorder);
        host->addSubview(scroll);
        driver.window()->addSubview(host);
        driver.runUntilIdle();
    }
    double y() const { return scroll->contentOffset().y; }
};

double damped(double overshoot, double extent) {
    return (1 - 1 / (overshoot * 0.55 / extent + 1)) * extent;
}

} // namespace

TEST(ScrollView, FlingReportsVelocityPerMillisecondAndRestsExactlyAtTheProposedTarget) {
    YearScroll s;
    // Ten 20-point moves at 500 points per second; the pan begins on the first, so the
    // content follows the nine after it without a jump.
    s.driver.panAtSpeed({160, 400}, {160, 200}, 500);
    EXPECT_NEAR(s.recorder->velocity.y, 0.5, 1e-9);
    EXPECT_EQ(s.recorder->velocity.x, 0);
    EXPECT_NEAR(s.recorder->proposed.y, 180 + 249.5, 1e-6);
    EXPECT_TRUE(s.scroll->isDecelerating());

    // x(t) = x0 + D (1 - r^t), t in milliseconds.
    const double x0 = 180, d = s.recorder->proposed.y - x0;
    s.driver.step(0.1);
    EXPECT_NEAR(s.y(), x0 + d * (1 - std::pow(0.998, 100)), 1e-6);
    s.driver.step(0.4);
    EXPECT_NEAR(s.y(), x0 + d * (1 - std::pow(0.998, 500)), 1e-6);

    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), s.recorder->proposed.y);
    EXPECT_FALSE(s.scroll->isDecelerating());
    EXPECT_EQ(s.recorder->log, (std::vector<std::string>{"beginDrag", "endDrag", "didEndDrag:YES", "endDecel"}));
}

TEST(ScrollView, WrittenTargetsAreClampedWhileSetContentOffsetIsNot) {
    YearScroll s;
    s.scroll->setContentOffset({0, 1104});
    EXPECT_EQ(s.y(), 1104);
    s.scroll->setContentOffset({0, 0});
    s.recorder->writeTarget = gfx::Point{0, 1104};
    s.driver.panAtSpeed({160, 400}, {160, 200}, 500);
    s.driver.runUntilIdle();
    EXPECT_EQ(s.y(), 1098);

    // A non-finite target is ignored: the proposed one stands.
    s.recorder->writeTarget = gfx::Point{0, std::numeric_limits<double>::quiet_NaN()};
    s.driver.panAtSpeed({160, 200}, {160, 400}, 500);
    s.driver.runUntilIdle();
    EXPECT_EQ(s.y(), s.recorder->proposed.y);
    s.scroll->setContentOffset({std::numeric_limits<double>::infinity(), 5});
    EXPECT_EQ(s.y(), s.recorder->proposed.y);
}

TEST(ScrollView, ReleaseAtRestHasZeroVelocityAndDoesNotDecelerate) {
    YearScroll s;
    s.scroll->setContentOffset({0, 300});
    s.driver.panAndRest({160, 400}, {160, 300}, 0.2);
    EXPECT_EQ(s.recorder->velocity.y, 0);
    EXPECT_EQ(s.y(), 390);
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), 390);
    EXPECT_EQ(s.recorder->log, (std::vector<std::string>{"beginDrag", "endDrag", "didEndDrag:NO"}));
}

TEST(ScrollView, DragBeyondTheEdgeIsDampedAndSpringsBack) {
    YearScroll s;
    s.driver.panAndRest({160, 100}, {160, 300}, 0.2);
    // 180 points of finger beyond the top, in a 558-point view.
    EXPECT_NEAR(s.y(), -damped(180, 558), 1e-9);
    EXPECT_EQ(s.recorder->log.back(), "didEndDrag:YES");
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), 0);
    EXPECT_EQ(s.recorder->log.back(), "endDecel");

    // Without bouncing the content stops at the edge.
    s.scroll->setBounces(false);
    s.driver.panAndRest({160, 100}, {160, 300}, 0.2);
    EXPECT_EQ(s.y(), 0);
}

TEST(ScrollView, ATouchStopsMotionAndEndsTheDecelerationOnce) {
    YearScroll s;
    s.driver.panAtSpeed({160, 400}, {160, 200}, 1000);
    s.driver.step(0.05);
    const double stopped = s.y();
    s.driver.touchDown(1, {160, 300});
    EXPECT_FALSE(s.scroll->isDecelerating());
    EXPECT_EQ(s.recorder->log.back(), "endDecel");
    s.driver.step(0.2);
    s.driver.touchUp(1, {160, 300});
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), stopped);
    EXPECT_EQ(std::count(s.recorder->log.begin(), s.recorder->log.end(), "endDecel"), 1);
}

TEST(ScrollView, AnimatedOffsetEasesOverThreeTenthsAndReportsItsEnd) {
    YearScroll s;
    s.scroll->setContentOffset({0, 552}, true);
    EXPECT_EQ(s.y(), 0);
    s.driver.step(0.15);
    EXPECT_NEAR(s.y(), 276, 1e-3);
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), 552);
    EXPECT_EQ(s.recorder->log, (std::vector<std::string>{"endAnim"}));

    // A plain offset stops an animation without a report.
    s.scroll->setContentOffset({0, 0}, true);
    s.driver.step(0.1);
    s.scroll->setContentOffset({0, 10});
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), 10);
    EXPECT_EQ(s.recorder->log.size(), 1u);
}

TEST(ScrollView, CallbacksMayScrollOrFreeTheViewMidMotion) {
    YearScroll s;
    // Scrolling from a scroll callback stops the deceleration, reported once.
    s.recorder->onScroll = [&](ScrollView& v) {
        if (v.isDecelerating() && v.contentOffset().y > 300) v.setContentOffset({0, 552});
    };
    s.driver.panAtSpeed({160, 400}, {160, 200}, 1000);
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), 552);
    EXPECT_EQ(std::count(s.recorder->log.begin(), s.recorder->log.end(), "endDecel"), 1);

    // Removing and releasing the view from a callback.
    s.recorder->onScroll = [&](ScrollView& v) {
        if (v.isDecelerating()) {
            v.removeFromSuperview();
            s.scroll.reset();
        }
    };
    s.driver.panAtSpeed({160, 400}, {160, 200}, 1000);
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.scroll, nullptr);
}

TEST(ScrollView, PanGoesToAnAncestorAlongAnAxisThatCannotScroll) {
    YearScroll s;
    int outer = 0;
    auto pan = PanGestureRecognizer::make();
    pan->addAction([&](GestureRecognizer& r) {
        if (r.state() == GestureRecognizerStateBegan) ++outer;
    });
    s.host->addGestureRecognizer(pan);
    s.driver.pan({250, 300}, {50, 310}, 0.2);
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(s.y(), 0);
    s.driver.pan({160, 400}, {170, 200}, 0.2);
    EXPECT_EQ(outer, 1);
    EXPECT_GT(s.y(), 0);
    // Always bouncing horizontally, the scroll view keeps the horizontal swipe.
    s.driver.runUntilIdle();
    s.scroll->setAlwaysBounceHorizontal(true);
    s.driver.pan({250, 300}, {50, 310}, 0.2);
    EXPECT_EQ(outer, 1);
}

TEST(ScrollView, APinchWithASteadyCentroidGoesToThePinchWithoutScrolling) {
    YearScroll s;
    s.scroll->setContentOffset({0, 500});
    int pinched = 0;
    auto pinch = PinchGestureRecognizer::make();
    pinch->addAction([&](GestureRecognizer& r) {
        if (r.state() == GestureRecognizerStateChanged) ++pinched;
    });
    s.scroll->addGestureRecognizer(pinch);
    s.driver.pinch({160, 300}, 1, 2, 0.3);
    EXPECT_GT(pinched, 0);
    EXPECT_FALSE(s.scroll->isDragging());
    EXPECT_TRUE(s.driver.runUntilIdle());
    EXPECT_EQ(s.y(), 500);
    EXPECT_TRUE(s.recorder->log.empty());
}

TEST(ScrollView, ScrollingLaysOutTheScrollViewAloneAndHitTestsFollowTheOffset) {
    YearScroll s;
    auto child = test::RecordingView::make("child", nullptr, {0, 600, 310, 100});
    child->draws = true;
    child->setNeedsDisplay();
    s.scroll->addSubview(child);
    s.driver.runUntilIdle();
    const int hostLayouts = s.host->layoutCount;
    s.scroll->setContentOffset({0, 550});
    EXPECT_TRUE(s.scroll->layer()->needsLayout());
    s.driver.runUntilIdle();
    EXPECT_EQ(s.host->layoutCount, hostLayouts);
    // The child's top (content y 600) is at window y 5 + 50.
    EXPECT_EQ(child->convertPointToView({0, 0}, nullptr), (gfx::Point{5, 55}));
    EXPECT_EQ(s.driver.window()->hitTest({20, 60}, nullptr), child.get());
    EXPECT_EQ(s.driver.window()->hitTest({20, 50}, nullptr), s.scroll.get());
    EXPECT_EQ(s.driver.pixel({20, 60}), (gfx::RGBA{1, 0, 0, 1}));
    EXPECT_EQ(s.driver.pixel({20, 50}).a, 0);
}
