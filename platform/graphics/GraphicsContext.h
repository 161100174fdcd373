#pragma once

// A drawing context over Cairo with the toolkit's model: a graphics state (fill and stroke
// colour, global alpha, line width and style, CTM, clip) saved and restored as a whole, one
// current path that fill and stroke consume, and coordinates in points with the origin at the
// top left and y growing downwards (the CTM carries the pixel scale).
//
// Colours are kept as `gfx::Color` and resolved through the current appearance when a
// drawing operation runs. Bad input (non-finite numbers, empty shapes, a CTM made singular by
// a zero scale) draws nothing and never puts the Cairo context into an error state.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <vector>

typedef struct _cairo cairo_t;

namespace gfx {

enum class LineCap : int { butt = 0, round = 1, square = 2 };
enum class LineJoin : int { miter = 0, round = 1, bevel = 2 };

// Options of drawLinearGradient: without them nothing is painted before the start point or
// after the end point; with them the end colours extend over the rest of the clip.
using GradientDrawingOptions = unsigned;
inline constexpr GradientDrawingOptions GradientDrawsBeforeStartLocation = 1;
inline constexpr GradientDrawingOptions GradientDrawsAfterEndLocation = 2;

class GraphicsContext {
public:
    // Draws through `cr` (a reference is taken and released on destruction). The current
    // Cairo matrix becomes the base CTM.
    explicit GraphicsContext(cairo_t* cr);
    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    // The Cairo context, for code that draws with Cairo directly: keep such calls between
    // cairo_save and cairo_restore so the state mirrored here stays right. What is drawn so is
    // not seen: from then on every pixel counts as drawn (`drawnPixels`).
    cairo_t* cairo() {
        _drawnEverywhere = true;
        return _cr;
    }
    // The Cairo context, for drawing that stays inside `area` (user space, now), which counts
    // as drawn.
    cairo_t* cairoDrawingIn(const Rect& area);

    // The device pixels drawn so far (every pixel an operation may have touched, within the
    // clip): what a backing store drawn through this context must clear before it is drawn
    // again. Null when nothing was drawn; the whole clip's pixels once `cairo()` was asked for.
    Rect drawnPixels() const;

    void saveGState();
    // Does nothing without a matching save.
    void restoreGState();

    // Each applies the new transform before the current CTM (in user space).
    void translateCTM(Float tx, Float ty);
    void scaleCTM(Float sx, Float sy);
    void rotateCTM(Float angle);
    void concatCTM(const AffineTransform& t);
    AffineTransform ctm() const { return _state.ctm; }
    // False while the CTM is singular or not finite: every drawing operation is skipped.
    bool canDraw() const { return _state.drawable; }

    void setFillColor(const Color& color) { _state.fill = color; }
    void setStrokeColor(const Color& color) { _state.stroke = color; }
    Color fillColor() const { return _state.fill; }
    Color strokeColor() const { return _state.stroke; }
    // Multiplies everything drawn; clamped to 0...1, non-finite values are ignored.
    void setAlpha(Float alpha);
    Float alpha() const { return _state.alpha; }
    // Negative or non-finite widths are ignored.
    void setLineWidth(Float width);
    Float lineWidth() const;
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);
    void setShouldAntialias(bool antialias);

    void fillRect(const Rect& rect);
    void strokeRect(const Rect& rect);
    // Makes the rectangle transparent (within the clip).
    void clearRect(const Rect& rect);
    void fillEllipseInRect(const Rect& rect);
    void strokeEllipseInRect(const Rect& rect);

    // Path building. Points are in user space at the time they are added.
    void beginPath();
    void moveToPoint(Point p);
    // A line needs a current point; without one it starts the subpath there.
    void addLineToPoint(Point p);
    void addCurveToPoint(Point control1, Point control2, Point end);
    void addQuadCurveToPoint(Point control, Point end);
    // An arc around `center`; `clockwise` as seen on screen (y down). Angles in radians.
    void addArc(Point center, Float radius, Float startAngle, Float endAngle, bool clockwise);
    void addRect(const Rect& rect);
    void addRoundedRect(const Rect& rect, Float cornerRadius);
    void addEllipseInRect(const Rect& rect);
    void closePath();
    bool isPathEmpty() const;
    // Fill (non-zero winding or even-odd) and stroke consume the current path.
    void fillPath();
    void eoFillPath();
    void strokePath();
    // Fills, then strokes the same path, then clears it.
    void fillAndStrokePath();

    // Intersects the clip with the rectangle / with the current path (which is consumed).
    void clipToRect(const Rect& rect);
    void clip();
    // The smallest rectangle (user space, now) that holds the clip.
    Rect clipBoundingBox() const;

    // Draws the image stretched into `rect` (upright: the image's top row at the rect's top).
    void drawImage(const ImageRef& image, const Rect& rect);

    // A linear gradient over the whole clip from `start` (location 0) to `end` (location 1).
    // `locations` (each 0...1) pairs with `colors`; when the counts differ the colours are
    // spread evenly. Nothing is drawn without colours or when start and end coincide.
    void drawLinearGradient(const std::vector<Color>& colors, const std::vector<Float>& locations,
                            Point start, Point end, GradientDrawingOptions options = 0);

private:
    struct State {
        Color fill = Color::white(0);
        Color stroke = Color::white(0);
        Float alpha = 1;
        AffineTransform ctm;
        bool drawable = true;
    };

    void applyTransform(const AffineTransform& t);
    // Counts the user-space box `x0, y0, x1, y1` (within the clip) as drawn.
    void noteDrawn(double x0, double y0, double x1, double y1);
    // Counts the current path as drawn, filled (`reach` 0) or stroked that far beyond it.
    void noteDrawnPath(double reach);
    void noteStroke();
    void setSource(const Color& color);
    void fillWith(bool evenOdd);
    bool fillSmallEllipse(const Rect& rect);
    void addEllipse(const Rect& rect);

    cairo_t* _cr;
    State _state;
    Rect _drawn = Rect::null(); // device space
    bool _drawnEverywhere = false;
    std::vector<State> _saved;
};

} // namespace gfx
