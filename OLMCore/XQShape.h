#pragma once

// Shapes drawn behind cell text and as event markers: an outline of a given size, centred on
// a point, painted with a list of fills and strokes in order.

#include "OLMCore/XQFill.h"

#include <vector>

class XQShape : public rt::Object {
public:
    OLM_DECLARE_CLASS(XQShape)

    // Fills and strokes, painted in order (fills first, by convention); nulls are skipped.
    using Drawings = std::vector<std::shared_ptr<const XQDrawing>>;

    gfx::Size size() const { return _size; }
    void setSize(gfx::Size size) { _size = size; }

    // Draws the shape at its size centred on `center`. A null context, a size without area
    // (zero, negative or not finite) or an empty list draws nothing.
    void drawInContext(gfx::GraphicsContext* context, gfx::Point center, const Drawings& drawings) const;
    // The same, the whole drawing (outline and stroke widths) scaled about `center`; a scale
    // that is not a positive finite number draws nothing.
    void drawInContext(gfx::GraphicsContext* context, gfx::Point center, const Drawings& drawings,
                       gfx::Float scale) const;

protected:
    XQShape() = default;
    // Adds the shape's outline, fitted to `rect`, to the context's path.
    virtual void addOutline(gfx::GraphicsContext& context, const gfx::Rect& rect) const = 0;

private:
    gfx::Size _size;
};

// The stock shapes by type number.
using XQPredefinedShapeType = long;
constexpr XQPredefinedShapeType XQPredefinedShapeTypeRectangle = 0;
constexpr XQPredefinedShapeType XQPredefinedShapeTypeRoundedRectangle = 1;
// The event dot and the selection disc behind a day number: an ellipse filling the size, a
// circle when the size is square (the cells make it square).
constexpr XQPredefinedShapeType XQPredefinedShapeTypeEllipse = 2;
constexpr XQPredefinedShapeType XQPredefinedShapeTypeDiamond = 3;

class XQPredefinedShape : public XQShape {
public:
    OLM_DECLARE_CLASS(XQPredefinedShape)
    // A type outside the list above makes a shape that draws nothing.
    static std::shared_ptr<XQPredefinedShape> shapeWithType(XQPredefinedShapeType type, gfx::Size size) {
        return rt::create<XQPredefinedShape>(type, size);
    }

    XQPredefinedShapeType type() const { return _type; }

protected:
    friend struct rt::Access;
    XQPredefinedShape() = default;
    void init(XQPredefinedShapeType type, gfx::Size size) {
        _type = type;
        setSize(size);
    }
    void addOutline(gfx::GraphicsContext& context, const gfx::Rect& rect) const override;

private:
    XQPredefinedShapeType _type = XQPredefinedShapeTypeEllipse;
};
