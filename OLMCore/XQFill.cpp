#include "OLMCore/XQFill.h"

#include "platform/graphics/GraphicsContext.h"

#include <cmath>

OLM_DEFINE_CLASS(XQDrawing, rt::Object)
OLM_DEFINE_CLASS(XQFill, XQDrawing)
OLM_DEFINE_CLASS(XQSolidFill, XQFill)
OLM_DEFINE_CLASS(XQStroke, XQDrawing)

void XQFill::drawInContext(gfx::GraphicsContext* context, const gfx::Rect& rect) const {
    if (context == nullptr || rect.isEmpty()) return;
    context->saveGState();
    context->beginPath();
    context->addRect(rect);
    paintPath(*context);
    context->restoreGState();
}

void XQSolidFill::paintPath(gfx::GraphicsContext& context) const {
    context.setFillColor(_color);
    context.fillPath();
}

void XQStroke::init(const gfx::Color& color, gfx::Float width) {
    _color = color;
    _width = std::isfinite(width) && width > 0 ? width : 0;
}

void XQStroke::paintPath(gfx::GraphicsContext& context) const {
    if (_width <= 0) {
        context.beginPath(); // consume the path, paint nothing
        return;
    }
    context.setStrokeColor(_color);
    context.setLineWidth(_width);
    context.strokePath();
}
