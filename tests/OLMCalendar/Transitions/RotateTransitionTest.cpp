#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionRotate.h"
#include "platform/ui/Compositor.h"

#include <cmath>
#include <numbers>

using namespace transitions::test;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr gfx::Rect kFrame{0, 0, 320, 480};

// The clockwise angle of a page's (affine) rotation.
double angle(const gfx::AffineTransform& t) {
    return std::atan2(t.b, t.a);
}

void expectPage(const std::shared_ptr<ui::View>& page, double alpha, double turn) {
    EXPECT_NEAR(page->alpha(), alpha, 1e-9);
    EXPECT_NEAR(angle(page->transform()), turn, 1e-9);
}

class RotateTransition : public TransitionClockTest {
protected:
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    gfx::ImageRef from = solidImage({320, 480}, kRed);
    gfx::ImageRef to = solidImage({320, 480}, kBlue);

    std::shared_ptr<XQViewTransitionRotate> make(XQViewTransitionDirection direction) {
        auto t = XQViewTransitionRotate::make(kFrame);
        t->setDelegate(delegate);
        t->setTransitionDuration(0.35);
        t->beginTransitionFrom(from, to, direction);
        return t;
    }
};

} // namespace

TEST_F(RotateTransition, PagesTurnAboutTheTopRightCornerAndCoverTheView) {
    auto t = make(XQViewTransitionDirectionForward);
    EXPECT_TRUE(t->clipsToBounds());
    for (const auto& page : {t->top(), t->bottom()}) {
        EXPECT_EQ(page->layer()->anchorPoint(), (gfx::Point{1, 0}));
        EXPECT_EQ(page->layer()->position(), (gfx::Point{320, 0}));
        EXPECT_EQ(page->bounds(), kFrame);
        EXPECT_TRUE(page->layer()->allowsEdgeAntialiasing());
    }
    EXPECT_EQ(t->top()->layer()->contents(), from);
    EXPECT_EQ(t->bottom()->layer()->contents(), to);
    EXPECT_EQ(t->subviews().back(), t->top());
    expectPage(t->top(), 1, 0);
    expectPage(t->bottom(), 0, -kPi / 4);
    t->updateTransition(0.5);
    expectPage(t->top(), 0.5, kPi / 4);
    expectPage(t->bottom(), 0.5, -kPi / 8);

    auto back = make(XQViewTransitionDirectionBackward);
    EXPECT_EQ(back->subviews().back(), back->bottom()) << "the to page swings down in front";
    expectPage(back->bottom(), 1, kPi / 2);
    back->updateTransition(0.25);
    expectPage(back->top(), 0.75, 0);
    expectPage(back->bottom(), 1, kPi / 4);
    back->updateTransition(0.5);
    expectPage(back->bottom(), 1, 0);
    back->updateTransition(0.4);
    back->updateTransition(0.75);
    expectPage(back->top(), 0.25, 0);
    // Past half-way the to page stays where the last update put it.
    expectPage(back->bottom(), 1, kPi / 2 * 0.2);
}

TEST_F(RotateTransition, SpringsReportAfterTheirDurationsWithAlphaKeptInRange) {
    auto t = make(XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    expectPage(t->top(), 0, kPi / 2);
    expectPage(t->bottom(), 1, 0);
    for (int i = 0; i < 34; ++i) {
        step(0.01);
        for (const auto& page : {t->top(), t->bottom()}) {
            const double shown = page->layer()->presentationState().opacity;
            EXPECT_GE(shown, 0);
            EXPECT_LE(shown, 1);
        }
    }
    EXPECT_TRUE(delegate->reports.empty());
    step(0.0099);
    // At rest exactly at the end of the duration.
    expectReportAfter(*delegate, 0.0011, false);
    EXPECT_NEAR(angle(gfx::affineTransform(t->top()->layer()->presentationState().transform)), kPi / 2, 1e-9);

    // Finish takes half the duration; cancel the whole of it and ends turned away and clear.
    auto finished = make(XQViewTransitionDirectionBackward);
    finished->updateTransition(0.3);
    finished->finishTransition();
    expectReportAfter(*delegate, 0.175, false);
    auto canceled = make(XQViewTransitionDirectionBackward);
    canceled->updateTransition(0.3);
    canceled->cancelTransition();
    expectPage(canceled->bottom(), 0, kPi / 2);
    expectPage(canceled->top(), 1, 0);
    expectReportAfter(*delegate, 0.35, true);
}

TEST_F(RotateTransition, CancelDuringFinishStartsFromTheScreenAndReportsOnce) {
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.4);
    t->finishTransition();
    step(0.05);
    const double shownTurn = angle(gfx::affineTransform(t->top()->layer()->presentationState().transform));
    t->cancelTransition();
    // The cancel's spring starts where the finish had got to, not at the finish's end pose.
    EXPECT_NEAR(angle(gfx::affineTransform(t->top()->layer()->presentationState().transform)), shownTurn, 1e-6);
    expectReportAfter(*delegate, 0.35, true);
    step(1);
    EXPECT_EQ(delegate->reports.size(), 1u);

    // Begun again mid-animation, both pages are back at the start pose at once.
    t->transitionWithAnimation();
    step(0.1);
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    EXPECT_TRUE(t->top()->layer()->animationKeys().empty());
    expectPage(t->top(), 1, 0);
    expectPage(t->bottom(), 0, -kPi / 4);
    EXPECT_EQ(t->top()->frame(), kFrame);
}

TEST_F(RotateTransition, TheCornerUncoveredByBothPagesShowsTheSuperview) {
    auto host = ui::View::make({0, 0, 390, 844});
    host->setBackgroundColor(color(kGreen));
    auto t = XQViewTransitionRotate::make(host->bounds());
    host->addSubview(t);
    t->beginTransitionFrom(solidImage({390, 844}, kRed), solidImage({390, 844}, kBlue),
                           XQViewTransitionDirectionForward);
    EXPECT_EQ(t->backgroundColor(), color(kGreen));
    t->updateTransition(0.5);
    ui::Compositor compositor;
    compositor.renderFrame(*host->layer(), host->bounds().size, 1);
    // The left edge's midpoint: turned π/4 away by one page and -π/8 by the other.
    EXPECT_TRUE(near(pixel8(compositor.image(), 1, 422), kGreen)) << pixel8(compositor.image(), 1, 422);
    // Where both turned pages lie, they cross-fade over the background.
    EXPECT_TRUE(near(pixel8(compositor.image(), 290, 68), (Pixel8{128, 64, 64, 255}), 3))
        << pixel8(compositor.image(), 290, 68);
}
