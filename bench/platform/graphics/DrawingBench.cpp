// Drawing a month grid the way day cells draw themselves: 7 x 6 cells, each with a filled
// shape behind its day number, the number, and three event dots, at scale 3 into a
// 1170 x 2532 pixel image (a 390 x 844 point screen).

#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace gfx;

constexpr Size kScreen{390, 844};
constexpr double kScale = 3;

void drawGrid(GraphicsContext& c) {
    static const TextAttributes numberAttributes{
        Font::systemFont(19), systemColors::label(),
        ParagraphStyle{TextAlignment::center, LineBreakMode::truncatingTail}};
    static const std::string numbers[] = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11",
                                          "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22",
                                          "23", "24", "25", "26", "27", "28", "29", "30", "31"};
    const double cellW = kScreen.width / 7, cellH = 100, top = 120;
    const double lineHeight = numberAttributes.font->lineHeight();
    for (int i = 0; i < 42; ++i) {
        const Rect cell{(i % 7) * cellW, top + (i / 7) * cellH, cellW, cellH};
        const double side = 36;
        c.setFillColor(i == 17 ? systemColors::systemBlue() : systemColors::systemGray5());
        c.fillEllipseInRect({cell.midX() - side / 2, cell.midY() - side / 2, side, side});
        drawInRect(c, AttributedString(numbers[i % 31], numberAttributes),
                   {cell.minX(), cell.midY() - lineHeight / 2, cell.width(), lineHeight});
        const Color dots[] = {systemColors::systemRed(), systemColors::systemGreen(),
                              systemColors::systemOrange()};
        for (int d = 0; d < 3; ++d) {
            c.setFillColor(dots[d]);
            c.fillEllipseInRect({cell.midX() - 8 + d * 6, cell.maxY() - 8, 4, 4});
        }
    }
}

// The grid alone, into a context made once (fonts and layouts warm).
void BM_DrawMonthGrid(benchmark::State& state) {
    beginImageContext(kScreen, false, kScale);
    GraphicsContext* c = currentContext();
    drawGrid(*c);
    for (auto _ : state) {
        drawGrid(*c);
        benchmark::ClobberMemory();
    }
    endImageContext();
}
BENCHMARK(BM_DrawMonthGrid)->Unit(benchmark::kMillisecond);

// A whole frame: a new image context, a background, the grid, the image taken out.
void BM_DrawMonthGridFrame(benchmark::State& state) {
    for (auto _ : state) {
        beginImageContext(kScreen, true, kScale);
        GraphicsContext* c = currentContext();
        c->setFillColor(systemColors::systemBackground());
        c->fillRect({{0, 0}, kScreen});
        drawGrid(*c);
        benchmark::DoNotOptimize(imageFromCurrentImageContext());
        endImageContext();
    }
}
BENCHMARK(BM_DrawMonthGridFrame)->Unit(benchmark::kMillisecond);

// Measuring a day number once its layout is cached.
void BM_SizeOfDayNumber(benchmark::State& state) {
    const TextAttributes attributes{Font::systemFont(19), {}, {}};
    for (auto _ : state)
        benchmark::DoNotOptimize(sizeWithAttributes("28", attributes));
}
BENCHMARK(BM_SizeOfDayNumber);

} // namespace
