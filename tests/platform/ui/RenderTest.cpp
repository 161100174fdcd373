#include "UITestSupport.h"

#include "platform/ui/GradientLayer.h"
#include "platform/ui/LayerRenderer.h"
#include "platform/ui/TransformLayer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>

using namespace ui;
using namespace ui::test;

namespace {

// A 2 × 2 image: red, green / blue, yellow.
gfx::ImageRef quadrants() {
    auto image = gfx::Image::make(2, 2, 1);
    const std::uint32_t px[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
    for (int y = 0; y < 2; ++y)
        std::memcpy(image->mutableData() + y * image->stride(), px + 2 * y, 2 * sizeof(std::uint32_t));
    image->markDirty();
    return image;
}

// Where a point of `layer`'s own space lands in its superlayer's space.
gfx::Point projected(const Layer& layer, gfx::Point local) {
    const gfx::Transform3D t =
        Layer::transformToSuperlayer(layer.modelState(), &layer.superlayer()->modelState());
    return gfx::projectPoint(t, local);
}

Pixel8 at(const gfx::ImageRef& image, gfx::Point p) {
    return pixel8(image, static_cast<int>(p.x), static_cast<int>(p.y));
}

} // namespace

TEST(Render, BackgroundsContentsClippingVisibilityAndOrder) {
    auto root = solid({0, 0, 40, 40}, gfx::Color::white(1));
    auto clipper = solid({10, 10, 20, 20}, gfx::Color::rgba(1, 0, 0));
    clipper->setMasksToBounds(true);
    auto inner = solid({10, 10, 20, 20}, gfx::Color::rgba(0, 0, 1)); // reaches past the clipper
    root->addSublayer(clipper);
    clipper->addSublayer(inner);

    auto image = snapshot(*root, {40, 40}, 2);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelWidth(), 80);
    EXPECT_EQ(pixel8(image, 30, 30), red);
    EXPECT_EQ(pixel8(image, 50, 50), blue);
    EXPECT_EQ(pixel8(image, 70, 70), white); // clipped away
    clipper->setMasksToBounds(false);
    EXPECT_EQ(pixel8(snapshot(*root, {40, 40}, 2), 70, 70), blue);

    // Hidden and fully transparent layers draw nothing.
    inner->setHidden(true);
    EXPECT_EQ(pixel8(snapshot(*root, {40, 40}, 2), 50, 50), red);
    inner->setHidden(false);
    inner->setOpacity(0);
    EXPECT_EQ(pixel8(snapshot(*root, {40, 40}, 2), 50, 50), red);

    // Siblings are painted by zPosition, then in insertion order.
    auto a = solid({0, 0, 10, 10}, gfx::Color::rgba(1, 0, 0));
    auto b = solid({0, 0, 10, 10}, gfx::Color::rgba(0, 1, 0));
    root->addSublayer(a);
    root->addSublayer(b);
    EXPECT_EQ(pixel8(snapshot(*root, {40, 40}), 5, 5), green);
    a->setZPosition(1);
    EXPECT_EQ(pixel8(snapshot(*root, {40, 40}), 5, 5), red);

    // Contents are stretched over the bounds, above the background.
    auto picture = solid({0, 0, 40, 40}, gfx::Color::white(0));
    picture->setContents(quadrants());
    auto pictureImage = snapshot(*picture, {40, 40});
    EXPECT_EQ(pixel8(pictureImage, 4, 4), red);
    EXPECT_EQ(pixel8(pictureImage, 35, 4), green);
    EXPECT_EQ(pixel8(pictureImage, 4, 35), blue);
    EXPECT_EQ(pixel8(pictureImage, 35, 35), yellow);
}

TEST(Render, OpacityFadesALayerAndItsSublayersAsOneGroup) {
    auto root = solid({0, 0, 40, 40}, gfx::Color::white(1));
    auto group = Layer::make();
    group->setFrame({0, 0, 40, 40});
    group->setOpacity(0.5);
    group->addSublayer(solid({0, 0, 30, 30}, gfx::Color::rgba(1, 0, 0)));
    group->addSublayer(solid({10, 10, 30, 30}, gfx::Color::rgba(0, 0, 1)));
    root->addSublayer(group);
    auto single = solid({30, 0, 10, 10}, gfx::Color::rgba(0, 1, 0));
    single->setOpacity(0.5);
    root->addSublayer(single);

    auto image = snapshot(*root, {40, 40});
    EXPECT_TRUE(near(pixel8(image, 5, 5), {255, 128, 128, 255}));
    // Where the red and blue sublayers overlap only the blue shows through, faded once.
    EXPECT_TRUE(near(pixel8(image, 20, 20), {128, 128, 255, 255})) << pixel8(image, 20, 20);
    EXPECT_TRUE(near(pixel8(image, 35, 5), {128, 255, 128, 255}));
}

TEST(Render, AffineTransformsTurnLayersAboutTheirAnchor) {
    auto root = solid({0, 0, 60, 60}, gfx::Color::white(1));
    auto square = solid({20, 20, 20, 20}, gfx::Color::rgba(1, 0, 0));
    square->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 4));
    root->addSublayer(square);
    auto image = snapshot(*root, {60, 60});
    EXPECT_EQ(pixel8(image, 30, 30), red);
    EXPECT_EQ(pixel8(image, 30, 17), red);   // a corner of the diamond, above the square
    EXPECT_EQ(pixel8(image, 21, 21), white); // a corner of the unturned square

    // A corner anchor turns the layer about that corner.
    square->setAnchorPoint({0, 0});
    square->setPosition({20, 20});
    square->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 2));
    image = snapshot(*root, {60, 60});
    EXPECT_EQ(pixel8(image, 10, 30), red);
    EXPECT_EQ(pixel8(image, 30, 30), white);
}

TEST(Render, SnapshotsFlushPendingLayoutAndDisplay) {
    auto settings = gfx::test::ScopedGraphicsSettings{};
    gfx::setScreenScale(2);
    Log log;
    struct Pinning : View {
        std::shared_ptr<View> badge;
        void layoutSubviews() override { badge->setFrame({bounds().size.width - 10, 0, 10, 10}); }
    };
    auto root = rt::create<Pinning>(gfx::Rect{0, 0, 40, 40});
    root->setBackgroundColor(gfx::Color::white(1));
    root->badge = View::make();
    root->badge->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    root->addSubview(root->badge);
    auto drawing = RecordingView::make("drawing", &log, {0, 20, 20, 20});
    drawing->draws = true;
    drawing->setNeedsDisplay();
    root->addSubview(drawing);

    auto image = snapshot(*root->layer(), {40, 40});
    EXPECT_EQ(pixel8(image, 35, 5), blue);
    EXPECT_EQ(pixel8(image, 10, 30), red);

    // Model changes right before the snapshot show in it.
    drawing->fill = gfx::Color::rgba(0, 1, 0);
    drawing->setNeedsDisplay();
    root->setBounds({0, 0, 30, 40}); // the badge follows the right edge, now at x 20..30
    image = snapshot(*root->layer(), {40, 40});
    EXPECT_EQ(pixel8(image, 10, 30), green);
    EXPECT_EQ(pixel8(image, 25, 5), blue);
    EXPECT_EQ(drawing->drawCount, 2);

    // The background is painted under what drawRect draws.
    drawing->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    drawing->fill = gfx::Color::rgba(1, 0, 0, 0);
    drawing->setNeedsDisplay();
    EXPECT_EQ(pixel8(snapshot(*root->layer(), {40, 40}), 10, 30), blue);
}

TEST(Render, GradientEndsAndPadding) {
    auto gradient = GradientLayer::make();
    gradient->setFrame({0, 0, 20, 100});
    gradient->setColors({gfx::Color::rgba(1, 0, 0), gfx::Color::rgba(0, 0, 1)});
    auto image = snapshot(*gradient, {20, 100});
    EXPECT_TRUE(near(pixel8(image, 10, 0), red, 3));
    EXPECT_TRUE(near(pixel8(image, 10, 99), blue, 3));
    EXPECT_TRUE(near(pixel8(image, 10, 50), {127, 0, 128, 255}, 3));

    // The end colours extend before the start and after the end point.
    gradient->setStartPoint({0.5, 0.25});
    gradient->setEndPoint({0.5, 0.75});
    image = snapshot(*gradient, {20, 100});
    EXPECT_EQ(pixel8(image, 10, 5), red);
    EXPECT_EQ(pixel8(image, 10, 95), blue);

    // A horizontal axis from the right edge to the left, as a page's shading runs.
    gradient->setStartPoint({1, 0});
    gradient->setEndPoint({0, 0});
    image = snapshot(*gradient, {20, 100});
    EXPECT_TRUE(near(pixel8(image, 19, 50), red, 16));
    EXPECT_TRUE(near(pixel8(image, 0, 50), blue, 16));
}

TEST(Render, PerspectiveRotationKeepsQuadrantsAndMakesTheNearEdgeTaller) {
    auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
    auto page = Layer::make();
    page->setFrame({50, 50, 100, 100});
    page->setContents(quadrants());
    page->setTransform(gfx::rotate(perspective(), std::numbers::pi / 4, 0, 1, 0));
    root->addSublayer(page);
    auto image = snapshot(*root, {200, 200});

    // Bilinear sampling blurs the quadrants' borders a little; their middles keep their colour.
    EXPECT_TRUE(near(at(image, projected(*page, {25, 25})), red, 8));
    EXPECT_TRUE(near(at(image, projected(*page, {75, 25})), green, 8));
    EXPECT_TRUE(near(at(image, projected(*page, {25, 75})), blue, 8));
    EXPECT_TRUE(near(at(image, projected(*page, {75, 75})), yellow, 8));

    // Count the painted pixels of the columns just inside either edge of the page.
    const auto columnHeight = [&](double localX) {
        const int x = static_cast<int>(projected(*page, {localX, 50}).x);
        int n = 0;
        for (int y = 0; y < 200; ++y)
            n += pixel8(image, x, y) == white ? 0 : 1;
        return n;
    };
    const double wLeft = gfx::transformPoint4(page->transform(), -50, 0).w;
    const double wRight = gfx::transformPoint4(page->transform(), 50, 0).w;
    ASSERT_NE(wLeft, wRight);
    const int nearHeight = wLeft < wRight ? columnHeight(3) : columnHeight(97);
    const int farHeight = wLeft < wRight ? columnHeight(97) : columnHeight(3);
    EXPECT_GT(nearHeight, farHeight + 10);
    EXPECT_GT(farHeight, 50);
}

TEST(Render, SingleSidedLayersTurnedAwayAreCulled) {
    auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
    auto page = Layer::make();
    page->setFrame({50, 50, 100, 100});
    page->setContents(quadrants());
    page->setTransform(gfx::rotate(perspective(), 0.8 * std::numbers::pi, 0, 1, 0));
    root->addSublayer(page);

    // Seen from behind the image is mirrored: each quadrant lands where its points project.
    auto image = snapshot(*root, {200, 200});
    const gfx::Point redSpot = projected(*page, {25, 25});
    EXPECT_TRUE(near(at(image, redSpot), red, 8));
    EXPECT_GT(redSpot.x, 100); // the left half now lies on the right
    page->setDoubleSided(false);
    image = snapshot(*root, {200, 200});
    EXPECT_EQ(at(image, redSpot), white);
    EXPECT_EQ(pixel8(image, 100, 100), white);

    // Mirrored by an affine scale the layer shows its back as well.
    page->setAffineTransform(gfx::AffineTransform::makeScale(-1, 1));
    EXPECT_EQ(pixel8(snapshot(*root, {200, 200}), 100, 100), white);
    page->setDoubleSided(true);
    EXPECT_NE(pixel8(snapshot(*root, {200, 200}), 100, 100), white);
}

TEST(Render, TransformLayerSublayersShareItsSpaceWhilePlainLayersFlatten) {
    // A container turned past a quarter turn: a single-sided sublayer inside a transform
    // layer faces away and vanishes; inside a plain layer it is flattened first and the
    // container (double-sided) shows it mirrored.
    for (bool transformLayer : {true, false}) {
        SCOPED_TRACE(transformLayer ? "transform layer" : "plain layer");
        auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
        std::shared_ptr<Layer> container =
            transformLayer ? std::shared_ptr<Layer>(TransformLayer::make()) : Layer::make();
        container->setFrame({50, 50, 100, 100});
        container->setTransform(gfx::rotate(perspective(), 0.7 * std::numbers::pi, 0, 1, 0));
        auto face = solid({0, 0, 100, 100}, gfx::Color::rgba(1, 0, 0));
        face->setDoubleSided(false);
        container->addSublayer(face);
        root->addSublayer(container);
        const Pixel8 centre = pixel8(snapshot(*root, {200, 200}), 100, 100);
        EXPECT_EQ(centre, transformLayer ? white : red);
    }

    // The turning leaf of a page flip: the front face is drawn while it faces the viewer,
    // the back face (added first, double-sided) once it has turned past the quarter.
    auto root = solid({0, 0, 200, 100}, gfx::Color::white(1));
    auto leaves = TransformLayer::make();
    leaves->setFrame({0, 0, 200, 100});
    root->addSublayer(leaves);
    auto back = solid({0, 0, 100, 100}, gfx::Color::rgba(0, 0, 1));
    auto front = solid({0, 0, 100, 100}, gfx::Color::rgba(1, 0, 0));
    front->setDoubleSided(false);
    for (auto& leaf : {back, front}) {
        leaf->setAnchorPoint({0, 0.5});
        leaf->setPosition({100, 50});
        leaves->addSublayer(leaf);
    }
    const auto turn = [&](double q) {
        front->setTransform(gfx::rotate(perspective(), -std::numbers::pi * q, 0, 1, 0));
        back->setTransform(
            gfx::rotate(gfx::translate(perspective(), 0.01, 0, 0), -std::numbers::pi * q, 0, 1, 0));
    };
    turn(0.25);
    auto image = snapshot(*root, {200, 100});
    EXPECT_EQ(at(image, projected(*front, {50, 50})), red);
    turn(0.75);
    image = snapshot(*root, {200, 100});
    const gfx::Point onLeft = projected(*front, {50, 50});
    EXPECT_LT(onLeft.x, 100);
    EXPECT_EQ(at(image, onLeft), blue);
}

TEST(Render, GeometryBehindTheEyeDrawsNothing) {
    auto root = solid({0, 0, 100, 100}, gfx::Color::white(1));
    auto page = solid({0, 0, 100, 100}, gfx::Color::rgba(1, 0, 0));
    page->setTransform(gfx::translate(perspective(), 0, 0, 600)); // w = 1 - 600/500 < 0
    root->addSublayer(page);
    EXPECT_EQ(pixel8(snapshot(*root, {100, 100}), 50, 50), white);

    // Partly in front: a wide page turned nearly edge-on toward the eye shows only its part
    // in front of the eye, within the image.
    page->setFrame({-450, 0, 1000, 100});
    page->setTransform(gfx::rotate(perspective(), 1.4, 0, 1, 0));
    auto image = snapshot(*root, {100, 100});
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelWidth(), 100);
}

TEST(Render, ProjectedLayersHonourClipsAndGroupsAroundThem) {
    // A page turned a little in perspective, larger than its container, first inside a
    // faded container (drawn into a group), then inside a turned container that clips (a
    // clip that is not a rectangle of whole pixels).
    auto root = solid({0, 0, 200, 200}, gfx::Color::white(1));
    auto container = Layer::make();
    container->setFrame({0, 0, 200, 200});
    root->addSublayer(container);
    auto page = solid({-40, -40, 200, 200}, gfx::Color::rgba(1, 0, 0));
    page->setTransform(gfx::rotate(perspective(), 0.2, 0, 1, 0));
    container->addSublayer(page);
    auto corner = solid({0, 0, 10, 10}, gfx::Color::rgba(0, 0, 1));
    container->addSublayer(corner);

    container->setOpacity(0.5);
    auto image = snapshot(*root, {200, 200});
    EXPECT_TRUE(near(pixel8(image, 100, 100), {255, 128, 128, 255})) << pixel8(image, 100, 100);
    EXPECT_TRUE(near(pixel8(image, 5, 5), {128, 128, 255, 255})) << pixel8(image, 5, 5);
    EXPECT_EQ(pixel8(image, 190, 100), white);

    corner->removeFromSuperlayer();
    container->setOpacity(1);
    container->setMasksToBounds(true);
    container->setFrame({40, 40, 120, 120}); // centred on the page's centre, (100, 100)
    page->setPosition({60, 60});
    container->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 4));
    // The clip is a diamond about (100, 100) reaching 60·√2 ≈ 85 along each axis.
    image = snapshot(*root, {200, 200});
    EXPECT_EQ(pixel8(image, 100, 100), red);
    EXPECT_EQ(pixel8(image, 100, 20), red);
    EXPECT_EQ(pixel8(image, 30, 100), red);
    EXPECT_EQ(pixel8(image, 40, 40), white); // covered by the page, outside the clip
}
