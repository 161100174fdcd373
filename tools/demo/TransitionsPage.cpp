// The transitions sheet: frames of the scroll, flow and float transitions at a quarter, half
// and three quarters of the way between two sample month pages (forward from November to
// December, backward from December to November), one transition per row, so that a person
// can check each pose by eye. The frames are what the transition view shows
// at that progress (its interactive pose), rendered from its layer tree.

#include "Demo.h"

#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "OLMCalendar/Transitions/XQViewTransitionFlow.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"

#include <functional>
#include <string>

namespace {

using namespace gfx;

constexpr double kPageWidth = 180;
constexpr double kPageHeight = 240;
constexpr double kGap = 16;
constexpr double kLabelWidth = 150;
constexpr double kMargin = 20;
constexpr double kHeaderHeight = 70;
constexpr double kScale = 2;
const double kProgresses[] = {0.25, 0.5, 0.75};

TextAttributes textAttributes(FontRef font, Color color, TextAlignment alignment = TextAlignment::natural) {
    return {std::move(font), color, ParagraphStyle{alignment, LineBreakMode::truncatingTail}};
}

// A month page: a coloured title band with the month's name and a grid of day numbers
// starting on `firstWeekday` (0 Sunday), so that the two pages differ at a glance.
ImageRef samplePage(const char* title, Color band, int firstWeekday, int days) {
    beginImageContext({kPageWidth, kPageHeight}, true, kScale);
    ImageRef image;
    if (GraphicsContext* c = currentContext()) {
        c->setFillColor(colors::white());
        c->fillRect({0, 0, kPageWidth, kPageHeight});
        c->setFillColor(band);
        c->fillRect({0, 0, kPageWidth, 40});
        drawInRect(title, {0, 10, kPageWidth, 22},
                   textAttributes(Font::boldSystemFont(16), colors::white(), TextAlignment::center));
        const double cell = kPageWidth / 7;
        const char* names[] = {"S", "M", "T", "W", "T", "F", "S"};
        for (int i = 0; i < 7; ++i)
            drawInRect(names[i], {i * cell, 46, cell, 14},
                       textAttributes(Font::systemFont(10), colors::gray(), TextAlignment::center));
        for (int day = 1; day <= days; ++day) {
            const int slot = firstWeekday + day - 1;
            const Rect r{(slot % 7) * cell, 64 + (slot / 7) * 28.0, cell, 28};
            if (slot % 7 == 0 || slot % 7 == 6) {
                c->setFillColor(band.withAlpha(0.15));
                c->fillRect(r.insetBy(2, 2));
            }
            drawInRect(std::to_string(day), {r.minX(), r.minY() + 7, r.width(), 16},
                       textAttributes(Font::systemFont(12), colors::black(), TextAlignment::center));
        }
        image = imageFromCurrentImageContext();
    }
    endImageContext();
    return image;
}

struct Row {
    const char* label;
    const char* detail;
    std::function<std::shared_ptr<XQViewTransition>()> make;
    XQViewTransitionDirection direction;
};

std::vector<std::string> renderTransitionsSheet(const std::string& outDir) {
    const ImageRef november = samplePage("November 2026", Color::rgba(0.20, 0.45, 0.85), 0, 30);
    const ImageRef december = samplePage("December 2026", Color::rgba(0.90, 0.45, 0.15), 2, 31);
    const Rect pageFrame{0, 0, kPageWidth, kPageHeight};

    auto scroll = [pageFrame](XQViewTransitionOrientation orientation) {
        return [pageFrame, orientation]() -> std::shared_ptr<XQViewTransition> {
            auto t = XQViewTransitionScroll::make(pageFrame);
            t->setOrientation(orientation);
            return t;
        };
    };
    auto flow = [pageFrame](double offset) {
        return [pageFrame, offset]() -> std::shared_ptr<XQViewTransition> {
            auto t = XQViewTransitionFlow::make(pageFrame);
            t->setOffset(offset);
            return t;
        };
    };
    const std::vector<Row> rows = {
        {"Scroll", "forward, horizontal", scroll(XQViewTransitionOrientationHorizontal),
         XQViewTransitionDirectionForward},
        {"Scroll", "backward, vertical", scroll(XQViewTransitionOrientationVertical),
         XQViewTransitionDirectionBackward},
        {"Flow", "forward, offset 60", flow(60), XQViewTransitionDirectionForward},
        {"Flow", "backward, offset 60", flow(60), XQViewTransitionDirectionBackward},
        {"Float", "forward (zoom in)", [pageFrame] { return XQViewTransitionFloat::make(pageFrame); },
         XQViewTransitionDirectionForward},
        {"Float", "backward (zoom out)", [pageFrame] { return XQViewTransitionFloat::make(pageFrame); },
         XQViewTransitionDirectionBackward},
    };

    const double width = kMargin * 2 + kLabelWidth + 3 * kPageWidth + 2 * kGap;
    const double rowHeight = kPageHeight + kGap + 8;
    const double height = kHeaderHeight + rows.size() * rowHeight + kMargin;
    beginImageContext({width, height}, true, kScale);
    GraphicsContext* c = currentContext();
    if (!c) {
        endImageContext();
        return {};
    }
    c->setFillColor(systemColors::secondarySystemBackground());
    c->fillRect({0, 0, width, height});
    drawAtPoint("View transitions: forward November to December, backward December to November",
                {kMargin, 16}, textAttributes(Font::boldSystemFont(17), systemColors::label()));
    for (int column = 0; column < 3; ++column) {
        const double x = kMargin + kLabelWidth + column * (kPageWidth + kGap);
        drawInRect(
            "progress " + std::to_string(kProgresses[column]).substr(0, 4), {x, 46, kPageWidth, 16},
            textAttributes(Font::systemFont(12), systemColors::secondaryLabel(), TextAlignment::center));
    }

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const double y = kHeaderHeight + i * rowHeight;
        drawAtPoint(row.label, {kMargin, y + kPageHeight / 2 - 20},
                    textAttributes(Font::boldSystemFont(15), systemColors::label()));
        drawAtPoint(row.detail, {kMargin, y + kPageHeight / 2},
                    textAttributes(Font::systemFont(11), systemColors::secondaryLabel()));
        for (int column = 0; column < 3; ++column) {
            const std::shared_ptr<XQViewTransition> transition = row.make();
            // Forward goes on to the next month, backward back to the previous one.
            const bool forward = row.direction == XQViewTransitionDirectionForward;
            transition->beginTransitionFrom(forward ? november : december, forward ? december : november,
                                            row.direction);
            transition->updateTransition(kProgresses[column]);
            const double x = kMargin + kLabelWidth + column * (kPageWidth + kGap);
            c->saveGState();
            c->translateCTM(x, y);
            c->clipToRect(pageFrame);
            transition->layer()->renderInContext(*c);
            c->restoreGState();
            c->setStrokeColor(systemColors::separator());
            c->setLineWidth(1);
            c->strokeRect(Rect{x, y, kPageWidth, kPageHeight}.insetBy(-0.5, -0.5));
        }
    }

    const ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    const std::string path = outDir + "/transitions.png";
    if (!image || !image->writePNG(path)) return {};
    return {path};
}

} // namespace

OLM_DEMO_PAGE("40-transitions", renderTransitionsSheet);
