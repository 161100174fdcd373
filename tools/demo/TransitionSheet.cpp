// What the transition sheets share: the sheet itself, carrying pages of the real month view
// over: one transition per row, its frames at a quarter, half and three quarters of the way,
// each reached as a swipe reaches it (by small steps from 0) and drawn with the
// transition lying in a host view that has the calendar's background, which shows wherever
// the pages move or turn away.

#include "Demo.h"

#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"

#include <string>

namespace olm::demo {

using namespace gfx;

TextAttributes textAttributes(FontRef font, Color color, TextAlignment alignment) {
    return {std::move(font), color, ParagraphStyle{alignment, LineBreakMode::truncatingTail}};
}

namespace {
constexpr double kGap = 16;
constexpr double kLabelWidth = 150;
constexpr double kMargin = 20;
constexpr double kHeaderHeight = 70;
constexpr double kSheetScale = 2;
constexpr double kProgresses[] = {0.25, 0.5, 0.75};

// The transition at `progress`, reached by updates in steps of 0.05 from 0, drawn into `c` at
// the origin over the calendar's background.
void drawFrame(GraphicsContext& c, const TransitionSheetRow& row, double progress, const ImageRef& november,
               const ImageRef& december) {
    const Rect frame{{0, 0}, kSamplePageSize};
    auto host = ui::View::make(frame);
    host->setBackgroundColor(systemColorOr(systemColors::systemBackground(), colors::white()));
    const std::shared_ptr<XQViewTransition> transition = row.make(frame);
    transition->setOrientation(row.orientation);
    host->addSubview(transition);
    host->layoutIfNeeded();
    // Forward goes on to the next month, backward back to the previous one.
    const bool forward = row.direction == XQViewTransitionDirectionForward;
    transition->beginTransitionFrom(forward ? november : december, forward ? december : november, row.direction);
    for (int step = 0; step * 0.05 < progress - 1e-9; ++step)
        transition->updateTransition(step * 0.05);
    transition->updateTransition(progress);
    c.saveGState();
    c.clipToRect(frame);
    host->layer()->renderInContext(c);
    c.restoreGState();
}
} // namespace

std::vector<std::string> renderTransitionSheet(const std::string& path, const std::string& title,
                                               const std::vector<TransitionSheetRow>& rows,
                                               const std::string& liveTitle, const std::vector<LiveFrame>& live) {
    const ImageRef november = monthViewPage(11, kSheetScale);
    const ImageRef december = monthViewPage(12, kSheetScale);
    const double pageWidth = kSamplePageSize.width, pageHeight = kSamplePageSize.height;
    const double width = kMargin * 2 + kLabelWidth + 3 * pageWidth + 2 * kGap;
    const double rowHeight = pageHeight + kGap + 8;
    const double rowsBottom = kHeaderHeight + static_cast<double>(rows.size()) * rowHeight;
    // The live frames at half size, each with its caption under it.
    const Size liveSize{195, 422};
    const double liveTop = rowsBottom + 40;
    const double height = (live.empty() ? rowsBottom : liveTop + liveSize.height + 24) + kMargin;
    beginImageContext({width, height}, true, kSheetScale);
    GraphicsContext* c = currentContext();
    if (!c) {
        endImageContext();
        return {};
    }
    c->setFillColor(systemColors::secondarySystemBackground());
    c->fillRect({0, 0, width, height});
    drawAtPoint(title, {kMargin, 16}, textAttributes(Font::boldSystemFont(17), systemColors::label()));
    for (int column = 0; column < 3; ++column) {
        const double x = kMargin + kLabelWidth + column * (pageWidth + kGap);
        drawInRect("progress " + std::to_string(kProgresses[column]).substr(0, 4), {x, 46, pageWidth, 16},
                   textAttributes(Font::systemFont(12), systemColors::secondaryLabel(), TextAlignment::center));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TransitionSheetRow& row = rows[i];
        const double y = kHeaderHeight + static_cast<double>(i) * rowHeight;
        drawAtPoint(row.label, {kMargin, y + pageHeight / 2 - 20},
                    textAttributes(Font::boldSystemFont(15), systemColors::label()));
        drawAtPoint(row.detail, {kMargin, y + pageHeight / 2},
                    textAttributes(Font::systemFont(11), systemColors::secondaryLabel()));
        for (int column = 0; column < 3; ++column) {
            const double x = kMargin + kLabelWidth + column * (pageWidth + kGap);
            c->saveGState();
            c->translateCTM(x, y);
            drawFrame(*c, row, kProgresses[column], november, december);
            c->restoreGState();
            c->setStrokeColor(systemColors::separator());
            c->setLineWidth(1);
            c->strokeRect(Rect{x, y, pageWidth, pageHeight}.insetBy(-0.5, -0.5));
        }
    }
    if (!live.empty())
        drawAtPoint(liveTitle, {kMargin, rowsBottom + 8}, textAttributes(Font::boldSystemFont(17), systemColors::label()));
    for (std::size_t i = 0; i < live.size(); ++i) {
        const Rect frame{{kMargin + static_cast<double>(i) * (liveSize.width + kGap), liveTop}, liveSize};
        if (live[i].image) c->drawImage(live[i].image, frame);
        c->setStrokeColor(systemColors::separator());
        c->setLineWidth(1);
        c->strokeRect(frame.insetBy(-0.5, -0.5));
        drawInRect(live[i].caption, {frame.minX(), frame.maxY() + 4, frame.width(), 16},
                   textAttributes(Font::systemFont(12), systemColors::secondaryLabel(), TextAlignment::center));
    }
    const ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    if (!image || !image->writePNG(path)) return {};
    return {path};
}

} // namespace olm::demo
