#include "UITestSupport.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/GradientLayer.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/TransformLayer.h"

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

using namespace ui;
using namespace ui::test;

namespace {

// An image of one pixel row in the given colours (opaque 0xRRGGBB values).
gfx::ImageRef stripes(const std::vector<std::uint32_t>& rgb, double scale = 1) {
    auto image = gfx::Image::make(static_cast<int>(rgb.size()), 1, scale);
    auto* row = reinterpret_cast<std::uint32_t*>(image->mutableData());
    for (std::size_t i = 0; i < rgb.size(); ++i)
        row[i] = 0xFF000000u | rgb[i];
    image->markDirty();
    return image;
}

Pixel8 framePixel(const Compositor& c, int x, int y) {
    return pixel8(c.image(), x, y);
}

// How many pixels of the frame satisfy `test`.
template <class Test> int countPixels(const Compositor& c, Test&& test) {
    const gfx::ImageRef image = c.image();
    int n = 0;
    for (int y = 0; y < image->pixelHeight(); ++y)
        for (int x = 0; x < image->pixelWidth(); ++x)
            n += test(pixel8(image, x, y)) ? 1 : 0;
    return n;
}

// Holds the media clock for the test and gives it back to real time afterwards.
struct ManualClock {
    explicit ManualClock(double t) { MediaClock::setTime(t); }
    ~ManualClock() { MediaClock::setManual(false); }
};

} // namespace

TEST(Compositor, PlacesTheRootByItsFrameAtTheScaleAndReusesTheBufferCleanly) {
    auto root = solid({0, 0, 40, 30}, gfx::Color::white(1));
    root->addSublayer(solid({10, 10, 10, 10}, gfx::Color::rgba(1, 0, 0)));
    Compositor compositor;
    compositor.renderFrame(*root, {40, 30}, 2);
    ASSERT_EQ(compositor.pixelWidth(), 80);
    ASSERT_EQ(compositor.pixelHeight(), 60);
    EXPECT_EQ(framePixel(compositor, 30, 30), red);
    EXPECT_EQ(framePixel(compositor, 2, 2), white);
    gfx::RGBA p = compositor.pixel(30, 30);
    EXPECT_NEAR(p.r, 1, 1e-9);
    EXPECT_NEAR(p.a, 1, 1e-9);
    EXPECT_EQ(compositor.pixel(-1, 0).a, 0);

    // A root whose frame is moved shows where its frame is; what the previous frame left
    // in the reused buffer is cleared wherever the new one paints nothing.
    root->setBackgroundColor(gfx::Color::rgba(0, 0, 1, 0.5));
    root->setPosition({30, 15});
    compositor.renderFrame(*root, {40, 30}, 2);
    EXPECT_EQ(framePixel(compositor, 2, 2), clear);
    EXPECT_TRUE(near(framePixel(compositor, 30, 2), {0, 0, 255, 128})) << framePixel(compositor, 30, 2);
    EXPECT_EQ(framePixel(compositor, 50, 30), red);

    // A root turned by a quarter turn about its centre.
    root->setPosition({20, 15});
    root->setBounds({0, 0, 20, 40});
    root->setBackgroundColor(gfx::Color::white(1));
    root->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 2));
    compositor.renderFrame(*root, {40, 30}, 1);
    EXPECT_EQ(framePixel(compositor, 2, 2), clear); // the turned root covers y 5 to 25 only
    EXPECT_EQ(framePixel(compositor, 10, 15), white);
    EXPECT_EQ(compositor.scale(), 1);

    // Nothing to draw into: a zero size gives an empty frame, no crash.
    compositor.renderFrame(*root, {0, 10}, 2);
    EXPECT_EQ(compositor.pixelWidth(), 0);
    EXPECT_EQ(compositor.image(), nullptr);
}

TEST(Compositor, NestedOpacitiesMultiply) {
    // Fades that take a single drawing each (no group) and a projected layer inside a
    // faded parent: each level multiplies what the levels above leave.
    auto root = solid({0, 0, 60, 20}, gfx::Color::white(1));
    auto outer = Layer::make();
    outer->setFrame({0, 0, 20, 20});
    outer->setOpacity(0.5);
    auto inner = solid({0, 0, 20, 20}, gfx::Color::rgba(0, 0, 0));
    inner->setOpacity(0.5);
    outer->addSublayer(inner);
    root->addSublayer(outer);

    auto faded = Layer::make();
    faded->setFrame({30, 0, 30, 20});
    faded->setOpacity(0.5);
    auto turned = solid({5, 0, 20, 20}, gfx::Color::rgba(0, 0, 0));
    turned->setTransform(gfx::rotate(perspective(), 0.1, 0, 1, 0));
    turned->setOpacity(0.5);
    faded->addSublayer(turned);
    root->addSublayer(faded);

    Compositor compositor;
    compositor.renderFrame(*root, {60, 20}, 1);
    EXPECT_TRUE(near(framePixel(compositor, 10, 10), {191, 191, 191, 255}, 2))
        << framePixel(compositor, 10, 10);
    EXPECT_TRUE(near(framePixel(compositor, 45, 10), {191, 191, 191, 255}, 2))
        << framePixel(compositor, 45, 10);
}

TEST(Compositor, GroupScratchImagesStartClearEveryFrame) {
    // The same faded group twice, its content moved: the second frame must not show what
    // the first left in the pooled scratch image.
    auto root = solid({0, 0, 40, 40}, gfx::Color::white(1));
    auto group = Layer::make();
    group->setFrame({0, 0, 40, 40});
    group->setOpacity(0.5);
    auto a = solid({0, 0, 20, 20}, gfx::Color::rgba(1, 0, 0));
    auto b = solid({10, 10, 20, 20}, gfx::Color::rgba(0, 0, 1));
    group->addSublayer(a);
    group->addSublayer(b);
    root->addSublayer(group);

    Compositor compositor;
    compositor.renderFrame(*root, {40, 40}, 1);
    EXPECT_TRUE(near(framePixel(compositor, 5, 5), {255, 128, 128, 255}));
    EXPECT_EQ(compositor.statistics().groups, 1);
    a->setPosition({30, 30});
    compositor.renderFrame(*root, {40, 40}, 1);
    EXPECT_EQ(framePixel(compositor, 3, 3), white);
    // Only the blue shows where the two overlap, faded once.
    EXPECT_TRUE(near(framePixel(compositor, 25, 25), {128, 128, 255, 255})) << framePixel(compositor, 25, 25);
}

TEST(Compositor, PerspectiveLayersMapDirectlyOrFlattenedToTheSameQuad) {
    // A coloured layer turned in perspective is drawn three ways: its background alone
    // (one pixel of colour stretched over the quad), its contents alone (the image mapped
    // directly), and a sublayer filling it (the layer flattened, then mapped). All three
    // must cover the same quad.
    const auto render = [](const std::shared_ptr<Layer>& page, Compositor& compositor) {
        auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
        page->setFrame({50, 50, 100, 100});
        page->setTransform(gfx::rotate(perspective(), std::numbers::pi / 3, 0, 1, 0));
        root->addSublayer(page);
        compositor.renderFrame(*root, {200, 200}, 1);
        return countPixels(compositor, [](const Pixel8& p) { return p.b < 128; });
    };
    Compositor background, contents, flattened;
    const int bySolid = render(solid({}, gfx::Color::rgba(1, 1, 0)), background);
    EXPECT_EQ(background.statistics().flattened, 0);
    auto picture = Layer::make();
    picture->setContents(stripes({0xFFFF00, 0xFFFF00}));
    const int byImage = render(picture, contents);
    EXPECT_EQ(contents.statistics().flattened, 0);
    auto holder = Layer::make();
    holder->addSublayer(solid({0, 0, 100, 100}, gfx::Color::rgba(1, 1, 0)));
    const int byFlattening = render(holder, flattened);
    EXPECT_EQ(flattened.statistics().flattened, 1);

    EXPECT_GT(bySolid, 4000); // a turned 100 x 100 page: about half its area, upright
    EXPECT_LT(bySolid, 8000);
    EXPECT_NEAR(byImage, bySolid, bySolid / 50);
    EXPECT_NEAR(byFlattening, bySolid, bySolid / 50);
    EXPECT_EQ(framePixel(background, 100, 100), yellow);

    // A single-sided solid layer is culled once it is turned past a quarter turn, and only then.
    for (double turn : {0.2, 0.8}) {
        for (bool doubleSided : {true, false}) {
            auto page = solid({50, 50, 100, 100}, gfx::Color::rgba(1, 1, 0));
            page->setDoubleSided(doubleSided);
            page->setTransform(gfx::rotate(perspective(), turn * std::numbers::pi, 0, 1, 0));
            auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
            root->addSublayer(page);
            Compositor c;
            c.renderFrame(*root, {200, 200}, 1);
            EXPECT_EQ(framePixel(c, 100, 100), doubleSided || turn < 0.5 ? yellow : white);
        }
    }
}

TEST(Compositor, NothingBehindTheEyeIsDrawnNorSmearedAcrossTheFrame) {
    // A wide strip of eight coloured columns, tilted so that its far end passes behind the
    // eye: the last column lies wholly behind it and must not appear anywhere (neither
    // mirrored nor smeared by sampling), while the columns in front are drawn.
    auto root = solid({0, 0, 300, 200}, gfx::Color::white(1));
    auto strip = Layer::make();
    strip->setBounds({0, 0, 2000, 100});
    strip->setPosition({150, 100});
    const gfx::Transform3D turn = gfx::rotate(perspective(), std::numbers::pi / 3, 0, 1, 0);
    strip->setTransform(turn);
    const bool rightEndBehind = gfx::transformPoint4(turn, 1000, 0).w < 0;
    ASSERT_NE(rightEndBehind, gfx::transformPoint4(turn, -1000, 0).w < 0);
    std::vector<std::uint32_t> columns = {0xFF0000, 0xE00000, 0xC00000, 0xA00000,
                                          0x00FF00, 0x00E000, 0x00C000, 0x0000FF};
    if (!rightEndBehind) std::reverse(columns.begin(), columns.end());
    strip->setContents(stripes(columns));
    root->addSublayer(strip);

    Compositor compositor;
    compositor.renderFrame(*root, {300, 200}, 1);
    EXPECT_EQ(countPixels(compositor, [](const Pixel8& p) { return p.b > 40 && p.r < 200 && p.g < 200; }), 0);
    EXPECT_GT(countPixels(compositor, [](const Pixel8& p) { return p.r > 150 && p.g < 60 && p.b < 60; }),
              500);
    // The strip is 100 points high at its middle and only grows toward the eye: the rows
    // at the top and bottom of the frame stay clear near the far, receding end.
    const int farX = rightEndBehind ? 10 : 290;
    EXPECT_EQ(framePixel(compositor, farX, 2), white);
}

TEST(Compositor, TransformLayerSublayersAreOrderedByZPositionThenInsertion) {
    auto root = solid({0, 0, 100, 100}, gfx::Color::white(1));
    auto scene = TransformLayer::make();
    scene->setFrame({0, 0, 100, 100});
    scene->setSublayerTransform(perspective());
    root->addSublayer(scene);
    auto back = solid({20, 20, 60, 60}, gfx::Color::rgba(1, 0, 0));
    auto front = solid({20, 20, 60, 60}, gfx::Color::rgba(0, 0, 1));
    auto middle = solid({40, 40, 20, 20}, gfx::Color::rgba(0, 1, 0));
    front->setZPosition(1);
    scene->addSublayer(front); // added first, drawn last
    scene->addSublayer(back);
    scene->addSublayer(middle);
    Compositor compositor;
    compositor.renderFrame(*root, {100, 100}, 1);
    EXPECT_EQ(framePixel(compositor, 50, 50), blue);
    front->setZPosition(-1);
    compositor.renderFrame(*root, {100, 100}, 1);
    EXPECT_EQ(framePixel(compositor, 50, 50), green);
    EXPECT_EQ(framePixel(compositor, 25, 25), red);
}

TEST(Compositor, ClipsUnderRotationAndSkipsWhatCannotShow) {
    // A clipping container turned by 45°: its sublayer is cut to the diamond.
    auto root = solid({0, 0, 100, 100}, gfx::Color::white(1));
    auto container = Layer::make();
    container->setFrame({25, 25, 50, 50});
    container->setMasksToBounds(true);
    container->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 4));
    auto content = solid({-50, -50, 150, 150}, gfx::Color::rgba(1, 0, 0));
    container->addSublayer(content);
    root->addSublayer(container);
    Compositor compositor;
    compositor.setFrameMode(FrameMode::whole); // what whole frames skip
    compositor.renderFrame(*root, {100, 100}, 1);
    EXPECT_EQ(framePixel(compositor, 50, 50), red);
    EXPECT_EQ(framePixel(compositor, 50, 18), red);   // the diamond's top corner reaches y 14.6
    EXPECT_EQ(framePixel(compositor, 27, 27), white); // the unturned square's corner is cut
    EXPECT_EQ(compositor.statistics().layersDrawn, 2);

    // Offscreen, hidden and fully transparent layers are skipped with their subtrees: a
    // clipping layer outside the frame is culled before its many sublayers are visited.
    auto offscreen = solid({200, 0, 50, 50}, gfx::Color::rgba(0, 1, 0));
    offscreen->setMasksToBounds(true);
    for (int i = 0; i < 20; ++i)
        offscreen->addSublayer(solid({0, 0, 10, 10}, gfx::Color::rgba(0, 1, 0)));
    root->addSublayer(offscreen);
    auto hidden = solid({0, 0, 100, 100}, gfx::Color::rgba(0, 1, 0));
    hidden->setHidden(true);
    root->addSublayer(hidden);
    auto transparent = solid({0, 0, 100, 100}, gfx::Color::rgba(0, 1, 0));
    transparent->setOpacity(0);
    root->addSublayer(transparent);
    compositor.renderFrame(*root, {100, 100}, 1);
    EXPECT_EQ(compositor.statistics().layersDrawn, 2);
    EXPECT_EQ(compositor.statistics().layersCulled, 1);
    EXPECT_EQ(framePixel(compositor, 50, 50), red);
}

TEST(Compositor, ScreenShowsAnimationsInFlightWhileSnapshotsShowTheModel) {
    ManualClock clock(100);
    auto root = solid({0, 0, 200, 40}, gfx::Color::white(1));
    auto box = solid({0, 0, 20, 20}, gfx::Color::rgba(1, 0, 0));
    root->addSublayer(box);
    Transaction::begin();
    Transaction::setDisableActions(true);
    box->setPosition({150, 20}); // the model: already at its end
    Transaction::commit();
    auto slide = BasicAnimation::make("position");
    slide->setFromValue(gfx::Point{50, 20});
    slide->setToValue(gfx::Point{150, 20});
    slide->setDuration(1);
    box->addAnimation(slide, "slide");

    MediaClock::advance(0.5);
    advanceAnimations();
    Compositor compositor;
    compositor.renderFrame(*root, {200, 40}, 1);
    EXPECT_EQ(framePixel(compositor, 100, 20), red);
    EXPECT_EQ(framePixel(compositor, 150, 20), white);
    const gfx::ImageRef model = snapshot(*root, {200, 40});
    EXPECT_EQ(pixel8(model, 150, 20), red);
    EXPECT_EQ(pixel8(model, 100, 20), white);

    // Once the animation is over, the screen shows the model.
    MediaClock::advance(0.6);
    advanceAnimations();
    compositor.renderFrame(*root, {200, 40}, 1);
    EXPECT_EQ(framePixel(compositor, 150, 20), red);
    EXPECT_EQ(framePixel(compositor, 100, 20), white);
}

TEST(Compositor, OpaqueLayersHideWhatTheyPaintOverOnScreen) {
    // A page of two opaque images side by side over a white background, in a root without
    // one: neither the background nor the frame's clearing is drawn.
    auto root = Layer::make();
    root->setFrame({0, 0, 40, 20});
    auto page = solid({0, 0, 40, 20}, gfx::Color::white(1));
    auto left = Layer::make();
    left->setFrame({0, 0, 20, 20});
    left->setContents(stripes({0xFF0000, 0xFF0000}));
    auto right = Layer::make();
    right->setFrame({20, 0, 20, 20});
    right->setContents(stripes({0x00FF00, 0x00FF00}));
    page->addSublayer(left);
    page->addSublayer(right);
    root->addSublayer(page);
    Compositor compositor;
    compositor.renderFrame(*root, {40, 20}, 2);
    EXPECT_EQ(compositor.statistics().layersOccluded, 1);
    EXPECT_EQ(framePixel(compositor, 10, 10), red);
    EXPECT_EQ(framePixel(compositor, 70, 30), green);

    // What does not cover its share wholly hides nothing: a gap, a faded image, a translucent
    // pixel, an image cut by a masking parent.
    right->setPosition({32, 10});
    compositor.renderFrame(*root, {40, 20}, 2);
    EXPECT_EQ(compositor.statistics().layersOccluded, 0);
    EXPECT_EQ(framePixel(compositor, 41, 10), white);
    right->setPosition({30, 10});
    right->setOpacity(0.9);
    compositor.renderFrame(*root, {40, 20}, 2);
    EXPECT_EQ(compositor.statistics().layersOccluded, 0);
    right->setOpacity(1);
    auto holed = gfx::Image::make(2, 1, 1);
    auto* pixels = reinterpret_cast<std::uint32_t*>(holed->mutableData());
    pixels[0] = 0xFF00FF00u, pixels[1] = 0x80008000u; // the second half translucent
    holed->markDirty();
    right->setContents(holed);
    compositor.renderFrame(*root, {40, 20}, 2);
    EXPECT_EQ(compositor.statistics().layersOccluded, 0);
    right->setContents(stripes({0x00FF00, 0x00FF00}));
    auto holder = Layer::make();
    holder->setFrame({20, 0, 19, 20});
    holder->setMasksToBounds(true);
    right->setPosition({10, 10});
    holder->addSublayer(right);
    page->addSublayer(holder);
    compositor.renderFrame(*root, {40, 20}, 2);
    EXPECT_EQ(compositor.statistics().layersOccluded, 0);
    EXPECT_EQ(framePixel(compositor, 79, 10), white);
    holder->removeFromSuperlayer();
    right->setPosition({30, 10});
    page->addSublayer(right);

    // Moved half off the frame, the page leaves the frame clear where it was.
    compositor.renderFrame(*root, {40, 20}, 2);
    EXPECT_EQ(compositor.statistics().layersOccluded, 1);
    page->setPosition({40, 10});
    compositor.renderFrame(*root, {40, 20}, 2);
    EXPECT_EQ(framePixel(compositor, 10, 10), clear);
    EXPECT_EQ(framePixel(compositor, 50, 10), red);
}

TEST(Compositor, LayersPlacedByTranslationSnapToWholePixelsOnScreenOnly) {
    // Four columns of colour a device pixel each, a fraction of a pixel off the grid: the screen
    // moves the layer to whole pixels and copies its columns as they are; a snapshot draws it
    // where it is, filtered between pixels.
    auto root = solid({0, 0, 10, 2}, gfx::Color::white(1));
    auto strip = Layer::make();
    strip->setFrame({2.7, 0, 2, 2});
    strip->setContents(stripes({0xFF0000, 0x00FF00, 0x0000FF, 0x000000}, 2));
    root->addSublayer(strip);
    Compositor compositor;
    compositor.renderFrame(*root, {10, 2}, 2);
    // 2.7 points are 5.4 device pixels: the layer goes to pixel 5.
    EXPECT_EQ(framePixel(compositor, 4, 1), white);
    EXPECT_EQ(framePixel(compositor, 5, 1), red);
    EXPECT_EQ(framePixel(compositor, 6, 1), green);
    EXPECT_EQ(framePixel(compositor, 7, 1), blue);
    EXPECT_EQ(framePixel(compositor, 8, 1), (Pixel8{0, 0, 0, 255}));
    EXPECT_EQ(framePixel(compositor, 9, 1), white);
    const gfx::ImageRef model = snapshot(*root, {10, 2}, 2);
    const Pixel8 between = pixel8(model, 6, 1);
    EXPECT_TRUE(between.r > 100 && between.g > 100) << between;

    // Scaled as well, the layer is not moved: its columns blend.
    strip->setTransform(gfx::Transform3D::makeScale(1.1, 1, 1));
    compositor.renderFrame(*root, {10, 2}, 2);
    EXPECT_NE(framePixel(compositor, 6, 1), green);
}

TEST(Compositor, UprightContentsAreFilteredAsTheyAreScaled) {
    // Two pixels, black and white, stretched over four: bilinear between their centres,
    // clamped at the edges; at half opacity over white.
    auto root = solid({0, 0, 4, 2}, gfx::Color::white(1));
    auto layer = Layer::make();
    layer->setFrame({0, 0, 4, 2});
    layer->setContents(stripes({0x000000, 0xFFFFFF}));
    root->addSublayer(layer);
    Compositor compositor;
    compositor.renderFrame(*root, {4, 2}, 1);
    const int expected[] = {0, 64, 191, 255};
    for (int x = 0; x < 4; ++x)
        EXPECT_TRUE(near(framePixel(compositor, x, 1), {expected[x], expected[x], expected[x], 255}, 1)) << x;
    layer->setOpacity(0.5);
    compositor.renderFrame(*root, {4, 2}, 1);
    for (int x = 0; x < 4; ++x) {
        const int v = (expected[x] + 255 + 1) / 2;
        EXPECT_TRUE(near(framePixel(compositor, x, 1), {v, v, v, 255}, 1))
            << x << " " << framePixel(compositor, x, 1);
    }
}

TEST(Compositor, SoftEdgesSurviveTheScratchImageOfAnUnevenClip) {
    // A page with softened edges, turned in perspective, drawn once straight into the frame
    // and once through a scratch image (the clip of a slightly turned parent cannot be handed
    // to the mapper): its soft fringe, which reaches past the page's corners, must come out
    // the same.
    const auto render = [](double parentTurn) {
        auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
        auto parent = Layer::make();
        parent->setFrame({0, 0, 200, 200});
        parent->setMasksToBounds(true);
        parent->setAffineTransform(gfx::AffineTransform::makeRotation(parentTurn));
        auto page = solid({60, 50, 80, 100}, gfx::Color::rgba(0, 0, 1));
        page->setAllowsEdgeAntialiasing(true);
        // Turned back by the parent's turn, so that both draw it in the same place.
        page->setTransform(gfx::concat(gfx::rotate(perspective(150), 1.1, 0.2, 1, 0),
                                       gfx::Transform3D::makeRotation(-parentTurn, 0, 0, 1)));
        parent->addSublayer(page);
        root->addSublayer(parent);
        Compositor compositor;
        compositor.renderFrame(*root, {200, 200}, 1);
        return compositor.image();
    };
    const gfx::ImageRef direct = render(0), scratch = render(0.01);
    int fringe = 0;
    for (int y = 30; y < 170; ++y)
        for (int x = 40; x < 160; ++x) {
            const Pixel8 a = pixel8(direct, x, y), b = pixel8(scratch, x, y);
            ASSERT_TRUE(near(a, b, 1)) << x << "," << y << ": " << a << " " << b;
            fringe += a.b == 255 && a.r > 0 && a.r < 255;
        }
    EXPECT_GT(fringe, 50);
}

TEST(Compositor, ShadedPagesMapInOnePassAsFlatteningWould) {
    // A page turned in perspective with only shading over its image, in its plane (a gradient
    // of one colour, a flat shadow, a gradient held in a faded plain layer), is mapped in one
    // pass; the same page with a faint speck over it as well is flattened first. Both show the
    // same pixels. So does an upright page, drawn with its shading in one pass, or with the
    // shading (and the speck) over it.
    auto picture = gfx::Image::make(200, 200, 2);
    for (int y = 0; y < 200; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(picture->mutableData() + y * picture->stride());
        for (int x = 0; x < 200; ++x)
            row[x] = 0xFF000000u | std::uint32_t(x) << 16 | std::uint32_t(y) << 8 | std::uint32_t((x + y) / 2);
    }
    picture->markDirty();
    auto gradient = [](gfx::Color from, gfx::Color to, gfx::Point start, gfx::Point end) {
        auto g = GradientLayer::make();
        g->setColors({from, to});
        g->setStartPoint(start);
        g->setEndPoint(end);
        return g;
    };
    const std::function<std::shared_ptr<Layer>()> shadings[] = {
        [&] { return gradient(gfx::Color::white(0, 0), gfx::Color::white(0, 0.5), {1, 0}, {0, 0}); },
        [] { return solid({}, gfx::Color::white(0, 0.3)); },
        [&] {
            auto holder = Layer::make();
            holder->setOpacity(0.5);
            auto g = gradient(gfx::Color::rgba(0, 0, 0.5, 0.2), gfx::Color::rgba(0, 0, 0.5, 0.8), {0, 0.2}, {1, 0});
            g->setFrame({0, 0, 100, 100});
            holder->addSublayer(g);
            return holder;
        },
    };
    for (bool turned : {true, false})
    for (const auto& shading : shadings) {
        auto render = [&](bool speck, Compositor& compositor) {
            auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
            auto page = Layer::make();
            page->setFrame({50, 50, 100, 100});
            page->setContents(picture);
            if (turned) page->setTransform(gfx::rotate(perspective(), 0.3 * std::numbers::pi, 0, 1, 0));
            auto shade = shading();
            shade->setFrame(page->bounds());
            page->addSublayer(shade);
            if (speck) page->addSublayer(solid({0, 0, 1, 1}, gfx::Color::white(1, 0.002)));
            root->addSublayer(page);
            // Repainted in part, it comes out as the whole frame does.
            compositor.setFrameMode(FrameMode::verify);
            compositor.renderFrame(*root, {200, 200}, 2);
            auto cover = solid({70, 60, 13, 9}, gfx::Color::rgba(1, 0, 0));
            root->addSublayer(cover);
            compositor.renderFrame(*root, {200, 200}, 2);
            cover->removeFromSuperlayer();
            compositor.renderFrame(*root, {200, 200}, 2);
        };
        Compositor onePass, flattened;
        render(false, onePass);
        render(true, flattened);
        EXPECT_EQ(onePass.statistics().flattened, 0);
        EXPECT_EQ(flattened.statistics().flattened, turned ? 1 : 0);
        if (turned)
            EXPECT_EQ(onePass.statistics().projected, 1);
        else
            EXPECT_EQ(onePass.statistics().layersDrawn, 1); // where the cover was: the page with its shading
        int most = 0;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x) {
                const Pixel8 a = framePixel(onePass, x, y), b = framePixel(flattened, x, y);
                most = std::max({most, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            }
        EXPECT_LE(most, 2);
    }
}

TEST(Compositor, RoundedCornersClipTheLayerAndItsSublayersAndHideNothingBelow) {
    auto root = solid({0, 0, 40, 40}, gfx::Color::white(1));
    auto body = solid({0, 0, 40, 40}, gfx::Color::rgba(1, 0, 0));
    body->setCornerRadius(10);
    body->setMasksToBounds(true);
    body->addSublayer(solid({0, 0, 40, 20}, gfx::Color::rgba(0, 1, 0))); // an opaque sublayer in a corner
    root->addSublayer(body);
    Compositor compositor;
    compositor.setFrameMode(FrameMode::verify);
    compositor.renderFrame(*root, {40, 40}, 1);
    EXPECT_EQ(framePixel(compositor, 1, 1), white);   // outside the top-left corner
    EXPECT_EQ(framePixel(compositor, 38, 38), white); // outside the bottom-right corner
    EXPECT_EQ(framePixel(compositor, 20, 1), green);
    EXPECT_EQ(framePixel(compositor, 1, 15), green);
    EXPECT_EQ(framePixel(compositor, 20, 30), red);
    // Radii are capped at half the shorter side; without masking the corners stay square.
    body->setCornerRadius(100);
    compositor.renderFrame(*root, {40, 40}, 1);
    EXPECT_EQ(framePixel(compositor, 20, 1), green);
    EXPECT_EQ(framePixel(compositor, 3, 3), white);
    body->setMasksToBounds(false);
    compositor.renderFrame(*root, {40, 40}, 1);
    EXPECT_EQ(framePixel(compositor, 1, 1), green);
    EXPECT_EQ(framePixel(compositor, 38, 38), red);
}
