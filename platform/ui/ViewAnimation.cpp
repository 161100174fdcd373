// The view animation blocks: while a block runs, changes of views' layers are recorded per
// layer and property; when it returns, each recorded property gets one animation (basic,
// spring or keyframe) from its value before the block to its value after, all reporting to
// the block's completion. Rules in ViewAnimation.h.

#include "platform/ui/ViewAnimation.h"

#include "platform/ui/Animation.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/View.h"
#include "platform/ui/detail/Interpolation.h"
#include "platform/ui/detail/LayerAnimations.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Counts a block's animations and runs its completion once, after the last has stopped.
class BlockCompletion : public AnimationDelegate, public std::enable_shared_from_this<BlockCompletion> {
public:
    explicit BlockCompletion(ViewAnimationCompletion completion) : _completion(std::move(completion)) {}

    void track() { ++_pending; }
    // The block has added all its animations.
    void close() {
        _closed = true;
        if (_pending > 0 || !_completion) return;
        detail::runAtNextTick([self = shared_from_this()] { self->run(); });
    }
    void animationDidStop(Animation*, bool finished) override {
        _finished = _finished && finished;
        if (_pending > 0) --_pending;
        if (_closed && _pending == 0) run();
    }

private:
    void run() {
        if (!_completion) return;
        ViewAnimationCompletion completion = std::move(_completion);
        _completion = nullptr;
        completion(_finished);
    }

    ViewAnimationCompletion _completion;
    int _pending = 0;
    bool _closed = false;
    bool _finished = true;
};

enum class Kind { plain, spring, keyframes };

struct Segment {
    double start;
    double length;
    LayerValue to;
};

// One property of one layer changed by the block.
struct Track {
    std::shared_ptr<Layer> layer;
    std::string key;
    LayerValue from;
    std::vector<Segment> segments; // keyframe blocks only
};

struct Context {
    Kind kind = Kind::plain;
    double duration = 0;
    double delay = 0;
    ViewAnimationOptions options = 0;
    // The pace of a plain block, and the overall pace of a keyframe block.
    std::optional<TimingFunction> curve;
    double dampingRatio = 1;
    double initialVelocity = 0;
    CalculationMode mode = CalculationMode::linear;
    // The window of the keyframe being recorded.
    double keyframeStart = 0;
    double keyframeLength = 1;
    std::vector<Track> tracks;
    std::vector<std::weak_ptr<View>> views;
    std::shared_ptr<BlockCompletion> completion;
};

std::vector<Context*>& contexts() {
    static std::vector<Context*> stack;
    return stack;
}

bool& animationsEnabled() {
    static bool enabled = true;
    return enabled;
}

TimingFunction curveFor(ViewAnimationOptions options) {
    switch ((options >> 16) & 3) {
    case 1:
        return TimingFunction::easeIn();
    case 2:
        return TimingFunction::easeOut();
    case 3:
        return TimingFunction::linear();
    default:
        return TimingFunction::easeInEaseOut();
    }
}

CalculationMode modeFor(ViewKeyframeAnimationOptions options) {
    switch ((options >> 10) & 7) {
    case 1:
        return CalculationMode::discrete;
    case 2:
        return CalculationMode::paced;
    case 3:
        return CalculationMode::cubic;
    case 4:
        return CalculationMode::cubicPaced;
    default:
        return CalculationMode::linear;
    }
}

double clamp01(double x) {
    return std::isfinite(x) ? std::clamp(x, 0.0, 1.0) : 0.0;
}

void record(Context& c, View& view, Layer& layer, std::string_view key, const LayerValue& oldValue) {
    const std::optional<detail::KeyPath> path = detail::parseKeyPath(key);
    if (!path) return;
    if (std::none_of(c.views.begin(), c.views.end(), [&](const auto& v) { return v.lock().get() == &view; }))
        c.views.push_back(rt::weakFrom(&view));
    auto track = std::find_if(c.tracks.begin(), c.tracks.end(),
                              [&](const Track& t) { return t.layer.get() == &layer && t.key == key; });
    if (track == c.tracks.end()) {
        LayerValue from = detail::startValue(layer, *path, key, oldValue,
                                             c.options & ViewAnimationOptionBeginFromCurrentState);
        c.tracks.push_back(Track{rt::sharedFrom(&layer), std::string(key), std::move(from), {}});
        track = c.tracks.end() - 1;
    }
    if (c.kind != Kind::keyframes) return;
    LayerValue to = layer.valueForKey(key);
    std::vector<Segment>& segments = track->segments;
    if (!segments.empty() && segments.back().start == c.keyframeStart &&
        segments.back().length == c.keyframeLength)
        segments.back().to = std::move(to);
    else
        segments.push_back(Segment{c.keyframeStart, c.keyframeLength, std::move(to)});
}

// Records the changes of one view's layer for the innermost block.
class RecordChange : public LayerAction {
public:
    RecordChange(Context& context, View& view) : _context(context), _view(view) {}
    void runActionForKey(std::string_view key, Layer& layer, const LayerValue& oldValue) override {
        record(_context, _view, layer, key, oldValue);
    }

private:
    Context& _context;
    View& _view;
};

// A nil colour among keyframe values (no background) becomes the transparent version of the
// nearest colour, so that the colour fades instead of jumping.
void fillNilColours(std::vector<LayerValue>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!std::holds_alternative<std::monostate>(values[i])) continue;
        for (std::size_t d = 1; d < values.size(); ++d) {
            const gfx::Color* near = nullptr;
            if (i + d < values.size()) near = std::get_if<gfx::Color>(&values[i + d]);
            if (near == nullptr && i >= d) near = std::get_if<gfx::Color>(&values[i - d]);
            if (near != nullptr) {
                values[i] = near->withAlpha(0);
                break;
            }
        }
    }
}

std::shared_ptr<Animation> makeKeyframeAnimation(const Context& c, const Track& track) {
    std::vector<Segment> segments = track.segments;
    std::stable_sort(segments.begin(), segments.end(),
                     [](const Segment& a, const Segment& b) { return a.start < b.start; });
    std::vector<double> times{0};
    std::vector<LayerValue> values{track.from};
    // The value of the linear track built so far at time s (holding after its last knot).
    auto valueAt = [&](double s) {
        for (std::size_t k = 0; k + 1 < times.size(); ++k) {
            if (s > times[k + 1]) continue;
            const double span = times[k + 1] - times[k];
            return span > 0 ? detail::interpolate(values[k], values[k + 1], (s - times[k]) / span)
                            : values[k + 1];
        }
        return values.back();
    };
    for (const Segment& segment : segments) {
        // A keyframe that starts while an earlier one runs takes over from where the track is.
        LayerValue startValue = valueAt(segment.start);
        while (times.size() > 1 && times.back() > segment.start) {
            times.pop_back();
            values.pop_back();
        }
        if (times.back() < segment.start) {
            times.push_back(segment.start);
            values.push_back(std::move(startValue));
        } else {
            values.back() = std::move(startValue);
        }
        times.push_back(segment.start + segment.length);
        values.push_back(segment.to);
    }
    if (times.back() < 1) {
        times.push_back(1);
        values.push_back(values.back());
    }
    if (std::all_of(values.begin(), values.end(), [&](const LayerValue& v) { return v == values.front(); }))
        return nullptr;
    fillNilColours(values);
    auto animation = KeyframeAnimation::make(track.key);
    animation->setValues(std::move(values));
    animation->setKeyTimes(std::move(times));
    animation->setCalculationMode(c.mode);
    animation->setTimingFunction(c.curve);
    return animation;
}

std::shared_ptr<Animation> makeBasicAnimation(const Context& c, const Track& track) {
    LayerValue to = track.layer->valueForKey(track.key);
    if (to == track.from) return nullptr;
    std::shared_ptr<BasicAnimation> animation;
    if (c.kind == Kind::spring) {
        animation = SpringAnimation::make(track.key, c.dampingRatio, c.initialVelocity);
    } else {
        animation = BasicAnimation::make(track.key);
        animation->setTimingFunction(c.curve);
    }
    animation->setFromValue(track.from);
    animation->setToValue(std::move(to));
    return animation;
}

// Adds the animations of the recorded tracks.
void commit(Context& c) {
    if (!(c.duration > 0) || !std::isfinite(c.duration)) return;
    const bool delayed = std::isfinite(c.delay) && c.delay > 0;
    const double begin = delayed ? currentMediaTime() + c.delay : 0;
    for (const Track& track : c.tracks) {
        std::shared_ptr<Animation> animation =
            c.kind == Kind::keyframes ? makeKeyframeAnimation(c, track) : makeBasicAnimation(c, track);
        if (!animation) continue;
        animation->setDuration(c.duration);
        animation->setBeginTime(begin);
        // The old value stays on screen until a delayed animation begins.
        if (delayed) animation->setFillMode(FillMode::backwards);
        animation->setDelegate(c.completion);
        c.completion->track();
        track.layer->addAnimation(animation, track.key);
    }
}

void runBlock(Context& c, const std::function<void()>& animations, ViewAnimationCompletion completion) {
    c.completion = std::make_shared<BlockCompletion>(std::move(completion));
    {
        struct Scope {
            explicit Scope(Context& context) { contexts().push_back(&context); }
            ~Scope() { contexts().pop_back(); }
            Scope(const Scope&) = delete;
            Scope& operator=(const Scope&) = delete;
        } scope(c);
        if (animations) animations();
        if (c.options & ViewAnimationOptionLayoutSubviews) {
            // A layout changes more views, which join the list meanwhile (and are laid out in
            // turn): walked by index, never by iterators the growth invalidates.
            for (std::size_t i = 0; i < c.views.size(); ++i)
                if (const std::shared_ptr<View> view = c.views[i].lock()) view->layoutIfNeeded();
        }
    }
    commit(c);
    c.completion->close();
}

// A nested plain or spring block takes over the duration (and a plain one the curve) of the
// block around it unless told otherwise.
void inherit(Context& c) {
    if (contexts().empty()) return;
    const Context& outer = *contexts().back();
    if (!(c.options & ViewAnimationOptionOverrideInheritedDuration)) c.duration = outer.duration;
    if (c.kind == Kind::plain && outer.curve && !(c.options & ViewAnimationOptionOverrideInheritedCurve))
        c.curve = outer.curve;
}

} // namespace

namespace detail {

std::optional<LayerActionRef> viewLayerAction(View& view, Layer&, std::string_view key) {
    if (contexts().empty() || !animationsEnabled()) return std::nullopt;
    const std::optional<KeyPath> path = parseKeyPath(key);
    if (!path || path->component != Component::whole || !blends(*path)) return std::nullopt;
    return std::make_shared<RecordChange>(*contexts().back(), view);
}

} // namespace detail

void View::animateWithDuration(double duration, const std::function<void()>& animations) {
    animateWithDuration(duration, 0, 0, animations, nullptr);
}

void View::animateWithDuration(double duration, const std::function<void()>& animations,
                               ViewAnimationCompletion completion) {
    animateWithDuration(duration, 0, 0, animations, std::move(completion));
}

namespace {

Context makeContext(Kind kind, double duration, double delay, ViewAnimationOptions options) {
    Context c;
    c.kind = kind;
    c.duration = duration;
    c.delay = delay;
    c.options = options;
    if (kind != Kind::spring) c.curve = curveFor(options);
    if (kind == Kind::keyframes)
        c.mode = modeFor(options);
    else
        inherit(c);
    return c;
}

} // namespace

void View::animateWithDuration(double duration, double delay, ViewAnimationOptions options,
                               const std::function<void()>& animations, ViewAnimationCompletion completion) {
    Context c = makeContext(Kind::plain, duration, delay, options);
    runBlock(c, animations, std::move(completion));
}

void View::animateWithDuration(double duration, double delay, double dampingRatio, double initialVelocity,
                               ViewAnimationOptions options, const std::function<void()>& animations,
                               ViewAnimationCompletion completion) {
    Context c = makeContext(Kind::spring, duration, delay, options);
    c.dampingRatio = dampingRatio;
    c.initialVelocity = initialVelocity;
    runBlock(c, animations, std::move(completion));
}

void View::animateKeyframesWithDuration(double duration, double delay, ViewKeyframeAnimationOptions options,
                                        const std::function<void()>& animations,
                                        ViewAnimationCompletion completion) {
    Context c = makeContext(Kind::keyframes, duration, delay, options);
    runBlock(c, animations, std::move(completion));
}

void View::addKeyframeWithRelativeStartTime(double relativeStartTime, double relativeDuration,
                                            const std::function<void()>& animations) {
    Context* c = contexts().empty() ? nullptr : contexts().back();
    if (c == nullptr || c->kind != Kind::keyframes) {
        if (animations) animations();
        return;
    }
    const double start = clamp01(relativeStartTime);
    const double length = std::min(clamp01(relativeDuration), 1 - start);
    const double outerStart = std::exchange(c->keyframeStart, start);
    const double outerLength = std::exchange(c->keyframeLength, length);
    struct Restore {
        Context& c;
        double start, length;
        ~Restore() {
            c.keyframeStart = start;
            c.keyframeLength = length;
        }
    } restore{*c, outerStart, outerLength};
    if (animations) animations();
}

void View::performWithoutAnimation(const std::function<void()>& actions) {
    struct Restore {
        bool enabled = animationsEnabled();
        ~Restore() { animationsEnabled() = enabled; }
    } restore;
    animationsEnabled() = false;
    if (actions) actions();
}

bool View::areAnimationsEnabled() {
    return animationsEnabled();
}

void View::setAnimationsEnabled(bool enabled) {
    animationsEnabled() = enabled;
}

} // namespace ui
