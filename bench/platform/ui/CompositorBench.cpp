// Frames at the size of a phone screen (390 x 844 points at scale 3, 1170 x 2532 pixels),
// one thread:
// - compositing a full-screen tree of views under an affine transform (a month-like grid of
//   cells with drawn backing stores, scaled as a zoom leaves it, or scaled and turned);
// - compositing one full-screen image layer turned in perspective about the y axis (a page
//   turn part of the way through), bilinear;
// - the layout and display passes of a tree of 50 labelled views after the first frame:
//   every frame lays the whole tree out again (every row moves, as in a scrolling list)
//   and one label gets a new text; the other labels keep their backing stores.
// - frames by damage: a run-loop turn in which nothing changed; a tap that restyles and
//   redraws two cells of a 42-cell month grid; a full-screen frame composited from 43 valid
//   backing stores placed at whole device pixels (a month switch, once its cells are drawn).
//   Each reports its worst frame; the argument "avx2" caps the pixel loops at AVX2 (1) or not.
// Layout and display are clean before compositing is timed. The first two composite whole
// frames (a tree that does not change would otherwise cost nothing to composite again).

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Host/RunLoop.h"
#include "platform/ui/Label.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include "../../PixelKernelCap.h"
#include "bench/FrameTiming.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr gfx::Size kScreen{390, 844};
constexpr double kScale = 3;

// A view that draws a dot and a ring into its backing store (a day cell, roughly).
class CellView : public ui::View {
public:
    OLM_DECLARE_CLASS(CellView)
    static std::shared_ptr<CellView> make(const gfx::Rect& frame) { return rt::create<CellView>(frame); }
    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect&) override {
        gfx::GraphicsContext* c = gfx::currentContext();
        if (c == nullptr) return;
        const gfx::Rect rect = bounds();
        c->setFillColor(gfx::Color::rgba(0, 0.48, 1, 0.8));
        c->fillEllipseInRect({rect.midX() - 18, rect.midY() - 18, 36, 36});
        c->setStrokeColor(gfx::Color::white(0.2));
        c->strokeEllipseInRect({rect.midX() - 22, rect.midY() - 22, 44, 44});
    }

protected:
    CellView() = default;
    friend class rt::Access;
};
OLM_DEFINE_CLASS(CellView, ui::View)

// Lays out and displays the tree of `root`, as the run loop does before compositing.
void flush(ui::View& root) {
    root.layoutIfNeeded();
    root.layer()->displayTreeIfNeeded();
}

void BM_CompositorFrameAffineViewTree(benchmark::State& state) {
    gfx::setScreenScale(kScale);
    auto root = ui::View::make({{0, 0}, kScreen});
    root->setBackgroundColor(gfx::Color::white(1));
    auto content = ui::View::make({{0, 0}, kScreen});
    content->setBackgroundColor(gfx::Color::white(0.95));
    // Scaled as a zoom leaves it (0), or scaled and turned a little (1).
    content->setTransform(state.range(0) == 0 ? gfx::AffineTransform::makeScale(0.9, 0.9)
                                              : gfx::AffineTransform::makeScale(0.9, 0.9).rotate(0.05));
    root->addSubview(content);
    const double cellW = kScreen.width / 7, cellH = 100;
    for (int i = 0; i < 42; ++i) {
        auto cell = CellView::make({(i % 7) * cellW, 120 + (i / 7) * cellH, cellW, cellH});
        cell->setBackgroundColor(i % 2 ? gfx::Color::white(1) : gfx::Color::white(0.9));
        content->addSubview(cell);
    }
    flush(*root);
    ui::Compositor compositor;
    compositor.setFrameMode(ui::FrameMode::whole);
    for (auto _ : state) {
        compositor.renderFrame(*root->layer(), kScreen, kScale);
        benchmark::DoNotOptimize(compositor.pixels());
    }
}
BENCHMARK(BM_CompositorFrameAffineViewTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CompositorFramePerspectiveImage(benchmark::State& state) {
    auto root = ui::Layer::make();
    root->setFrame({{0, 0}, kScreen});
    root->setBackgroundColor(gfx::Color::white(1));
    const int w = static_cast<int>(kScreen.width * kScale), h = static_cast<int>(kScreen.height * kScale);
    auto image = gfx::Image::make(w, h, kScale);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image->mutableData() + y * image->stride());
        for (int x = 0; x < w; ++x)
            row[x] = 0xFF000000u | static_cast<std::uint32_t>((x ^ y) & 0xFF) << 8;
    }
    image->markDirty();
    auto page = ui::Layer::make();
    page->setFrame({{0, 0}, kScreen});
    page->setContents(image);
    gfx::Transform3D perspective;
    perspective.m34 = -1.0 / 500;
    page->setTransform(gfx::rotate(perspective, std::numbers::pi * state.range(0) / 180, 0, 1, 0));
    root->addSublayer(page);
    ui::Compositor compositor;
    compositor.setFrameMode(ui::FrameMode::whole);
    for (auto _ : state) {
        compositor.renderFrame(*root, kScreen, kScale);
        benchmark::DoNotOptimize(compositor.pixels());
    }
}
BENCHMARK(BM_CompositorFramePerspectiveImage)->Arg(30)->Arg(45)->Arg(60)->Unit(benchmark::kMillisecond);

// The 45° page with the pixel loops capped at AVX2: what an AVX2-only machine runs.
void BM_CompositorFramePerspectiveImageAvx2(benchmark::State& state) {
    const PixelKernelCap cap(true);
    BM_CompositorFramePerspectiveImage(state);
}
BENCHMARK(BM_CompositorFramePerspectiveImageAvx2)->Arg(45)->Unit(benchmark::kMillisecond);

// A list of 50 rows, each a view holding a title and a detail label, laid out by width.
class ListView : public ui::View {
public:
    OLM_DECLARE_CLASS(ListView)
    static std::shared_ptr<ListView> make(const gfx::Rect& frame) { return rt::create<ListView>(frame); }
    std::vector<std::shared_ptr<ui::Label>> titles;
    double offset = 0;
    void layoutSubviews() override {
        const double w = bounds().size.width;
        for (std::size_t i = 0; i < subviews().size(); ++i) {
            const auto& row = subviews()[i];
            row->setFrame({0, offset + 16.0 * static_cast<double>(i), w, 16});
            row->subviews()[0]->setFrame({8, 0, w * 0.6 - 8, 16});
            row->subviews()[1]->setFrame({w * 0.6, 0, 80, 16});
        }
    }

protected:
    ListView() = default;
    void init(const gfx::Rect& frame) {
        View::init(frame);
        for (int i = 0; i < 50; ++i) {
            auto row = ui::View::make();
            auto title = ui::Label::make();
            title->setText("Event " + std::to_string(i) + " in the afternoon");
            title->setFont(gfx::Font::systemFont(12));
            auto detail = ui::Label::make();
            detail->setText(std::to_string(9 + i % 10) + ":00");
            detail->setFont(gfx::Font::systemFont(12));
            row->addSubview(title);
            row->addSubview(detail);
            addSubview(row);
            titles.push_back(title);
        }
    }
    friend class rt::Access;
};
OLM_DEFINE_CLASS(ListView, ui::View)

void BM_LayoutAndDisplay50LabelledViews(benchmark::State& state) {
    gfx::setScreenScale(kScale);
    auto list = ListView::make({{0, 0}, kScreen});
    flush(*list); // the first frame draws every label
    long frame = 0;
    for (auto _ : state) {
        ++frame;
        list->offset = static_cast<double>(frame % 7);
        list->setNeedsLayout();
        list->titles[static_cast<std::size_t>(frame % 50)]->setText("Moved " + std::to_string(frame));
        flush(*list);
    }
}
BENCHMARK(BM_LayoutAndDisplay50LabelledViews)->Unit(benchmark::kMicrosecond);

// A day cell that paints its whole backing store: an opaque tile with a dot, in one of two
// styles (a tap selects it).
class TileView : public ui::View {
public:
    OLM_DECLARE_CLASS(TileView)
    static std::shared_ptr<TileView> make(const gfx::Rect& frame) { return rt::create<TileView>(frame); }
    bool selected = false;
    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect&) override {
        gfx::GraphicsContext* c = gfx::currentContext();
        if (c == nullptr) return;
        const gfx::Rect rect = bounds();
        c->setFillColor(selected ? gfx::Color::rgba(0, 0.48, 1) : gfx::Color::white(0.97));
        c->fillRect(rect);
        c->setFillColor(selected ? gfx::Color::white(1) : gfx::Color::rgba(0, 0.48, 1, 0.8));
        c->fillEllipseInRect({rect.midX() - 18, rect.midY() - 18, 36, 36});
    }

protected:
    TileView() = default;
    friend class rt::Access;
};
OLM_DEFINE_CLASS(TileView, ui::View)

// A full-screen window showing a month grid: a drawn page behind 42 drawn tiles, placed at
// whole device pixels (cell edges rounded to the pixel grid, as a presenter lays them out).
struct MonthWindow {
    std::shared_ptr<ui::Window> window = ui::Window::make({{0, 0}, kScreen});
    std::shared_ptr<TileView> page = TileView::make({{0, 0}, kScreen});
    std::vector<std::shared_ptr<TileView>> tiles;

    MonthWindow() {
        gfx::setScreenScale(kScale);
        window->addSubview(page);
        const auto snap = [](double v) { return std::round(v * kScale) / kScale; };
        for (int i = 0; i < 42; ++i) {
            const double x0 = snap((i % 7) * kScreen.width / 7), x1 = snap((i % 7 + 1) * kScreen.width / 7);
            auto tile = TileView::make({x0, 120.0 + (i / 7) * 100, x1 - x0, 100});
            page->addSubview(tile);
            tiles.push_back(tile);
        }
        window->makeKeyAndVisible();
        ui::RunLoop::main().step();
    }
    ~MonthWindow() { window->orderOut(); }
};

void BM_RunLoopTurnNothingChanged(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) != 0);
    MonthWindow month;
    bench::timeFrames(state, [] { ui::RunLoop::main().step(); });
    state.counters["damaged"] = month.window->compositor().statistics().damagedPixels;
}
BENCHMARK(BM_RunLoopTurnNothingChanged)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMicrosecond);

void BM_FrameAfterTwoCellTap(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) != 0);
    MonthWindow month;
    long taps = 0;
    bench::timeFrames(state, [&] {
        // The tap moves the selection from one cell to the next.
        const auto from = static_cast<std::size_t>(taps % 42), to = static_cast<std::size_t>((taps + 1) % 42);
        ++taps;
        month.tiles[from]->selected = false;
        month.tiles[to]->selected = true;
        month.tiles[from]->setNeedsDisplay();
        month.tiles[to]->setNeedsDisplay();
        ui::RunLoop::main().step();
    });
    const ui::CompositorStatistics& stats = month.window->compositor().statistics();
    state.counters["damaged"] = stats.damagedPixels;
    state.counters["layers"] = static_cast<double>(stats.layersDrawn);
}
BENCHMARK(BM_FrameAfterTwoCellTap)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMicrosecond);

void BM_FrameFrom43CachedBackingStores(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) != 0);
    MonthWindow month;
    long frame = 0;
    bench::timeFrames(state, [&] {
        // The page moves by a device pixel and back: every pixel of the frame changes.
        ui::Transaction::begin();
        ui::Transaction::setDisableActions(true);
        month.page->setFrame({{static_cast<double>(++frame % 2) / kScale, 0}, kScreen});
        ui::Transaction::commit();
        ui::RunLoop::main().step();
    });
    const ui::CompositorStatistics& stats = month.window->compositor().statistics();
    state.counters["damaged"] = stats.damagedPixels;
    state.counters["layers"] = static_cast<double>(stats.layersDrawn);
}
BENCHMARK(BM_FrameFrom43CachedBackingStores)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

} // namespace
