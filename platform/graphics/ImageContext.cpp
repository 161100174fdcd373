#include "platform/graphics/ImageContext.h"

#include "platform/graphics/Screen.h"

#include <cairo.h>

#include <cmath>
#include <memory>
#include <vector>

namespace gfx {
namespace {

// Cairo's limit for image surfaces.
constexpr double kMaxPixels = 32767;

struct Entry {
    bool isImage = false;
    GraphicsContext* context = nullptr;     // what currentContext() answers
    std::unique_ptr<GraphicsContext> owned; // image contexts own theirs
    std::shared_ptr<Image> image;           // the image drawn into
};

std::vector<Entry>& stack() {
    thread_local std::vector<Entry> entries;
    return entries;
}

// Pixels for a length in points: partial pixels count as whole ones.
int pixelsFor(double points, double scale) {
    const double px = std::ceil(points * scale - 1e-6);
    if (!std::isfinite(px) || px <= 0 || px > kMaxPixels) return 0;
    return static_cast<int>(px);
}

} // namespace

void beginImageContext(Size size, bool opaque, double scale) {
    if (!std::isfinite(scale) || scale <= 0) scale = screenScale();
    Entry entry;
    entry.isImage = true;
    const int w = pixelsFor(size.width, scale);
    const int h = pixelsFor(size.height, scale);
    if (w > 0 && h > 0) entry.image = Image::make(w, h, scale);
    if (entry.image) {
        cairo_t* cr = cairo_create(entry.image->surface());
        if (opaque) {
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
        }
        cairo_scale(cr, scale, scale);
        entry.owned = std::make_unique<GraphicsContext>(cr);
        cairo_destroy(cr); // the context holds its own reference
        entry.context = entry.owned.get();
    }
    stack().push_back(std::move(entry));
}

GraphicsContext* currentContext() {
    return stack().empty() ? nullptr : stack().back().context;
}

ImageRef imageFromCurrentImageContext() {
    if (stack().empty()) return nullptr;
    const Entry& top = stack().back();
    if (!top.isImage || !top.image) return nullptr;
    cairo_surface_flush(top.image->surface());
    return Image::fromSurface(top.image->surface(), top.image->scale());
}

void endImageContext() {
    if (!stack().empty() && stack().back().isImage) stack().pop_back();
}

ImageRef endImageContextWithImage() {
    if (stack().empty() || !stack().back().isImage) return nullptr;
    std::shared_ptr<Image> image = std::move(stack().back().image);
    stack().pop_back(); // the context lets go of the surface first
    if (image) cairo_surface_flush(image->surface());
    return image;
}

void pushContext(GraphicsContext* context) {
    Entry entry;
    entry.context = context;
    stack().push_back(std::move(entry));
}

void popContext() {
    if (!stack().empty() && !stack().back().isImage) stack().pop_back();
}

std::size_t contextStackDepth() {
    return stack().size();
}

} // namespace gfx
