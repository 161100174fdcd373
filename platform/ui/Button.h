#pragma once

// Buttons: a control that shows an image and a title for its state and sends its actions
// on touch-up-inside. A system button draws its image as a template (its shape filled with
// the tint colour) and its title in the tint colour, dimmed while highlighted and grey
// while disabled; a custom button draws its image as it is and its title in white, unless
// colours are set per state. A touch on an enabled button wins over single-tap recognizers
// of the views around it.

#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Control.h"

#include <optional>
#include <string>
#include <vector>

namespace ui {

using ButtonType = long;
inline constexpr ButtonType ButtonTypeCustom = 0;
inline constexpr ButtonType ButtonTypeSystem = 1;
inline constexpr ButtonType ButtonTypeDetailDisclosure = 2;
inline constexpr ButtonType ButtonTypeInfoLight = 3;
inline constexpr ButtonType ButtonTypeInfoDark = 4;
inline constexpr ButtonType ButtonTypeContactAdd = 5;
inline constexpr ButtonType ButtonTypeClose = 7;

class Button : public Control {
public:
    OLM_DECLARE_CLASS(Button)
    // `buttonWithType:`; every type but custom looks like a system button here.
    static std::shared_ptr<Button> make(ButtonType type, const gfx::Rect& frame = {}) {
        return rt::create<Button>(type, frame);
    }
    // A custom button (`initWithFrame:`).
    static std::shared_ptr<Button> make(const gfx::Rect& frame = {}) {
        return rt::create<Button>(ButtonTypeCustom, frame);
    }

    ButtonType buttonType() const { return _type; }
    bool drawsAsSystem() const { return _type != ButtonTypeCustom; }

    // Content by state. A state without its own value shows the selected state's (for a
    // selected state) or else the normal state's.
    void setImage(gfx::ImageRef image, ControlState state);
    gfx::ImageRef imageForState(ControlState state) const;
    // An empty title is no title.
    void setTitle(std::string title, ControlState state);
    std::string titleForState(ControlState state) const;
    // Nil: the type's default colour.
    void setTitleColor(std::optional<gfx::Color> color, ControlState state);
    std::optional<gfx::Color> titleColorForState(ControlState state) const;

    gfx::ImageRef currentImage() const { return imageForState(state()); }
    std::string currentTitle() const { return titleForState(state()); }
    // The colour the title (and a system button's image) is drawn in now.
    gfx::Color currentTitleColor() const;

    // The title's font; the system font of size 15 unless set (null restores it).
    const gfx::FontRef& titleFont() const { return _titleFont; }
    void setTitleFont(gfx::FontRef font);

    // Where the image and the title go: side by side, centred in the bounds; an image
    // larger than the bounds is scaled down to fit.
    gfx::Rect imageRect() const;
    gfx::Rect titleRect() const;

    // The image's and the title's size side by side.
    gfx::Size sizeThatFits(gfx::Size size) const override;

    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect& rect) override;
    void tintColorDidChange() override { setNeedsDisplay(); }

    // A single-finger single tap belongs to the button, not to tap recognizers around it.
    bool preventsGestureRecognizer(const GestureRecognizer& recognizer) const override;

protected:
    Button() = default;
    void init(ButtonType type, const gfx::Rect& frame);
    friend class rt::Access;
    void stateDidChange() override { setNeedsDisplay(); }

private:
    struct StateContent {
        ControlState state = ControlStateNormal;
        gfx::ImageRef image;
        std::string title;
        std::optional<gfx::Color> titleColor;
    };
    StateContent& contentFor(ControlState state);
    // The first value `get` finds along the state's fallbacks.
    template <class Get>
    auto lookUp(ControlState state, Get get) const -> decltype(get(std::declval<const StateContent&>()));
    gfx::Size imageSize() const;
    gfx::Size titleSize() const;
    // The image filled with `color` where it is not transparent, kept for the next frame.
    gfx::ImageRef templateImage(const gfx::ImageRef& image, const gfx::Color& color) const;

    ButtonType _type = ButtonTypeCustom;
    std::vector<StateContent> _content;
    gfx::FontRef _titleFont;
    mutable gfx::ImageRef _tintedSource;
    mutable gfx::RGBA _tintedColor;
    mutable gfx::ImageRef _tinted;
};

} // namespace ui
