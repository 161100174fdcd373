#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionFlip.h"
#include "platform/graphics/Transform3D.h"
#include "platform/ui/Compositor.h"

#include <numbers>

using namespace transitions::test;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr gfx::Rect kFrame{0, 0, 320, 480};

// The leaf's faces at q: turned by -πq about y (+πq about x when vertical), the back face
// then moved 0.01 along the axis, seen at m34 -0.002 about the hinge.
gfx::Transform3D face(double q, bool vertical, bool back) {
    gfx::Transform3D p;
    p.m34 = -0.002;
    const gfx::Transform3D turn = vertical ? gfx::Transform3D::makeRotation(kPi * q, 1, 0, 0)
                                           : gfx::Transform3D::makeRotation(-kPi * q, 0, 1, 0);
    const gfx::Transform3D gap = back ? gfx::Transform3D::makeTranslation(vertical ? 0 : 0.01, vertical ? 0.01 : 0, 0)
                                      : gfx::Transform3D::identity();
    return gfx::concat(gfx::concat(turn, gap), p);
}

// Four vertical stripes, left to right.
gfx::ImageRef stripes(gfx::Size size, std::array<Pixel8, 4> colours) {
    return gfx::test::render(size, 1, [&](gfx::GraphicsContext& c) {
        for (int i = 0; i < 4; ++i) {
            c.setFillColor(color(colours[static_cast<std::size_t>(i)]));
            c.fillRect({size.width / 4 * i, 0, size.width / 4, size.height});
        }
    });
}

// Mostly the colour: each channel within `tolerance` (shading darkens a little).
bool mostly(const Pixel8& p, const Pixel8& c, int tolerance = 70) {
    return near(p, c, tolerance);
}

class FlipTransition : public TransitionClockTest {
protected:
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    gfx::ImageRef from = solidImage({320, 480}, kRed);
    gfx::ImageRef to = solidImage({320, 480}, kBlue);

    std::shared_ptr<XQViewTransitionFlip> make(XQViewTransitionDirection direction,
                                                XQViewTransitionOrientation orientation = 0) {
        auto t = XQViewTransitionFlip::make(kFrame);
        t->setDelegate(delegate);
        t->setOrientation(orientation);
        t->setTransitionDuration(0.35);
        // Standalone layers animate implicitly only once they have lived through a frame.
        step(0.001);
        t->layoutIfNeeded();
        t->beginTransitionFrom(from, to, direction);
        return t;
    }
};

} // namespace

TEST_F(FlipTransition, LayersAreOrderedAndLaidOutWithoutAnimation) {
    for (XQViewTransitionOrientation orientation : {0, 1}) {
        SCOPED_TRACE(orientation);
        auto t = make(XQViewTransitionDirectionForward, orientation);
        const auto& halves = t->transformLayer()->sublayers();
        ASSERT_EQ(halves.size(), 4u);
        EXPECT_EQ(halves[0], t->left());
        EXPECT_EQ(halves[1], t->bottom());
        EXPECT_EQ(halves[2], t->right2());
        EXPECT_EQ(halves[3], t->right()) << "the front face comes last in its plane";
        EXPECT_FALSE(t->right()->isDoubleSided());
        EXPECT_TRUE(t->right2()->isDoubleSided());
        EXPECT_EQ(t->right()->sublayers()[0], t->rightGradient());
        EXPECT_EQ(t->right2()->sublayers()[0], t->rightGradient2());
        EXPECT_EQ(t->bottom()->sublayers()[0], t->bottomShadow());
        EXPECT_EQ(t->left()->sublayers()[0], t->topShadow());
        const bool vertical = orientation == 1;
        EXPECT_EQ(t->left()->frame(), vertical ? (gfx::Rect{0, 0, 320, 240}) : (gfx::Rect{0, 0, 160, 480}));
        for (const auto& l : {t->bottom(), t->right2(), t->right()}) {
            EXPECT_EQ(l->anchorPoint(), vertical ? (gfx::Point{0.5, 0}) : (gfx::Point{0, 0.5}));
            EXPECT_EQ(l->position(), (gfx::Point{160, 240}));
        }
        EXPECT_EQ(t->rightGradient()->frame(), t->right()->bounds());
        EXPECT_EQ(t->bottomShadow()->frame(), t->bottom()->bounds());
        EXPECT_EQ(t->topShadow()->frame(), t->left()->bounds());
        EXPECT_EQ(t->rightGradient()->startPoint(), vertical ? (gfx::Point{0, 1}) : (gfx::Point{1, 0}));
        EXPECT_EQ(t->rightGradient2()->endPoint(), (gfx::Point{0, 0}));
        for (const auto& l : {t->left(), t->bottom(), t->right(), t->topShadow()})
            EXPECT_TRUE(l->animationKeys().empty());
    }
}

TEST_F(FlipTransition, BeginCutsTheHalvesFromTheImagesByDirection) {
    auto t = make(XQViewTransitionDirectionForward);
    EXPECT_EQ(t->left()->contents()->size(), (gfx::Size{160, 480}));
    EXPECT_EQ(pixel8(t->left()->contents(), 5, 5), kRed);
    EXPECT_EQ(pixel8(t->right()->contents(), 5, 5), kRed);
    EXPECT_EQ(pixel8(t->right2()->contents(), 5, 5), kBlue);
    EXPECT_EQ(pixel8(t->bottom()->contents(), 5, 5), kBlue);
    EXPECT_EQ(t->rightGradient()->opacity(), 0);
    EXPECT_EQ(t->rightGradient2()->opacity(), 1);
    EXPECT_EQ(t->bottomShadow()->opacity(), 1);
    EXPECT_EQ(t->topShadow()->opacity(), 0);
    expectTransform(t->right()->transform(), face(0.001, false, false));
    expectTransform(t->right2()->transform(), face(0.001, false, true));

    auto back = make(XQViewTransitionDirectionBackward);
    // The first image is now the to image: the leaf lies over the first half showing the
    // from image's first half.
    EXPECT_EQ(pixel8(back->left()->contents(), 5, 5), kBlue);
    EXPECT_EQ(pixel8(back->right2()->contents(), 5, 5), kRed);
    EXPECT_EQ(back->rightGradient()->opacity(), 1);
    EXPECT_EQ(back->topShadow()->opacity(), 1);
    expectTransform(back->right()->transform(), face(0.996, false, false));
}

TEST_F(FlipTransition, UpdatesPoseTheLeafAndShading) {
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.25);
    expectTransform(t->right()->transform(), face(0.25, false, false));
    expectTransform(t->right2()->transform(), face(0.25, false, true));
    EXPECT_DOUBLE_EQ(t->rightGradient()->opacity(), 0.25);
    EXPECT_DOUBLE_EQ(t->rightGradient2()->opacity(), 0.75);
    EXPECT_DOUBLE_EQ(t->bottomShadow()->opacity(), 0.5);
    EXPECT_DOUBLE_EQ(t->topShadow()->opacity(), 0);
    t->updateTransition(0.5);
    EXPECT_DOUBLE_EQ(t->bottomShadow()->opacity(), 0);
    EXPECT_DOUBLE_EQ(t->topShadow()->opacity(), 0);

    auto back = make(XQViewTransitionDirectionBackward, XQViewTransitionOrientationVertical);
    back->updateTransition(0.25);
    expectTransform(back->right()->transform(), face(0.75, true, false));
    expectTransform(back->right2()->transform(), face(0.75, true, true));
    EXPECT_DOUBLE_EQ(back->topShadow()->opacity(), 0.5);
    EXPECT_DOUBLE_EQ(back->bottomShadow()->opacity(), 0);
}

TEST_F(FlipTransition, PlayTurnsEdgeOnAtHalfTimeAndReportsOnce) {
    auto t = make(XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    const auto a1 = t->right()->animationForKey("a1");
    ASSERT_TRUE(a1 && a1->delegate());
    const auto a6 = t->topShadow()->animationForKey("a6");
    ASSERT_TRUE(a6);
    EXPECT_NEAR(a6->beginTime(), ui::currentMediaTime() + 0.175, 1e-9);
    EXPECT_EQ(t->topShadow()->opacity(), 0) << "the fading-in shadow keeps its model";
    EXPECT_EQ(t->bottomShadow()->opacity(), 0);
    step(0.175);
    // Edge-on: the leaf's x axis points at the viewer.
    EXPECT_NEAR(t->right()->presentationState().transform.m11, 0, 0.01);
    expectReportAfter(*delegate, 0.175, false);
    step(1);
    EXPECT_EQ(delegate->reports.size(), 1u);
}

TEST_F(FlipTransition, CancelDuringFinishReportsOnceCanceledAndBeginClearsTheFlag) {
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.3);
    t->updateTransition(0.6);
    t->finishTransition();
    step(0.05);
    t->cancelTransition();
    EXPECT_TRUE(t->isCanceled());
    EXPECT_EQ(t->rightGradient()->opacity(), 0);
    EXPECT_EQ(t->rightGradient2()->opacity(), 0);
    expectReportAfter(*delegate, 0.175, true);
    step(1);
    ASSERT_EQ(delegate->reports.size(), 1u);

    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    EXPECT_FALSE(t->isCanceled());
    t->transitionWithAnimation();
    expectReportAfter(*delegate, 0.35, false);
}

TEST_F(FlipTransition, NoImplicitAnimationOutlastsAShortFinish) {
    // Updates animate implicitly behind the model (a quarter second); a finish over half of
    // 0.35 s must not leave one of them running after it has reported.
    auto t = make(XQViewTransitionDirectionForward);
    for (double p = 0.05; p < 0.5; p += 0.05)
        t->updateTransition(p);
    t->finishTransition();
    expectReportAfter(*delegate, 0.175, false);
    step(0.01);
    expectTransform(t->right()->presentationState().transform, t->right()->transform(), 1e-9);
    EXPECT_EQ(t->rightGradient()->presentationState().opacity, 1);
}

TEST_F(FlipTransition, CompositedLeafShowsTheRightFace) {
    const gfx::ImageRef page = stripes({320, 480}, {kRed, kGreen, kBlue, kYellow});
    const gfx::ImageRef white = solidImage({320, 480}, kWhite);
    ui::Compositor compositor;
    auto shot = [&](const std::shared_ptr<XQViewTransitionFlip>& t, double progress) {
        t->updateTransition(progress);
        step(0.3); // past the updates' implicit animations
        compositor.renderFrame(*t->layer(), kFrame.size, 1);
    };
    auto at = [&compositor](int x) { return pixel8(compositor.image(), x, 240); };
    // A quarter turn forward: the from image's second half on the leaf, the back face (the
    // to image, white) hidden.
    from = page;
    to = white;
    shot(make(XQViewTransitionDirectionForward), 0.25);
    EXPECT_TRUE(mostly(at(165), kBlue)) << at(165);
    EXPECT_TRUE(mostly(at(295), kYellow)) << at(295);
    EXPECT_TRUE(mostly(at(100), kGreen)) << at(100);
    // Three quarters: the to image's first half the right way round over the first half.
    from = white;
    to = page;
    shot(make(XQViewTransitionDirectionForward), 0.75);
    EXPECT_TRUE(mostly(at(150), kGreen)) << at(150);
    EXPECT_TRUE(mostly(at(25), kRed)) << at(25);
    EXPECT_TRUE(mostly(at(200), kBlue)) << at(200);
}

TEST_F(FlipTransition, EachFrameMapsOneFaceOfTheLeafWithoutFlattening) {
    auto t = make(XQViewTransitionDirectionForward);
    for (double progress : {0.25, 0.75}) {
        SCOPED_TRACE(progress);
        t->updateTransition(progress);
        step(0.3);
        ui::Compositor compositor;
        compositor.renderFrame(*t->layer(), kFrame.size, 2);
        // The face turned away, or the one lying under the face up, is not mapped; the shading
        // is laid over the face that is.
        EXPECT_EQ(compositor.statistics().projected, 1);
        EXPECT_EQ(compositor.statistics().flattened, 0);
    }
}

