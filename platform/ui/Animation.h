#pragma once

// Explicit layer animations and the engine that runs them.
//
// An animation changes what a layer shows (its presentation) for a while without touching
// what it holds (its model). The usual pattern sets the model to the end value and adds an
// animation from the old value, so that the layer ends where the model says:
//
//     auto fade = ui::BasicAnimation::make("opacity");
//     fade->setFromValue(layer->opacity());
//     fade->setToValue(0.0);
//     fade->setDuration(0.4);
//     fade->setDelegate(listener);           // held strongly until the animation stops
//     layer->setOpacity(0);
//     layer->addAnimation(fade, "fade");
//
// Timing. `beginTime` 0 means "when added"; any other value is an absolute media time
// (ui::currentMediaTime()). A duration that is 0, negative or not finite means 0.25 s. The
// pacing is the timing function (linear when none). Before it begins and after it ends an
// animation shows nothing, so the presentation equals the model, unless `fillMode` says
// otherwise (backwards: the start value before the begin time; forwards: the end value
// after the end, for as long as the animation stays on the layer, which it does only when
// `removedOnCompletion` is false).
//
// Stacking. A layer's animations apply in the order they were added, each over the result
// of the earlier ones, so a later animation of a property overrides an earlier one of the
// same property. A value an animation does not give (fromValue, toValue) is that underlying
// result at the moment: an animation with only a toValue moves from whatever the layer
// would show without it.
//
// Values are LayerValues; std::monostate means "not given". Numbers, points, sizes,
// rectangles and colours interpolate component by component (a nil colour counts as the
// other end's colour made transparent); transforms interpolate by decomposition
// (gfx::interpolate), so a rotation turns along its arc instead of collapsing. Other kinds,
// and values whose kind does not match the property, switch from one to the other half-way.
//
// Key paths: "bounds", "position", "anchorPoint", "zPosition", "transform",
// "sublayerTransform", "opacity", "backgroundColor", "hidden", "contents"; components
// "position.x", "position.y", "anchorPoint.x", "anchorPoint.y", "bounds.origin",
// "bounds.size", "bounds.origin.x", "bounds.origin.y", "bounds.size.width",
// "bounds.size.height"; and the transform parts "transform.rotation" (= ".z"),
// "transform.rotation.x/.y/.z" (radians), "transform.scale" (all axes), "transform.scale.x/
// .y/.z", "transform.translation" (a gfx::Size), "transform.translation.x/.y/.z". A
// transform part animates a rotation, scale or translation applied to the layer before its
// transform; its value when not given is the neutral one (0 or 1). An animated opacity is
// clamped to 0…1 (a spring overshoots). An animation with an unknown key path animates
// nothing but still runs, starts and stops.
//
// Delivery. The engine (`advanceAnimations`, once per frame) starts animations whose begin
// time has come and ends those whose end has passed. `animationDidStart` and
// `animationDidStop(animation, finished)` are posted to the main queue, so they run when the
// host drains it right after the tick, before the frame is composited. `finished` is false
// when the animation was removed (`removeAnimationForKey`, `removeAllAnimations`), replaced
// by another under the same key, or its layer was destroyed. After the stop the animation
// lets go of its delegate (and of the transaction completion it holds).
//
// `Layer::addAnimation` stores a COPY: changing the animation afterwards does not affect the
// running one, and the same animation may be added to several layers. The `Animation*`
// handed to the delegate is that copy (compare it with `layer->animationForKey(key).get()`,
// not with the object that was added).
//
// Main thread only.

#include "platform/ui/Layer.h"
#include "platform/ui/SpringCurve.h"
#include "platform/ui/TimingFunction.h"
#include "platform/ui/detail/KeyPath.h"

#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace ui {

namespace detail {
struct AnimationAccess;
struct TransformPair;
} // namespace detail

class Animation;

// Hears an animation begin and end. Both methods are optional.
class AnimationDelegate {
public:
    virtual ~AnimationDelegate() = default;
    virtual void animationDidStart(Animation* animation);
    virtual void animationDidStop(Animation* animation, bool finished);
};

enum class FillMode { removed, forwards, backwards, both };

class Animation {
public:
    static constexpr double defaultDuration = 0.25;

    virtual ~Animation() = default;
    Animation& operator=(const Animation&) = delete;

    // As set; `effectiveDuration` is what runs.
    double duration() const { return _duration; }
    void setDuration(double seconds) { _duration = seconds; }
    double effectiveDuration() const;
    double beginTime() const { return _beginTime; }
    // 0 (or a non-finite value) means "when added".
    void setBeginTime(double mediaTime) { _beginTime = mediaTime; }
    const std::optional<TimingFunction>& timingFunction() const { return _timingFunction; }
    void setTimingFunction(std::optional<TimingFunction> function) { _timingFunction = function; }
    bool isRemovedOnCompletion() const { return _removedOnCompletion; }
    void setRemovedOnCompletion(bool removed) { _removedOnCompletion = removed; }
    FillMode fillMode() const { return _fillMode; }
    void setFillMode(FillMode mode) { _fillMode = mode; }
    // Held strongly until the animation has stopped.
    const std::shared_ptr<AnimationDelegate>& delegate() const { return _delegate; }
    void setDelegate(std::shared_ptr<AnimationDelegate> delegate) { _delegate = std::move(delegate); }

    // The fraction of the change shown when `fraction` (0…1) of the duration has passed:
    // the timing function, or the identity.
    virtual double pace(double fraction) const;
    // Writes what the animation shows at elapsed `fraction` (0…1) over `state`, which holds
    // the model with the earlier animations applied.
    virtual void apply(LayerState& state, double fraction) const = 0;
    virtual std::shared_ptr<Animation> copy() const = 0;

protected:
    Animation() = default;
    Animation(const Animation&) = default;

private:
    friend struct detail::AnimationAccess;

    double _duration = 0;
    double _beginTime = 0;
    std::optional<TimingFunction> _timingFunction;
    bool _removedOnCompletion = true;
    FillMode _fillMode = FillMode::removed;
    std::shared_ptr<AnimationDelegate> _delegate;
};

// An animation of one property, named by its key path.
class PropertyAnimation : public Animation {
public:
    const std::string& keyPath() const { return _keyPath; }
    void setKeyPath(std::string keyPath);
    // The key path resolved; nullopt when it names nothing animatable.
    const std::optional<detail::KeyPath>& resolvedKeyPath() const { return _path; }

protected:
    PropertyAnimation() = default;
    PropertyAnimation(const PropertyAnimation&) = default;

private:
    std::string _keyPath;
    std::optional<detail::KeyPath> _path;
};

// From one value to another. Given values, as the toolkit's basic animation takes them:
// from and to; from and by (to = from + by); by and to (from = to - by); from only (to the
// underlying value); to only (from the underlying value); by only (from the underlying
// value by that much); none (the underlying value: nothing visible). "+" adds component by
// component; for transforms "from + by" is `by` applied after `from`.
class BasicAnimation : public PropertyAnimation {
public:
    static std::shared_ptr<BasicAnimation> make(std::string keyPath = {});

    const LayerValue& fromValue() const { return _from; }
    void setFromValue(LayerValue value) { _from = std::move(value); }
    const LayerValue& toValue() const { return _to; }
    void setToValue(LayerValue value) { _to = std::move(value); }
    const LayerValue& byValue() const { return _by; }
    void setByValue(LayerValue value) { _by = std::move(value); }
    // Numbers of any arithmetic type (an integer 0 is the double 0).
    template <class N>
    requires(std::is_arithmetic_v<N> && !std::is_same_v<N, bool> &&
             !std::is_same_v<N, double>) void setFromValue(N value) {
        _from = static_cast<double>(value);
    }
    template <class N>
    requires(std::is_arithmetic_v<N> && !std::is_same_v<N, bool> &&
             !std::is_same_v<N, double>) void setToValue(N value) {
        _to = static_cast<double>(value);
    }
    template <class N>
    requires(std::is_arithmetic_v<N> && !std::is_same_v<N, bool> &&
             !std::is_same_v<N, double>) void setByValue(N value) {
        _by = static_cast<double>(value);
    }

    void apply(LayerState& state, double fraction) const override;
    std::shared_ptr<Animation> copy() const override;

protected:
    BasicAnimation() = default;
    BasicAnimation(const BasicAnimation&) = default;

private:
    LayerValue _from, _to, _by;
    // Transform ends decomposed once per copy (interpolation runs every frame).
    mutable std::shared_ptr<const detail::TransformPair> _decomposed;
};

// A basic animation paced by a damped spring that comes to rest exactly at the end of the
// duration (ui::SpringCurve): it may overshoot the end value and swing back. The timing
// function is not used. Damping ratio 1 does not overshoot; the initial velocity is in
// fractions of the whole change per second.
class SpringAnimation : public BasicAnimation {
public:
    static std::shared_ptr<SpringAnimation> make(std::string keyPath = {}, double dampingRatio = 1,
                                                 double initialVelocity = 0);

    double dampingRatio() const { return _dampingRatio; }
    void setDampingRatio(double ratio) { _dampingRatio = ratio; }
    double initialVelocity() const { return _initialVelocity; }
    void setInitialVelocity(double velocity) { _initialVelocity = velocity; }

    double pace(double fraction) const override;
    std::shared_ptr<Animation> copy() const override;

protected:
    SpringAnimation() = default;
    SpringAnimation(const SpringAnimation&) = default;

private:
    double _dampingRatio = 1;
    double _initialVelocity = 0;
    // The curve for the settings it was made with (finding its frequency takes a search).
    struct CurveCache {
        double dampingRatio, initialVelocity, duration;
        SpringCurve curve;
    };
    mutable std::shared_ptr<const CurveCache> _curve;
};

// How a keyframe animation passes between its values. Paced modes are taken as their
// unpaced counterparts.
enum class CalculationMode { linear, discrete, paced, cubic, cubicPaced };

// Through a list of values at given times. `keyTimes` are fractions of the duration, one per
// value, non-decreasing from 0 to 1; when they are missing or malformed the values are
// spread evenly. Between two values the change is paced by the segment's entry of
// `timingFunctions` (linear when there is none), inside the overall `timingFunction`.
// Discrete mode holds each value until the next key time. Cubic mode runs a smooth curve
// through the values (tangents from the neighbouring values, per unit of time; a value
// next to a hold, where a component does not change, gets a flat tangent in it, so holds
// stay still); transforms take it through their decomposed parts. No values: nothing is
// shown; one value: that value throughout.
class KeyframeAnimation : public PropertyAnimation {
public:
    static std::shared_ptr<KeyframeAnimation> make(std::string keyPath = {});

    const std::vector<LayerValue>& values() const { return _values; }
    void setValues(std::vector<LayerValue> values) { _values = std::move(values); }
    const std::vector<double>& keyTimes() const { return _keyTimes; }
    void setKeyTimes(std::vector<double> keyTimes) { _keyTimes = std::move(keyTimes); }
    const std::vector<TimingFunction>& timingFunctions() const { return _timingFunctions; }
    void setTimingFunctions(std::vector<TimingFunction> functions) {
        _timingFunctions = std::move(functions);
    }
    CalculationMode calculationMode() const { return _mode; }
    void setCalculationMode(CalculationMode mode) { _mode = mode; }

    void apply(LayerState& state, double fraction) const override;
    std::shared_ptr<Animation> copy() const override;

protected:
    KeyframeAnimation() = default;
    KeyframeAnimation(const KeyframeAnimation&) = default;

private:
    std::vector<LayerValue> _values;
    std::vector<double> _keyTimes;
    std::vector<TimingFunction> _timingFunctions;
    CalculationMode _mode = CalculationMode::linear;
};

// Runs a frame of every layer's animations at the current media time: starts those whose
// begin time has come, ends those that are over (removing them unless they stay), and posts
// their delegates' calls to the main queue. The host calls it once per frame after setting
// the clock and drains the main queue right after.
void advanceAnimations();

class AnimationEngine {
public:
    // True while an animation has not yet stopped, or a view animation's completion waits
    // for the next tick: what a host waits for before it calls the screen idle. Animations
    // kept on their layers after they ended (`removedOnCompletion` false) do not count.
    static bool hasRunningAnimations();
    // The number of ticks so far. Standalone layers animate property changes implicitly only
    // once a tick has passed since they were made (see Layer::actionForKey), so that a layer
    // being built does not animate from its defaults.
    static unsigned long frameCount();
    // Whether any layer carries animations (running or kept after they ended): the screen
    // may then change with the media time alone.
    static bool hasAnimatedLayers();
};

} // namespace ui
