#include "platform/graphics/Image.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace gfx {
namespace {
double sanitizedScale(double scale) {
    return std::isfinite(scale) && scale > 0 ? scale : 1.0;
}

// Images may be made on other threads (a data source's work).
std::atomic<std::uint64_t> lastSerialNumber{0};

const cairo_user_data_key_t kPixelsKey{};

// Cairo's limit for image surfaces.
constexpr int kMaxSide = 32767;

// Pixel memory. Buffers of a few megabytes and more (screen-sized snapshots, frame buffers) are
// mapped from the system directly, aligned to huge pages and advised as such where the system
// has them: such a buffer is then a handful of pages, not thousands, to fault in at its first
// touch and for the processor to keep translated while a turned page is read down its columns.
// Mapped memory comes cleared.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

#if defined(__linux__) && defined(MADV_HUGEPAGE)
std::size_t mappedLength(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

void* allocatePixels(std::size_t bytes, bool clear) {
    if (bytes < kHugePage) return clear ? std::calloc(bytes, 1) : std::malloc(bytes);
    const std::size_t length = mappedLength(bytes), span = length + kHugePage;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    // The aligned part is kept; the slack on either side goes back.
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(mapped, aligned - start);
    if (start + span > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), start + span - aligned - length);
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void freePixels(void* pixels, std::size_t bytes) {
    if (bytes < kHugePage)
        std::free(pixels);
    else
        munmap(pixels, mappedLength(bytes));
}
#else
void* allocatePixels(std::size_t bytes, bool clear) {
    return clear ? std::calloc(bytes, 1) : std::malloc(bytes);
}

void freePixels(void* pixels, std::size_t) {
    std::free(pixels);
}
#endif

// Pixels of large images are kept for the next image of the same size when an image goes:
// screen-sized snapshots come and go in pairs with the transitions that show them, and fresh
// memory from the system costs a page fault per page at its first touch, several times what
// clearing warm memory does.
class PixelRecycler {
public:
    static PixelRecycler& shared() {
        static auto* recycler = new PixelRecycler; // never destroyed: images may outlive statics
        return *recycler;
    }

    void* take(std::size_t bytes) {
        if (bytes < kMinBytes) return nullptr;
        const std::lock_guard lock(_mutex);
        const auto it = std::find_if(_kept.begin(), _kept.end(), [&](const Kept& k) { return k.bytes == bytes; });
        if (it == _kept.end()) return nullptr;
        void* pixels = it->pixels;
        _keptBytes -= bytes;
        _kept.erase(it);
        return pixels;
    }

    void give(void* pixels, std::size_t bytes) {
        if (bytes >= kMinBytes && bytes <= kMaxBytes) {
            const std::lock_guard lock(_mutex);
            while (!_kept.empty() && (_kept.size() == kMaxCount || _keptBytes + bytes > kMaxBytes)) {
                _keptBytes -= _kept.front().bytes; // the oldest goes
                freePixels(_kept.front().pixels, _kept.front().bytes);
                _kept.erase(_kept.begin());
            }
            _kept.push_back({pixels, bytes});
            _keptBytes += bytes;
            return;
        }
        freePixels(pixels, bytes);
    }

private:
    struct Kept {
        void* pixels;
        std::size_t bytes;
    };
    static constexpr std::size_t kMinBytes = std::size_t{1} << 20;
    static constexpr std::size_t kMaxBytes = std::size_t{48} << 20;
    static constexpr std::size_t kMaxCount = 4;
    std::mutex _mutex;
    std::vector<Kept> _kept;
    std::size_t _keptBytes = 0;
};

struct Pixels {
    void* data;
    std::size_t bytes;
};

void releasePixels(void* p) {
    const auto* pixels = static_cast<Pixels*>(p);
    PixelRecycler::shared().give(pixels->data, pixels->bytes);
    delete pixels;
}

// An image surface over pixels of our own, cleared or left as they come (for images whose
// every pixel is written at once: copies).
cairo_surface_t* ownedSurface(int w, int h, bool clear) {
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return nullptr;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, w);
    if (stride <= 0) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(h);
    void* data = PixelRecycler::shared().take(bytes);
    if (data != nullptr) {
        if (clear) std::memset(data, 0, bytes);
    } else {
        data = allocatePixels(bytes, clear);
    }
    if (data == nullptr) return nullptr;
    auto* pixels = new Pixels{data, bytes};
    cairo_surface_t* s =
        cairo_image_surface_create_for_data(static_cast<unsigned char*>(data), CAIRO_FORMAT_ARGB32, w, h, stride);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(s, &kPixelsKey, pixels, releasePixels) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        releasePixels(pixels);
        return nullptr;
    }
    return s;
}

bool usable(cairo_surface_t* s) {
    return s && cairo_surface_status(s) == CAIRO_STATUS_SUCCESS &&
           cairo_surface_get_type(s) == CAIRO_SURFACE_TYPE_IMAGE;
}
} // namespace

Image::Image(cairo_surface_t* surface, double scale)
    : _surface(surface), _pixelWidth(cairo_image_surface_get_width(surface)),
      _pixelHeight(cairo_image_surface_get_height(surface)), _stride(cairo_image_surface_get_stride(surface)),
      _scale(scale), _serialNumber(lastSerialNumber.fetch_add(1, std::memory_order_relaxed) + 1) {}

Image::~Image() {
    cairo_surface_destroy(_surface);
}

cairo_surface_t* makePixelSurface(int pixelWidth, int pixelHeight) {
    return ownedSurface(pixelWidth, pixelHeight, true);
}

std::shared_ptr<Image> Image::make(int pixelWidth, int pixelHeight, double scale) {
    if (pixelWidth <= 0 || pixelHeight <= 0) return nullptr;
    cairo_surface_t* s = ownedSurface(pixelWidth, pixelHeight, true);
    if (s == nullptr) return nullptr;
    return std::shared_ptr<Image>(new Image(s, sanitizedScale(scale)));
}

std::shared_ptr<Image> Image::fromSurface(cairo_surface_t* surface, double scale) {
    if (!usable(surface)) return nullptr;
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    if (w <= 0 || h <= 0) return nullptr;
    cairo_surface_t* pixels = ownedSurface(w, h, false);
    if (pixels == nullptr) return nullptr;
    std::shared_ptr<Image> image(new Image(pixels, sanitizedScale(scale)));
    cairo_t* cr = cairo_create(image->_surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(image->_surface);
    return image;
}

std::shared_ptr<Image> Image::takePixels(const ImageRef& image) {
    if (!image || image.use_count() != 1) return nullptr;
    return std::shared_ptr<Image>(new Image(cairo_surface_reference(image->_surface), image->_scale));
}

const std::uint8_t* Image::data() const {
    return cairo_image_surface_get_data(_surface);
}

std::uint8_t* Image::mutableData() {
    cairo_surface_flush(_surface);
    return cairo_image_surface_get_data(_surface);
}

void Image::markDirty() {
    cairo_surface_mark_dirty(_surface);
}

RGBA Image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= _pixelWidth || y >= _pixelHeight) return {};
    const auto* row = data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(_stride);
    const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(row)[x];
    const double a = ((p >> 24) & 0xff) / 255.0;
    if (a == 0) return {};
    auto channel = [&](int shift) { return std::min(1.0, ((p >> shift) & 0xff) / 255.0 / a); };
    return {channel(16), channel(8), channel(0), a};
}

std::shared_ptr<Image> Image::cropped(const Rect& rect) const {
    if (rect.isNull()) return nullptr;
    const Rect r = rect.standardized();
    if (!std::isfinite(r.minX()) || !std::isfinite(r.minY()) || !std::isfinite(r.maxX()) ||
        !std::isfinite(r.maxY()))
        return nullptr;
    // Pixel rectangle, clipped to the image.
    const double x0 = std::max(0.0, std::floor(r.minX() * _scale + 1e-6));
    const double y0 = std::max(0.0, std::floor(r.minY() * _scale + 1e-6));
    const double x1 = std::min<double>(_pixelWidth, std::ceil(r.maxX() * _scale - 1e-6));
    const double y1 = std::min<double>(_pixelHeight, std::ceil(r.maxY() * _scale - 1e-6));
    if (x1 <= x0 || y1 <= y0) return nullptr;
    cairo_surface_t* pixels = ownedSurface(static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), false);
    if (pixels == nullptr) return nullptr;
    std::shared_ptr<Image> out(new Image(pixels, _scale));
    cairo_t* cr = cairo_create(out->_surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, _surface, -x0, -y0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(out->_surface);
    return out;
}

bool Image::writePNG(const std::string& path) const {
    return cairo_surface_write_to_png(_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::shared_ptr<Image> Image::readPNG(const std::string& path) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    std::shared_ptr<Image> image;
    if (usable(s)) {
        if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32) {
            image = std::shared_ptr<Image>(new Image(s, 1.0));
            return image;
        }
        image = fromSurface(s, 1.0);
    }
    cairo_surface_destroy(s);
    return image;
}

} // namespace gfx
