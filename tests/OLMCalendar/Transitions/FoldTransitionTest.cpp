#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionFold.h"
#include "platform/graphics/Transform3D.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Screen.h"

#include <numbers>

using namespace transitions::test;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr gfx::Rect kFrame{0, 0, 320, 480};

gfx::Transform3D turned(double angle, bool vertical, double m34) {
    gfx::Transform3D p;
    p.m34 = m34;
    return gfx::concat(vertical ? gfx::Transform3D::makeRotation(angle, 1, 0, 0)
                                : gfx::Transform3D::makeRotation(angle, 0, 1, 0),
                       p);
}

std::vector<double> hinges(const XQViewTransitionFold& t, bool vertical = false, bool shown = false) {
    std::vector<double> at;
    for (const auto& fold : t.folds()) {
        const gfx::Point p = shown ? fold->layer()->presentationState().position : fold->layer()->position();
        at.push_back(vertical ? p.y : p.x);
    }
    return at;
}

class FoldTransition : public TransitionClockTest {
protected:
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    gfx::ImageRef from = solidImage({320, 480}, kRed);
    gfx::ImageRef to = solidImage({320, 480}, kBlue);

    void TearDown() override {
        ui::Device::currentDevice().setUserInterfaceIdiom(ui::UserInterfaceIdiomPhone);
        ui::Device::currentDevice().setOrientation(ui::DeviceOrientationPortrait);
        TransitionClockTest::TearDown();
    }

    std::shared_ptr<XQViewTransitionFold> make(XQViewTransitionDirection direction,
                                                XQViewTransitionOrientation orientation = 0) {
        auto t = XQViewTransitionFold::make(kFrame);
        t->setDelegate(delegate);
        t->setOrientation(orientation);
        t->setTransitionDuration(0.35);
        t->beginTransitionFrom(from, to, direction);
        return t;
    }
};

} // namespace

TEST_F(FoldTransition, StripsAreHingedInPairsWithShortCrops) {
    auto t = make(XQViewTransitionDirectionForward);
    EXPECT_EQ(t->foldWidth(), 80);
    ASSERT_EQ(t->folds().size(), 4u);
    EXPECT_EQ(hinges(*t), (std::vector<double>{0, 160, 160, 320}));
    for (std::size_t k = 0; k < 4; ++k) {
        const auto& fold = t->folds()[k];
        EXPECT_EQ(fold->frame(), (gfx::Rect{80.0 * static_cast<double>(k), 0, 80, 480}));
        EXPECT_EQ(fold->layer()->contents()->size(), (gfx::Size{79, 480}));
        ASSERT_EQ(fold->subviews().size(), 1u);
        EXPECT_EQ(fold->subviews()[0]->alpha(), 0);
    }
    EXPECT_EQ(t->subviews().size(), 5u);
    EXPECT_EQ(t->subviews().back(), t->toView());
    EXPECT_EQ(t->toView()->frame(), (gfx::Rect{320, 0, 320, 480}));

    // Begun again: the old strips and page go.
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionBackward);
    EXPECT_EQ(t->subviews().size(), 5u);
    EXPECT_EQ(t->toView()->frame(), (gfx::Rect{-320, 0, 320, 480}));
    // Any other backward direction folds backward but brings the page from the trailing side.
    auto odd = make(5, XQViewTransitionOrientationVertical);
    EXPECT_EQ(odd->toView()->frame(), (gfx::Rect{0, 480, 320, 480}));
    EXPECT_EQ(hinges(*odd, true), (std::vector<double>{0, 240, 240, 480}));
    odd->updateTransition(0);
    odd->updateTransition(0.5);
    EXPECT_EQ(hinges(*odd, true), (std::vector<double>{240, 360, 360, 480}));
    EXPECT_EQ(odd->toView()->frame(), (gfx::Rect{0, -240, 320, 480}));
}

TEST_F(FoldTransition, FirstUpdateIsFlatAndThePerspectiveFollowsTheDevice) {
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.3);
    EXPECT_EQ(t->initialPercent(), 0.3);
    EXPECT_EQ(hinges(*t), (std::vector<double>{0, 160, 160, 320}));
    t->updateTransition(0.55);
    EXPECT_EQ(hinges(*t), (std::vector<double>{0, 120, 120, 240}));
    expectTransform(t->folds()[0]->layer()->transform(), turned(kPi / 8, false, -0.005));
    expectTransform(t->folds()[1]->layer()->transform(), turned(-kPi / 8, false, -0.005));
    EXPECT_DOUBLE_EQ(t->folds()[3]->subviews()[0]->alpha(), 0.25);
    EXPECT_EQ(t->toView()->frame().origin.x, 240);

    ui::Device::currentDevice().setUserInterfaceIdiom(ui::UserInterfaceIdiomPad);
    t->updateTransition(0.55);
    expectTransform(t->folds()[0]->layer()->transform(), turned(kPi / 8, false, -0.002));
    ui::Device::currentDevice().setUserInterfaceIdiom(ui::UserInterfaceIdiomPhone);
    ui::Device::currentDevice().setOrientation(ui::DeviceOrientationLandscapeRight);
    auto vertical = make(XQViewTransitionDirectionForward, XQViewTransitionOrientationVertical);
    EXPECT_EQ(vertical->initialPercent(), -1.0);
    vertical->updateTransition(0);
    vertical->updateTransition(0.5);
    // Vertical strips turn about x, the signs swapped.
    expectTransform(vertical->folds()[0]->layer()->transform(), turned(-kPi / 4, true, -0.002));
    expectTransform(vertical->folds()[1]->layer()->transform(), turned(kPi / 4, true, -0.002));
    // Cancel always uses the phone's perspective.
    vertical->cancelTransition();
    expectTransform(vertical->folds()[0]->layer()->transform(), turned(0, true, -0.005));
    EXPECT_EQ(vertical->toView()->frame(), (gfx::Rect{0, 480, 320, 480}));
    expectReportAfter(*delegate, 0.175, true);
}

TEST_F(FoldTransition, PlayFoldsEverythingAgainstTheLeadingEdge) {
    auto t = make(XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    EXPECT_EQ(hinges(*t), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(t->toView()->frame(), kFrame);
    step(0.175);
    // Half-way in time is half-way on the ease-in-ease-out curve.
    const std::vector<double> shown = hinges(*t, false, true);
    EXPECT_NEAR(shown[1], 80, 1e-6);
    EXPECT_NEAR(shown[3], 160, 1e-6);
    expectTransform(t->folds()[2]->layer()->presentationState().transform, turned(kPi / 4, false, -0.005), 1e-6);
    expectReportAfter(*delegate, 0.175, false);

    auto finished = make(XQViewTransitionDirectionBackward);
    finished->updateTransition(0.1);
    finished->updateTransition(0.3);
    finished->finishTransition();
    EXPECT_EQ(hinges(*finished), (std::vector<double>{320, 320, 320, 320}));
    expectReportAfter(*delegate, 0.175, false);
}

TEST_F(FoldTransition, CompositedFoldShowsTheStripsWhereTheyProject) {
    from = gfx::test::render(kFrame.size, 1, [](gfx::GraphicsContext& c) {
        const Pixel8 colours[] = {kRed, kGreen, kBlue, kYellow};
        for (int i = 0; i < 4; ++i) {
            c.setFillColor(color(colours[i]));
            c.fillRect({80.0 * i, 0, 80, 480});
        }
    });
    to = solidImage(kFrame.size, kWhite);
    auto host = ui::View::make(kFrame);
    host->setBackgroundColor(gfx::Color::rgba(0, 0, 0, 1));
    auto t = XQViewTransitionFold::make(kFrame);
    host->addSubview(t);
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->updateTransition(0);
    t->updateTransition(0.5);
    ui::Compositor compositor;
    compositor.renderFrame(*host->layer(), kFrame.size, 1);
    auto at = [&](int x) { return pixel8(compositor.image(), x, 240); };
    // The second strip's far edge, turned π/4 towards the viewer about its hinge at 80, lies
    // at 35.9 (not mid-way at 40): the first strip shows left of it, the second right of it.
    EXPECT_TRUE(near(at(34), kRed, 25)) << at(34);
    EXPECT_TRUE(near(at(38), kGreen, 25)) << at(38);
    // Shading darkens by at most 0.5 × 0.15.
    for (int x : {2, 20, 34}) {
        EXPECT_GE(at(x).r, 255 * (1 - 0.075) - 2) << x;
        EXPECT_LE(at(x).r, 254) << x;
    }
    // The to page from 160 on, with nothing between it and the last strip.
    EXPECT_EQ(at(160), kWhite);
    EXPECT_TRUE(near(at(159), kYellow, 25)) << at(159);
    // Each strip is mapped once, its shade laid over it in the same pass.
    EXPECT_EQ(compositor.statistics().projected, 4);
    EXPECT_EQ(compositor.statistics().flattened, 0);
}
