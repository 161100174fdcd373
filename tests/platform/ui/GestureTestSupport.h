#pragma once

// Helpers of the gesture and control tests: a script of finger reports with explicit
// timestamps, a view that logs every touch call, and an action target that logs what the
// recognizers report.

#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TouchDispatcher.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace ui::test {

using EventLog = std::vector<std::string>;

inline std::string stateName(GestureRecognizerState s) {
    static const char* const names[] = {"possible", "began", "changed", "ended", "cancelled", "failed"};
    return s >= 0 && s <= 5 ? names[s] : "?";
}

// Finger reports in window coordinates at a clock the script advances by hand.
class TouchScript {
public:
    explicit TouchScript(View& root, double start = 100) : _root(root), now(start) {}

    TouchDispatcher dispatcher;

    void send(std::vector<TouchInput> inputs) { dispatcher.dispatch(_root, inputs); }
    void down(long id, gfx::Point p) { send({{id, TouchPhaseBegan, p, now}}); }
    void move(long id, gfx::Point p) { send({{id, TouchPhaseMoved, p, now}}); }
    void up(long id, gfx::Point p) { send({{id, TouchPhaseEnded, p, now}}); }
    // Lets `seconds` pass (deadlines fire).
    void wait(double seconds) {
        now += seconds;
        dispatcher.advanceTime(now);
    }
    void tap(gfx::Point p, double duration = 0.05) {
        down(1, p);
        now += duration;
        up(1, p);
    }
    // Moves finger `id` in a straight line to `to` at `speed` points per second, reporting
    // every `step` seconds (the last report lands exactly on `to`).
    void drag(long id, gfx::Point from, gfx::Point to, double speed, double step = 1.0 / 60) {
        const double duration = std::hypot(to.x - from.x, to.y - from.y) / speed;
        const double start = now;
        const int steps = std::max(1, static_cast<int>(std::ceil(duration / step - 1e-9)));
        for (int i = 1; i <= steps; ++i) {
            const double t = std::min(i * step, duration);
            now = start + t;
            move(id, {from.x + (to.x - from.x) * t / duration, from.y + (to.y - from.y) * t / duration});
        }
    }
    // Two fingers centred on `center`, `fromSpan` apart horizontally, moving to `toSpan`
    // apart in `steps` reports over `duration` seconds (the fingers stay down).
    void pinch(gfx::Point center, double fromSpan, double toSpan, double duration, int steps = 10) {
        send({{1, TouchPhaseBegan, {center.x - fromSpan / 2, center.y}, now},
              {2, TouchPhaseBegan, {center.x + fromSpan / 2, center.y}, now}});
        for (int i = 1; i <= steps; ++i) {
            now += duration / steps;
            const double span = fromSpan + (toSpan - fromSpan) * i / steps;
            send({{1, TouchPhaseMoved, {center.x - span / 2, center.y}, now},
                  {2, TouchPhaseMoved, {center.x + span / 2, center.y}, now}});
        }
    }
    void liftAll(std::vector<std::pair<long, gfx::Point>> fingers) {
        std::vector<TouchInput> inputs;
        for (const auto& [id, p] : fingers)
            inputs.push_back({id, TouchPhaseEnded, p, now});
        send(inputs);
    }

private:
    View& _root;

public:
    double now;
};

// Logs "<name>.began" / ".moved" / ".ended" / ".cancelled" and handles the touches itself.
class TouchLogView : public View {
public:
    OLM_DECLARE_CLASS(TouchLogView)
    static std::shared_ptr<TouchLogView> make(std::string name, EventLog* log, gfx::Rect frame) {
        return rt::create<TouchLogView>(std::move(name), log, frame);
    }
    void touchesBegan(const TouchSet&, Event*) override { log->push_back(name + ".began"); }
    void touchesMoved(const TouchSet&, Event*) override { log->push_back(name + ".moved"); }
    void touchesEnded(const TouchSet&, Event*) override { log->push_back(name + ".ended"); }
    void touchesCancelled(const TouchSet&, Event*) override { log->push_back(name + ".cancelled"); }

    std::string name;
    EventLog* log = nullptr;

protected:
    TouchLogView() = default;
    void init(std::string n, EventLog* l, gfx::Rect frame) {
        name = std::move(n);
        log = l;
        View::init(frame);
    }
    friend class rt::Access;
};

// An action target: logs "<kind>:<state>" and keeps what the recognizers reported.
class GestureRecorder : public rt::Object {
public:
    static std::shared_ptr<GestureRecorder> make(EventLog* log) {
        auto r = std::shared_ptr<GestureRecorder>(new GestureRecorder());
        r->log = log;
        return r;
    }
    void tap(TapGestureRecognizer& r) {
        log->push_back("tap:" + stateName(r.state()));
        locations.push_back(r.locationInView(r.view()));
        touchCounts.push_back(r.numberOfTouches());
    }
    void doubleTap(TapGestureRecognizer& r) { log->push_back("doubleTap:" + stateName(r.state())); }
    void pan(PanGestureRecognizer& r) {
        log->push_back("pan:" + stateName(r.state()));
        translations.push_back(r.translationInView(r.view()));
        velocities.push_back(r.velocityInView(r.view()));
    }
    void pinch(PinchGestureRecognizer& r) {
        log->push_back("pinch:" + stateName(r.state()));
        scales.push_back(r.scale());
        locations.push_back(r.locationInView(r.view()));
        touchCounts.push_back(r.numberOfTouches());
    }

    EventLog* log = nullptr;
    std::vector<gfx::Point> locations;
    std::vector<gfx::Point> translations;
    std::vector<gfx::Point> velocities;
    std::vector<double> scales;
    std::vector<long> touchCounts;

private:
    GestureRecorder() = default;
};

inline int countOf(const EventLog& log, const std::string& entry) {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

inline std::ptrdiff_t indexIn(const EventLog& log, const std::string& entry) {
    const auto it = std::find(log.begin(), log.end(), entry);
    return it == log.end() ? -1 : it - log.begin();
}

} // namespace ui::test
