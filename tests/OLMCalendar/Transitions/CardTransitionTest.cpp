#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionCard.h"
#include "platform/graphics/Transform3D.h"

#include <numbers>

using namespace transitions::test;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr gfx::Rect kFrame{0, 0, 320, 480};

gfx::Transform3D perspective() {
    gfx::Transform3D p;
    p.m34 = -1.0 / 900;
    return p;
}

class CardTransition : public TransitionClockTest {
protected:
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    gfx::ImageRef from = solidImage({320, 480}, kRed);
    gfx::ImageRef to = solidImage({320, 480}, kBlue);

    std::shared_ptr<XQViewTransitionCard> make(XQViewTransitionDirection direction) {
        auto t = XQViewTransitionCard::make(kFrame);
        t->setDelegate(delegate);
        t->setTransitionDuration(0.35);
        t->beginTransitionFrom(from, to, direction);
        return t;
    }
    // When the eased keyframe track reaches `fraction`, as a fraction of the duration.
    static double wallTimeAt(double fraction) {
        double lo = 0, hi = 1;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2;
            (ui::TimingFunction::easeInEaseOut().evaluate(mid) < fraction ? lo : hi) = mid;
        }
        return (lo + hi) / 2;
    }
    // A point of the card's tilt: turned 15° about x, scaled 0.95, seen at m34 -1/900.
    static gfx::Transform3D tilt() {
        return gfx::concat(gfx::concat(gfx::Transform3D::makeRotation(0.2617993877991494, 1, 0, 0),
                                       gfx::Transform3D::makeScale(0.95, 0.95, 1)),
                           perspective());
    }
};

} // namespace

TEST_F(CardTransition, BeginAndDrivenPoses) {
    auto t = make(XQViewTransitionDirectionForward);
    EXPECT_EQ(t->subviews().back(), t->top());
    EXPECT_EQ(t->top()->frame(), kFrame);
    EXPECT_EQ(t->bottom()->frame(), (gfx::Rect{0, 480, 320, 480})) << "the next card waits one card below";
    EXPECT_EQ(t->topFrame(), (gfx::Rect{0, 480, 320, 480}));
    t->updateTransition(0.1);
    EXPECT_NEAR(t->top()->alpha(), 0.85, 1e-9);
    expectTransform(t->top()->layer()->transform(),
                    gfx::concat(gfx::Transform3D::makeRotation(kPi / 20, 1, 0, 0), perspective()));
    EXPECT_EQ(t->bottom()->frame().origin.y, 480);
    t->updateTransition(0.3);
    EXPECT_NEAR(t->top()->alpha(), 0.55, 1e-9);
    // Lifted, scaled, then turned, then seen in perspective.
    expectTransform(t->top()->layer()->transform(),
                    gfx::concat(gfx::concat(gfx::concat(gfx::Transform3D::makeTranslation(0, -0.032 * 480, 0),
                                                        gfx::Transform3D::makeScale(0.92, 0.92, 1)),
                                            gfx::Transform3D::makeRotation(0.04 * kPi, 1, 0, 0)),
                                perspective()));
    EXPECT_NEAR(t->bottom()->frame().origin.y, 480 - 480 * 0.45, 1e-9);
    const gfx::Transform3D held = t->top()->layer()->transform();
    t->updateTransition(0.7);
    EXPECT_EQ(t->top()->layer()->transform(), held) << "beyond 0.4 the top card keeps its pose";
    EXPECT_EQ(t->bottom()->frame(), kFrame);

    auto back = make(XQViewTransitionDirectionBackward);
    EXPECT_EQ(back->bottom()->layer()->transform(), gfx::Transform3D::makeScale(0.8, 0.8, 1));
    EXPECT_NEAR(back->bottom()->alpha(), 0.3, 1e-9);
    back->updateTransition(0.25);
    EXPECT_EQ(back->top()->frame().origin.y, 240);
    expectTransform(back->bottom()->layer()->transform(), gfx::concat(gfx::Transform3D::makeScale(0.9, 0.9, 1), perspective()));
    EXPECT_NEAR(back->bottom()->alpha(), 0.5, 1e-9);
    back->updateTransition(0.8);
    EXPECT_EQ(back->top()->frame().origin.y, 480);
    EXPECT_NEAR(back->bottom()->alpha(), 1, 1e-9);
    EXPECT_EQ(back->position(), 0.8);

    // Begun again the cards start clean; the last progress stays.
    back->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    EXPECT_EQ(back->top()->frame(), kFrame);
    EXPECT_TRUE(gfx::isIdentity(back->bottom()->layer()->transform()));
    EXPECT_EQ(back->bottom()->alpha(), 1);
    EXPECT_EQ(back->position(), 0.8);
}

TEST_F(CardTransition, PlayRunsThePhasesAndReportsAfterTheDuration) {
    auto t = make(XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    EXPECT_EQ(t->bottom()->frame(), kFrame);
    EXPECT_EQ(t->top()->alpha(), 0);
    // Phase B takes the top card over from A's tilt at 0.2 of the track and has it receded by
    // the end of its window (the track is eased as a whole).
    const double endOfB = wallTimeAt(0.53) * 0.35;
    step(endOfB);
    expectTransform(t->top()->layer()->presentationState().transform,
                    gfx::concat(gfx::Transform3D::makeScale(0.8, 0.8, 1),
                                gfx::Transform3D::makeTranslation(0, -0.08 * 480, 0)),
                    1e-6);
    expectReportAfter(*delegate, 0.35 - endOfB, false);
}

TEST_F(CardTransition, TheEndOfPhaseAShowsTheTilt) {
    // Backward, phase A moves only the top card; with no update B and C run too. Forward after
    // an update to 0.1 the top card tilts (A) until B takes it over.
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.1);
    t->finishTransition();
    EXPECT_NE(t->top()->layer()->animationForKey("transform"), nullptr);
    step(wallTimeAt(0.2) * 0.35);
    // On A's way from the 0.1 pose towards the tilt, not yet receding.
    const gfx::Transform3D shown = t->top()->layer()->presentationState().transform;
    EXPECT_GT(shown.m23, gfx::rotate(perspective(), kPi / 20, 1, 0, 0).m23);
    EXPECT_LT(shown.m23, tilt().m23 + 1e-9);
}

TEST_F(CardTransition, FinishPlaysOnlyThePhasesNotPassed) {
    // Forward: after 0.3 only B and C (the top card's pose holds until B starts); after 0.5
    // only C (no turn at all). Backward: D lets the top card fall one height further than
    // A (or the last update) put it.
    for (double progress : {0.3, 0.5}) {
        SCOPED_TRACE(progress);
        auto t = make(XQViewTransitionDirectionForward);
        t->updateTransition(progress);
        const gfx::Transform3D before = t->top()->layer()->transform();
        t->finishTransition();
        EXPECT_EQ(t->top()->layer()->animationForKey("transform") != nullptr, progress < 0.4);
        const double beforeB = wallTimeAt(0.19) * 0.35;
        step(beforeB);
        expectTransform(t->top()->layer()->presentationState().transform, before, 1e-6);
        expectReportAfter(*delegate, 0.35 - beforeB, false);
    }
    for (auto [progress, fallsTo] : {std::pair{0.1, 960.0}, std::pair{0.3, 768.0}}) {
        SCOPED_TRACE(progress);
        auto t = make(XQViewTransitionDirectionBackward);
        t->updateTransition(progress);
        t->finishTransition();
        EXPECT_NEAR(t->top()->frame().origin.y, fallsTo, 1e-9);
        EXPECT_EQ(t->top()->alpha(), 0);
        expectReportAfter(*delegate, 0.35, false);
    }
}

TEST_F(CardTransition, CancelReturnsTheCardsOverTheWholeDuration) {
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.5);
    t->cancelTransition();
    EXPECT_EQ(t->bottom()->frame(), t->topFrame());
    EXPECT_TRUE(gfx::isIdentity(t->top()->layer()->transform()));
    EXPECT_EQ(t->top()->alpha(), 1);
    expectReportAfter(*delegate, 0.35, true);

    auto back = make(XQViewTransitionDirectionBackward);
    back->updateTransition(0.4);
    back->cancelTransition();
    EXPECT_EQ(back->top()->frame(), kFrame);
    EXPECT_EQ(back->bottom()->layer()->transform(), gfx::Transform3D::makeScale(0.8, 0.8, 1));
    EXPECT_NEAR(back->bottom()->alpha(), 0.3, 1e-9);
    expectReportAfter(*delegate, 0.35, true);
}
