#pragma once

// Helpers of the ui tests: views that record their hooks, a view that draws a solid colour,
// and snapshots of layer trees read back as 8-bit pixels.

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/GraphicsTestSupport.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ui::test {

using Log = std::vector<std::string>;

// Logs every tree, layout, display and touch hook as "<name>.<hook>[:<argument name>]".
class RecordingView : public View {
public:
    OLM_DECLARE_CLASS(RecordingView)
    static std::shared_ptr<RecordingView> make(std::string name, Log* log, gfx::Rect frame = {}) {
        return rt::create<RecordingView>(std::move(name), log, frame);
    }

    std::string name;
    Log* log = nullptr;
    int layoutCount = 0;
    int drawCount = 0;
    gfx::Rect drawnRect = gfx::Rect::null(); // what the last drawRect was given
    bool draws = false;
    gfx::Color fill = gfx::Color::rgba(1, 0, 0);

    void willMoveToSuperview(View* v) override { record("willMoveToSuperview", v); }
    void didMoveToSuperview() override { record("didMoveToSuperview", superview()); }
    void willMoveToWindow(View* v) override { record("willMoveToWindow", v); }
    void didMoveToWindow() override { record("didMoveToWindow", window()); }
    void didAddSubview(View* v) override { record("didAddSubview", v); }
    void willRemoveSubview(View* v) override { record("willRemoveSubview", v); }
    void layoutSubviews() override {
        ++layoutCount;
        record("layoutSubviews");
    }
    bool drawsContent() const override { return draws; }
    void drawRect(const gfx::Rect& rect) override {
        ++drawCount;
        drawnRect = rect;
        if (gfx::GraphicsContext* c = gfx::currentContext()) {
            c->setFillColor(fill);
            c->fillRect(rect);
        }
    }
    void touchesBegan(const TouchSet& touches, Event* event) override {
        record("touchesBegan");
        if (!handlesTouches) View::touchesBegan(touches, event);
    }
    void touchesEnded(const TouchSet& touches, Event* event) override {
        record("touchesEnded");
        if (!handlesTouches) View::touchesEnded(touches, event);
    }
    bool handlesTouches = false;

protected:
    RecordingView() = default;
    void init(std::string n, Log* l, gfx::Rect frame) {
        name = std::move(n);
        log = l;
        View::init(frame);
    }
    friend class rt::Access;

private:
    void record(const char* hook, const View* argument) {
        if (log == nullptr) return;
        std::string entry = name + "." + hook;
        if (argument != nullptr) {
            const auto* r = dynamic_cast<const RecordingView*>(argument);
            entry += ":" + (r != nullptr ? r->name : std::string("?"));
        }
        log->push_back(entry);
    }
    void record(const char* hook) { record(hook, nullptr); }
};

class Window : public RecordingView {
public:
    static std::shared_ptr<Window> make(std::string name, Log* log, gfx::Rect frame) {
        return rt::create<Window>(std::move(name), log, frame);
    }
    bool isWindow() const override { return true; }

protected:
    Window() = default;
    friend class rt::Access;
};

// Renders `layer` (flushing its pending work) into a transparent image.
inline gfx::ImageRef snapshot(Layer& layer, gfx::Size size, double scale = 1) {
    return gfx::test::render(size, scale, [&](gfx::GraphicsContext& c) { layer.renderInContext(c); });
}

using gfx::test::pixel8;
using gfx::test::Pixel8;

inline bool near(const Pixel8& a, const Pixel8& b, int tolerance = 2) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

inline void expectPointNear(gfx::Point a, gfx::Point b, double eps = 1e-9) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
}

inline void expectRectNear(const gfx::Rect& a, const gfx::Rect& b, double eps = 1e-9) {
    expectPointNear(a.origin, b.origin, eps);
    EXPECT_NEAR(a.size.width, b.size.width, eps);
    EXPECT_NEAR(a.size.height, b.size.height, eps);
}

// A layer of `frame` filled with `color`.
inline std::shared_ptr<Layer> solid(gfx::Rect frame, gfx::Color color) {
    auto l = Layer::make();
    l->setFrame(frame);
    l->setBackgroundColor(color);
    return l;
}

// The perspective of a page seen from `eyeDistance` points away (500, as the transitions
// use it).
inline gfx::Transform3D perspective(double eyeDistance = 500) {
    gfx::Transform3D p;
    p.m34 = -1.0 / eyeDistance;
    return p;
}

inline constexpr Pixel8 red{255, 0, 0, 255};
inline constexpr Pixel8 green{0, 255, 0, 255};
inline constexpr Pixel8 blue{0, 0, 255, 255};
inline constexpr Pixel8 white{255, 255, 255, 255};
inline constexpr Pixel8 yellow{255, 255, 0, 255};
inline constexpr Pixel8 clear{0, 0, 0, 0};

} // namespace ui::test
