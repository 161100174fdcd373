#include "OLMCore/XQShape.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQShape, rt::Object)
OLM_DEFINE_CLASS(XQPredefinedShape, XQShape)

void XQShape::drawInContext(gfx::GraphicsContext* context, gfx::Point center,
                            const Drawings& drawings) const {
    drawInContext(context, center, drawings, 1);
}

void XQShape::drawInContext(gfx::GraphicsContext* context, gfx::Point center, const Drawings& drawings,
                            gfx::Float scale) const {
    const gfx::Float w = _size.width, h = _size.height;
    if (context == nullptr || !(std::isfinite(w) && w > 0 && std::isfinite(h) && h > 0)) return;
    if (!(std::isfinite(scale) && scale > 0) || !std::isfinite(center.x) || !std::isfinite(center.y)) return;
    // A shape wholly outside the clip draws nothing. Strokes keep inside the outline but for
    // their joins, which reach less than their width beyond it; a point more for antialiasing.
    gfx::Float margin = 0;
    for (const auto& drawing : drawings)
        if (drawing) margin = std::max(margin, 2 * drawing->outlineInset());
    margin = margin * scale + 1;
    const gfx::Rect reach(center.x - w * scale / 2 - margin, center.y - h * scale / 2 - margin,
                          w * scale + 2 * margin, h * scale + 2 * margin);
    if (!reach.intersects(context->clipBoundingBox())) return;
    context->saveGState();
    context->translateCTM(center.x, center.y);
    context->scaleCTM(scale, scale);
    const gfx::Rect rect(-w / 2, -h / 2, w, h);
    for (const auto& drawing : drawings) {
        if (!drawing) continue;
        const gfx::Float inset = drawing->outlineInset();
        const gfx::Rect outline = rect.insetBy(inset, inset);
        if (outline.isNull()) continue; // a stroke wider than the shape
        context->beginPath();
        addOutline(*context, outline);
        drawing->paintPath(*context);
    }
    context->restoreGState();
}

void XQPredefinedShape::addOutline(gfx::GraphicsContext& context, const gfx::Rect& r) const {
    switch (_type) {
    case XQPredefinedShapeTypeRectangle:
        context.addRect(r);
        break;
    case XQPredefinedShapeTypeRoundedRectangle: {
        // Quarter circles of a quarter of the shorter side, drawn as cubic curves.
        const gfx::Float rad = std::min(r.width(), r.height()) / 4;
        const gfx::Float k = rad * 0.5522847498; // control distance of a quarter circle
        const gfx::Float x0 = r.minX(), y0 = r.minY(), x1 = r.maxX(), y1 = r.maxY();
        context.moveToPoint({x0 + rad, y0});
        context.addLineToPoint({x1 - rad, y0});
        context.addCurveToPoint({x1 - rad + k, y0}, {x1, y0 + rad - k}, {x1, y0 + rad});
        context.addLineToPoint({x1, y1 - rad});
        context.addCurveToPoint({x1, y1 - rad + k}, {x1 - rad + k, y1}, {x1 - rad, y1});
        context.addLineToPoint({x0 + rad, y1});
        context.addCurveToPoint({x0 + rad - k, y1}, {x0, y1 - rad + k}, {x0, y1 - rad});
        context.addLineToPoint({x0, y0 + rad});
        context.addCurveToPoint({x0, y0 + rad - k}, {x0 + rad - k, y0}, {x0 + rad, y0});
        context.closePath();
        break;
    }
    case XQPredefinedShapeTypeEllipse:
        context.addEllipseInRect(r);
        break;
    case XQPredefinedShapeTypeDiamond:
        context.moveToPoint({r.midX(), r.minY()});
        context.addLineToPoint({r.maxX(), r.midY()});
        context.addLineToPoint({r.midX(), r.maxY()});
        context.addLineToPoint({r.minX(), r.midY()});
        context.closePath();
        break;
    default:
        break; // an unknown type has no outline: painting it draws nothing
    }
}
