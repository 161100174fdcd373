#include "OLMCore/ImageEffects.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"

#include <cmath>

gfx::ImageRef ImageEffects::arrowImageWithSize(gfx::Size size, gfx::EdgeInsets insets, gfx::Float width,
                                               const gfx::Color& color, bool leftDirection) {
    gfx::beginImageContext(size, false, 0);
    gfx::GraphicsContext* context = gfx::currentContext();
    const gfx::Rect r = gfx::insetRect(gfx::Rect({}, size), insets);
    if (context != nullptr && std::isfinite(width) && width > 0 && r.size.width > 0 && r.size.height > 0) {
        // The tip on one side's middle, the two ends on the other side's corners.
        const gfx::Float tipX = leftDirection ? r.minX() : r.maxX();
        const gfx::Float endX = leftDirection ? r.maxX() : r.minX();
        context->beginPath();
        context->moveToPoint({endX, r.minY()});
        context->addLineToPoint({tipX, r.midY()});
        context->addLineToPoint({endX, r.maxY()});
        context->setLineCap(gfx::LineCap::round);
        context->setLineJoin(gfx::LineJoin::round);
        context->setStrokeColor(color);
        context->setLineWidth(width);
        context->strokePath();
    }
    return gfx::endImageContextWithImage();
}
