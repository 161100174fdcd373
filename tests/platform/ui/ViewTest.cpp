#include "UITestSupport.h"

#include "platform/graphics/SystemColors.h"
#include "platform/ui/GradientLayer.h"

#include <gtest/gtest.h>

#include <array>
#include <numbers>

using namespace ui;
using namespace ui::test;

namespace ui::test {
OLM_DEFINE_CLASS(RecordingView, View)
}

namespace {

std::vector<View*> subviewList(const View& v) {
    std::vector<View*> out;
    for (const auto& s : v.subviews())
        out.push_back(s.get());
    return out;
}

// root > mid > leaf, recording into `log`.
std::array<std::shared_ptr<RecordingView>, 3> makeChain(Log& log) {
    auto root = RecordingView::make("root", &log, {0, 0, 100, 100});
    auto mid = RecordingView::make("mid", &log, {0, 0, 50, 50});
    auto leaf = RecordingView::make("leaf", &log, {0, 0, 10, 10});
    root->addSubview(mid);
    mid->addSubview(leaf);
    return {root, mid, leaf};
}

} // namespace

TEST(ViewGeometry, FrameBoundsCenterAndTransform) {
    auto v = View::make({10, 20, 100, 50});
    expectRectNear(v->bounds(), {0, 0, 100, 50});
    EXPECT_EQ(v->center(), (gfx::Point{60, 45}));
    EXPECT_EQ(v->layer()->position(), v->center());

    v->setCenter({0, 0});
    expectRectNear(v->frame(), {-50, -25, 100, 50});
    v->setBounds({5, 5, 20, 10}); // keeps the centre; the origin is the content offset
    expectRectNear(v->frame(), {-10, -5, 20, 10});

    // The transform turns about the centre (the anchor) and leaves center and bounds alone.
    v->setTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 2));
    expectRectNear(v->frame(), {-5, -10, 10, 20});
    EXPECT_EQ(v->center(), (gfx::Point{0, 0}));
    expectRectNear(v->bounds(), {5, 5, 20, 10});
    EXPECT_TRUE(gfx::isAffine(v->layer()->transform()));

    // The view is its layer's delegate; a view can be backed by another kind of layer.
    EXPECT_EQ(v->layer()->delegate(), v.get());
    struct GradientView : View {
        std::shared_ptr<Layer> makeBackingLayer() const override { return GradientLayer::make(); }
    };
    auto g = rt::create<GradientView>(gfx::Rect{0, 0, 10, 10});
    EXPECT_NE(std::dynamic_pointer_cast<GradientLayer>(g->layer()), nullptr);
}

TEST(ViewTree, HooksRunInOrderWhenAddingMovingAndRemoving) {
    Log log;
    auto window = Window::make("w", &log, {0, 0, 100, 100});
    auto a = RecordingView::make("a", &log);
    auto b = RecordingView::make("b", &log);
    auto child = RecordingView::make("c", &log);
    window->addSubview(a);
    log.clear();

    b->addSubview(child);
    EXPECT_EQ(log, (Log{"c.willMoveToSuperview:b", "c.didMoveToSuperview:b", "b.didAddSubview:c"}));
    EXPECT_EQ(child->superview(), b.get());
    EXPECT_EQ(child->window(), nullptr);

    // Moving to a view in a window: the old superview is told, the window hooks run.
    log.clear();
    a->addSubview(child);
    EXPECT_EQ(log, (Log{"c.willMoveToSuperview:a", "b.willRemoveSubview:c", "c.willMoveToWindow:w",
                        "c.didMoveToWindow:w", "c.didMoveToSuperview:a", "a.didAddSubview:c"}));
    EXPECT_TRUE(b->subviews().empty());
    EXPECT_EQ(child->window(), window.get());
    EXPECT_EQ(child->layer()->superlayer(), a->layer().get());

    // Removing: the superview is null by didMoveToSuperview.
    log.clear();
    child->removeFromSuperview();
    EXPECT_EQ(log, (Log{"a.willRemoveSubview:c", "c.willMoveToSuperview", "c.willMoveToWindow",
                        "c.didMoveToWindow", "c.didMoveToSuperview"}));
    EXPECT_EQ(child->superview(), nullptr);
    EXPECT_EQ(child->layer()->superlayer(), nullptr);
    EXPECT_TRUE(child->isDescendantOfView(child.get()));
    EXPECT_FALSE(child->isDescendantOfView(a.get()));

    // A view cannot be added below itself.
    a->removeFromSuperview();
    a->addSubview(child);
    child->addSubview(a);
    a->addSubview(a);
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_TRUE(child->subviews().empty());
}

TEST(ViewTree, SubviewOrderDrivesLayerOrderAroundOtherSublayers) {
    auto parent = View::make();
    auto a = View::make(), b = View::make(), c = View::make();
    parent->addSubview(a);
    auto border = Layer::make(); // a sublayer that belongs to no view stays above a
    parent->layer()->addSublayer(border);
    parent->addSubview(c);
    parent->insertSubview(b, 1);
    EXPECT_EQ(subviewList(*parent), (std::vector<View*>{a.get(), b.get(), c.get()}));
    const auto& layers = parent->layer()->sublayers();
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers[0], a->layer());
    EXPECT_EQ(layers[1], border);
    EXPECT_EQ(layers[2], b->layer());
    EXPECT_EQ(layers[3], c->layer());

    parent->bringSubviewToFront(a.get());
    EXPECT_EQ(subviewList(*parent), (std::vector<View*>{b.get(), c.get(), a.get()}));
    EXPECT_EQ(parent->layer()->sublayers().back(), a->layer());
    parent->sendSubviewToBack(c.get());
    EXPECT_EQ(subviewList(*parent), (std::vector<View*>{c.get(), b.get(), a.get()}));
    EXPECT_EQ(parent->layer()->sublayers().front(), c->layer());
    parent->insertSubviewAbove(c, a.get());
    EXPECT_EQ(subviewList(*parent), (std::vector<View*>{b.get(), a.get(), c.get()}));
    parent->insertSubviewBelow(c, b.get());
    EXPECT_EQ(subviewList(*parent), (std::vector<View*>{c.get(), b.get(), a.get()}));
    parent->insertSubview(b, 100);
    EXPECT_EQ(subviewList(*parent), (std::vector<View*>{c.get(), a.get(), b.get()}));

    parent->setTag(1);
    b->setTag(7);
    EXPECT_EQ(parent->viewWithTag(7), b.get());
    EXPECT_EQ(parent->viewWithTag(8), nullptr);
}

TEST(ViewAppearance, TintIsInheritedAndChangesAreAnnounced) {
    struct TintView : View {
        int changes = 0;
        void tintColorDidChange() override { ++changes; }
    };
    auto parent = rt::create<TintView>(gfx::Rect{});
    auto child = rt::create<TintView>(gfx::Rect{});
    EXPECT_EQ(child->tintColor().resolved(gfx::Appearance::light), (gfx::RGBA{0, 122 / 255.0, 1, 1}));
    parent->addSubview(child);
    EXPECT_EQ(child->changes, 0); // both show the default

    parent->setTintColor(gfx::Color::rgba(1, 0, 0));
    EXPECT_EQ(child->tintColor(), gfx::Color::rgba(1, 0, 0));
    EXPECT_EQ(child->changes, 1);
    child->setTintColor(gfx::Color::rgba(0, 1, 0));
    parent->setTintColor(gfx::Color::rgba(0, 0, 1)); // the child keeps its own
    EXPECT_EQ(child->changes, 2);
    child->setTintColor(std::nullopt);
    EXPECT_EQ(child->tintColor(), gfx::Color::rgba(0, 0, 1));
    child->removeFromSuperview(); // back to the default
    EXPECT_EQ(child->changes, 4);
    EXPECT_EQ(child->tintColor(), gfx::systemColors::systemBlue());
}

TEST(ViewLayout, DeferredCoalescedTopDownAndOnBoundsSizeChange) {
    Log log;
    auto [root, mid, leaf] = makeChain(log);
    root->layoutIfNeeded();
    log.clear();

    leaf->setNeedsLayout();
    root->setNeedsLayout();
    leaf->setNeedsLayout();
    EXPECT_TRUE(log.empty()); // nothing runs until the pass
    leaf->layoutIfNeeded();   // starts at the outermost marked ancestor
    EXPECT_EQ(log, (Log{"root.layoutSubviews", "leaf.layoutSubviews"}));
    log.clear();
    root->layoutIfNeeded();
    EXPECT_TRUE(log.empty());

    // Only a change of size marks a view; moving it does not.
    mid->setFrame({5, 5, 50, 50});
    root->layoutIfNeeded();
    EXPECT_TRUE(log.empty());
    mid->setBounds({0, 0, 60, 50});
    root->layoutIfNeeded();
    EXPECT_EQ(log, (Log{"mid.layoutSubviews"}));

    // A layout that changes a subview's size lays that subview out in the same pass.
    struct Resizer : View {
        std::shared_ptr<RecordingView> child;
        void layoutSubviews() override { child->setFrame({0, 0, bounds().size.width / 2, 10}); }
    };
    auto resizer = rt::create<Resizer>(gfx::Rect{0, 0, 40, 40});
    resizer->child = RecordingView::make("child", &log);
    resizer->addSubview(resizer->child);
    log.clear();
    resizer->layoutIfNeeded();
    EXPECT_EQ(log, (Log{"child.layoutSubviews"}));
    EXPECT_EQ(resizer->child->frame().size.width, 20);
}

TEST(ViewLayout, LayoutSublayersOfLayerOverrideMayReplaceLayoutSubviews) {
    Log log;
    struct Custom : RecordingView {
        bool callInherited = false;
        void layoutSublayersOfLayer(Layer& layer) override {
            if (callInherited) View::layoutSublayersOfLayer(layer);
            log->push_back("custom");
        }
    };
    auto v = rt::create<Custom>(std::string("v"), &log, gfx::Rect{0, 0, 10, 10});
    v->layoutIfNeeded();
    EXPECT_EQ(log, (Log{"custom"}));
    log.clear();
    v->callInherited = true;
    v->setNeedsLayout();
    v->layoutIfNeeded();
    EXPECT_EQ(log, (Log{"v.layoutSubviews", "custom"}));
}

TEST(ViewLayout, AutoresizingSpreadsTheChangeOverFlexibleParts) {
    auto parent = View::make({0, 0, 100, 100});
    auto fill = View::make({10, 10, 80, 80});
    fill->setAutoresizingMask(ViewAutoresizingFlexibleWidth | ViewAutoresizingFlexibleHeight);
    auto pinnedRight = View::make({70, 0, 20, 20}); // 10 from the right edge
    pinnedRight->setAutoresizingMask(ViewAutoresizingFlexibleLeftMargin);
    auto centred = View::make({40, 40, 20, 20});
    centred->setAutoresizingMask(ViewAutoresizingFlexibleLeftMargin | ViewAutoresizingFlexibleRightMargin |
                                 ViewAutoresizingFlexibleTopMargin | ViewAutoresizingFlexibleBottomMargin);
    auto fixed = View::make({5, 5, 10, 10});
    for (auto& v : {fill, pinnedRight, centred, fixed})
        parent->addSubview(v);

    parent->setFrame({0, 0, 200, 150});
    expectRectNear(fill->frame(), {10, 10, 180, 130});
    expectRectNear(pinnedRight->frame(), {170, 0, 20, 20});
    expectRectNear(centred->frame(), {90, 65, 20, 20});
    expectRectNear(fixed->frame(), {5, 5, 10, 10});

    // Shrinking below the flexible size stops at zero; turned off, nothing moves.
    parent->setFrame({0, 0, 0, 150});
    EXPECT_EQ(fill->frame().size.width, 0);
    parent->setAutoresizesSubviews(false);
    parent->setFrame({0, 0, 500, 500});
    EXPECT_EQ(fill->frame().size.width, 0);
}

TEST(ViewLayout, SizeToFitKeepsTheOrigin) {
    struct Fitting : View {
        gfx::Size sizeThatFits(gfx::Size) const override { return {33, 11}; }
    };
    auto v = rt::create<Fitting>(gfx::Rect{5, 6, 100, 100});
    v->sizeToFit();
    expectRectNear(v->frame(), {5, 6, 33, 11});
    auto plain = View::make({1, 2, 3, 4});
    EXPECT_EQ(plain->sizeThatFits({50, 50}), (gfx::Size{3, 4}));
}

TEST(ViewDisplay, DrawingIsDeferredCoalescedAndOnlyForDrawingViews) {
    auto settings = gfx::test::ScopedGraphicsSettings{};
    gfx::setScreenScale(2);
    Log log;
    auto root = RecordingView::make("root", &log, {0, 0, 40, 40});
    auto drawing = RecordingView::make("drawing", &log, {0, 0, 10, 10});
    drawing->draws = true;
    drawing->setNeedsDisplay(); // a view made before `draws` was set is marked here
    root->addSubview(drawing);
    root->setNeedsDisplay(); // does not draw: ignored

    EXPECT_EQ(drawing->drawCount, 0);
    root->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawCount, 1);
    EXPECT_EQ(root->drawCount, 0);
    EXPECT_EQ(root->layer()->contents(), nullptr);
    ASSERT_NE(drawing->layer()->contents(), nullptr);
    EXPECT_EQ(drawing->layer()->contents()->pixelWidth(), 20); // the screen scale

    drawing->setNeedsDisplay();
    drawing->setNeedsDisplayInRect({0, 0, 1, 1});
    root->layer()->displayTreeIfNeeded();
    root->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawCount, 2);

    // A bounds change redraws only with the redraw content mode.
    drawing->setFrame({0, 0, 20, 20});
    root->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawCount, 2);
    drawing->setContentMode(ViewContentModeRedraw);
    drawing->setFrame({0, 0, 30, 20});
    root->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawCount, 3);
    EXPECT_EQ(drawing->layer()->contents()->pixelWidth(), 60);

    // A zero-sized view draws nothing and has no contents.
    drawing->setFrame({0, 0, 0, 20});
    root->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->layer()->contents(), nullptr);
}

TEST(ViewDisplay, DrawRectIsGivenTheBoundsOrOnlyTheMarkedPartsGrownToPixels) {
    auto settings = gfx::test::ScopedGraphicsSettings{};
    gfx::setScreenScale(2);
    Log log;
    auto drawing = RecordingView::make("drawing", &log, {0, 0, 10, 10});
    drawing->draws = true;
    drawing->setBounds({3, 4, 10, 10});
    drawing->setNeedsDisplay();
    drawing->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawnRect, (gfx::Rect{3, 4, 10, 10}));

    // Two parts: the box around them, in half points (the store's pixels), within the bounds.
    drawing->setNeedsDisplayInRect({4.2, 5.1, 1, 1});
    drawing->setNeedsDisplayInRect({11.9, 5, 4, 1});
    drawing->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawCount, 2);
    EXPECT_EQ(drawing->drawnRect, (gfx::Rect{4, 5, 9, 1.5}));

    // A part outside the bounds draws nothing; a whole mark after a part draws the whole.
    drawing->setNeedsDisplayInRect({40, 40, 2, 2});
    drawing->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawCount, 2);
    drawing->setNeedsDisplayInRect({4, 5, 1, 1});
    drawing->setNeedsDisplay();
    drawing->layer()->displayTreeIfNeeded();
    EXPECT_EQ(drawing->drawnRect, (gfx::Rect{3, 4, 10, 10}));
}

TEST(ViewDisplay, OpaqueIsOnlyAHintAndDrawingViewsStillShowWhatIsBehind) {
    Log log;
    auto root = View::make({0, 0, 20, 20});
    root->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    auto drawing = RecordingView::make("drawing", &log, {0, 0, 20, 20});
    drawing->draws = true;
    drawing->fill = gfx::Color::rgba(1, 0, 0, 0); // draws nothing visible
    drawing->setNeedsDisplay();
    root->addSubview(drawing);
    EXPECT_TRUE(drawing->isOpaque());

    // No background and nothing drawn: the backing store is clear, not black.
    EXPECT_EQ(pixel8(snapshot(*root->layer(), {20, 20}), 10, 10), blue);
    // And an opaque view is faded by its alpha all the same.
    drawing->fill = gfx::Color::rgba(1, 0, 0);
    drawing->setNeedsDisplay();
    drawing->setAlpha(0.5);
    EXPECT_TRUE(near(pixel8(snapshot(*root->layer(), {20, 20}), 10, 10), {128, 0, 128, 255}));
}

TEST(ViewEvents, HitTestSkipsHiddenTransparentDisabledAndOutsideViews) {
    auto root = View::make({0, 0, 100, 100});
    auto a = View::make({0, 0, 50, 50});
    auto b = View::make({25, 25, 50, 50}); // in front of a where they overlap
    auto inner = View::make({10, 10, 10, 10});
    root->addSubview(a);
    root->addSubview(b);
    b->addSubview(inner);

    EXPECT_EQ(root->hitTest({40, 40}, nullptr), inner.get());
    EXPECT_EQ(root->hitTest({30, 30}, nullptr), b.get());
    EXPECT_EQ(root->hitTest({10, 10}, nullptr), a.get());
    EXPECT_EQ(root->hitTest({90, 10}, nullptr), root.get());
    EXPECT_EQ(root->hitTest({100, 10}, nullptr), nullptr); // the max edge is outside

    b->setHidden(true);
    EXPECT_EQ(root->hitTest({40, 40}, nullptr), a.get());
    b->setHidden(false);
    b->setAlpha(0.005);
    EXPECT_EQ(root->hitTest({40, 40}, nullptr), a.get());
    b->setAlpha(0.01);
    EXPECT_EQ(root->hitTest({40, 40}, nullptr), inner.get());
    b->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({40, 40}, nullptr), a.get());
    b->setUserInteractionEnabled(true);

    // The part of a subview outside its superview's bounds cannot be hit, clipped or not.
    auto sticking = View::make({40, 0, 30, 20});
    a->addSubview(sticking);
    EXPECT_EQ(root->hitTest({45, 10}, nullptr), sticking.get());
    EXPECT_EQ(root->hitTest({60, 10}, nullptr), root.get());

    // Transformed: b scaled to half about its centre (50, 50) covers 37.5..62.5, and
    // inner (b's 10..20) covers 42.5..47.5.
    b->setTransform(gfx::AffineTransform::makeScale(0.5, 0.5));
    EXPECT_EQ(root->hitTest({30, 30}, nullptr), a.get());
    EXPECT_EQ(root->hitTest({45, 45}, nullptr), inner.get());
    EXPECT_EQ(root->hitTest({60, 60}, nullptr), b.get());
}

TEST(ViewEvents, ConversionsBetweenViewsAndTheWindow) {
    Log log;
    auto window = Window::make("w", &log, {0, 0, 320, 480});
    auto a = View::make({10, 20, 100, 100});
    auto b = View::make({5, 5, 50, 50});
    window->addSubview(a);
    a->addSubview(b);
    EXPECT_EQ(b->convertPointToView({1, 1}, nullptr), (gfx::Point{16, 26}));
    EXPECT_EQ(b->convertPointToView({1, 1}, window.get()), (gfx::Point{16, 26}));
    EXPECT_EQ(b->convertPointFromView({16, 26}, nullptr), (gfx::Point{1, 1}));
    EXPECT_EQ(a->convertRectFromView({0, 0, 10, 10}, b.get()), (gfx::Rect{5, 5, 10, 10}));
    EXPECT_EQ(b->convertRectToView({0, 0, 10, 10}, a.get()), (gfx::Rect{5, 5, 10, 10}));

    auto other = View::make({100, 100, 10, 10});
    window->addSubview(other);
    a->setBounds({0, 10, 100, 100}); // content moved up by 10
    EXPECT_EQ(b->convertPointToView({0, 0}, other.get()), (gfx::Point{-85, -85}));
    a->setTransform(gfx::AffineTransform::makeScale(2, 2)); // about a's centre (60, 70)
    const gfx::Point p = b->convertPointToView({0, 0}, nullptr);
    EXPECT_DOUBLE_EQ(p.x, 60 + (5 - 50) * 2);
    EXPECT_DOUBLE_EQ(p.y, 70 + (5 - 60) * 2);

    auto touch = Touch::make(p, 0);
    EXPECT_NEAR(touch->locationInView(b.get()).x, 0, 1e-9);
    EXPECT_NEAR(touch->locationInView(b.get()).y, 0, 1e-9);
    EXPECT_EQ(touch->locationInView(nullptr), p);
}

TEST(ViewEvents, TouchesTravelUpTheResponderChainUntilHandled) {
    Log log;
    auto [root, mid, leaf] = makeChain(log);
    auto touch = Touch::make({5, 5}, 1);
    touch->setView(leaf);
    auto event = Event::make(1, {touch});
    EXPECT_EQ(event->touchesForView(leaf.get()).size(), 1u);
    EXPECT_TRUE(event->touchesForView(mid.get()).empty());

    EXPECT_EQ(leaf->nextResponder(), mid.get());
    log.clear();
    leaf->touchesBegan(event->allTouches(), event.get());
    EXPECT_EQ(log, (Log{"leaf.touchesBegan", "mid.touchesBegan", "root.touchesBegan"}));

    log.clear();
    mid->handlesTouches = true;
    leaf->touchesEnded(event->allTouches(), nullptr);
    EXPECT_EQ(log, (Log{"leaf.touchesEnded", "mid.touchesEnded"}));
}
