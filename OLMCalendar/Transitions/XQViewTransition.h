#pragma once

// The base of the view transitions: a plain view laid over some content that carries one
// snapshot (the "from" image, what the content shows now) over to another (the "to" image,
// what it will show). A transition is either played on its own over `transitionDuration`,
// or driven step by step by a gesture and then finished or cancelled. When it ends it
// reports once to its delegate, which removes it. Transitions know nothing of calendars or
// presenters; any view can use one.
//
// Calling order every driver follows:
//
//     auto t = XQViewTransitionScroll::make(frame);
//     t->setTransitionDuration(0.35);
//     t->setOrientation(XQViewTransitionOrientationHorizontal);
//     t->setDelegate(delegate);                  // held strongly until the report
//     content->addSubview(t);
//     t->beginTransitionFrom(fromImage, toImage, XQViewTransitionDirectionForward);
//     t->transitionWithAnimation();              // or: updateTransition(p)... then
//                                                //     finishTransition() or cancelTransition()
//
// The report (`XQViewTransitionDelegate::transitionIsCanceled`) comes once per begin, from
// the end of the last ending animation started (play, finish or cancel): the end of an
// animation that a later one replaced is not the end of the transition. Once it has
// reported, the transition holds its delegate only weakly, so a driver that keeps its last
// transition is not kept alive through it; beginning again takes the delegate back (when it
// still exists).
//
// Pages show the snapshots as layer contents and are never redrawn while the transition
// runs. A null image leaves its page empty. Main thread only.

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Animation.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Which way a transition goes. Only 0 is forward: any other value is taken as backward.
using XQViewTransitionDirection = long;
// Towards the next period (a swipe to the left or up), or zooming in to a finer view mode.
inline constexpr XQViewTransitionDirection XQViewTransitionDirectionForward = 0;
// Towards the previous period, or zooming out to a coarser view mode.
inline constexpr XQViewTransitionDirection XQViewTransitionDirectionBackward = 1;

// The axis pages move along. Only 1 is vertical: any other value acts as horizontal.
using XQViewTransitionOrientation = long;
inline constexpr XQViewTransitionOrientation XQViewTransitionOrientationHorizontal = 0;
inline constexpr XQViewTransitionOrientation XQViewTransitionOrientationVertical = 1;

class XQViewTransition;

// Hears the end of a transition; typically removes the transition view from its superview.
class XQViewTransitionDelegate {
public:
    virtual ~XQViewTransitionDelegate() = default;
    // The transition ended: `canceled` is true when it went back to its start pose, false
    // when it reached its end pose. The transition stays alive for the duration of the call
    // even when the delegate drops the last reference to it (removing it from its superview).
    virtual void transitionIsCanceled(XQViewTransition& transition, bool canceled) = 0;
};

// Forwards the end report to a delegate it does not keep alive. Drivers that own their
// transition (as subview and by reference) install themselves through it, so that a driver
// released while its transition still runs is freed with it instead of being kept in a cycle.
class XQWeakTransitionDelegate : public XQViewTransitionDelegate {
public:
    explicit XQWeakTransitionDelegate(std::weak_ptr<XQViewTransitionDelegate> target)
        : _target(std::move(target)) {}
    static std::shared_ptr<XQWeakTransitionDelegate> make(std::weak_ptr<XQViewTransitionDelegate> target) {
        return std::make_shared<XQWeakTransitionDelegate>(std::move(target));
    }
    void transitionIsCanceled(XQViewTransition& transition, bool canceled) override {
        if (auto target = _target.lock()) target->transitionIsCanceled(transition, canceled);
    }

private:
    std::weak_ptr<XQViewTransitionDelegate> _target;
};

class XQViewTransition : public ui::View {
public:
    OLM_DECLARE_CLASS(XQViewTransition)
    // A plain transition does nothing and never reports; the subclasses do the work.
    static std::shared_ptr<XQViewTransition> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransition>(frame);
    }

    // The signature of the factories that transition class tables make transitions with.
    using Factory = std::shared_ptr<XQViewTransition>(const gfx::Rect&);

    // --- Properties.
    // Stored by `beginTransitionFrom`.
    XQViewTransitionDirection direction() const { return _direction; }
    void setDirection(XQViewTransitionDirection direction) { _direction = direction; }
    // Set by the creator before the transition begins; only some transitions look at it.
    XQViewTransitionOrientation orientation() const { return _orientation; }
    void setOrientation(XQViewTransitionOrientation orientation) { _orientation = orientation; }
    // The delegate: held strongly until the transition has reported, weakly after that.
    std::shared_ptr<XQViewTransitionDelegate> delegate() const;
    void setDelegate(std::shared_ptr<XQViewTransitionDelegate> delegate);
    // Seconds the played transition takes (0.4 for a new one); finish and cancel take it or
    // half of it, as each transition documents.
    double transitionDuration() const { return _transitionDuration; }
    void setTransitionDuration(double duration) { _transitionDuration = duration; }
    // `direction` == 0.
    bool isForward() const { return _direction == XQViewTransitionDirectionForward; }
    // `orientation` == 1.
    bool isVertical() const { return _orientation == XQViewTransitionOrientationVertical; }

    // --- Driving. Each subclass implements the hooks; here they do nothing.
    // Not sent by the calendar; kept for transitions that want to look at their driver.
    virtual void prepareWithPresenter(const std::shared_ptr<rt::Object>& presenter) { (void)presenter; }
    // Shows the start pose without animation (the subclass's `beginTransition`: direction,
    // background, images on the pages) and arms the end report. Called once before any of
    // the calls below. Subclasses implement `beginTransition`; one that overrides this
    // instead calls it first, or its second run does not report.
    virtual void beginTransitionFrom(gfx::ImageRef from, gfx::ImageRef to,
                                     XQViewTransitionDirection direction);
    // Plays the whole transition from the start pose; reports false at its end.
    virtual void transitionWithAnimation() {}
    // Shows the pose for `progress` without animation: 0 the start pose (the from image
    // shown), 1 the end pose (the to image shown). Not clamped.
    virtual void updateTransition(double progress) { (void)progress; }
    // Animates from the current pose to the end pose; reports false at its end.
    virtual void finishTransition() {}
    // Animates from the current pose back to the start pose; reports true at its end.
    virtual void cancelTransition() {}
    // Sends `transitionIsCanceled(*this, canceled)` to the delegate, if there is one and it
    // has not been told since the last begin (or setDelegate), then holds it only weakly.
    void completeTransition(bool canceled);

    // The part of `image` under `rect` (points, in the image's space) as an opaque image of
    // the rect's size at the screen scale; mirrored inside the rect when `shouldFlip`:
    // upside down when `orientation` is vertical, left to right otherwise. Null when the
    // image is null or the rect has no pixels at that scale.
    static gfx::ImageRef cropImg(const gfx::ImageRef& image, const gfx::Rect& rect, bool shouldFlip,
                                 XQViewTransitionOrientation orientation);

    // Enters the transition classes in the presenters' transition class table (flip 1, fold 2,
    // float 3, card 4, rotate 5, scroll 6). Runs by itself when the program starts; call it
    // again to restore the entries after changing them.
    static void registerTransitionClasses();

protected:
    friend struct rt::Access;
    XQViewTransition() = default;
    void init(const gfx::Rect& frame);

    // The subclass's part of `beginTransitionFrom`: direction, background, images, start pose.
    virtual void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                 XQViewTransitionDirection direction) {
        (void)from;
        (void)to;
        (void)direction;
    }

    // Ending animations (play, finish, cancel) take a ticket when they start and hand it to
    // `endingAnimationDidStop` when they stop; only the last ticket issued reports, so an
    // animation stopped because a newer one replaced it stays silent.
    using EndingTicket = std::uint64_t;
    EndingTicket takeEndingTicket() { return ++_lastEndingTicket; }
    void endingAnimationDidStop(EndingTicket ticket, bool canceled);
    // The completion of an ending view animation about to start: takes its ticket now and
    // reports `canceled` when the animation ends. It holds the transition weakly, so a
    // transition dropped mid-animation is freed and never reports.
    ui::ViewAnimationCompletion endingCompletion(bool canceled);
    // The same for an ending layer animation: its delegate, reporting what `canceled` answers
    // when the animation stops.
    std::shared_ptr<ui::AnimationDelegate> endingAnimationDelegate(std::function<bool(XQViewTransition&)> canceled);
    // Makes the pose on screen the model of `views` (bounds, position, transform, opacity), so
    // that an animation started now begins there, also while an earlier one still runs (whose
    // model is at its end already).
    static void holdPresentedPose(const std::vector<ui::View*>& views);
    // Runs `changes` with the implicit animations of standalone layers disabled.
    static void withoutActions(const std::function<void()>& changes);
    // The superview's background colour (none without a superview): what turned pages uncover.
    std::optional<gfx::Color> superviewBackgroundColor() const;

    // The background the sliding and zooming transitions show behind their pages.
    static gfx::Color pageBackgroundColor();

private:
    XQViewTransitionDirection _direction = XQViewTransitionDirectionForward;
    XQViewTransitionOrientation _orientation = XQViewTransitionOrientationHorizontal;
    // Held strongly from setDelegate or begin until it is told (its presence arms the
    // report), and weakly all along.
    std::shared_ptr<XQViewTransitionDelegate> _delegate;
    std::weak_ptr<XQViewTransitionDelegate> _weakDelegate;
    double _transitionDuration = 0.4;
    EndingTicket _lastEndingTicket = 0;
};
