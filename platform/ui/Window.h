#pragma once

// A window: the root of a view tree on screen. It is a view whose frame is the screen's (or
// the size it is made with); what it shows is composited into its frame buffer by the run
// loop, which also delivers its queued touches.
//
//     auto window = ui::Window::make();             // covers ui::Screen::mainScreen()
//     window->setRootView(calendarView);            // sized to the window, follows it
//     window->makeKeyAndVisible();                  // shown by ui::RunLoop::main()
//     ui::RunLoop::main().step();                   // input, animations, layout, display, frame
//     gfx::ImageRef frame = window->image();
//
// Main thread only.

#include "platform/graphics/Image.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/TouchDispatcher.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <deque>
#include <memory>
#include <vector>

namespace ui {

class Window : public View {
public:
    OLM_DECLARE_CLASS(Window)
    // A window covering the main screen.
    static std::shared_ptr<Window> make() { return rt::create<Window>(); }
    static std::shared_ptr<Window> make(const gfx::Rect& frame) { return rt::create<Window>(frame); }
    ~Window() override;

    bool isWindow() const override { return true; }

    // The view that fills the window (kept at the window's bounds as they change). Setting
    // another removes the previous one; null leaves the window empty.
    const std::shared_ptr<View>& rootView() const { return _rootView; }
    void setRootView(std::shared_ptr<View> view);
    // A controller whose view becomes the root view (loaded now). It is sent will-appear at
    // once and did-appear after its view's first layout; the controller it replaces
    // disappears at once.
    const std::shared_ptr<ViewController>& rootViewController() const { return _rootViewController; }
    void setRootViewController(std::shared_ptr<ViewController> controller);

    // Shows the window: the main run loop steps it from now on, and it becomes the key
    // window (the one touches are meant for).
    void makeKeyAndVisible();
    bool isKeyWindow() const { return keyWindow() == this; }
    // The window made key last, while it is shown; null when there is none.
    static Window* keyWindow();
    // Stops showing the window: the run loop forgets it and the fingers on it are cancelled.
    void orderOut();

    // --- Input. Touches wait in the window until the run loop delivers them, one batch
    // (the fingers that changed together, as one event) at a time, through the window's
    // touch dispatcher. Locations are in the window's coordinates, timestamps media times.
    void enqueueTouches(std::vector<TouchInput> touches);
    bool hasQueuedInput() const { return !_queuedInput.empty(); }
    // Delivers every queued batch in order, then lets the recognizers' deadlines up to the
    // current media time pass (a tap that waited in vain for a second tap).
    void deliverQueuedInput();
    // Whether a recognizer waits for time to pass (its deadline has not come yet).
    bool hasPendingDeadline() const { return _touches.nextDeadline().has_value(); }
    TouchDispatcher& touchDispatcher() { return _touches; }

    // --- Frames.
    // The layout pass, then the display pass of the window's tree.
    void layoutAndDisplayIfNeeded();
    // Whether any view or layer of the window's tree waits for layout or display, a bounded
    // backing store that no longer holds what shows included.
    bool needsLayoutOrDisplay() const;
    // Composites the tree as it shows now (animations in flight) into the frame buffer: the
    // window's size at the screen's scale, the window placed by its frame (windows sit at
    // the screen's origin).
    void composite();
    // On demand, `composite` only notes that a frame is due, and the frame is drawn when it
    // is first looked at (`image`, `compositor`), from the tree as it is then: a headless
    // host whose frames are rarely read does not pay for every one. Off by default.
    bool compositesOnDemand() const { return _compositesOnDemand; }
    void setCompositesOnDemand(bool onDemand) { _compositesOnDemand = onDemand; }
    // How the compositor makes frames: by damage (the default, see Compositor.h), whole
    // every time, or both, compared (a test mode; frames are then made every turn, even on
    // demand). New windows take Compositor::defaultFrameMode().
    void setFrameMode(FrameMode mode);
    // The last frame (null before the first), and the compositor that made it (its pixels,
    // its statistics).
    gfx::ImageRef image() const;
    const Compositor& compositor() const;
    // How many frames have been composited (or made due).
    long frameCount() const { return _frameCount; }

    void layoutSubviews() override;

protected:
    Window() = default;
    void init();
    void init(const gfx::Rect& frame);
    friend class rt::Access;

private:
    std::shared_ptr<View> _rootView;
    std::shared_ptr<ViewController> _rootViewController;
    std::deque<std::vector<TouchInput>> _queuedInput;
    TouchDispatcher _touches;
    // Drawn into on demand from the const accessors.
    mutable Compositor _compositor;
    mutable bool _frameDue = false;
    bool _compositesOnDemand = false;
    long _frameCount = 0;

    void renderFrame() const;
};

} // namespace ui
