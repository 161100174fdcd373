#include "platform/ui/ImageView.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

namespace ui {

OLM_DEFINE_CLASS(ImageView, View)

namespace {

// The backing layer: its contents placed by the owning view's content mode instead of
// stretched over the bounds.
class PlacedContentsLayer : public Layer {
public:
    OLM_DECLARE_CLASS(PlacedContentsLayer)
    static std::shared_ptr<PlacedContentsLayer> make() { return rt::create<PlacedContentsLayer>(); }

    void drawOwnContent(gfx::GraphicsContext& context, const LayerState& state) const override {
        if (!state.contents) return;
        context.drawImage(state.contents, placement(state));
    }

    // The renderer maps a single contents image straight onto a 3-D plane only when it is
    // stretched over the bounds; an image placed otherwise goes through the general path.
    int ownContentDrawingCount(const LayerState& state) const override {
        if (!state.contents) return 0;
        return placement(state) == state.bounds ? 1 : 2;
    }

protected:
    PlacedContentsLayer() = default;
    friend class rt::Access;

private:
    gfx::Rect placement(const LayerState& state) const {
        const auto* view = dynamic_cast<const View*>(delegate());
        const ViewContentMode mode = view != nullptr ? view->contentMode() : ViewContentModeScaleToFill;
        return ImageView::placeImage(state.contents->size(), state.bounds, mode);
    }
};

OLM_DEFINE_CLASS(PlacedContentsLayer, Layer)

} // namespace

void ImageView::init(gfx::ImageRef image) {
    init(image ? gfx::Rect{{0, 0}, image->size()} : gfx::Rect{});
    setImage(std::move(image));
}

void ImageView::init(const gfx::Rect& frame) {
    View::init(frame);
    setUserInteractionEnabled(false);
}

std::shared_ptr<Layer> ImageView::makeBackingLayer() const {
    return PlacedContentsLayer::make();
}

void ImageView::setImage(gfx::ImageRef image) {
    _image = std::move(image);
    layer()->setContents(_image);
}

gfx::Size ImageView::sizeThatFits(gfx::Size) const {
    return _image ? _image->size() : gfx::Size{};
}

gfx::Rect ImageView::placeImage(gfx::Size image, const gfx::Rect& bounds, ViewContentMode mode) {
    const gfx::Rect b = bounds.standardized();
    if (!(image.width > 0) || !(image.height > 0)) return b;
    switch (mode) {
    case ViewContentModeScaleAspectFit:
    case ViewContentModeScaleAspectFill: {
        const double sx = b.width() / image.width;
        const double sy = b.height() / image.height;
        const double s = mode == ViewContentModeScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
        const gfx::Size size{image.width * s, image.height * s};
        return {b.midX() - size.width / 2, b.midY() - size.height / 2, size.width, size.height};
    }
    case ViewContentModeCenter:
    case ViewContentModeTop:
    case ViewContentModeBottom:
    case ViewContentModeLeft:
    case ViewContentModeRight:
    case ViewContentModeTopLeft:
    case ViewContentModeTopRight:
    case ViewContentModeBottomLeft:
    case ViewContentModeBottomRight: {
        const bool left = mode == ViewContentModeLeft || mode == ViewContentModeTopLeft ||
                          mode == ViewContentModeBottomLeft;
        const bool right = mode == ViewContentModeRight || mode == ViewContentModeTopRight ||
                           mode == ViewContentModeBottomRight;
        const bool top =
            mode == ViewContentModeTop || mode == ViewContentModeTopLeft || mode == ViewContentModeTopRight;
        const bool bottom = mode == ViewContentModeBottom || mode == ViewContentModeBottomLeft ||
                            mode == ViewContentModeBottomRight;
        const double x = left ? b.minX() : right ? b.maxX() - image.width : b.midX() - image.width / 2;
        const double y = top ? b.minY() : bottom ? b.maxY() - image.height : b.midY() - image.height / 2;
        return {x, y, image.width, image.height};
    }
    default:
        return b;
    }
}

} // namespace ui
