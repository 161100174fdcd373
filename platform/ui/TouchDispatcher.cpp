#include "platform/ui/TouchDispatcher.h"

#include "platform/ui/Control.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace ui {

namespace {

using State = GestureRecognizerState;

bool isFinished(State s) {
    return s == GestureRecognizerStateEnded || s == GestureRecognizerStateCancelled ||
           s == GestureRecognizerStateFailed;
}

bool isInProgress(State s) {
    return s == GestureRecognizerStateBegan || s == GestureRecognizerStateChanged;
}

bool isFinite(gfx::Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

template <class T> bool holds(const std::vector<std::shared_ptr<T>>& list, const T* item) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::shared_ptr<T>& p) { return p.get() == item; });
}

// A strong reference to an object owned by shared pointers (null when it is not).
template <class T> std::shared_ptr<T> retain(T* object) {
    if (object == nullptr) return nullptr;
    return std::static_pointer_cast<T>(object->weak_from_this().lock());
}

} // namespace

TouchDispatcher::TouchDispatcher() = default;

TouchDispatcher::~TouchDispatcher() {
    for (const auto& r : _recognizers)
        if (r->_dispatcher == this) r->resetForNextGesture();
}

// --- Entry points.

void TouchDispatcher::runOrQueue(std::function<void()> work) {
    _queued.push_back(std::move(work));
    if (_depth > 0) return;
    ++_depth;
    for (std::size_t i = 0; i < _queued.size(); ++i) {
        const std::function<void()> job = std::move(_queued[i]);
        job();
    }
    _queued.clear();
    --_depth;
}

void TouchDispatcher::dispatch(View& root, const std::vector<TouchInput>& touches) {
    const std::shared_ptr<View> keep = retain(&root);
    View* rootView = &root;
    runOrQueue([this, keep, rootView, touches] {
        std::vector<TouchInput> event;
        for (const TouchInput& input : touches) {
            const bool repeated = std::any_of(event.begin(), event.end(),
                                              [&](const TouchInput& other) { return other.id == input.id; });
            if (repeated) {
                processEvent(rootView, event);
                event.clear();
            }
            event.push_back(input);
        }
        if (!event.empty()) processEvent(rootView, event);
    });
}

void TouchDispatcher::advanceTime(double timestamp) {
    if (!std::isfinite(timestamp)) return;
    runOrQueue([this, timestamp] {
        fireDeadlines(timestamp);
        _now = std::max(_now, timestamp);
        settle();
    });
}

std::optional<double> TouchDispatcher::nextDeadline() const {
    std::optional<double> earliest;
    for (const auto& r : _recognizers) {
        if (!isActive(*r)) continue;
        const std::optional<double> d = r->deadline();
        if (d && std::isfinite(*d) && (!earliest || *d < *earliest)) earliest = d;
    }
    return earliest;
}

void TouchDispatcher::cancelAllTouches(double timestamp) {
    runOrQueue([this, timestamp] {
        std::vector<TouchInput> inputs;
        for (const auto& rec : _records)
            if (!rec->finished)
                inputs.push_back({rec->id, TouchPhaseCancelled, rec->touch->locationInWindow(), timestamp});
        processEvent(nullptr, inputs);
    });
}

std::size_t TouchDispatcher::touchCount() const {
    return static_cast<std::size_t>(
        std::count_if(_records.begin(), _records.end(), [](const auto& rec) { return !rec->finished; }));
}

bool TouchDispatcher::isIdle() const {
    return _records.empty() && _recognizers.empty();
}

// --- One event.

TouchDispatcher::Record* TouchDispatcher::findDown(long id) {
    for (const auto& rec : _records)
        if (rec->id == id && !rec->finished) return rec.get();
    return nullptr;
}

void TouchDispatcher::processEvent(View* root, const std::vector<TouchInput>& inputs) {
    double timestamp = -std::numeric_limits<double>::infinity();
    for (const TouchInput& input : inputs)
        if (std::isfinite(input.timestamp)) timestamp = std::max(timestamp, input.timestamp);
    if (!std::isfinite(timestamp)) timestamp = _now;
    fireDeadlines(timestamp);
    _now = timestamp;

    const std::shared_ptr<Event> event = Event::make(timestamp);
    _event = event;
    std::vector<Record*> records;
    for (const TouchInput& input : inputs) {
        if (input.phase < TouchPhaseBegan || input.phase > TouchPhaseCancelled) continue;
        if (input.phase == TouchPhaseBegan) {
            if (!isFinite(input.location) || root == nullptr) continue;
            if (Record* old = findDown(input.id)) {
                old->touch->moveTo(old->touch->locationInWindow(), timestamp);
                old->touch->setPhase(TouchPhaseCancelled);
                old->finished = true;
                records.push_back(old);
            }
            records.push_back(beginTouch(*root, input, timestamp, *event));
            continue;
        }
        Record* rec = findDown(input.id);
        if (rec == nullptr) continue;
        rec->touch->moveTo(isFinite(input.location) ? input.location : rec->touch->locationInWindow(),
                           timestamp);
        rec->touch->setPhase(input.phase);
        if (input.phase == TouchPhaseEnded || input.phase == TouchPhaseCancelled) rec->finished = true;
        if (input.phase == TouchPhaseEnded)
            _lastTap = {timestamp, rec->touch->locationInWindow(), rec->touch->view(),
                        rec->touch->tapCount()};
        records.push_back(rec);
    }

    if (!records.empty()) {
        TouchSet all;
        for (const auto& rec : _records)
            if (!rec->finished || std::find(records.begin(), records.end(), rec.get()) != records.end())
                all.push_back(rec->touch);
        event->setAllTouches(std::move(all));
        deliverToRecognizers(records, event.get());
        deliverToViews(records, event.get());
    }
    settle();
    _event.reset();
}

TouchDispatcher::Record* TouchDispatcher::beginTouch(View& root, const TouchInput& input, double timestamp,
                                                     Event& event) {
    auto rec = std::make_unique<Record>();
    rec->id = input.id;
    rec->touch = Touch::make(input.location, timestamp);
    rec->touch->setPhase(TouchPhaseBegan);
    const std::shared_ptr<View> hit =
        retain(root.hitTest(root.convertPointFromView(input.location, nullptr), &event));
    rec->touch->setView(hit);

    long tapCount = 1;
    if (hit && _lastTap.count > 0 && _lastTap.view.lock() == hit && timestamp >= _lastTap.timestamp &&
        timestamp - _lastTap.timestamp <= multipleTapInterval &&
        std::hypot(input.location.x - _lastTap.location.x, input.location.y - _lastTap.location.y) <=
            multipleTapDistance)
        tapCount = _lastTap.count + 1;
    rec->touch->setTapCount(tapCount);

    // The recognizers of the hit view and of its ancestors, nearest first.
    for (View* v = hit.get(); v != nullptr; v = v->superview()) {
        const std::vector<std::shared_ptr<GestureRecognizer>> recognizers = v->gestureRecognizers();
        for (const auto& r : recognizers) {
            if (!r->isEnabled() || r->isWaiting() || isFinished(r->state())) continue;
            if (r->_dispatcher != nullptr && r->_dispatcher != this) continue;
            if (const auto d = r->delegate(); d && !d->gestureRecognizerShouldReceiveTouch(*r, *rec->touch))
                continue;
            rec->recognizers.push_back(r);
            r->addTouch(rec->touch);
            if (r->_dispatcher != this) {
                r->_dispatcher = this;
                _recognizers.push_back(r);
            }
        }
    }
    _records.push_back(std::move(rec));
    return _records.back().get();
}

void TouchDispatcher::deliverToRecognizers(const std::vector<Record*>& records, Event* event) {
    const std::vector<std::shared_ptr<GestureRecognizer>> recognizers = _recognizers;
    for (const auto& r : recognizers) {
        std::array<TouchSet, 5> byPhase;
        for (Record* rec : records)
            if (holds(rec->recognizers, r.get()))
                byPhase[static_cast<std::size_t>(rec->touch->phase())].push_back(rec->touch);
        const auto deliver = [&](TouchPhase phase,
                                 void (GestureRecognizer::*method)(const TouchSet&, Event*)) {
            const TouchSet& touches = byPhase[static_cast<std::size_t>(phase)];
            // A recognizer taken off its view or disabled meanwhile hears no more; the
            // settling after the event stops it.
            if (!touches.empty() && r->_dispatcher == this && !isFinished(r->state()) && r->isEnabled() &&
                r->view() != nullptr)
                ((*r).*method)(touches, event);
        };
        deliver(TouchPhaseBegan, &GestureRecognizer::touchesBegan);
        deliver(TouchPhaseMoved, &GestureRecognizer::touchesMoved);
        deliver(TouchPhaseEnded, &GestureRecognizer::touchesEnded);
        deliver(TouchPhaseCancelled, &GestureRecognizer::touchesCancelled);
    }
}

void TouchDispatcher::deliverToViews(const std::vector<Record*>& records, Event* event) {
    Delivery delivery;
    for (Record* rec : records) {
        if (!rec->touch->view() || rec->viewDone) continue;
        const TouchPhase phase = rec->touch->phase();
        if (phase == TouchPhaseBegan) {
            // A touch that joins a gesture already recognized never reaches its view.
            const bool claimed =
                std::any_of(rec->recognizers.begin(), rec->recognizers.end(), [&](const auto& r) {
                    return r->_dispatcher == this && isInProgress(r->state()) && r->cancelsTouchesInView();
                });
            if (claimed) {
                rec->viewDone = true;
            } else if (holdsBegan(*rec)) {
                rec->beganHeld = true;
            } else {
                rec->beganDelivered = true;
                delivery.emplace_back(rec, TouchPhaseBegan);
            }
        } else if (phase == TouchPhaseMoved) {
            if (rec->beganDelivered) delivery.emplace_back(rec, TouchPhaseMoved);
        } else if (phase == TouchPhaseEnded || phase == TouchPhaseCancelled) {
            if (phase == TouchPhaseEnded && (holdsEnd(*rec) || rec->beganHeld)) {
                rec->endHeld = true;
                continue;
            }
            rec->viewDone = true;
            if (rec->beganDelivered) delivery.emplace_back(rec, phase);
        }
    }
    sendToViews(delivery, event);
}

void TouchDispatcher::sendToViews(const Delivery& delivery, Event* event) {
    if (delivery.empty()) return;
    const std::shared_ptr<Event> keepEvent = retain(event);
    for (const TouchPhase phase : {TouchPhaseBegan, TouchPhaseMoved, TouchPhaseEnded, TouchPhaseCancelled}) {
        std::vector<std::pair<std::shared_ptr<View>, TouchSet>> groups;
        for (const auto& [rec, p] : delivery) {
            if (p != phase) continue;
            const std::shared_ptr<View>& view = rec->touch->view();
            auto group =
                std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == view; });
            if (group == groups.end()) group = groups.insert(groups.end(), {view, {}});
            group->second.push_back(rec->touch);
        }
        for (const auto& [view, touches] : groups) {
            switch (phase) {
            case TouchPhaseBegan:
                view->touchesBegan(touches, event);
                break;
            case TouchPhaseMoved:
                view->touchesMoved(touches, event);
                break;
            case TouchPhaseEnded:
                view->touchesEnded(touches, event);
                break;
            default:
                view->touchesCancelled(touches, event);
                break;
            }
        }
    }
}

bool TouchDispatcher::holdsBegan(const Record& record) const {
    return isHeldBy(record, &GestureRecognizer::delaysTouchesBegan);
}

bool TouchDispatcher::holdsEnd(const Record& record) const {
    return isHeldBy(record, &GestureRecognizer::delaysTouchesEnded);
}

bool TouchDispatcher::isHeldBy(const Record& record, bool (GestureRecognizer::*delays)() const) const {
    // Held while a recognizer that delays it may still recognize.
    return std::any_of(record.recognizers.begin(), record.recognizers.end(), [&](const auto& r) {
        return r->_dispatcher == this && ((*r).*delays)() && r->state() == GestureRecognizerStatePossible;
    });
}

bool TouchDispatcher::isActive(const GestureRecognizer& recognizer) const {
    return recognizer._dispatcher == this && !isFinished(recognizer.state());
}

std::shared_ptr<Event> TouchDispatcher::currentEvent() {
    if (_event) return _event;
    TouchSet touches;
    for (const auto& rec : _records)
        if (!rec->finished) touches.push_back(rec->touch);
    return Event::make(_now, std::move(touches));
}

// --- Time.

void TouchDispatcher::fireDeadlines(double timestamp) {
    std::vector<const GestureRecognizer*> fired;
    for (;;) {
        std::shared_ptr<GestureRecognizer> next;
        double earliest = 0;
        for (const auto& r : _recognizers) {
            if (!isActive(*r) || std::find(fired.begin(), fired.end(), r.get()) != fired.end()) continue;
            const std::optional<double> d = r->deadline();
            if (!d || !(*d <= timestamp)) continue;
            if (!next || *d < earliest) {
                next = r;
                earliest = *d;
            }
        }
        if (!next) break;
        fired.push_back(next.get());
        next->deadlineReached(timestamp);
    }
    if (!fired.empty()) settle();
}

// --- Settling after a change.

void TouchDispatcher::settle() {
    // Each round may deliver touches to views whose handlers change recognizers again; the
    // rounds stop when nothing moves (a few at most in practice).
    for (int round = 0; round < 32 && settleOnce(); ++round) {
    }
}

bool TouchDispatcher::settleOnce() {
    bool changed = false;
    const std::vector<std::shared_ptr<GestureRecognizer>> recognizers = _recognizers;
    for (const auto& r : recognizers)
        if (r->_dispatcher == this) r->removeFinishedTouches();

    // Recognizers that were disabled or detached, or that lost their touches without
    // deciding, stop here.
    bool anyLive = false;
    for (const auto& r : recognizers) {
        if (r->_dispatcher != this) continue;
        const State s = r->state();
        const bool gone = !r->isEnabled() || r->view() == nullptr;
        if (s == GestureRecognizerStatePossible && !r->isWaiting()) {
            if (gone || (r->numberOfTouches() == 0 && !r->deadline())) {
                fail(*r);
                changed = true;
            } else {
                anyLive = true;
            }
        } else if (isInProgress(s)) {
            if (gone || r->numberOfTouches() == 0) {
                commitAndSend(*r, GestureRecognizerStateCancelled);
                changed = true;
            } else {
                anyLive = true;
            }
        }
    }
    // Recognizers that wait for others which can no longer decide (a cycle of requirements,
    // or nothing left that could fail) give up.
    if (!anyLive) {
        for (const auto& r : recognizers) {
            if (r->_dispatcher == this && r->isWaiting() && r->state() == GestureRecognizerStatePossible) {
                fail(*r);
                changed = true;
            }
        }
    }

    for (const auto& r : recognizers) {
        if (r->_dispatcher != this || !isFinished(r->state())) continue;
        for (const auto& rec : _records)
            std::erase_if(rec->recognizers, [&](const auto& other) { return other == r; });
        r->resetForNextGesture();
        changed = true;
    }
    std::erase_if(_recognizers, [&](const auto& r) { return r->_dispatcher != this; });

    if (flushHeldTouches()) changed = true;
    std::erase_if(_records, [](const std::unique_ptr<Record>& rec) {
        return rec->finished && (rec->viewDone || !rec->touch->view()) && !rec->beganHeld && !rec->endHeld;
    });
    return changed;
}

bool TouchDispatcher::flushHeldTouches() {
    Delivery delivery;
    for (const auto& rec : _records) {
        if (rec->viewDone) {
            rec->beganHeld = rec->endHeld = false;
            continue;
        }
        if (rec->beganHeld && !holdsBegan(*rec)) {
            rec->beganHeld = false;
            rec->beganDelivered = true;
            delivery.emplace_back(rec.get(), TouchPhaseBegan);
        }
        if (rec->endHeld && !rec->beganHeld && !holdsEnd(*rec)) {
            rec->endHeld = false;
            rec->viewDone = true;
            if (rec->beganDelivered) delivery.emplace_back(rec.get(), rec->touch->phase());
        }
    }
    sendToViews(delivery, currentEvent().get());
    return !delivery.empty();
}

// --- Arbitration.

void TouchDispatcher::requestState(GestureRecognizer& recognizer, State state) {
    if (state < GestureRecognizerStatePossible || state > GestureRecognizerStateFailed) return;
    const std::shared_ptr<GestureRecognizer> keep = retain(&recognizer);
    const State current = recognizer.state();
    if (isFinished(current) || state == GestureRecognizerStatePossible) return;
    if (current == GestureRecognizerStatePossible) {
        if (state == GestureRecognizerStateCancelled || state == GestureRecognizerStateFailed) {
            fail(recognizer);
        } else {
            if (state == GestureRecognizerStateChanged) state = GestureRecognizerStateBegan;
            if (recognizer.isWaiting()) {
                // Already recognized, held back: remember that the gesture also ended.
                if (state == GestureRecognizerStateEnded &&
                    *recognizer._pendingState == GestureRecognizerStateBegan)
                    recognizer._pendingEnds = true;
            } else {
                attemptRecognition(recognizer, state);
            }
        }
    } else {
        if (state == GestureRecognizerStateBegan) state = GestureRecognizerStateChanged;
        if (state == GestureRecognizerStateFailed) state = GestureRecognizerStateCancelled;
        commitAndSend(recognizer, state);
    }
    if (_depth == 0) runOrQueue([this] { settle(); });
}

void TouchDispatcher::attemptRecognition(GestureRecognizer& recognizer, State state) {
    if (!mayBegin(recognizer)) {
        fail(recognizer);
        return;
    }
    switch (requirementOf(recognizer)) {
    case Requirement::fail:
        fail(recognizer);
        return;
    case Requirement::wait:
        recognizer._pendingState = state;
        return;
    case Requirement::proceed:
        break;
    }
    recognizer._pendingState.reset();
    const bool endsAtOnce = std::exchange(recognizer._pendingEnds, false);

    const std::vector<std::shared_ptr<GestureRecognizer>> recognizers = _recognizers;
    for (const auto& other : recognizers) {
        if (other.get() == &recognizer || other->_dispatcher != this ||
            other->state() != GestureRecognizerStatePossible)
            continue;
        if (shareTouches(recognizer, *other) && excludes(recognizer, *other)) fail(*other);
    }
    // Failing the others may have let a waiting recognizer go ahead, whose actions could
    // have changed this one.
    if (recognizer.state() != GestureRecognizerStatePossible || recognizer._dispatcher != this) return;

    recognizer.commitState(state);
    if (recognizer.cancelsTouchesInView()) cancelTouchesInViews(recognizer);
    recognizer.sendActions();

    for (const auto& other : recognizers) {
        if (other.get() != &recognizer && other->_dispatcher == this && other->isWaiting() &&
            dependsOn(*other, recognizer))
            fail(*other);
    }
    if (endsAtOnce && recognizer._dispatcher == this && recognizer.state() == GestureRecognizerStateBegan)
        commitAndSend(recognizer, GestureRecognizerStateEnded);
}

void TouchDispatcher::fail(GestureRecognizer& recognizer) {
    if (isFinished(recognizer.state())) return;
    recognizer._pendingState.reset();
    recognizer._pendingEnds = false;
    recognizer.commitState(GestureRecognizerStateFailed);
    // Those that waited for this one may now recognize.
    const std::vector<std::shared_ptr<GestureRecognizer>> recognizers = _recognizers;
    for (const auto& other : recognizers) {
        if (other.get() == &recognizer || other->_dispatcher != this || !other->isWaiting() ||
            !dependsOn(*other, recognizer))
            continue;
        const State pending = *other->_pendingState;
        other->_pendingState.reset();
        attemptRecognition(*other, pending);
    }
}

void TouchDispatcher::commitAndSend(GestureRecognizer& recognizer, State state) {
    recognizer.commitState(state);
    recognizer.sendActions();
}

bool TouchDispatcher::mayBegin(GestureRecognizer& recognizer) {
    if (!recognizer.isEnabled() || recognizer.view() == nullptr) return false;
    // A control's own handling wins the gestures it overlaps (a button's tap).
    for (const auto& touch : recognizer._touches) {
        const auto* control = dynamic_cast<const Control*>(touch->view().get());
        if (control != nullptr && control != recognizer.view() &&
            control->preventsGestureRecognizer(recognizer))
            return false;
    }
    for (const auto& other : _recognizers) {
        if (other.get() == &recognizer || other->_dispatcher != this) continue;
        const State s = other->state();
        if ((isInProgress(s) || s == GestureRecognizerStateEnded) && shareTouches(recognizer, *other) &&
            excludes(*other, recognizer))
            return false;
    }
    const auto delegate = recognizer.delegate();
    return !delegate || delegate->gestureRecognizerShouldBegin(recognizer);
}

TouchDispatcher::Requirement TouchDispatcher::requirementOf(GestureRecognizer& recognizer) {
    bool wait = false;
    const std::vector<std::shared_ptr<GestureRecognizer>> recognizers = _recognizers;
    for (const auto& other : recognizers) {
        if (other.get() == &recognizer || other->_dispatcher != this || !dependsOn(recognizer, *other))
            continue;
        const State s = other->state();
        if (s == GestureRecognizerStatePossible) wait = true;
        if (isInProgress(s) || s == GestureRecognizerStateEnded) return Requirement::fail;
    }
    return wait ? Requirement::wait : Requirement::proceed;
}

bool TouchDispatcher::dependsOn(GestureRecognizer& recognizer, GestureRecognizer& other) {
    for (const auto& w : recognizer._requiredToFail)
        if (w.lock().get() == &other) return true;
    if (const auto d = recognizer.delegate();
        d && d->gestureRecognizerShouldRequireFailureOfGestureRecognizer(recognizer, other))
        return true;
    const auto d = other.delegate();
    return d && d->gestureRecognizerShouldBeRequiredToFailByGestureRecognizer(other, recognizer);
}

bool TouchDispatcher::simultaneous(GestureRecognizer& a, GestureRecognizer& b) {
    if (const auto d = a.delegate();
        d && d->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(a, b))
        return true;
    const auto d = b.delegate();
    return d && d->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(b, a);
}

bool TouchDispatcher::excludes(GestureRecognizer& winner, GestureRecognizer& other) {
    return winner.canPreventGestureRecognizer(other) && other.canBePreventedByGestureRecognizer(winner) &&
           !simultaneous(winner, other);
}

bool TouchDispatcher::shareTouches(const GestureRecognizer& a, const GestureRecognizer& b) {
    return std::any_of(a._touches.begin(), a._touches.end(),
                       [&](const auto& t) { return holds(b._touches, t.get()); });
}

void TouchDispatcher::cancelTouchesInViews(GestureRecognizer& recognizer) {
    Delivery delivery;
    for (const auto& rec : _records) {
        if (rec->viewDone || !holds(rec->recognizers, &recognizer)) continue;
        rec->viewDone = true;
        rec->beganHeld = rec->endHeld = false;
        if (rec->beganDelivered && rec->touch->view()) delivery.emplace_back(rec.get(), TouchPhaseCancelled);
    }
    sendToViews(delivery, currentEvent().get());
}

void TouchDispatcher::recognizerWasDisabled(GestureRecognizer& recognizer) {
    const std::shared_ptr<GestureRecognizer> keep = retain(&recognizer);
    const auto stop = [this, keep] {
        if (!keep || keep->_dispatcher != this) return;
        if (isInProgress(keep->state()))
            commitAndSend(*keep, GestureRecognizerStateCancelled);
        else if (keep->state() == GestureRecognizerStatePossible)
            fail(*keep);
    };
    if (_depth > 0) {
        stop();
        return;
    }
    runOrQueue([this, stop] {
        stop();
        settle();
    });
}

void TouchDispatcher::forgetTouch(GestureRecognizer& recognizer, const Touch& touch) {
    for (const auto& rec : _records)
        if (rec->touch.get() == &touch)
            std::erase_if(rec->recognizers, [&](const auto& r) { return r.get() == &recognizer; });
}

} // namespace ui
