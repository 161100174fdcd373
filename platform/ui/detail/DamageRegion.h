#pragma once

// The device pixels a frame repaints: whole-pixel rectangles inside the frame, merged as they
// are added so that there are never more than `kMaxRects` and a merge wastes little (two
// rectangles are joined when their bounding box is not much larger than the two together;
// past the bound, the pair whose bounding box wastes least is joined). Painting and clearing
// go rectangle by rectangle, so a few rectangles keep the bookkeeping cheaper than the pixels
// it saves.

#include "platform/graphics/Geometry.h"

#include <cstddef>
#include <vector>

typedef struct _cairo cairo_t;

namespace ui::detail {

class DamageRegion {
public:
    static constexpr std::size_t kMaxRects = 8;

    // Empties the region and sets the frame it lies in (device pixels from the origin).
    void reset(int width, int height);
    // Adds the whole pixels `rect` (device space) touches, cut to the frame. Empty, null and
    // non-finite rectangles add nothing.
    void add(const gfx::Rect& rect);
    void addAll() { add({0, 0, double(_width), double(_height)}); }

    bool isEmpty() const { return _rects.empty(); }
    const std::vector<gfx::Rect>& rects() const { return _rects; }
    // The pixels of the rectangles (where they overlap, counted once per rectangle).
    double area() const;
    gfx::Rect bounds() const;

private:
    // Joins rectangles while a join wastes little, then while there are too many.
    void merge();

    int _width = 0;
    int _height = 0;
    std::vector<gfx::Rect> _rects;
};

// Intersects the clip of `cr` with the union of whole-pixel `rects` (device space). Where the
// clip is itself a set of whole-pixel rectangles, the intersection is worked out here, rectangle
// by rectangle: Cairo 1.16 gets that of two many-box clips wrong (one cut to slivers came back
// as whole boxes), and drawing that writes pixels straight into the clip's rectangles would then
// paint past it.
void clipToDeviceRects(cairo_t* cr, const std::vector<gfx::Rect>& rects);

} // namespace ui::detail
