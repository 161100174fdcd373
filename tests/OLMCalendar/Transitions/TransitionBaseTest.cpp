#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransition.h"

using namespace transitions::test;

TEST(ViewTransition, DefaultsAndDerivedFlags) {
    auto t = XQViewTransition::make({0, 0, 100, 50});
    EXPECT_DOUBLE_EQ(t->transitionDuration(), 0.4);
    EXPECT_EQ(t->direction(), XQViewTransitionDirectionForward);
    EXPECT_EQ(t->orientation(), XQViewTransitionOrientationHorizontal);
    EXPECT_TRUE(t->isForward());
    EXPECT_FALSE(t->isVertical());
    EXPECT_EQ(t->delegate(), nullptr);

    // Only 1 is vertical and only 0 is forward; anything else counts as the other case.
    t->setOrientation(2);
    EXPECT_FALSE(t->isVertical());
    t->setOrientation(-1);
    EXPECT_FALSE(t->isVertical());
    t->setOrientation(XQViewTransitionOrientationVertical);
    EXPECT_TRUE(t->isVertical());
    t->setDirection(5);
    EXPECT_FALSE(t->isForward());
    t->setDirection(-1);
    EXPECT_FALSE(t->isForward());
    EXPECT_TRUE(XQViewTransition::make()->isKindOf(ui::View::staticClass()));
}

TEST(ViewTransition, PlainTransitionNeverReportsOrShowsAnything) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto t = XQViewTransition::make({0, 0, 100, 50});
    t->setDelegate(delegate);
    const auto image = solidImage({100, 50}, kRed);
    t->beginTransitionFrom(image, image, XQViewTransitionDirectionBackward);
    t->transitionWithAnimation();
    t->updateTransition(0.5);
    t->finishTransition();
    t->cancelTransition();
    t->prepareWithPresenter(nullptr);
    EXPECT_TRUE(delegate->reports.empty());
    EXPECT_TRUE(t->subviews().empty());
    EXPECT_TRUE(t->layer()->sublayers().empty());
    // The base does not store the direction: that is each transition's own begin.
    EXPECT_TRUE(t->isForward());
}

TEST(ViewTransition, CompleteReportsOncePerBeginThenHoldsTheDelegateWeakly) {
    XQViewTransition::make()->completeTransition(true); // no delegate: silent, and no crash

    auto t = XQViewTransition::make();
    auto delegate = std::make_shared<RecordingDelegate>();
    t->setDelegate(delegate);
    EXPECT_EQ(delegate.use_count(), 2);
    t->beginTransitionFrom(nullptr, nullptr, XQViewTransitionDirectionForward);
    t->completeTransition(true);
    t->completeTransition(false);
    ASSERT_EQ(delegate->reports.size(), 1u);
    EXPECT_EQ(delegate->reports[0].transition, t.get());
    EXPECT_TRUE(delegate->reports[0].canceled);

    // After the report the transition no longer keeps its delegate alive, but still knows it
    // while it lives, and a new begin reports to it again.
    EXPECT_EQ(delegate.use_count(), 1);
    EXPECT_EQ(t->delegate(), delegate);
    t->beginTransitionFrom(nullptr, nullptr, XQViewTransitionDirectionForward);
    EXPECT_EQ(delegate.use_count(), 2);
    t->completeTransition(false);
    ASSERT_EQ(delegate->reports.size(), 2u);
    EXPECT_FALSE(delegate->reports[1].canceled);

    std::weak_ptr<RecordingDelegate> weak = delegate;
    delegate.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(t->delegate(), nullptr);
    t->beginTransitionFrom(nullptr, nullptr, XQViewTransitionDirectionForward);
    t->completeTransition(false); // the delegate is gone: silent
}

TEST(ViewTransition, DelegateMayDropTheLastReferenceWhileItIsTold) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto holder = ui::View::make({0, 0, 10, 10});
    std::weak_ptr<XQViewTransition> weak;
    {
        auto t = XQViewTransition::make({0, 0, 10, 10});
        weak = t;
        t->setDelegate(delegate);
        holder->addSubview(t);
        t->beginTransitionFrom(nullptr, nullptr, XQViewTransitionDirectionForward);
    }
    delegate->onReport = [](XQViewTransition* t) { t->removeFromSuperview(); };
    weak.lock()->completeTransition(false);
    EXPECT_EQ(delegate->reports.size(), 1u);
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(holder->subviews().empty());
}

// --- Cropping.

TEST(ViewTransitionCrop, CutsTheRegionAtTheRectSizeAndScreenScale) {
    gfx::test::ScopedGraphicsSettings settings;
    gfx::setScreenScale(2);
    const auto image = quadrantImage({40, 40});
    // The right half: green above yellow.
    const auto crop = XQViewTransition::cropImg(image, {20, 0, 20, 40}, false, 0);
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(crop->pixelWidth(), 40);
    EXPECT_EQ(crop->pixelHeight(), 80);
    EXPECT_DOUBLE_EQ(crop->size().width, 20);
    EXPECT_TRUE(near(pixel8(crop, 2, 2), kGreen));
    EXPECT_TRUE(near(pixel8(crop, 37, 77), kYellow));
    // The crop context is opaque: outside the image it is black, not clear.
    const auto outside = XQViewTransition::cropImg(image, {30, 30, 20, 20}, false, 0);
    ASSERT_NE(outside, nullptr);
    EXPECT_TRUE(near(pixel8(outside, 5, 5), kYellow));
    EXPECT_EQ(pixel8(outside, 35, 35), (Pixel8{0, 0, 0, 255}));
}

TEST(ViewTransitionCrop, MirrorsInsideTheRectByOrientation) {
    gfx::test::ScopedGraphicsSettings settings;
    gfx::setScreenScale(1);
    // A strip with a marker column: x = 10..12 of the rect (10, 0, 20, 40) is red, the rest blue.
    const auto image = gfx::test::render({40, 40}, 1, [](gfx::GraphicsContext& c) {
        c.setFillColor(color(kBlue));
        c.fillRect({0, 0, 40, 40});
        c.setFillColor(color(kRed));
        c.fillRect({12, 0, 2, 40}); // columns 2..3 of the rect
        c.setFillColor(color(kGreen));
        c.fillRect({10, 5, 20, 2}); // rows 5..6
    });
    const gfx::Rect rect{10, 0, 20, 40};

    const auto plain = XQViewTransition::cropImg(image, rect, false, XQViewTransitionOrientationHorizontal);
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(near(pixel8(plain, 2, 20), kRed));
    EXPECT_TRUE(near(pixel8(plain, 17, 20), kBlue));

    // Left to right: column c shows column w - 1 - c, so the marker moves to columns 16..17;
    // rows stay where they were.
    for (XQViewTransitionOrientation horizontal : {0L, 2L, -7L}) {
        const auto mirrored = XQViewTransition::cropImg(image, rect, true, horizontal);
        ASSERT_NE(mirrored, nullptr);
        EXPECT_TRUE(near(pixel8(mirrored, 16, 20), kRed)) << horizontal;
        EXPECT_TRUE(near(pixel8(mirrored, 17, 20), kRed)) << horizontal;
        EXPECT_TRUE(near(pixel8(mirrored, 2, 20), kBlue)) << horizontal;
        EXPECT_TRUE(near(pixel8(mirrored, 10, 5), kGreen)) << horizontal;
    }

    // Upside down: row r shows row h - 1 - r, so the green rows move to 33..34; columns stay.
    const auto flipped = XQViewTransition::cropImg(image, rect, true, XQViewTransitionOrientationVertical);
    ASSERT_NE(flipped, nullptr);
    EXPECT_TRUE(near(pixel8(flipped, 10, 33), kGreen));
    EXPECT_TRUE(near(pixel8(flipped, 10, 34), kGreen));
    EXPECT_TRUE(near(pixel8(flipped, 10, 5), kBlue));
    EXPECT_TRUE(near(pixel8(flipped, 2, 20), kRed));
}

TEST(ViewTransitionCrop, NoPixelsOrNoImageGiveNoImage) {
    gfx::test::ScopedGraphicsSettings settings;
    gfx::setScreenScale(2);
    const auto image = quadrantImage({40, 40});
    EXPECT_EQ(XQViewTransition::cropImg(image, {0, 0, 0, 20}, false, 0), nullptr);
    EXPECT_EQ(XQViewTransition::cropImg(image, {0, 0, 20, -5}, true, 1), nullptr);
    EXPECT_EQ(XQViewTransition::cropImg(image, {0, 0, 1e-9, 20}, true, 0), nullptr);
    EXPECT_EQ(XQViewTransition::cropImg(nullptr, {0, 0, 20, 20}, false, 0), nullptr);
    // Half a point at scale 2 is still a pixel.
    const auto thin = XQViewTransition::cropImg(image, {0, 0, 0.5, 20}, false, 0);
    ASSERT_NE(thin, nullptr);
    EXPECT_EQ(thin->pixelWidth(), 1);
    EXPECT_EQ(gfx::contextStackDepth(), 0u);
}
