#include "UITestSupport.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/GradientLayer.h"
#include "platform/ui/TestDriver.h"
#include "platform/ui/Transaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

using namespace ui;
using namespace ui::test;

namespace {

std::vector<std::string> names(const std::vector<std::shared_ptr<Layer>>& layers) {
    std::vector<std::string> out;
    for (const auto& l : layers)
        out.push_back(l->name());
    return out;
}

std::shared_ptr<Layer> named(const char* name) {
    auto l = Layer::make();
    l->setName(name);
    return l;
}

// A layer delegate that draws one filled ellipse.
class Dot : public LayerDelegate {
public:
    gfx::Rect rect;
    gfx::Color color = gfx::Color::rgba(1, 0, 0);
    bool implementsDrawLayerInContext(const Layer&) const override { return true; }
    void drawLayerInContext(Layer&, gfx::GraphicsContext& c) override {
        c.setFillColor(color);
        c.fillEllipseInRect(rect);
    }
};

// A layer of 40 x 30 points at scale 2 drawn by `dot`.
std::shared_ptr<Layer> drawnBy(Dot& dot, bool opaque) {
    auto layer = Layer::make();
    layer->setBounds({0, 0, 40, 30});
    layer->setContentsScale(2);
    layer->setOpaque(opaque);
    layer->setDelegate(&dot);
    layer->display();
    return layer;
}

bool samePixels(const gfx::ImageRef& a, const gfx::ImageRef& b) {
    if (a->pixelWidth() != b->pixelWidth() || a->pixelHeight() != b->pixelHeight()) return false;
    for (int y = 0; y < a->pixelHeight(); ++y)
        if (std::memcmp(a->data() + y * a->stride(), b->data() + y * b->stride(),
                        static_cast<std::size_t>(a->pixelWidth()) * 4) != 0)
            return false;
    return true;
}

// Whether every pixel that is not transparent lies inside the image's ink bounds.
bool inkHoldsEveryPixel(const gfx::ImageRef& image) {
    const gfx::Rect ink = image->inkBounds();
    for (int y = 0; y < image->pixelHeight(); ++y)
        for (int x = 0; x < image->pixelWidth(); ++x)
            if (image->pixel(x, y).a > 0 && !ink.contains({x + 0.5, y + 0.5})) return false;
    return !ink.isNull();
}

} // namespace

TEST(LayerGeometry, FrameIsDerivedFromPositionAnchorAndBounds) {
    auto layer = Layer::make();
    layer->setBounds({0, 0, 100, 50});
    layer->setPosition({200, 100});
    expectRectNear(layer->frame(), {150, 75, 100, 50});

    layer->setAnchorPoint({0, 0});
    expectRectNear(layer->frame(), {200, 100, 100, 50});

    // Setting the frame keeps the anchor and moves the position; the bounds origin stays.
    layer->setBounds({10, 20, 100, 50});
    layer->setAnchorPoint({1, 1});
    layer->setFrame({0, 0, 40, 30});
    expectPointNear(layer->position(), {40, 30});
    expectRectNear(layer->bounds(), {10, 20, 40, 30});
    expectRectNear(layer->frame(), {0, 0, 40, 30});

    // A frame with a negative size is standardised; non-finite input changes nothing.
    layer->setFrame({50, 50, -20, -10});
    expectRectNear(layer->frame(), {30, 40, 20, 10});
    layer->setFrame({NAN, 0, 10, 10});
    layer->setPosition({INFINITY, 0});
    expectRectNear(layer->frame(), {30, 40, 20, 10});
}

TEST(LayerGeometry, FrameUnderTransformIsTheBoundingBox) {
    auto layer = Layer::make();
    layer->setBounds({0, 0, 100, 50});
    layer->setPosition({100, 100});
    layer->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 2));
    expectRectNear(layer->frame(), {75, 50, 50, 100});

    // Scaled about a corner anchor: setting the frame gives back exactly that frame.
    layer->setAnchorPoint({0, 0});
    layer->setAffineTransform(gfx::AffineTransform::makeScale(2, 3));
    expectRectNear(layer->frame(), {100, 100, 200, 150});
    layer->setFrame({10, 20, 60, 90});
    expectRectNear(layer->bounds(), {0, 0, 30, 30});
    expectRectNear(layer->frame(), {10, 20, 60, 90});

    // Under a rotation the bounds take the frame's size, centred on it.
    layer->setAnchorPoint({0.5, 0.5});
    layer->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 4));
    layer->setFrame({0, 0, 40, 40});
    expectRectNear(layer->bounds(), {0, 0, 40, 40});
    expectPointNear(layer->position(), {20, 20});
}

TEST(LayerGeometry, ConversionsFollowPositionsBoundsOriginsAndTransforms) {
    auto root = Layer::make();
    root->setFrame({0, 0, 300, 300});
    auto a = Layer::make();
    a->setFrame({100, 50, 100, 100});
    a->setBounds({10, 10, 100, 100}); // scrolled content
    root->addSublayer(a);
    auto b = Layer::make();
    b->setFrame({20, 20, 40, 40});
    a->addSublayer(b);

    expectPointNear(b->convertPointToLayer({0, 0}, root.get()), {110, 60});
    expectPointNear(root->convertPointToLayer({110, 60}, b.get()), {0, 0});
    expectPointNear(b->convertPointFromLayer({110, 60}, root.get()), {0, 0});
    // A null layer is the root's frame space (here the same as the root's own space).
    expectPointNear(b->convertPointToLayer({5, 5}, nullptr), {115, 65});
    expectRectNear(b->convertRectToLayer({0, 0, 10, 10}, root.get()), {110, 60, 10, 10});

    // A rotation of a by 90° about its anchor (60, 60 in its own space, 150, 100 in the
    // root's): b's origin, (-40, -40) from the anchor, turns to (40, -40).
    a->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 2));
    const gfx::Point p = b->convertPointToLayer({0, 0}, root.get());
    expectPointNear(p, {190, 60});
    expectPointNear(root->convertPointToLayer(p, b.get()), {0, 0});
    expectRectNear(b->convertRectFromLayer(b->convertRectToLayer({0, 0, 10, 20}, root.get()), root.get()),
                   {0, 0, 10, 20}, 1e-9);

    // A sublayer transform (applied about the superlayer's anchor) moves the sublayers only.
    a->setAffineTransform({});
    a->setSublayerTransform(gfx::Transform3D::makeScale(2, 2, 1));
    // b's origin, 20,20 in a's bounds space (origin 10,10), is 10,10 from a's top-left
    // corner: scaled about a's centre (60,60 in a's space) it lands at (20-60)*2+60 = -20.
    expectPointNear(b->convertPointToLayer({0, 0}, a.get()), {-20, -20});
    expectPointNear(b->convertPointToLayer({0, 0}, root.get()), {70, 20});
}

TEST(LayerGeometry, HitTestFindsTheFrontmostLayerAndIgnoresZPosition) {
    auto root = named("root");
    root->setFrame({0, 0, 100, 100});
    auto back = named("back");
    back->setFrame({0, 0, 60, 60});
    auto front = named("front");
    front->setFrame({40, 40, 60, 60});
    root->addSublayer(back);
    root->addSublayer(front);
    back->setZPosition(10); // drawn on top, but hit-testing goes by insertion order

    EXPECT_EQ(root->hitTest({50, 50}), front.get());
    EXPECT_EQ(root->hitTest({10, 10}), back.get());
    EXPECT_EQ(root->hitTest({90, 5}), root.get());
    EXPECT_EQ(root->hitTest({150, 5}), nullptr);

    front->setHidden(true);
    EXPECT_EQ(root->hitTest({50, 50}), back.get());

    // Without clipping a sublayer outside its superlayer's bounds is still found.
    auto outside = named("outside");
    outside->setFrame({120, 0, 20, 20});
    back->addSublayer(outside);
    EXPECT_EQ(root->hitTest({125, 5}), outside.get());
    root->setMasksToBounds(true);
    EXPECT_EQ(root->hitTest({125, 5}), nullptr);
}

TEST(LayerTree, InsertionRemovalAndReordering) {
    auto root = named("root");
    auto a = named("a"), b = named("b"), c = named("c"), d = named("d");
    root->addSublayer(a);
    root->insertSublayer(b, 99); // past the end appends
    root->insertSublayer(c, -3); // a negative index inserts at the front
    EXPECT_EQ(names(root->sublayers()), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(a->superlayer(), root.get());

    root->insertSublayerAbove(c, b.get()); // c was below b: moves to just above it
    EXPECT_EQ(names(root->sublayers()), (std::vector<std::string>{"a", "b", "c"}));
    root->insertSublayerBelow(c, a.get());
    EXPECT_EQ(names(root->sublayers()), (std::vector<std::string>{"c", "a", "b"}));
    root->insertSublayerAbove(d, nullptr); // unknown sibling: appended
    EXPECT_EQ(names(root->sublayers()), (std::vector<std::string>{"c", "a", "b", "d"}));

    root->replaceSublayer(a.get(), named("e"));
    EXPECT_EQ(names(root->sublayers()), (std::vector<std::string>{"c", "e", "b", "d"}));
    EXPECT_EQ(a->superlayer(), nullptr);

    // Moving to another superlayer leaves the old one.
    a->addSublayer(b);
    EXPECT_EQ(names(root->sublayers()), (std::vector<std::string>{"c", "e", "d"}));
    EXPECT_EQ(b->superlayer(), a.get());

    // Cycles and self-insertion are refused.
    b->addSublayer(a);
    a->addSublayer(a);
    EXPECT_EQ(a->superlayer(), nullptr);
    EXPECT_EQ(names(a->sublayers()), (std::vector<std::string>{"b"}));

    d->removeFromSuperlayer();
    EXPECT_EQ(d->superlayer(), nullptr);
    EXPECT_EQ(names(root->sublayers()), (std::vector<std::string>{"c", "e"}));
}

TEST(LayerTree, SuperlayerPointerIsClearedWhenTheSuperlayerGoesAway) {
    auto child = Layer::make();
    {
        auto parent = Layer::make();
        parent->addSublayer(child);
        EXPECT_NE(child->superlayer(), nullptr);
    }
    EXPECT_EQ(child->superlayer(), nullptr);
}

TEST(LayerTree, DrawingOrderIsByZPositionThenInsertion) {
    auto root = Layer::make();
    auto a = named("a"), b = named("b"), c = named("c"), d = named("d");
    for (auto& l : {a, b, c, d})
        root->addSublayer(l);
    a->setZPosition(30000);
    c->setZPosition(-1);
    d->setZPosition(30000);
    std::vector<std::string> order;
    for (Layer* l : root->sublayersInDrawingOrder())
        order.push_back(l->name());
    EXPECT_EQ(order, (std::vector<std::string>{"c", "b", "a", "d"}));
}

namespace {

// Records every action run, and the transaction state it ran in.
struct RecordingAction : LayerAction {
    std::vector<std::string>* log;
    explicit RecordingAction(std::vector<std::string>* l) : log(l) {}
    void runActionForKey(std::string_view key, Layer& layer, const LayerValue& old) override {
        std::string entry(key);
        if (const double* v = std::get_if<double>(&old)) entry += "=" + std::to_string(*v).substr(0, 3);
        entry += "->" + std::to_string(std::get<double>(layer.valueForKey("opacity"))).substr(0, 3);
        log->push_back(entry);
    }
};

struct ScopedImplicitActions {
    explicit ScopedImplicitActions(std::vector<std::string>* log) {
        Layer::setImplicitActionProvider(
            [log](Layer&, std::string_view) { return std::make_shared<RecordingAction>(log); });
    }
    ~ScopedImplicitActions() { Layer::setImplicitActionProvider(Layer::defaultImplicitActionProvider()); }
};

struct DecidingDelegate : LayerDelegate {
    std::optional<LayerActionRef> answer;
    std::optional<LayerActionRef> actionForLayerForKey(Layer&, std::string_view) override { return answer; }
};

} // namespace

TEST(LayerActions, PropertyChangesRunActionsUnlessTheTransactionDisablesThem) {
    std::vector<std::string> log;
    ScopedImplicitActions actions(&log);
    auto layer = Layer::make();

    layer->setOpacity(0.5); // the model is already changed when the action runs
    EXPECT_EQ(log, (std::vector<std::string>{"opacity=1.0->0.5"}));

    Transaction::begin();
    Transaction::setDisableActions(true);
    Transaction::begin(); // nested: inherits the setting
    layer->setOpacity(0.25);
    layer->setPosition({3, 4});
    EXPECT_TRUE(Transaction::disableActions());
    Transaction::commit();
    Transaction::commit();
    EXPECT_FALSE(Transaction::disableActions());
    EXPECT_EQ(layer->opacity(), 0.25);
    EXPECT_EQ(log.size(), 1u);

    // setFrame goes through position and bounds, each with its own action.
    log.clear();
    layer->setFrame({0, 0, 10, 10});
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].substr(0, 8), "position");
    EXPECT_EQ(log[1].substr(0, 6), "bounds");

    // A delegate's null action stops the search; nullopt lets the implicit action run.
    DecidingDelegate delegate;
    layer->setDelegate(&delegate);
    log.clear();
    delegate.answer = LayerActionRef{};
    layer->setOpacity(1);
    EXPECT_TRUE(log.empty());
    delegate.answer = std::nullopt;
    layer->setOpacity(0.5);
    EXPECT_EQ(log.size(), 1u);
    layer->setDelegate(nullptr);
}

TEST(LayerActions, TransactionSettingsNestAndCompletionWaitsForHolders) {
    EXPECT_EQ(Transaction::animationDuration(), 0.25);
    Transaction::begin();
    Transaction::setAnimationDuration(1);
    Transaction::begin();
    EXPECT_EQ(Transaction::animationDuration(), 1);
    Transaction::setAnimationDuration(2);
    EXPECT_EQ(Transaction::depth(), 2);
    Transaction::commit();
    EXPECT_EQ(Transaction::animationDuration(), 1);
    Transaction::commit();
    Transaction::commit(); // unbalanced: ignored
    EXPECT_EQ(Transaction::depth(), 0);
    EXPECT_EQ(Transaction::animationDuration(), 0.25);

    int completions = 0;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++completions; });
    auto heldByAnimation = Transaction::currentCompletionGroup();
    Transaction::commit();
    EXPECT_EQ(completions, 0);
    heldByAnimation.reset();
    EXPECT_EQ(completions, 1);

    // Nothing holds it: the block runs at the commit; a replaced block never runs.
    Transaction::begin();
    Transaction::setCompletionBlock([&] { completions += 10; });
    Transaction::setCompletionBlock([&] { completions += 100; });
    EXPECT_EQ(completions, 1);
    Transaction::commit();
    EXPECT_EQ(completions, 101);

    // The implicit transaction ends with the run loop turn.
    Transaction::setDisableActions(true);
    Transaction::flush();
    EXPECT_FALSE(Transaction::disableActions());
}

TEST(LayerKeys, ValuesByKeyRoundTripAndRejectWrongKinds) {
    auto layer = Layer::make();
    EXPECT_TRUE(layer->setValueForKey("position", gfx::Point{1, 2}));
    EXPECT_EQ(std::get<gfx::Point>(layer->valueForKey("position")), (gfx::Point{1, 2}));
    EXPECT_TRUE(layer->setValueForKey("backgroundColor", gfx::Color::rgba(1, 0, 0)));
    EXPECT_TRUE(layer->backgroundColor().has_value());
    EXPECT_TRUE(layer->setValueForKey("backgroundColor", std::monostate{}));
    EXPECT_FALSE(layer->backgroundColor().has_value());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(layer->valueForKey("backgroundColor")));
    EXPECT_FALSE(layer->setValueForKey("opacity", gfx::Point{}));
    EXPECT_FALSE(layer->setValueForKey("noSuchKey", 1.0));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(layer->valueForKey("noSuchKey")));
    const auto t = gfx::Transform3D::makeRotation(1, 0, 1, 0);
    EXPECT_TRUE(layer->setValueForKey("transform", t));
    EXPECT_EQ(layer->transform(), t);
}

TEST(GradientLayerTest, DefaultsAndEvenlySpacedLocations) {
    auto g = GradientLayer::make();
    EXPECT_EQ(g->startPoint(), (gfx::Point{0.5, 0}));
    EXPECT_EQ(g->endPoint(), (gfx::Point{0.5, 1}));
    g->setColors({gfx::Color::white(0), gfx::Color::white(0.5), gfx::Color::white(1)});
    EXPECT_EQ(g->effectiveLocations(), (std::vector<double>{0, 0.5, 1}));
    g->setLocations(std::vector<double>{0, 0.2}); // count differs from the colours': ignored
    EXPECT_EQ(g->effectiveLocations(), (std::vector<double>{0, 0.5, 1}));
    g->setLocations(std::vector<double>{0, 0.2, 0.3});
    EXPECT_EQ(g->effectiveLocations(), (std::vector<double>{0, 0.2, 0.3}));
}

TEST(LayerDisplay, ARedrawTakesOverItsOwnStoreAndEqualsAFreshDrawing) {
    for (const bool opaque : {false, true}) {
        Dot dot;
        dot.rect = {2, 2, 30, 20};
        auto layer = drawnBy(dot, opaque);
        const std::uint8_t* pixels = layer->contents()->data();
        // Drawn small over the store: the big dot is gone.
        dot.rect = {30, 20, 5, 5};
        dot.color = gfx::Color::rgba(0, 0, 1);
        layer->display();
        EXPECT_EQ(layer->contents()->data(), pixels);
        EXPECT_TRUE(samePixels(layer->contents(), drawnBy(dot, opaque)->contents())) << opaque;
        EXPECT_TRUE(inkHoldsEveryPixel(layer->contents()));
        if (!opaque) {
            EXPECT_LT(layer->contents()->inkBounds().width(), 20); // the small dot's alone
        }
        // A store held elsewhere (a snapshot) keeps its pixels; the redraw gets new ones.
        const gfx::ImageRef held = layer->contents();
        const auto heldCopy = gfx::Image::fromSurface(held->surface(), 2);
        dot.rect = {0, 0, 40, 30};
        layer->display();
        EXPECT_NE(layer->contents()->data(), pixels);
        EXPECT_TRUE(samePixels(held, heldCopy));
        EXPECT_TRUE(samePixels(layer->contents(), drawnBy(dot, opaque)->contents())) << opaque;
        layer->setDelegate(nullptr);
    }
}

namespace {

// Draws bands 10 points high in colours that repeat every 70 points, whatever the clip,
// and notes the height of the clip it was given.
class Bands : public LayerDelegate {
public:
    double clipHeight = 0;
    bool implementsDrawLayerInContext(const Layer&) const override { return true; }
    void drawLayerInContext(Layer& layer, gfx::GraphicsContext& c) override {
        clipHeight = c.clipBoundingBox().height();
        for (int i = 0; i * 10 < layer.bounds().height(); ++i) {
            c.setFillColor(gfx::Color::rgba((i % 7) / 6.0, (i % 3) / 2.0, 1));
            c.fillRect({0, i * 10.0, 50, 10});
        }
    }
};

} // namespace

TEST(LayerDisplay, ATallLayersStoreHoldsWhatShowsAndMovesWithIt) {
    // A 50 x 100 point view onto a 50 x 5,000 point layer at scale 2 (10,000 pixels high).
    Bands bands;
    auto root = Layer::make();
    root->setBounds({0, 0, 50, 100});
    root->setAnchorPoint({0, 0});
    auto clip = Layer::make();
    clip->setFrame({0, 0, 50, 100});
    clip->setMasksToBounds(true);
    root->addSublayer(clip);
    auto tall = Layer::make();
    tall->setFrame({0, 0, 50, 5000});
    tall->setContentsScale(2);
    tall->setDelegate(&bands);
    clip->addSublayer(tall);
    tall->setNeedsDisplay();
    Compositor compositor;
    compositor.setFrameMode(FrameMode::verify);
    const auto shows = [&](double top) {
        clip->setBounds({0, top, 50, 100});
        Layer::markBoundedStoresForDisplay();
        root->displayTreeIfNeeded();
        compositor.renderFrame(*root, {50, 100}, 2);
        const auto expected = gfx::test::render({50, 100}, 2, [&](gfx::GraphicsContext& c) {
            c.translateCTM(0, -top);
            Bands().drawLayerInContext(*tall, c);
        });
        EXPECT_TRUE(samePixels(compositor.image(), expected)) << top;
        EXPECT_TRUE(samePixels(snapshot(*root, {50, 100}, 2), expected)) << top;
        EXPECT_TRUE(tall->contentsFrame().contains({0, top, 50, 100})) << top;
    };
    shows(0);
    // Bounded: the part that shows (200 pixels) and a quarter of it to spare each way.
    EXPECT_EQ(tall->contents()->pixelHeight(), 328); // 200 + 2 x 64, the least margin
    EXPECT_EQ(bands.clipHeight, 164);
    // Scrolling within the margin keeps the store.
    const gfx::ImageRef store = tall->contents();
    clip->setBounds({0, 30, 50, 100});
    EXPECT_FALSE(Layer::markBoundedStoresForDisplay());
    // Past it, the store moves: the pixels it still holds go with it, the rest is drawn.
    shows(90);
    EXPECT_EQ(bands.clipHeight, 58); // the 116 pixels it did not hold
    EXPECT_EQ(tall->contents()->pixelHeight(), 328);
    // Far away, it is drawn again whole.
    shows(3000);
    EXPECT_EQ(bands.clipHeight, 164);
    tall->setDelegate(nullptr);
}

TEST(LayerDisplay, AStoreLeftBehindByAMoveAloneKeepsTheRunLoopBusyUntilItFollows) {
    // Moving a layer changes no size, so nothing is marked for layout or display: the window
    // must still see that the tall layer's tile no longer holds what shows.
    Bands bands;
    TestDriver driver({50, 100});
    auto clip = View::make({0, 0, 50, 100});
    clip->setClipsToBounds(true);
    driver.window()->addSubview(clip);
    auto tall = Layer::make();
    tall->setFrame({0, 0, 50, 5000});
    tall->setContentsScale(2);
    tall->setDelegate(&bands);
    clip->layer()->addSublayer(tall);
    tall->setNeedsDisplay();
    driver.runUntilIdle();
    EXPECT_FALSE(driver.window()->needsLayoutOrDisplay());
    tall->setPosition({25, 2500 - 3000}); // rows 3,000 to 3,100 show
    EXPECT_TRUE(driver.window()->needsLayoutOrDisplay());
    EXPECT_TRUE(driver.runUntilIdle());
    EXPECT_FALSE(driver.window()->needsLayoutOrDisplay());
    EXPECT_TRUE(tall->contentsFrame().contains({0, 3000, 50, 100}));
    tall->setDelegate(nullptr);
}
