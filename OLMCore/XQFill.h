#pragma once

// What shapes are painted with: fills, which paint the inside of an outline or a rectangle,
// and strokes, which draw along the outline. A shape takes a list of them and paints its
// outline with each in turn (XQShape.h).

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/runtime/Object.h"

namespace gfx {
class GraphicsContext;
}

// The common base of fills and strokes.
class XQDrawing : public rt::Object {
public:
    OLM_DECLARE_CLASS(XQDrawing)

    // Paints the context's current path (and consumes it).
    virtual void paintPath(gfx::GraphicsContext& context) const = 0;
    // How far inside a shape's rectangle the outline must run for this drawing to stay within
    // it (half a stroke's width; 0 for fills).
    virtual gfx::Float outlineInset() const { return 0; }

protected:
    XQDrawing() = default;
};

class XQFill : public XQDrawing {
public:
    OLM_DECLARE_CLASS(XQFill)

    // Fills a rectangle (a null context or an empty rectangle draws nothing).
    void drawInContext(gfx::GraphicsContext* context, const gfx::Rect& rect) const;

protected:
    XQFill() = default;
};

class XQSolidFill : public XQFill {
public:
    OLM_DECLARE_CLASS(XQSolidFill)
    static std::shared_ptr<XQSolidFill> solidFillWithColor(const gfx::Color& color) {
        return rt::create<XQSolidFill>(color);
    }

    const gfx::Color& color() const { return _color; }
    void paintPath(gfx::GraphicsContext& context) const override;

protected:
    friend struct rt::Access;
    XQSolidFill() = default;
    void init(const gfx::Color& color) { _color = color; }

private:
    gfx::Color _color;
};

// A line of one colour and width along a shape's outline, drawn inside the shape's size.
class XQStroke : public XQDrawing {
public:
    OLM_DECLARE_CLASS(XQStroke)
    // A width that is not a positive finite number draws nothing.
    static std::shared_ptr<XQStroke> strokeWithColor(const gfx::Color& color, gfx::Float width = 1) {
        return rt::create<XQStroke>(color, width);
    }

    const gfx::Color& color() const { return _color; }
    gfx::Float width() const { return _width; }
    void paintPath(gfx::GraphicsContext& context) const override;
    gfx::Float outlineInset() const override { return _width / 2; }

protected:
    friend struct rt::Access;
    XQStroke() = default;
    void init(const gfx::Color& color, gfx::Float width);

private:
    gfx::Color _color;
    gfx::Float _width = 1;
};
