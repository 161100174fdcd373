#pragma once

// A headless host for tests: a window shown by the main run loop, a media clock that moves
// only when the driver steps it, and fingers with timestamps.
//
//     ui::TestDriver driver({390, 844});
//     driver.window()->addSubview(calendar);
//     driver.runUntilIdle();                          // layout, display, first frame
//     driver.pan({300, 400}, {60, 400}, 0.25);        // a swipe to the left in 0.25 s
//     driver.runUntilIdle();                          // the transition plays to its end
//     EXPECT_EQ(driver.pixel({20, 20}), ...);
//
// Every touch call delivers its event at once, in a run-loop turn at the current media
// time; gestures that take time (tap, pan, pinch) step the clock between their events, so
// recognizers see real timestamps (velocity, tap time-outs) and animations started by
// them run meanwhile. Nothing sleeps: time is whatever the driver says.
//
// The window composites on demand: the frame of the last turn is drawn when it is first
// looked at (`frame`, `pixel`, `render`), from the tree as it is at that moment, so tests
// that never read pixels do not pay for frames. Main thread only.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/ui/TouchDispatcher.h"
#include "platform/ui/Window.h"

#include <memory>
#include <vector>

namespace ui {

class TestDriver {
public:
    static constexpr double frameInterval = 1.0 / 60;
    // How long a finger rests on the screen in a tap, and the pause between repeated taps.
    static constexpr double tapDuration = 0.05;
    static constexpr double tapInterval = 0.1;

    // A window of `size` points (the main screen's size when not given), shown by the main
    // run loop; the media clock is put in manual mode (it keeps its current time).
    TestDriver();
    explicit TestDriver(gfx::Size size);
    // Stops showing the window.
    ~TestDriver();
    TestDriver(const TestDriver&) = delete;
    TestDriver& operator=(const TestDriver&) = delete;

    const std::shared_ptr<Window>& window() const { return _window; }

    // --- Time and the loop.
    // The media time (touch timestamps and animations use it).
    double now() const;
    // Moves the clock on by `seconds` (negative or non-finite: not at all), then runs one turn.
    void step(double seconds = frameInterval);
    // Runs frames `frameInterval` apart until `seconds` have passed (the last one shorter).
    void advance(double seconds);
    // Runs a turn, then frames `frameInterval` apart while anything is left to do (running
    // animations, queued work, pending layout or display, a recognizer waiting for its
    // deadline), for at most `maxSeconds` of media time. True when the loop went idle.
    bool runUntilIdle(double maxSeconds = 10);

    // --- Fingers. Locations in window coordinates; each call is one event at `now()`.
    void touchDown(long id, gfx::Point location);
    void touchMove(long id, gfx::Point location);
    void touchUp(long id, gfx::Point location);
    void touchCancel(long id);
    // Several fingers changing in one event (phases and locations as given; the
    // timestamps are set to `now()`).
    void touches(std::vector<TouchInput> inputs);

    // `count` taps at one point, each `tapDuration` long, `tapInterval` apart.
    void tap(gfx::Point location, int count = 1);
    // The same at the centre of a view of the window.
    void tap(const View& view, int count = 1);
    // One finger down at the first point, moved along the path in `steps` moves evenly
    // spaced in time and in distance along the path, lifted at the last point without
    // stopping; the whole takes `duration` seconds. A path of one point moves nowhere.
    void pan(const std::vector<gfx::Point>& path, double duration, int steps = 10);
    void pan(gfx::Point from, gfx::Point to, double duration, int steps = 10);
    // The same at a speed in points per second (a fling, when lifted fast).
    void panAtSpeed(gfx::Point from, gfx::Point to, double pointsPerSecond, int steps = 10);
    // A drag that stops at `to`, rests there for `rest` seconds and lifts: a rest of a tenth
    // of a second or more releases at a velocity of exactly 0.
    void panAndRest(gfx::Point from, gfx::Point to, double duration, double rest = 0.15, int steps = 10);
    // Two fingers on a horizontal line through `center`, `span` × `fromScale` points apart,
    // spread (or pinched) to `span` × `toScale` in `steps` moves over `duration` seconds,
    // then lifted together.
    void pinch(gfx::Point center, double fromScale, double toScale, double duration, int steps = 10,
               double span = 100);

    // --- Frames.
    // Runs a turn without moving the clock and answers the frame it composited.
    gfx::ImageRef render();
    // The frame of the last turn (null before the first).
    gfx::ImageRef frame() const { return _window->image(); }
    // The colour of the last frame at a point of the window (the pixel under it at the
    // screen's scale); transparent outside the frame.
    gfx::RGBA pixel(gfx::Point location) const;
    // The window's tree drawn from its model values (no animations), as a snapshot is: at
    // the screen's scale, pending layout and display run first.
    gfx::ImageRef snapshot() const;

private:
    void send(TouchInput input);
    void drag(const std::vector<gfx::Point>& path, double duration, int steps, double rest);
    std::shared_ptr<Window> _window;
};

} // namespace ui
