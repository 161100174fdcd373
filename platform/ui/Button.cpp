#include "platform/ui/Button.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ui {

OLM_DEFINE_CLASS(Button, Control)

namespace {

// A highlighted system button shows its content at this fraction of its alpha.
constexpr double highlightedAlpha = 0.2;

} // namespace

void Button::init(ButtonType type, const gfx::Rect& frame) {
    _type = type;
    _titleFont = gfx::Font::systemFont(15);
    Control::init(frame);
}

Button::StateContent& Button::contentFor(ControlState state) {
    for (StateContent& c : _content)
        if (c.state == state) return c;
    _content.push_back(StateContent{state, nullptr, {}, std::nullopt});
    return _content.back();
}

template <class Get>
auto Button::lookUp(ControlState state, Get get) const -> decltype(get(std::declval<const StateContent&>())) {
    const ControlState fallbacks[] = {
        state, (state & ControlStateSelected) != 0 ? ControlStateSelected : state, ControlStateNormal};
    for (const ControlState s : fallbacks)
        for (const StateContent& c : _content)
            if (c.state == s)
                if (auto value = get(c)) return value;
    return {};
}

void Button::setImage(gfx::ImageRef image, ControlState state) {
    contentFor(state).image = std::move(image);
    setNeedsDisplay();
}

gfx::ImageRef Button::imageForState(ControlState state) const {
    return lookUp(state, [](const StateContent& c) { return c.image; });
}

void Button::setTitle(std::string title, ControlState state) {
    contentFor(state).title = std::move(title);
    setNeedsDisplay();
}

std::string Button::titleForState(ControlState state) const {
    const auto found = lookUp(state, [](const StateContent& c) {
        return c.title.empty() ? std::optional<std::string>() : std::optional<std::string>(c.title);
    });
    return found.value_or(std::string());
}

void Button::setTitleColor(std::optional<gfx::Color> color, ControlState state) {
    contentFor(state).titleColor = color;
    setNeedsDisplay();
}

std::optional<gfx::Color> Button::titleColorForState(ControlState state) const {
    return lookUp(state, [](const StateContent& c) { return c.titleColor; });
}

gfx::Color Button::currentTitleColor() const {
    const ControlState s = state();
    if (const std::optional<gfx::Color> own = titleColorForState(s)) return *own;
    if (!drawsAsSystem()) return gfx::colors::white();
    if (!isEnabled())
        return gfx::systemColorOr(gfx::systemColors::tertiaryLabel(), gfx::Color::white(0.5, 0.5));
    const gfx::Color tint = tintColor();
    if (isHighlighted()) return tint.withAlpha(tint.light().a * highlightedAlpha);
    return tint;
}

void Button::setTitleFont(gfx::FontRef font) {
    _titleFont = font ? std::move(font) : gfx::Font::systemFont(15);
    setNeedsDisplay();
}

// --- Layout.

gfx::Size Button::imageSize() const {
    const gfx::ImageRef image = currentImage();
    return image ? image->size() : gfx::Size{};
}

gfx::Size Button::titleSize() const {
    const std::string title = currentTitle();
    if (title.empty()) return {};
    return gfx::sizeWithAttributes(title, gfx::TextAttributes{_titleFont, std::nullopt, std::nullopt});
}

gfx::Size Button::sizeThatFits(gfx::Size) const {
    const gfx::Size image = imageSize();
    const gfx::Size title = titleSize();
    return {image.width + title.width, std::max(image.height, title.height)};
}

gfx::Rect Button::imageRect() const {
    const gfx::Rect b = bounds();
    gfx::Size image = imageSize();
    if (image.width <= 0 || image.height <= 0) return {};
    // An image larger than the bounds is scaled down, keeping its aspect.
    const double fit = std::min({1.0, b.width() / image.width, b.height() / image.height});
    image = {image.width * fit, image.height * fit};
    const double total = image.width + titleSize().width;
    return {b.minX() + (b.width() - total) / 2, b.minY() + (b.height() - image.height) / 2, image.width,
            image.height};
}

gfx::Rect Button::titleRect() const {
    const gfx::Rect b = bounds();
    const gfx::Size title = titleSize();
    if (title.width <= 0) return {};
    const gfx::Rect image = imageRect();
    const double total = image.width() + title.width;
    return {b.minX() + (b.width() - total) / 2 + image.width(), b.minY() + (b.height() - title.height) / 2,
            title.width, title.height};
}

// --- Drawing.

gfx::ImageRef Button::templateImage(const gfx::ImageRef& image, const gfx::Color& color) const {
    const gfx::RGBA c = color.resolved();
    if (_tinted && _tintedSource == image && _tintedColor == c) return _tinted;
    std::shared_ptr<gfx::Image> tinted =
        gfx::Image::make(image->pixelWidth(), image->pixelHeight(), image->scale());
    if (!tinted) return nullptr;
    const double alpha = std::clamp(c.a, 0.0, 1.0);
    const auto channel = [](double v) { return std::clamp(v, 0.0, 1.0); };
    std::uint8_t* out = tinted->mutableData();
    const std::uint8_t* in = image->data();
    for (int y = 0; y < image->pixelHeight(); ++y) {
        for (int x = 0; x < image->pixelWidth(); ++x) {
            std::uint32_t source;
            std::memcpy(&source, in + y * image->stride() + x * 4, 4);
            // Premultiplied: every channel scales with the coverage the source's alpha gives.
            const double a = static_cast<double>(source >> 24) / 255.0 * alpha;
            const auto byte = [&](double v) {
                return static_cast<std::uint32_t>(std::lround(v * a * 255.0));
            };
            const std::uint32_t pixel = (static_cast<std::uint32_t>(std::lround(a * 255.0)) << 24) |
                                        (byte(channel(c.r)) << 16) | (byte(channel(c.g)) << 8) |
                                        byte(channel(c.b));
            std::memcpy(out + y * tinted->stride() + x * 4, &pixel, 4);
        }
    }
    tinted->markDirty();
    _tintedSource = image;
    _tintedColor = c;
    _tinted = std::move(tinted);
    return _tinted;
}

void Button::drawRect(const gfx::Rect&) {
    gfx::GraphicsContext* context = gfx::currentContext();
    if (context == nullptr) return;
    const gfx::Color color = currentTitleColor();
    if (const gfx::ImageRef image = currentImage()) {
        const gfx::Rect r = imageRect();
        context->drawImage(drawsAsSystem() ? templateImage(image, color) : image, r);
    }
    const std::string title = currentTitle();
    if (!title.empty())
        gfx::drawAtPoint(*context,
                         gfx::AttributedString(title, gfx::TextAttributes{_titleFont, color, std::nullopt}),
                         titleRect().origin);
}

bool Button::preventsGestureRecognizer(const GestureRecognizer& recognizer) const {
    const auto* tap = dynamic_cast<const TapGestureRecognizer*>(&recognizer);
    return isEnabled() && tap != nullptr && tap->numberOfTapsRequired() == 1 &&
           tap->numberOfTouchesRequired() == 1;
}

} // namespace ui
