#pragma once

// A popover: a content controller's view in a rounded body with an arrow pointing at a
// rectangle, floating above the window's root view on any idiom.
//
//     auto popover = ui::PopoverController::make(listController);
//     popover->setDelegate(presenter);                       // held weakly
//     popover->setPopoverContentSize({300, 88});
//     popover->presentPopoverFromRect(cell->frame(), grid.get(), ui::PopoverArrowDirectionUp, true);
//
// Geometry: the body has the content size (corner radius 13, clipping the content) and the
// content view fills it; the arrow, 13 high and 26 wide, has its tip on the middle of the rectangle's edge
// that faces the body. With the arrow up the body hangs below the rectangle, centred on it
// and kept 10 points inside the window (the arrow slides along the body to keep pointing),
// and is shortened when it is too tall for the room below; the other directions are the
// same turned. "Any" takes the first of up, down, left and right that fits, else the one
// with the most room.
//
// Showing and dismissing fade over 0.2 s when animated. A tap outside the body is consumed:
// the delegate is asked whether to dismiss, and when it agrees the popover fades out and
// then reports `popoverControllerDidDismissPopover`. A dismissal by `dismissPopoverAnimated`
// reports nothing. `isPopoverVisible` is false from the moment of the dismissal. A popover
// released while visible disappears at once without a report; one presented from a view
// that is not in a window shows nothing. Main thread only.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <optional>

namespace ui {

class PopoverController;

using PopoverArrowDirection = unsigned long;
inline constexpr PopoverArrowDirection PopoverArrowDirectionUp = 1;
inline constexpr PopoverArrowDirection PopoverArrowDirectionDown = 2;
inline constexpr PopoverArrowDirection PopoverArrowDirectionLeft = 4;
inline constexpr PopoverArrowDirection PopoverArrowDirectionRight = 8;
inline constexpr PopoverArrowDirection PopoverArrowDirectionAny = 15;
inline constexpr PopoverArrowDirection PopoverArrowDirectionUnknown = ~0UL;

class PopoverControllerDelegate {
public:
    virtual ~PopoverControllerDelegate() = default;
    // Asked before an outside tap dismisses the popover.
    virtual bool popoverControllerShouldDismissPopover(PopoverController& popover) {
        (void)popover;
        return true;
    }
    // After the user dismissed the popover (once the fade has ended).
    virtual void popoverControllerDidDismissPopover(PopoverController& popover) { (void)popover; }
};

class PopoverController : public rt::Object {
public:
    OLM_DECLARE_CLASS(PopoverController)
    static constexpr double cornerRadius = 13;
    static constexpr double arrowHeight = 13;
    static constexpr double arrowWidth = 26;
    static constexpr double windowMargin = 10;
    static constexpr double fadeDuration = 0.2;
    // An animated change of the content size.
    static constexpr double resizeDuration = 0.3;

    // `initWithContentViewController:`.
    static std::shared_ptr<PopoverController> make(std::shared_ptr<ViewController> content) {
        return rt::create<PopoverController>(std::move(content));
    }
    ~PopoverController() override;

    const std::shared_ptr<ViewController>& contentViewController() const { return _content; }
    const std::weak_ptr<PopoverControllerDelegate>& delegate() const { return _delegate; }
    void setDelegate(std::weak_ptr<PopoverControllerDelegate> delegate) { _delegate = std::move(delegate); }

    // 320 × 480 unless set; negative or non-finite sides count as 0. A visible popover is
    // placed again, moving there over 0.3 s (ease-in-out) when animated.
    gfx::Size popoverContentSize() const { return _contentSize; }
    void setPopoverContentSize(gfx::Size size, bool animated = false);
    // The body's colour; nil is the system background.
    const std::optional<gfx::Color>& backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color);

    // `rect` is in `view`'s coordinates. Presenting a visible popover moves it.
    void presentPopoverFromRect(const gfx::Rect& rect, View* view, PopoverArrowDirection arrowDirections,
                                bool animated);
    bool isPopoverVisible() const { return _visible; }
    void dismissPopoverAnimated(bool animated);

    // The direction of the arrow shown last (unknown before the first presentation).
    PopoverArrowDirection popoverArrowDirection() const { return _arrowDirection; }
    // The body and the arrow's tip as placed last, in the window's coordinates.
    gfx::Rect bodyFrame() const { return _body; }
    gfx::Point arrowTip() const { return _tip; }

protected:
    PopoverController() = default;
    void init(std::shared_ptr<ViewController> content);
    friend class rt::Access;

private:
    class Overlay;
    class Arrow;
    class Chrome;
    friend class Overlay;
    friend class Chrome;

    void place(bool animated = false);
    void outsideTapped();
    void dismiss(bool animated, bool report);
    void removeOverlay();

    std::shared_ptr<ViewController> _content;
    std::weak_ptr<PopoverControllerDelegate> _delegate;
    gfx::Size _contentSize{320, 480};
    std::optional<gfx::Color> _backgroundColor;
    std::shared_ptr<Overlay> _overlay;
    std::shared_ptr<Chrome> _chrome;
    // Where the popover points, in the window's coordinates, and the directions allowed.
    gfx::Rect _anchor;
    PopoverArrowDirection _permitted = PopoverArrowDirectionAny;
    PopoverArrowDirection _arrowDirection = PopoverArrowDirectionUnknown;
    gfx::Rect _body;
    gfx::Point _tip;
    bool _visible = false;
    // Counts presentations, so that the end of an old fade-out leaves a newer one alone.
    unsigned long _generation = 0;
};

} // namespace ui
