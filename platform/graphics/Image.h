#pragma once

// Immutable bitmaps at a scale. Pixels are 32-bit premultiplied ARGB in native byte order,
// exactly as Cairo's image surfaces store them, so an image can be drawn (`surface()`) or
// handed to a pixel mapper without conversion. The size in points is the pixel size divided
// by the scale. Images are shared through `ImageRef` (a layer's contents, a snapshot).

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace gfx {

class Image;
using ImageRef = std::shared_ptr<const Image>;

class Image {
public:
    // A transparent image of the given pixel size. Null when a dimension is not above zero
    // or the pixels cannot be allocated. A scale that is not finite or not above zero is 1.
    // The result is writable (`mutableData`) until it is shared as an ImageRef.
    static std::shared_ptr<Image> make(int pixelWidth, int pixelHeight, double scale = 1);
    // A copy of an image surface's pixels (any pixel format is converted to ARGB32). Null for
    // a null surface, one in an error state, one that is not an image surface, or an empty one.
    static std::shared_ptr<Image> fromSurface(cairo_surface_t* surface, double scale = 1);
    // The pixels of `image` for a new image to be drawn over, when `image` is their only
    // holder: a writable image with a new serial number over the same pixels, as they are.
    // The caller then gives `image` up (its pixels are no longer its own). Null when anything
    // else holds `image`, which stays untouched.
    static std::shared_ptr<Image> takePixels(const ImageRef& image);

    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    Size size() const { return {_pixelWidth / _scale, _pixelHeight / _scale}; }
    double scale() const { return _scale; }
    int pixelWidth() const { return _pixelWidth; }
    int pixelHeight() const { return _pixelHeight; }
    // Bytes per row.
    int stride() const { return _stride; }
    const std::uint8_t* data() const;
    // For the maker of the image, before it is shared: the pixels to write. Call
    // `markDirty()` when done so that Cairo sees the new pixels.
    std::uint8_t* mutableData();
    void markDirty();

    // The pixels as a Cairo image surface, to paint from (a source pattern). Owned by the image.
    cairo_surface_t* surface() const { return _surface; }

    // A number no other image made by this process has: what tells a new image from one
    // freed before it at the same address.
    std::uint64_t serialNumber() const { return _serialNumber; }

    // The pixel rectangle outside which every pixel is transparent, as the maker of the image
    // knows it (it may be larger than the pixels drawn; empty: every pixel is transparent);
    // null when not known.
    const Rect& inkBounds() const { return _inkBounds; }
    // For the maker, before the image is shared.
    void setInkBounds(const Rect& pixels) { _inkBounds = pixels; }

    // The pixel at (x, y), unpremultiplied, components as fractions; transparent black outside.
    RGBA pixel(int x, int y) const;

    // The part of the image under `rect` (in points), as a new image at the same scale;
    // the rectangle is clipped to the image. Null when nothing of the image lies under it.
    std::shared_ptr<Image> cropped(const Rect& rect) const;

    bool writePNG(const std::string& path) const;
    // Null when the file cannot be read or is not a PNG; the image has scale 1.
    static std::shared_ptr<Image> readPNG(const std::string& path);

private:
    Image(cairo_surface_t* surface, double scale);

    cairo_surface_t* _surface;
    int _pixelWidth;
    int _pixelHeight;
    int _stride;
    double _scale;
    std::uint64_t _serialNumber;
    Rect _inkBounds = Rect::null();
};

// A cleared ARGB32 image surface over pixels allocated as images' are (large ones mapped as huge
// pages and recycled), for buffers drawn into frame after frame: a compositor's frame buffer and
// scratch images. The caller owns the surface (cairo_surface_destroy). Null when a dimension is
// not above zero or the pixels cannot be allocated.
cairo_surface_t* makePixelSurface(int pixelWidth, int pixelHeight);

} // namespace gfx
