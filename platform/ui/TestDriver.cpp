#include "platform/ui/TestDriver.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/Host/RunLoop.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

namespace {

gfx::Point lerp(gfx::Point a, gfx::Point b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// The point at `fraction` of the polyline's length.
gfx::Point alongPath(const std::vector<gfx::Point>& path, double fraction) {
    double total = 0;
    for (std::size_t i = 1; i < path.size(); ++i)
        total += std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
    if (!(total > 0)) return path.back();
    double remaining = std::clamp(fraction, 0.0, 1.0) * total;
    for (std::size_t i = 1; i < path.size(); ++i) {
        const double length = std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y);
        if (remaining <= length && length > 0) return lerp(path[i - 1], path[i], remaining / length);
        remaining -= length;
    }
    return path.back();
}

double validDuration(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

} // namespace

TestDriver::TestDriver() : TestDriver(Screen::mainScreen().size()) {}

TestDriver::TestDriver(gfx::Size size) {
    MediaClock::setManual(true);
    _window = Window::make({{0, 0}, size});
    _window->setCompositesOnDemand(true);
    _window->makeKeyAndVisible();
}

TestDriver::~TestDriver() {
    _window->orderOut();
}

double TestDriver::now() const {
    return currentMediaTime();
}

void TestDriver::step(double seconds) {
    if (std::isfinite(seconds) && seconds > 0) MediaClock::advance(seconds);
    RunLoop::main().step();
}

void TestDriver::advance(double seconds) {
    double left = validDuration(seconds);
    while (left > 1e-12) {
        const double dt = std::min(frameInterval, left);
        step(dt);
        left -= dt;
    }
}

bool TestDriver::runUntilIdle(double maxSeconds) {
    RunLoop& loop = RunLoop::main();
    loop.step();
    const double end = now() + validDuration(maxSeconds);
    while (!loop.isIdle()) {
        if (now() >= end) return false;
        step(frameInterval);
    }
    return true;
}

// --- Fingers.

void TestDriver::send(TouchInput input) {
    touches({input});
}

void TestDriver::touches(std::vector<TouchInput> inputs) {
    const double t = now();
    for (TouchInput& input : inputs)
        input.timestamp = t;
    _window->enqueueTouches(std::move(inputs));
    RunLoop::main().step();
}

void TestDriver::touchDown(long id, gfx::Point location) {
    send({id, TouchPhaseBegan, location, 0});
}

void TestDriver::touchMove(long id, gfx::Point location) {
    send({id, TouchPhaseMoved, location, 0});
}

void TestDriver::touchUp(long id, gfx::Point location) {
    send({id, TouchPhaseEnded, location, 0});
}

void TestDriver::touchCancel(long id) {
    // A cancelled touch keeps its last location (a non-finite one is not taken).
    send({id,
          TouchPhaseCancelled,
          {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()},
          0});
}

void TestDriver::tap(gfx::Point location, int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) step(tapInterval);
        touchDown(1, location);
        step(tapDuration);
        touchUp(1, location);
    }
}

void TestDriver::tap(const View& view, int count) {
    const gfx::Rect b = view.bounds();
    tap(view.convertPointToView({b.midX(), b.midY()}, _window.get()), count);
}

void TestDriver::pan(const std::vector<gfx::Point>& path, double duration, int steps) {
    drag(path, duration, steps, 0);
}

void TestDriver::panAndRest(gfx::Point from, gfx::Point to, double duration, double rest, int steps) {
    drag({from, to}, duration, steps, rest);
}

void TestDriver::drag(const std::vector<gfx::Point>& path, double duration, int steps, double rest) {
    if (path.empty()) return;
    steps = std::max(steps, 1);
    const double dt = validDuration(duration) / steps;
    touchDown(1, path.front());
    gfx::Point at = path.front();
    for (int i = 1; i <= steps; ++i) {
        step(dt);
        at = alongPath(path, static_cast<double>(i) / steps);
        touchMove(1, at);
    }
    if (rest > 0) advance(rest);
    touchUp(1, at);
}

void TestDriver::pan(gfx::Point from, gfx::Point to, double duration, int steps) {
    pan(std::vector<gfx::Point>{from, to}, duration, steps);
}

void TestDriver::panAtSpeed(gfx::Point from, gfx::Point to, double pointsPerSecond, int steps) {
    const double distance = std::hypot(to.x - from.x, to.y - from.y);
    const double duration =
        pointsPerSecond > 0 && std::isfinite(pointsPerSecond) ? distance / pointsPerSecond : 0;
    pan(from, to, duration, steps);
}

void TestDriver::pinch(gfx::Point center, double fromScale, double toScale, double duration, int steps,
                       double span) {
    steps = std::max(steps, 1);
    const double dt = validDuration(duration) / steps;
    const auto fingers = [&](double scale, TouchPhase phase) {
        const double half = span * scale / 2;
        return std::vector<TouchInput>{{1, phase, {center.x - half, center.y}, 0},
                                       {2, phase, {center.x + half, center.y}, 0}};
    };
    touches(fingers(fromScale, TouchPhaseBegan));
    double scale = fromScale;
    for (int i = 1; i <= steps; ++i) {
        step(dt);
        scale = fromScale + (toScale - fromScale) * i / steps;
        touches(fingers(scale, TouchPhaseMoved));
    }
    touches(fingers(scale, TouchPhaseEnded));
}

// --- Frames.

gfx::ImageRef TestDriver::render() {
    RunLoop::main().step();
    return _window->image();
}

gfx::RGBA TestDriver::pixel(gfx::Point location) const {
    const Compositor& c = _window->compositor();
    return c.pixel(static_cast<int>(std::floor(location.x * c.scale())),
                   static_cast<int>(std::floor(location.y * c.scale())));
}

gfx::ImageRef TestDriver::snapshot() const {
    gfx::ImageRef image;
    gfx::beginImageContext(_window->bounds().size, false, 0);
    if (gfx::GraphicsContext* context = gfx::currentContext()) {
        _window->layer()->renderInContext(*context);
        image = gfx::imageFromCurrentImageContext();
    }
    gfx::endImageContext();
    return image;
}

} // namespace ui
