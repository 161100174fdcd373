#pragma once

// Touch delivery: turns the host's raw finger reports into touches for views and gesture
// recognizers. The host (or a test driver) keeps one dispatcher per window and calls
// `dispatch` with the fingers that changed, in the coordinates of the root view's frame
// (for a window at the screen's origin, the window's coordinates):
//
//     ui::TouchDispatcher touches;
//     touches.dispatch(*root, {{1, ui::TouchPhaseBegan, {40, 60}, 10.00}});   // a tap
//     touches.dispatch(*root, {{1, ui::TouchPhaseEnded, {40, 60}, 10.08}});
//     touches.dispatch(*root, {{1, ui::TouchPhaseBegan, {100, 100}, 11.0},    // two fingers
//                              {2, ui::TouchPhaseBegan, {200, 100}, 11.0}});
//     touches.advanceTime(12.0);   // lets time-outs fire (a tap waiting for a second tap)
//
// Each call is one event. A touch goes to the view that `hitTest` of the root finds where
// it begins, for its whole life; the recognizers of that view and its ancestors see it
// first, then the view (`touchesBegan` … `touchesEnded`), unless a recognizer holds it back
// or cancels it. Timestamps are the host's clock in seconds; nothing here reads a clock.
//
// Main thread only; a dispatcher must outlive the calls into it (actions may run anything
// else, including dispatch again: such calls are queued until the current one is done).

#include "platform/graphics/Geometry.h"
#include "platform/ui/Event.h"
#include "platform/ui/GestureRecognizer.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class View;

// One finger's report. `id` names the finger from its began to its ended (or cancelled)
// report; ids may be reused afterwards. Reports with a phase outside began...cancelled, a
// non-finite location on began, or an id that is not down (other than began) are ignored;
// a non-finite location on a later phase keeps the last one. A began for an id already down
// cancels the old touch first.
struct TouchInput {
    long id = 0;
    TouchPhase phase = TouchPhaseBegan;
    gfx::Point location;
    double timestamp = 0;
};

class TouchDispatcher {
public:
    // Touches that begin within this time and distance of the last lifted one, in the
    // same view, count as repeated taps (`Touch::tapCount`).
    static constexpr double multipleTapInterval = 0.35;
    static constexpr double multipleTapDistance = 45;

    TouchDispatcher();
    // Forgets every touch and resets the recognizers it was feeding, without calling
    // anything.
    ~TouchDispatcher();
    TouchDispatcher(const TouchDispatcher&) = delete;
    TouchDispatcher& operator=(const TouchDispatcher&) = delete;

    // Delivers one event. When an id occurs twice, the reports from the second on form the
    // next event.
    void dispatch(View& root, const std::vector<TouchInput>& touches);
    // Lets the recognizers' deadlines up to `timestamp` pass, and delivers what they held.
    void advanceTime(double timestamp);
    // The earliest deadline a recognizer waits for; nullopt when none.
    std::optional<double> nextDeadline() const;
    // Cancels every touch that is down (a window going away, an incoming call).
    void cancelAllTouches(double timestamp);

    // Fingers down.
    std::size_t touchCount() const;
    // No finger down, no recognizer at work, nothing held back from a view.
    bool isIdle() const;

private:
    friend class GestureRecognizer;

    struct Record {
        long id = 0;
        std::shared_ptr<Touch> touch;
        // The recognizers that see this touch (until they reset or ignore it).
        std::vector<std::shared_ptr<GestureRecognizer>> recognizers;
        bool finished = false;       // lifted or cancelled
        bool beganDelivered = false; // the view got touchesBegan
        bool beganHeld = false;      // touchesBegan held back from the view
        bool endHeld = false;        // the end held back from the view
        bool viewDone = false;       // the view gets nothing more of this touch
    };
    using Delivery = std::vector<std::pair<Record*, TouchPhase>>;

    void runOrQueue(std::function<void()> work);
    // A null root accepts no new touches (cancelling them all).
    void processEvent(View* root, const std::vector<TouchInput>& inputs);
    Record* beginTouch(View& root, const TouchInput& input, double timestamp, Event& event);
    Record* findDown(long id);
    void deliverToRecognizers(const std::vector<Record*>& records, Event* event);
    void deliverToViews(const std::vector<Record*>& records, Event* event);
    void sendToViews(const Delivery& delivery, Event* event);
    void fireDeadlines(double timestamp);
    // After every change: resets finished recognizers, fails forgotten ones, delivers what
    // is no longer held back, drops finished touches.
    void settle();
    bool settleOnce();
    bool flushHeldTouches();

    // Arbitration, reached through GestureRecognizer::setState.
    void requestState(GestureRecognizer& recognizer, GestureRecognizerState state);
    void attemptRecognition(GestureRecognizer& recognizer, GestureRecognizerState state);
    void fail(GestureRecognizer& recognizer);
    void commitAndSend(GestureRecognizer& recognizer, GestureRecognizerState state);
    bool mayBegin(GestureRecognizer& recognizer);
    enum class Requirement { proceed, wait, fail };
    Requirement requirementOf(GestureRecognizer& recognizer);
    // Whether `recognizer` may recognize only after `other` has failed.
    bool dependsOn(GestureRecognizer& recognizer, GestureRecognizer& other);
    static bool simultaneous(GestureRecognizer& a, GestureRecognizer& b);
    static bool excludes(GestureRecognizer& winner, GestureRecognizer& other);
    static bool shareTouches(const GestureRecognizer& a, const GestureRecognizer& b);
    void cancelTouchesInViews(GestureRecognizer& recognizer);
    void recognizerWasDisabled(GestureRecognizer& recognizer);
    void forgetTouch(GestureRecognizer& recognizer, const Touch& touch);
    bool holdsBegan(const Record& record) const;
    bool holdsEnd(const Record& record) const;
    bool isHeldBy(const Record& record, bool (GestureRecognizer::*delays)() const) const;
    bool isActive(const GestureRecognizer& recognizer) const;
    std::shared_ptr<Event> currentEvent();

    std::vector<std::unique_ptr<Record>> _records;
    // The recognizers at work, in the order they first saw a touch.
    std::vector<std::shared_ptr<GestureRecognizer>> _recognizers;
    std::shared_ptr<Event> _event;
    double _now = 0;
    int _depth = 0;
    std::vector<std::function<void()>> _queued;

    struct LastTap {
        double timestamp = 0;
        gfx::Point location;
        std::weak_ptr<View> view;
        long count = 0;
    } _lastTap;
};

} // namespace ui
