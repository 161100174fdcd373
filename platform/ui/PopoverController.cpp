#include "platform/ui/PopoverController.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(PopoverController, rt::Object)

namespace {

gfx::Size sanitized(gfx::Size size) {
    const auto side = [](double v) { return std::isfinite(v) && v > 0 ? v : 0.0; };
    return {side(size.width), side(size.height)};
}

bool isFinite(const gfx::Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

// The body and the arrow for one direction: `room` is the length the body may take along
// the arrow's axis.
struct Placement {
    PopoverArrowDirection direction = PopoverArrowDirectionUp;
    gfx::Rect body;
    gfx::Point tip;
    double arrowCenter = 0; // along the body's edge, in window coordinates
    double room = 0;
};

Placement placeFor(PopoverArrowDirection direction, const gfx::Rect& anchor, gfx::Size content,
                   const gfx::Rect& window) {
    constexpr double m = PopoverController::windowMargin;
    constexpr double h = PopoverController::arrowHeight;
    constexpr double inset = PopoverController::cornerRadius + PopoverController::arrowWidth / 2;
    // Axis 0 is x, 1 is y. The body lies along `a` from the anchor, centred on it along `c`.
    const bool vertical = direction == PopoverArrowDirectionUp || direction == PopoverArrowDirectionDown;
    const bool after = direction == PopoverArrowDirectionUp || direction == PopoverArrowDirectionLeft;
    const int a = vertical ? 1 : 0, c = 1 - a;
    const std::array<double, 2> lo{anchor.minX(), anchor.minY()}, hi{anchor.maxX(), anchor.maxY()};
    const std::array<double, 2> wLo{window.minX() + m, window.minY() + m}, wHi{window.maxX() - m, window.maxY() - m};
    const std::array<double, 2> size{content.width, content.height};

    std::array<double, 2> tip{}, origin{}, extent{};
    tip[a] = after ? hi[a] : lo[a];
    tip[c] = (lo[c] + hi[c]) / 2;
    Placement p;
    p.direction = direction;
    p.room = std::max(0.0, after ? wHi[a] - (tip[a] + h) : (tip[a] - h) - wLo[a]);
    extent[a] = std::min(size[a], p.room);
    origin[a] = after ? tip[a] + h : tip[a] - h - extent[a];
    extent[c] = std::min(size[c], std::max(0.0, wHi[c] - wLo[c]));
    origin[c] = std::clamp(tip[c] - extent[c] / 2, wLo[c], std::max(wLo[c], wHi[c] - extent[c]));
    const double low = origin[c] + inset, high = origin[c] + extent[c] - inset;
    p.arrowCenter = low <= high ? std::clamp(tip[c], low, high) : origin[c] + extent[c] / 2;
    p.body = {origin[0], origin[1], extent[0], extent[1]};
    p.tip = {tip[0], tip[1]};
    return p;
}

Placement choosePlacement(PopoverArrowDirection permitted, const gfx::Rect& anchor, gfx::Size content,
                          const gfx::Rect& window) {
    if ((permitted & PopoverArrowDirectionAny) == 0) permitted = PopoverArrowDirectionAny;
    std::optional<Placement> roomiest;
    for (PopoverArrowDirection d : {PopoverArrowDirectionUp, PopoverArrowDirectionDown, PopoverArrowDirectionLeft,
                                    PopoverArrowDirectionRight}) {
        if ((permitted & d) == 0) continue;
        const Placement p = placeFor(d, anchor, content, window);
        const bool vertical = d == PopoverArrowDirectionUp || d == PopoverArrowDirectionDown;
        if (p.room >= (vertical ? content.height : content.width)) return p;
        if (!roomiest || p.room > roomiest->room) roomiest = p;
    }
    return *roomiest;
}

} // namespace

// --- Views.

// Covers the window above the root view: takes the taps that miss the popover.
class PopoverController::Overlay : public View {
public:
    OLM_DECLARE_CLASS(Overlay)
    static std::shared_ptr<Overlay> make(std::weak_ptr<PopoverController> owner) {
        return rt::create<Overlay>(std::move(owner));
    }
    void touchesBegan(const TouchSet&, Event*) override {}
    void touchesMoved(const TouchSet&, Event*) override {}
    void touchesCancelled(const TouchSet&, Event*) override {}
    void touchesEnded(const TouchSet&, Event*) override {
        if (const std::shared_ptr<PopoverController> popover = _owner.lock()) popover->outsideTapped();
    }

protected:
    Overlay() = default;
    void init(std::weak_ptr<PopoverController> owner) {
        View::init({});
        _owner = std::move(owner);
        setOpaque(false);
        setAutoresizingMask(ViewAutoresizingFlexibleWidth | ViewAutoresizingFlexibleHeight);
    }
    friend class rt::Access;

private:
    std::weak_ptr<PopoverController> _owner;
};

// The arrow: a triangle filling its bounds, its tip on the side facing away from the body.
class PopoverController::Arrow : public View {
public:
    OLM_DECLARE_CLASS(Arrow)
    static std::shared_ptr<Arrow> make() { return rt::create<Arrow>(); }

    gfx::Color color = gfx::systemColors::systemBackground();
    PopoverArrowDirection direction = PopoverArrowDirectionUp;

    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect&) override {
        gfx::GraphicsContext* c = gfx::currentContext();
        if (c == nullptr) return;
        const gfx::Rect b = bounds();
        std::array<gfx::Point, 3> arrow;
        switch (direction) {
        case PopoverArrowDirectionDown:
            arrow = {{{b.minX(), b.minY()}, {b.midX(), b.maxY()}, {b.maxX(), b.minY()}}};
            break;
        case PopoverArrowDirectionLeft:
            arrow = {{{b.maxX(), b.minY()}, {b.minX(), b.midY()}, {b.maxX(), b.maxY()}}};
            break;
        case PopoverArrowDirectionRight:
            arrow = {{{b.minX(), b.minY()}, {b.maxX(), b.midY()}, {b.minX(), b.maxY()}}};
            break;
        default:
            arrow = {{{b.minX(), b.maxY()}, {b.midX(), b.minY()}, {b.maxX(), b.maxY()}}};
            break;
        }
        c->setFillColor(color);
        c->beginPath();
        c->moveToPoint(arrow[0]);
        c->addLineToPoint(arrow[1]);
        c->addLineToPoint(arrow[2]);
        c->closePath();
        c->fillPath();
    }

protected:
    Arrow() = default;
    void init() {
        View::init({});
        setOpaque(false);
    }
    friend class rt::Access;
};

// The body, a rounded rectangle clipping the content, and the arrow.
class PopoverController::Chrome : public View {
public:
    OLM_DECLARE_CLASS(Chrome)
    static std::shared_ptr<Chrome> make() { return rt::create<Chrome>(); }

    const std::shared_ptr<View>& body() const { return _body; }
    const std::shared_ptr<Arrow>& arrow() const { return _arrow; }

    void setColor(const gfx::Color& color) {
        _body->setBackgroundColor(color);
        _arrow->color = color;
        _arrow->setNeedsDisplay();
    }

    // Touches inside the popover never reach the overlay.
    void touchesBegan(const TouchSet&, Event*) override {}
    void touchesMoved(const TouchSet&, Event*) override {}
    void touchesEnded(const TouchSet&, Event*) override {}
    void touchesCancelled(const TouchSet&, Event*) override {}

protected:
    Chrome() = default;
    void init() {
        View::init({});
        setOpaque(false);
        _body = View::make();
        _body->setClipsToBounds(true);
        _body->layer()->setCornerRadius(PopoverController::cornerRadius);
        addSubview(_body);
        _arrow = Arrow::make();
        addSubview(_arrow);
    }
    friend class rt::Access;

private:
    std::shared_ptr<View> _body;
    std::shared_ptr<Arrow> _arrow;
};

OLM_DEFINE_CLASS(PopoverController::Overlay, View)
OLM_DEFINE_CLASS(PopoverController::Arrow, View)
OLM_DEFINE_CLASS(PopoverController::Chrome, View)

// --- Popover.

void PopoverController::init(std::shared_ptr<ViewController> content) {
    _content = std::move(content);
}

PopoverController::~PopoverController() {
    // Gone at once: no fade, no report.
    if (_overlay) _overlay->removeFromSuperview();
}

void PopoverController::setPopoverContentSize(gfx::Size size, bool animated) {
    _contentSize = sanitized(size);
    if (_visible) place(animated);
}

void PopoverController::setBackgroundColor(std::optional<gfx::Color> color) {
    _backgroundColor = color;
    if (_chrome) _chrome->setColor(color.value_or(gfx::systemColors::systemBackground()));
}

void PopoverController::presentPopoverFromRect(const gfx::Rect& rect, View* view, PopoverArrowDirection arrowDirections,
                                               bool animated) {
    if (_visible) dismiss(false, false);
    View* window = view != nullptr ? view->window() : nullptr;
    if (window == nullptr || !isFinite(rect)) return;
    const std::shared_ptr<PopoverController> keep = rt::sharedFrom(this);
    ++_generation;
    _anchor = view->convertRectToView(rect, window);
    _permitted = arrowDirections;
    if (!_overlay) {
        _overlay = Overlay::make(rt::weakFrom(this));
        _chrome = Chrome::make();
        _overlay->addSubview(_chrome);
    }
    setBackgroundColor(_backgroundColor);
    if (_content) {
        const std::shared_ptr<View>& contentView = _content->view();
        contentView->setAutoresizingMask(ViewAutoresizingFlexibleWidth | ViewAutoresizingFlexibleHeight);
        _chrome->body()->addSubview(contentView);
    }
    // A fade-out still running ends here.
    _overlay->layer()->removeAllAnimations();
    View::performWithoutAnimation([&] {
        _overlay->setAlpha(animated ? 0 : 1);
        _overlay->setFrame(window->bounds());
        window->addSubview(_overlay);
    });
    _visible = true;
    place();
    if (_content) _content->beginAppearanceTransition(true, animated);
    const auto appeared = [weak = rt::weakFrom(this), generation = _generation](bool) {
        const std::shared_ptr<PopoverController> self = weak.lock();
        if (self && self->_generation == generation && self->_visible && self->_content)
            self->_content->endAppearanceTransition();
    };
    if (animated)
        View::animateWithDuration(fadeDuration, 0, 0, [&] { _overlay->setAlpha(1); }, appeared);
    else
        appeared(true);
}

void PopoverController::place(bool animated) {
    View* window = _overlay ? _overlay->superview() : nullptr;
    if (window == nullptr) return;
    const Placement p = choosePlacement(_permitted, _anchor, _contentSize, window->bounds());
    _arrowDirection = p.direction;
    _body = p.body;
    _tip = p.tip;
    // The chrome spans the body and the arrow.
    const bool vertical = p.direction == PopoverArrowDirectionUp || p.direction == PopoverArrowDirectionDown;
    const gfx::Rect arrowBox =
        vertical ? gfx::Rect{p.arrowCenter - arrowWidth / 2, std::min(p.tip.y, p.body.minY()), arrowWidth, arrowHeight}
                 : gfx::Rect{std::min(p.tip.x, p.body.minX()), p.arrowCenter - arrowWidth / 2, arrowHeight, arrowWidth};
    const gfx::Rect frame = p.body.unionWith(arrowBox);
    if (_chrome->arrow()->direction != p.direction) {
        _chrome->arrow()->direction = p.direction;
        _chrome->arrow()->setNeedsDisplay();
    }
    const auto setFrames = [&] {
        _chrome->setFrame(frame);
        _chrome->body()->setFrame(p.body.offsetBy(-frame.minX(), -frame.minY()));
        _chrome->arrow()->setFrame(arrowBox.offsetBy(-frame.minX(), -frame.minY()));
        if (_content && _content->isViewLoaded()) _content->view()->setFrame(_chrome->body()->bounds());
    };
    if (animated)
        View::animateWithDuration(resizeDuration, 0, ViewAnimationOptionBeginFromCurrentState, setFrames, nullptr);
    else
        View::performWithoutAnimation(setFrames);
}

void PopoverController::dismissPopoverAnimated(bool animated) {
    dismiss(animated, false);
}

void PopoverController::outsideTapped() {
    if (!_visible) return;
    const std::shared_ptr<PopoverController> keep = rt::sharedFrom(this);
    const std::shared_ptr<PopoverControllerDelegate> d = _delegate.lock();
    if (d && !d->popoverControllerShouldDismissPopover(*this)) return;
    if (_visible) dismiss(true, true);
}

void PopoverController::dismiss(bool animated, bool report) {
    if (!_visible) return;
    _visible = false;
    if (_content) _content->beginAppearanceTransition(false, animated);
    const auto ended = [weak = rt::weakFrom(this), generation = _generation, report](bool) {
        const std::shared_ptr<PopoverController> self = weak.lock();
        if (!self || self->_generation != generation) return;
        self->removeOverlay();
        if (self->_content) self->_content->endAppearanceTransition();
        if (!report) return;
        if (const std::shared_ptr<PopoverControllerDelegate> d = self->_delegate.lock())
            d->popoverControllerDidDismissPopover(*self);
    };
    if (animated)
        View::animateWithDuration(fadeDuration, 0, 0, [&] { _overlay->setAlpha(0); }, ended);
    else
        ended(true);
}

void PopoverController::removeOverlay() {
    if (_overlay) _overlay->removeFromSuperview();
}

} // namespace ui
