#pragma once

// Draws an image under a 3-D transform with perspective: the pixel engine behind layers that
// are turned in space (page turns, flips). Every target pixel inside the projected quad is
// mapped back into the source plane through the inverse of the plane's homography, sampled
// (bilinear or nearest) and composited source-over with an opacity.
//
// Geometry:
// - The matrix maps source pixel space (x, y, 0, 1) to target pixel space in the row-vector
//   convention of Transform3D, followed by the divide by w. Pixel (i, j) of either image
//   covers [i, i + 1) × [j, j + 1); source coordinates are absolute, not relative to the
//   source rectangle.
// - The quad is clipped at the near plane (w above a small epsilon) before it is projected,
//   so a plane turned past the eye shows only its part in front.
// - A target pixel is drawn when its centre lies inside the projected quad (left and top
//   edges inclusive, so quads sharing an edge never draw a pixel twice). With edge
//   antialiasing, pixels within half a pixel of an edge get partial coverage instead.
// - Samples are clamped to the source rectangle's pixels, so an identity mapping reproduces
//   the image exactly, edges included.
//
// Speed: the general mapping divides by w for every pixel and reads four source pixels
// wherever they lie. Two common cases go faster and give the same pixels (to within one step of
// a channel):
// - an upright image (scaled and moved, w constant) is filtered in two passes, blending
//   neighbouring pixels of each source row it reads (once per row) and then two such rows per
//   target row as it is composited; placed by whole pixels at scale 1 its rows are copied;
// - a turn that keeps vertical lines vertical (about the y axis, seen in perspective) is drawn
//   in tiles, each target column reading one source column at a fixed step per row, with the
//   source rows fetched ahead.
// The pixel loops are built for several vector widths and run on the widest the processor has.
//
// Pixels are premultiplied ARGB32 in native byte order, as Cairo stores them. Target and
// source must not overlap. Nothing is allocated per call and no state is shared (but the
// instruction set cap below), so calls on different targets may run on different threads.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Transform3D.h"

#include <array>
#include <cstdint>

typedef struct _cairo_surface cairo_surface_t;

namespace gfx {

class Image;

// Writable premultiplied ARGB32 pixels: rows `strideBytes` apart (a positive multiple of 4
// of at least 4 × width). `opaque` says the alpha bytes carry nothing (Cairo's RGB24): read
// as a source, every pixel is then fully opaque. As a target, its first pixel lies at
// (originX, originY) of the space the matrix and the clip are in: a part of a larger image
// drawn on its own gets the pixels that image would get there, to the last step.
struct PixelBuffer {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int strideBytes = 0;
    bool opaque = false;
    int originX = 0;
    int originY = 0;
};

// Readable premultiplied ARGB32 pixels, as PixelBuffer.
struct ConstPixelBuffer {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int strideBytes = 0;
    bool opaque = false;

    ConstPixelBuffer() = default;
    ConstPixelBuffer(const std::uint32_t* p, int w, int h, int stride, bool isOpaque = false)
        : pixels(p), width(w), height(h), strideBytes(stride), opaque(isOpaque) {}
    ConstPixelBuffer(const PixelBuffer& b)
        : ConstPixelBuffer(b.pixels, b.width, b.height, b.strideBytes, b.opaque) {}
};

// The pixels of an image, and of a Cairo image surface (ARGB32 or RGB24; anything else, or a
// surface in an error state, gives an empty buffer). The surface variant flushes Cairo's
// pending drawing first; after writing into it call cairo_surface_mark_dirty.
ConstPixelBuffer pixelsOf(const Image& image);
PixelBuffer pixelsOf(cairo_surface_t* surface);

enum class SamplingFilter { Bilinear, Nearest };

// A colour laid over the image in the image's own plane before it is mapped, as a shading
// layer over a page is: each source point is covered by the colour with
// clamp(a0 + ax·x + ay·y, min, max) × the colour's alpha, x and y in source pixels. A solid
// shade has ax = ay = 0; an axial gradient between two alphas of one colour is affine along its
// axis and clamped at its ends. Mapping image and overlay in one pass gives what mapping the
// image with the overlay painted on it gives, to within two steps of a channel.
struct ProjectionOverlay {
    Color color;
    Float a0 = 0, ax = 0, ay = 0;
    Float min = 0, max = 1;
};

struct ProjectionOptions {
    SamplingFilter filter = SamplingFilter::Bilinear;
    // False culls the quad when its projection faces away (its winding is reversed).
    bool doubleSided = true;
    bool edgeAntialiasing = false;
};

// A 4 × 4 matrix in row-major order (m11, m12, m13, m14, m21, …, m44), as Transform3D::rows().
using Matrix4x4 = std::array<Float, 16>;

// Draws `sourceRect` of `source` (clipped to the image) into `target` under `matrix`, with
// `opacity` (clamped to [0, 1]), touching only pixels whose centres lie in `clip` (target
// pixels; clipped to the target), with `overlay` (when given) laid over the image. Returns whether the quad covered any target pixel. Draws
// nothing for empty or malformed buffers, sources larger than 32767 pixels either way (Cairo's
// limit), a non-finite matrix or opacity, a quad that is edge-on, wholly behind the eye, or
// culled as a back face.
bool drawImageProjected(const PixelBuffer& target, const Rect& clip, const ConstPixelBuffer& source,
                        const Rect& sourceRect, const Matrix4x4& matrix, Float opacity,
                        const ProjectionOptions& options = {}, const ProjectionOverlay* overlay = nullptr);
bool drawImageProjected(const PixelBuffer& target, const Rect& clip, const ConstPixelBuffer& source,
                        const Rect& sourceRect, const Transform3D& transform, Float opacity,
                        const ProjectionOptions& options = {}, const ProjectionOverlay* overlay = nullptr);
// Into a Cairo image surface (ARGB32 or RGB24), which is flushed before and marked dirty after.
bool drawImageProjected(cairo_surface_t* target, const Rect& clip, const Image& source,
                        const Rect& sourceRect, const Transform3D& transform, Float opacity,
                        const ProjectionOptions& options = {});

// The vector instruction sets the pixel loops are built for. They run on the widest the
// processor has; all of them give the same pixels.
enum class PixelKernels { Portable, Avx2, Avx512 };
// Caps the instruction set used from now on (tests and benchmarks compare them) and returns the
// one then in use. Not meant to be changed while other threads draw.
PixelKernels usePixelKernels(PixelKernels widest);

// The bounding box, in target space, of `sourceRect` under `matrix` after near-plane clipping:
// drawImageProjected touches only pixels within it, grown by one pixel on every side with edge
// antialiasing. Null when nothing of the quad lies in front of the eye or the matrix is not
// finite.
Rect projectedBounds(const Rect& sourceRect, const Matrix4x4& matrix);

} // namespace gfx
