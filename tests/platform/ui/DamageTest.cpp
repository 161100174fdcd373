#include "UITestSupport.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/detail/DamageRegion.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <numbers>

using namespace ui;
using namespace ui::test;

namespace {

// A root of 100 x 100 points with a grey background and a red box at (10, 10, 20, 20),
// composited at scale 2 by damage.
struct Scene {
    std::shared_ptr<Layer> root = solid({0, 0, 100, 100}, gfx::Color::white(0.5));
    std::shared_ptr<Layer> box = solid({10, 10, 20, 20}, gfx::Color::rgba(1, 0, 0));
    Compositor compositor;
    Compositor reference;

    Scene() {
        root->addSublayer(box);
        compositor.setFrameMode(FrameMode::damage);
        reference.setFrameMode(FrameMode::whole);
        frame();
    }

    // Composites a frame by damage and checks it against the whole frame.
    const CompositorStatistics& frame() {
        compositor.renderFrame(*root, {100, 100}, 2);
        reference.renderFrame(*root, {100, 100}, 2);
        const gfx::ConstPixelBuffer a = compositor.pixels(), b = reference.pixels();
        bool same = a.width == b.width && a.height == b.height;
        for (int y = 0; same && y < a.height; ++y)
            same = std::memcmp(a.pixels + y * (a.strideBytes / 4), b.pixels + y * (b.strideBytes / 4),
                               static_cast<std::size_t>(a.width) * 4) == 0;
        EXPECT_TRUE(same) << "the frame made by damage differs from the whole frame";
        return compositor.statistics();
    }

    // The device box a frame repainted after `change`.
    gfx::Rect damageAfter(const std::function<void()>& change) {
        change();
        return frame().damageBounds;
    }
};

// Device pixels at scale 2 of a rectangle in points.
gfx::Rect device(double x, double y, double w, double h) {
    return {2 * x, 2 * y, 2 * w, 2 * h};
}

// Holds the media clock for the test and gives it back to real time afterwards.
struct ManualClock {
    explicit ManualClock(double t) { MediaClock::setTime(t); }
    ~ManualClock() { MediaClock::setManual(false); }
};

} // namespace

TEST(Damage, AFrameWithNothingChangedDoesNoPixelWork) {
    Scene scene;
    const gfx::ImageRef before = scene.compositor.image();
    const CompositorStatistics& stats = scene.frame();
    EXPECT_EQ(stats.damagedPixels, 0);
    EXPECT_EQ(stats.layersDrawn, 0);
    EXPECT_EQ(scene.compositor.image(), before); // not even the copy of the frame is made again
    // A property set to the value it has changes nothing either.
    scene.box->setPosition(scene.box->position());
    EXPECT_EQ(scene.frame().damagedPixels, 0);
    // A new size repaints the whole frame.
    scene.compositor.renderFrame(*scene.root, {50, 100}, 2);
    EXPECT_TRUE(scene.compositor.statistics().wholeFrame);
}

TEST(Damage, EachPropertyDamagesTheOldAndNewExtents) {
    Scene scene;
    const gfx::Rect box = device(10, 10, 20, 20);
    EXPECT_EQ(scene.damageAfter([&] { scene.box->setBackgroundColor(gfx::Color::rgba(0, 0, 1)); }), box);
    EXPECT_EQ(scene.damageAfter([&] { scene.box->setPosition({30, 20}); }), box.unionWith(device(20, 10, 20, 20)));
    EXPECT_EQ(scene.damageAfter([&] { scene.box->setBounds({0, 0, 10, 20}); }), device(20, 10, 20, 20));
    EXPECT_EQ(scene.damageAfter([&] { scene.box->setOpacity(0.5); }), device(25, 10, 10, 20));
    EXPECT_EQ(scene.damageAfter([&] { scene.box->setHidden(true); }), device(25, 10, 10, 20));
    // Hidden, it damages nothing while it changes; shown again, where it is now.
    EXPECT_TRUE(scene.damageAfter([&] { scene.box->setPosition({60, 60}); }).isNull());
    EXPECT_EQ(scene.damageAfter([&] { scene.box->setHidden(false); }), device(55, 50, 10, 20));
    // Turned, its whole projected extent and a pixel around it.
    scene.box->setBounds({0, 0, 20, 20});
    scene.frame();
    const gfx::Rect turned = scene.damageAfter(
        [&] { scene.box->setAffineTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 4)); });
    const double half = 10 * std::sqrt(2.0);
    EXPECT_TRUE(turned.contains(device(60 - half, 60 - half, 2 * half, 2 * half).insetBy(-1, -1)));
    EXPECT_LE(turned.width(), 2 * 2 * half + 4);
    // Contents, order and removal.
    scene.box->setAffineTransform({});
    scene.frame();
    EXPECT_EQ(scene.damageAfter([&] { scene.box->setContents(gfx::Image::make(2, 2)); }), device(50, 50, 20, 20));
    auto over = solid({0, 0, 100, 5}, gfx::Color::rgba(0, 1, 0));
    EXPECT_EQ(scene.damageAfter([&] { scene.root->addSublayer(over); }), device(0, 0, 100, 5));
    EXPECT_EQ(scene.damageAfter([&] { over->setZPosition(-1); }), device(0, 0, 100, 5));
    EXPECT_EQ(scene.damageAfter([&] { over->removeFromSuperlayer(); }), device(0, 0, 100, 5));
}

TEST(Damage, ClipsAndGroupsBoundWhatTheirSublayersDamage) {
    Scene scene;
    // A clipping parent cuts its sublayer's damage to its bounds; a clip that changes damages
    // what it showed and what it shows.
    auto clipper = Layer::make();
    clipper->setFrame({50, 50, 20, 20});
    clipper->setMasksToBounds(true);
    auto inner = solid({0, 0, 60, 60}, gfx::Color::rgba(0, 0, 1));
    clipper->addSublayer(inner);
    scene.root->addSublayer(clipper);
    EXPECT_EQ(scene.frame().damageBounds, device(50, 50, 20, 20));
    EXPECT_EQ(scene.damageAfter([&] { inner->setPosition({20, 20}); }), device(50, 50, 20, 20));
    EXPECT_EQ(scene.damageAfter([&] { clipper->setMasksToBounds(false); }), device(40, 40, 60, 60));
    // A change inside a faded group repaints the whole group.
    auto group = Layer::make();
    group->setFrame({0, 50, 40, 40});
    group->setOpacity(0.5);
    auto a = solid({0, 0, 10, 10}, gfx::Color::rgba(0, 1, 0));
    auto b = solid({30, 30, 10, 10}, gfx::Color::rgba(0, 1, 1));
    group->addSublayer(a);
    group->addSublayer(b);
    scene.root->addSublayer(group);
    scene.frame();
    EXPECT_EQ(scene.damageAfter([&] { b->setBackgroundColor(gfx::Color::white(1)); }), device(0, 50, 40, 40));
    // So does one inside a layer flattened under perspective.
    group->setOpacity(1);
    group->setTransform(gfx::rotate(perspective(), 0.3, 0, 1, 0));
    scene.frame();
    const gfx::Rect flattened = scene.damageAfter([&] { a->setBackgroundColor(gfx::Color::white(1)); });
    EXPECT_GT(flattened.width(), 2 * 30); // the group's extent, not the sublayer's
    EXPECT_EQ(scene.damageAfter([&] { b->setBackgroundColor(gfx::Color::rgba(0, 1, 1)); }), flattened);
}

TEST(Damage, AnimationsDamageWhereTheyWereAndWhereTheyAre) {
    ManualClock clock(100);
    Scene scene;
    auto slide = BasicAnimation::make("position");
    slide->setFromValue(gfx::Point{20, 20});
    slide->setToValue(gfx::Point{80, 20});
    slide->setDuration(1);
    Transaction::begin();
    Transaction::setDisableActions(true);
    scene.box->setPosition({80, 80}); // the model pose, away from the path
    scene.box->addAnimation(slide, "slide");
    Transaction::commit();
    advanceAnimations();
    scene.frame();
    MediaClock::advance(0.5);
    advanceAnimations();
    // From x 20 (10..30) to x 50 (40..60), without touching the model pose.
    EXPECT_EQ(scene.frame().damageBounds, device(10, 10, 50, 20));
    MediaClock::advance(0.6);
    advanceAnimations();
    // Over: where it was last shown, and the model pose.
    EXPECT_EQ(scene.frame().damageBounds, device(40, 10, 50, 80));
    EXPECT_EQ(scene.frame().damagedPixels, 0);
}

TEST(Damage, ATwoCellChangeOfAGridRepaintsTwoCells) {
    Scene scene;
    std::vector<std::shared_ptr<Layer>> cells;
    for (int i = 0; i < 42; ++i) {
        cells.push_back(solid({(i % 7) * 14.0, 10 + (i / 7) * 14.0, 14, 14}, gfx::Color::white(i % 2 ? 1 : 0.9)));
        scene.root->addSublayer(cells.back());
    }
    scene.frame();
    cells[3]->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    cells[40]->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    const CompositorStatistics& stats = scene.frame();
    EXPECT_EQ(stats.damageRects, 2);
    EXPECT_EQ(stats.damagedPixels, 2 * 28 * 28);
    EXPECT_EQ(stats.layersDrawn, 2); // the two cells; the background under them is hidden
}

TEST(Damage, AClipBetweenPixelsEdgesAlikeWhicheverLayersTheDamageDraws) {
    Scene scene;
    scene.box->removeFromSuperlayer();
    // A scroller whose bounds origin puts its clip's lower edge between device pixels, a
    // translucent line across that edge, and an opaque cover that cuts the root's drawing in
    // a whole frame but lies outside the line's damage.
    auto scroller = Layer::make();
    scroller->setFrame({0, 0, 100, 40});
    scroller->setBounds({0, 0.3, 100, 40});
    scroller->setMasksToBounds(true);
    auto line = solid({10, 30, 20, 20}, gfx::Color::rgba(0, 0, 1, 0.5));
    scroller->addSublayer(line);
    scene.root->addSublayer(scroller);
    scene.root->addSublayer(solid({0, 50, 100, 50}, gfx::Color::white(1)));
    scene.frame();
    line->setBackgroundColor(gfx::Color::rgba(1, 0, 0, 0.5));
    scene.frame();
    // Without edge antialiasing the clip takes whole pixels: the last row the line shows is
    // as red as the one above it.
    const int lastRow = 79;
    EXPECT_EQ(scene.compositor.pixel(30, lastRow), scene.compositor.pixel(30, lastRow - 1));
    EXPECT_EQ(scene.compositor.pixel(30, lastRow + 1), scene.compositor.pixel(30, 90));
}

TEST(Damage, ARegionKeepsFewRectanglesAndWastesLittle) {
    detail::DamageRegion region;
    region.reset(1000, 1000);
    region.add({0, 0, 10, 10});
    region.add({10, 0, 10, 10}); // joins its neighbour: nothing wasted
    EXPECT_EQ(region.rects().size(), 1u);
    region.add({500, 500, 10, 10}); // far away: kept apart
    EXPECT_EQ(region.rects().size(), 2u);
    region.add({-5, 995, 10.5, 20}); // cut to the frame, grown to whole pixels
    EXPECT_EQ(region.rects().back(), (gfx::Rect{0, 995, 6, 5}));
    for (int i = 0; i < 40; ++i)
        region.add({double(i * 23 % 900), double(i * 37 % 900), 3, 3});
    EXPECT_LE(region.rects().size(), detail::DamageRegion::kMaxRects);
    region.add(gfx::Rect::null());
    region.add({0, 0, std::nan(""), 4});
    EXPECT_LE(region.area(), 1000.0 * 1000);
}

TEST(Damage, APartRedrawnDamagesThatPartAlone) {
    Scene scene;
    Log log;
    auto view = RecordingView::make("v", &log, {20, 20, 40, 40});
    view->draws = true;
    view->setNeedsDisplay();
    scene.root->addSublayer(view->layer());
    view->layer()->displayTreeIfNeeded();
    scene.frame();
    const gfx::ImageRef before = view->layer()->contents();
    view->fill = gfx::Color::rgba(0, 0, 1);
    view->setNeedsDisplayInRect({5, 5, 10, 10});
    view->layer()->displayTreeIfNeeded();
    // The rest of the backing store is kept: only the marked part shows the new fill.
    const gfx::ImageRef after = view->layer()->contents();
    EXPECT_NE(after, before);
    EXPECT_EQ(pixel8(after, 1, 1), red);
    EXPECT_EQ(pixel8(after, 12, 12), blue);
    // One pixel around the part, for filtering.
    EXPECT_EQ(scene.frame().damageBounds, device(25, 25, 10, 10).insetBy(-1, -1));
}

TEST(Damage, ALayerTurnedInPerspectiveShowsTheSamePixelsInEveryDamagedPart) {
    // Pages turned about the vertical axis and tilted both ways, with detail in every pixel,
    // under a small box that moves over them: each part repainted must match the whole frame
    // to the last step of a channel, wherever the damage cuts the pages.
    Scene scene;
    auto image = gfx::Image::make(80, 80, 2);
    std::uint8_t* bytes = image->mutableData();
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) {
            std::uint8_t* p = bytes + y * image->stride() + x * 4;
            p[0] = std::uint8_t(x * 37), p[1] = std::uint8_t(y * 53), p[2] = std::uint8_t(x * y * 11), p[3] = 255;
        }
    const gfx::ImageRef contents = image;
    const gfx::Transform3D turns[] = {gfx::rotate(perspective(), 0.7, 0, 1, 0),
                                      gfx::rotate(perspective(), 0.5, 1, 1, 0.2)};
    for (const gfx::Transform3D& turn : turns) {
        auto page = Layer::make();
        page->setFrame({30, 30, 40, 40});
        page->setContents(contents);
        page->setTransform(turn);
        auto group = Layer::make(); // faded: drawn into an image of the part repainted
        group->setFrame({0, 0, 100, 100});
        group->setOpacity(0.8);
        group->addSublayer(page);
        group->addSublayer(solid({0, 0, 5, 5}, gfx::Color::white(1)));
        scene.root->addSublayer(group);
        scene.root->addSublayer(scene.box); // above the page
        scene.frame();
        for (int i = 0; i < 12; ++i) {
            scene.box->setPosition({27.3 + i * 3.7, 23.1 + i * 5.3});
            scene.frame();
        }
        group->removeFromSuperlayer();
    }
}

TEST(Damage, ClippingToPixelRectanglesKeepsExactlyWhatBothClipsHold) {
    // A damage clip of several boxes, then the slivers of a cell that still show: the clip must
    // be those slivers, or drawing straight into the clip's rectangles paints the whole cell.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 210, 180);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, 3, 3);
    const auto clipRects = [&] {
        std::vector<gfx::Rect> rects;
        cairo_rectangle_list_t* list = cairo_copy_clip_rectangle_list(cr);
        for (int i = 0; i < list->num_rectangles; ++i) {
            const cairo_rectangle_t& r = list->rectangles[i];
            rects.push_back({r.x, r.y, r.width, r.height});
        }
        cairo_rectangle_list_destroy(list);
        return rects;
    };
    detail::clipToDeviceRects(cr, {{150, 61, 30, 20}, {0, 81, 150, 19}, {0, 100, 180, 1}, {120, 101, 60, 19}});
    cairo_save(cr);
    detail::clipToDeviceRects(cr, {{150, 80, 30, 1}, {150, 101, 30, 1}});
    cairo_identity_matrix(cr);
    const std::vector<gfx::Rect> slivers{{150, 80, 30, 1}, {150, 101, 30, 1}};
    EXPECT_EQ(clipRects(), slivers);
    // The user space is left as it was; nothing in common clips everything.
    cairo_restore(cr);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    EXPECT_EQ(m.xx, 3);
    detail::clipToDeviceRects(cr, {{0, 0, 10, 10}});
    double x0, y0, x1, y1;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x1 - x0, 0);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
