#pragma once

// Image views: show an image as their layer's contents, placed by the view's content mode
// (scale to fill by default, aspect fit, aspect fill, centre, or pinned to an edge or corner
// at its own size). They take no touches (user interaction is off by default).

#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

namespace ui {

class ImageView : public View {
public:
    OLM_DECLARE_CLASS(ImageView)
    // `initWithImage:`: the frame takes the image's size at the origin.
    static std::shared_ptr<ImageView> make(gfx::ImageRef image) {
        return rt::create<ImageView>(std::move(image));
    }
    static std::shared_ptr<ImageView> make(const gfx::Rect& frame = {}) {
        return rt::create<ImageView>(frame);
    }

    const gfx::ImageRef& image() const { return _image; }
    void setImage(gfx::ImageRef image);

    // The image's size (zero without one).
    gfx::Size sizeThatFits(gfx::Size size) const override;

    // Where the image is drawn in `bounds` for a content mode and an image size.
    static gfx::Rect placeImage(gfx::Size image, const gfx::Rect& bounds, ViewContentMode mode);

protected:
    ImageView() = default;
    void init(gfx::ImageRef image);
    void init(const gfx::Rect& frame);
    friend class rt::Access;

    std::shared_ptr<Layer> makeBackingLayer() const override;

private:
    gfx::ImageRef _image;
};

} // namespace ui
