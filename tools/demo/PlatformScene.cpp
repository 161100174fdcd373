// The platform scene: one frame of a window composited by the run loop, showing what the
// views, layers and compositor do: nested views with clipping and group opacity, labels
// that truncate, a page turned in perspective about the y axis (a page flip part of the
// way through, its leaf culled when seen from behind), a gradient, and a layer caught
// half-way through an animation by stepping the media clock.

#include "Demo.h"

#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/Text.h"
#include "platform/ui/Animation.h"
#include "platform/ui/GradientLayer.h"
#include "platform/ui/Label.h"
#include "platform/ui/TestDriver.h"
#include "platform/ui/TransformLayer.h"

#include <numbers>
#include <string>

namespace {

using gfx::Color;
using gfx::Rect;

constexpr gfx::Size kWindow{600, 784};
constexpr double kScale = 2;
constexpr double kMargin = 24;

const Color kInk = Color::rgb8(28, 28, 30);
const Color kCard = Color::rgb8(242, 242, 247);
const Color kBlue = Color::rgb8(0, 122, 255);
const Color kOrange = Color::rgb8(255, 149, 0);
const Color kRed = Color::rgb8(255, 59, 48);
const Color kGreen = Color::rgb8(52, 199, 89);
const Color kPurple = Color::rgb8(175, 82, 222);

std::shared_ptr<ui::Label> label(const std::string& text, Rect frame, double size = 13, bool bold = false,
                                 Color color = kInk) {
    auto l = ui::Label::make(frame);
    l->setText(text);
    l->setFont(bold ? gfx::Font::boldSystemFont(size) : gfx::Font::systemFont(size));
    l->setTextColor(color);
    return l;
}

std::shared_ptr<ui::View> box(Rect frame, Color color) {
    auto v = ui::View::make(frame);
    v->setBackgroundColor(color);
    return v;
}

// A card with a caption above it.
std::shared_ptr<ui::View> section(ui::View& parent, const std::string& caption, Rect frame) {
    parent.addSubview(label(caption, {frame.minX(), frame.minY() - 22, frame.width(), 18}, 13, true));
    auto card = box(frame, kCard);
    parent.addSubview(card);
    return card;
}

// Nested views: the same overhanging child in a clipping and a non-clipping parent, and two
// overlapping squares faded as a group (no seam where they overlap) next to the same two
// squares faded one by one.
void nestedViews(ui::View& card) {
    const auto parent = [&](double x, bool clips) {
        auto p = box({x, 30, 90, 90}, Color::white(1));
        p->setClipsToBounds(clips);
        auto child = box({45, 45, 70, 70}, kOrange);
        child->addSubview(box({10, 10, 24, 24}, kInk));
        p->addSubview(child);
        card.addSubview(p);
        card.addSubview(label(clips ? "clips" : "does not clip", {x, 8, 110, 16}, 11));
    };
    parent(14, true);
    parent(134, false);

    const auto pair = [&](double x, bool group) {
        auto holder = ui::View::make({x, 30, 100, 100});
        auto a = box({0, 0, 64, 64}, kRed);
        auto b = box({32, 32, 64, 64}, kBlue);
        holder->addSubview(a);
        holder->addSubview(b);
        for (ui::View* faded :
             group ? std::vector<ui::View*>{holder.get()} : std::vector<ui::View*>{a.get(), b.get()})
            faded->setAlpha(0.5);
        card.addSubview(holder);
        card.addSubview(label(group ? "alpha 0.5 as a group" : "alpha 0.5 each", {x, 8, 120, 16}, 11));
    };
    pair(270, true);
    pair(400, false);
}

void labels(ui::View& card) {
    auto one = label("A label far too long for its frame ends in an ellipsis", {14, 12, 220, 20}, 15);
    card.addSubview(one);
    auto two = label("Two lines at most: the words wrap onto the second line and what still does not fit "
                     "is cut off with an ellipsis at its end",
                     {250, 8, 288, 40}, 13);
    two->setNumberOfLines(2);
    card.addSubview(two);
}

// A small month page, drawn as a snapshot (as the transitions take them).
gfx::ImageRef monthPage(const char* title, Color band, int firstWeekday, int days) {
    constexpr gfx::Size size{240, 160};
    gfx::beginImageContext(size, true, kScale);
    gfx::ImageRef image;
    if (gfx::GraphicsContext* c = gfx::currentContext()) {
        c->setFillColor(Color::white(1));
        c->fillRect({{0, 0}, size});
        c->setFillColor(band);
        c->fillRect({0, 0, size.width, 28});
        gfx::drawInRect(
            title, {0, 6, size.width, 18},
            {gfx::Font::boldSystemFont(13), Color::white(1),
             gfx::ParagraphStyle{gfx::TextAlignment::center, gfx::LineBreakMode::truncatingTail}});
        const double cell = size.width / 7;
        for (int day = 1; day <= days; ++day) {
            const int slot = firstWeekday + day - 1;
            const Rect r{(slot % 7) * cell, 32 + (slot / 7) * 25.0, cell, 25};
            gfx::drawInRect(
                std::to_string(day), {r.minX(), r.minY() + 5, r.width(), 14},
                {gfx::Font::systemFont(11), kInk,
                 gfx::ParagraphStyle{gfx::TextAlignment::center, gfx::LineBreakMode::truncatingTail}});
        }
        image = gfx::imageFromCurrentImageContext();
    }
    gfx::endImageContext();
    return image;
}

// Part of an image (in points), mirrored left to right when asked.
gfx::ImageRef crop(const gfx::ImageRef& image, Rect rect, bool mirror) {
    gfx::beginImageContext(rect.size, true, kScale);
    gfx::ImageRef out;
    if (gfx::GraphicsContext* c = gfx::currentContext()) {
        if (mirror) c->concatCTM({-1, 0, 0, 1, rect.width(), 0});
        c->translateCTM(-rect.minX(), -rect.minY());
        c->drawImage(image, {{0, 0}, image->size()});
        out = gfx::imageFromCurrentImageContext();
    }
    gfx::endImageContext();
    return out;
}

std::shared_ptr<ui::Layer> pageLayer(const gfx::ImageRef& contents, gfx::Point anchor, gfx::Point position) {
    auto l = ui::Layer::make();
    l->setBounds({0, 0, 120, 160});
    l->setAnchorPoint(anchor);
    l->setPosition(position);
    l->setContents(contents);
    l->setAllowsEdgeAntialiasing(true);
    return l;
}

// A page flip part of the way through: the right half of December lifts about the spine
// in perspective, showing January's right half beneath; its back (January's left half,
// mirrored) is drawn only once the leaf turns past the vertical, its front face is
// single-sided and culled then.
void pageTurn(ui::View& card, double q, double x) {
    const gfx::ImageRef from = monthPage("December 2026", kBlue, 2, 31);
    const gfx::ImageRef to = monthPage("January 2027", kPurple, 5, 31);
    auto scene = ui::TransformLayer::make();
    scene->setFrame({x, 30, 240, 160});
    card.layer()->addSublayer(scene);
    scene->addSublayer(pageLayer(crop(from, {0, 0, 120, 160}, false), {0.5, 0.5}, {60, 80}));
    scene->addSublayer(pageLayer(crop(to, {120, 0, 120, 160}, false), {0, 0.5}, {120, 80}));
    auto back = pageLayer(crop(to, {0, 0, 120, 160}, true), {0, 0.5}, {120, 80});
    auto front = pageLayer(crop(from, {120, 0, 120, 160}, false), {0, 0.5}, {120, 80});
    front->setDoubleSided(false);
    auto shade = ui::GradientLayer::make();
    shade->setFrame({0, 0, 120, 160});
    shade->setColors({Color::white(0, 0), Color::white(0, 0.45)});
    shade->setStartPoint({1, 0});
    shade->setEndPoint({0, 0});
    front->addSublayer(shade);
    gfx::Transform3D perspective;
    perspective.m34 = -1.0 / 500;
    front->setTransform(gfx::rotate(perspective, -std::numbers::pi * q, 0, 1, 0));
    back->setTransform(gfx::rotate(gfx::translate(perspective, 0.01, 0, 0), -std::numbers::pi * q, 0, 1, 0));
    scene->addSublayer(back);
    scene->addSublayer(front);
}

void gradient(ui::View& card) {
    auto g = ui::GradientLayer::make();
    g->setFrame({14, 14, card.bounds().size.width - 28, 36});
    g->setColors({kBlue, kPurple, kOrange});
    g->setLocations(std::vector<double>{0, 0.7, 1});
    g->setStartPoint({0, 0.5});
    g->setEndPoint({1, 0.5});
    card.layer()->addSublayer(g);
}

// The track of a moving box: where it starts and ends (outlines), and the box itself.
std::shared_ptr<ui::View> animationTrack(ui::View& card) {
    for (double x : {14.0, card.bounds().size.width - 14 - 44}) {
        auto ghost = ui::View::make({x, 16, 44, 44});
        for (Rect edge : {Rect{0, 0, 44, 1}, Rect{0, 43, 44, 1}, Rect{0, 0, 1, 44}, Rect{43, 0, 1, 44}})
            ghost->addSubview(box(edge, Color::white(0.6)));
        card.addSubview(ghost);
    }
    auto mover = box({card.bounds().size.width - 14 - 44, 16, 44, 44}, kGreen);
    card.addSubview(mover);
    return mover;
}

std::vector<std::string> renderPlatformScene(const std::string& outDir) {
    const double savedScale = gfx::screenScale();
    gfx::setScreenScale(kScale);
    std::vector<std::string> written;
    {
        ui::TestDriver driver(kWindow);
        ui::Window& window = *driver.window();
        window.setBackgroundColor(Color::white(1));
        const double w = kWindow.width - 2 * kMargin;
        window.addSubview(label("Platform scene", {kMargin, 16, w, 30}, 24, true));

        nestedViews(*section(window, "Nested views: clipping and alpha", {kMargin, 84, w, 140}));
        labels(*section(window, "Labels: tail truncation", {kMargin, 254, w, 56}));
        auto turnCard =
            section(window, "A page turning in perspective about the y axis: front, then back of the leaf",
                    {kMargin, 342, w, 214});
        pageTurn(*turnCard, 0.3, 20);
        pageTurn(*turnCard, 0.7, 292);
        gradient(
            *section(window, "Gradient layer: three colours, locations 0, 0.7, 1", {kMargin, 588, w, 64}));
        auto track = section(window, "Mid-animation: 0.5 s into a 1 s slide and quarter turn, clock stepped",
                             {kMargin, 684, w, 76});
        auto mover = animationTrack(*track);

        // First frame: layout and display of everything above.
        driver.runUntilIdle();

        // The model is already at the end; the animation carries the box there from the
        // start, turning it a quarter turn on the way, and the clock is stepped to half time.
        const double startX = 14 + 22, endX = mover->center().x;
        auto slide = ui::BasicAnimation::make("position.x");
        slide->setFromValue(startX);
        slide->setToValue(endX);
        slide->setDuration(1);
        auto turn = ui::BasicAnimation::make("transform.rotation.z");
        turn->setFromValue(0.0);
        turn->setToValue(std::numbers::pi / 2);
        turn->setDuration(1);
        mover->layer()->addAnimation(slide, "slide");
        mover->layer()->addAnimation(turn, "turn");
        driver.step(0.5);

        const gfx::ImageRef frame = driver.frame();
        const std::string path = outDir + "/platform-scene.png";
        if (frame && frame->writePNG(path)) written.push_back(path);
        driver.runUntilIdle();
    }
    gfx::setScreenScale(savedScale);
    return written;
}

} // namespace

OLM_DEMO_PAGE("20-platform", renderPlatformScene);
