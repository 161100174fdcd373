#include "platform/ui/Animation.h"

#include "platform/foundation/Dispatch.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/detail/Interpolation.h"
#include "platform/ui/detail/LayerAnimations.h"

#include <algorithm>
#include <cmath>

namespace ui {

// --- Delegate defaults.

void AnimationDelegate::animationDidStart(Animation*) {}
void AnimationDelegate::animationDidStop(Animation*, bool) {}

// --- Animation.

double Animation::effectiveDuration() const {
    return std::isfinite(_duration) && _duration > 0 ? _duration : defaultDuration;
}

double Animation::pace(double fraction) const {
    if (_timingFunction) return _timingFunction->evaluate(fraction);
    return std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0);
}

void PropertyAnimation::setKeyPath(std::string keyPath) {
    _keyPath = std::move(keyPath);
    _path = detail::parseKeyPath(_keyPath);
}

// --- Basic.

std::shared_ptr<BasicAnimation> BasicAnimation::make(std::string keyPath) {
    std::shared_ptr<BasicAnimation> animation(new BasicAnimation());
    animation->setKeyPath(std::move(keyPath));
    return animation;
}

std::shared_ptr<Animation> BasicAnimation::copy() const {
    return std::shared_ptr<BasicAnimation>(new BasicAnimation(*this));
}

void BasicAnimation::apply(LayerState& state, double fraction) const {
    const std::optional<detail::KeyPath>& path = resolvedKeyPath();
    if (!path) return;
    const LayerValue under = detail::valueAt(state, *path);
    const bool hasFrom = detail::fits(*path, _from);
    const bool hasTo = detail::fits(*path, _to);
    const bool hasBy = detail::fits(*path, _by);
    // What `a + b` gives, or the underlying value when the kinds do not add up.
    auto sum = [&](const LayerValue& a, const LayerValue& b) {
        LayerValue s = detail::add(a, b);
        return std::holds_alternative<std::monostate>(s) ? under : s;
    };
    LayerValue from, to;
    if (hasFrom && hasTo) {
        from = _from, to = _to;
    } else if (hasFrom && hasBy) {
        from = _from, to = sum(_from, _by);
    } else if (hasBy && hasTo) {
        from = detail::subtract(_to, _by), to = _to;
        if (std::holds_alternative<std::monostate>(from)) from = under;
    } else if (hasFrom) {
        from = _from, to = under;
    } else if (hasTo) {
        from = under, to = _to;
    } else if (hasBy) {
        from = under, to = sum(under, _by);
    } else {
        return;
    }
    const double p = pace(fraction);
    const auto* a = std::get_if<gfx::Transform3D>(&from);
    const auto* b = std::get_if<gfx::Transform3D>(&to);
    if (a != nullptr && b != nullptr) {
        if (!_decomposed || !(_decomposed->from == *a) || !(_decomposed->to == *b))
            _decomposed = detail::TransformPair::make(*a, *b);
        if (_decomposed) {
            detail::setValueAt(state, *path, _decomposed->at(p));
            return;
        }
    }
    detail::setValueAt(state, *path, detail::interpolate(from, to, p));
}

// --- Spring.

std::shared_ptr<SpringAnimation> SpringAnimation::make(std::string keyPath, double dampingRatio,
                                                       double initialVelocity) {
    std::shared_ptr<SpringAnimation> animation(new SpringAnimation());
    animation->setKeyPath(std::move(keyPath));
    animation->_dampingRatio = dampingRatio;
    animation->_initialVelocity = initialVelocity;
    return animation;
}

std::shared_ptr<Animation> SpringAnimation::copy() const {
    return std::shared_ptr<SpringAnimation>(new SpringAnimation(*this));
}

double SpringAnimation::pace(double fraction) const {
    const double duration = effectiveDuration();
    if (!_curve || _curve->dampingRatio != _dampingRatio || _curve->initialVelocity != _initialVelocity ||
        _curve->duration != duration)
        _curve = std::make_shared<const CurveCache>(
            CurveCache{_dampingRatio, _initialVelocity, duration,
                       SpringCurve(_dampingRatio, _initialVelocity, duration)});
    return _curve->curve.evaluate(fraction);
}

// --- Keyframes.

std::shared_ptr<KeyframeAnimation> KeyframeAnimation::make(std::string keyPath) {
    std::shared_ptr<KeyframeAnimation> animation(new KeyframeAnimation());
    animation->setKeyPath(std::move(keyPath));
    return animation;
}

std::shared_ptr<Animation> KeyframeAnimation::copy() const {
    return std::shared_ptr<KeyframeAnimation>(new KeyframeAnimation(*this));
}

namespace {

// The key times to use: the given ones when there is one per value, each finite, within
// 0…1 and none below its predecessor; else evenly spread.
std::vector<double> keyTimesFor(const std::vector<double>& given, std::size_t count) {
    bool valid = given.size() == count;
    for (std::size_t i = 0; valid && i < given.size(); ++i)
        valid =
            std::isfinite(given[i]) && given[i] >= 0 && given[i] <= 1 && (i == 0 || given[i] >= given[i - 1]);
    if (valid) return given;
    std::vector<double> even(count);
    for (std::size_t i = 0; i < count; ++i)
        even[i] = count > 1 ? double(i) / double(count - 1) : 0;
    return even;
}

// The smooth curve through the values at the times, at segment `i` and local progress `u`;
// nullopt when the values are not all numbers of one kind.
std::optional<LayerValue> cubicValue(const std::vector<LayerValue>& values, const std::vector<double>& times,
                                     std::size_t i, double u) {
    const std::size_t n = values.size();
    std::vector<std::vector<double>> points;
    points.reserve(n);
    for (const LayerValue& v : values) {
        if (v.index() != values.front().index()) return std::nullopt;
        std::optional<std::vector<double>> c = detail::components(v);
        if (!c || (!points.empty() && c->size() != points.front().size())) return std::nullopt;
        points.push_back(std::move(*c));
    }
    // Rotations of a transform: keep each quaternion on the side of its predecessor, so that
    // the curve takes the short way round.
    if (std::holds_alternative<gfx::Transform3D>(values.front())) {
        for (std::size_t k = 1; k < n; ++k) {
            double dot = 0;
            for (std::size_t q = 13; q < 17; ++q)
                dot += points[k][q] * points[k - 1][q];
            if (dot < 0)
                for (std::size_t q = 13; q < 17; ++q)
                    points[k][q] = -points[k][q];
        }
    }
    const std::size_t dims = points.front().size();
    // Tangent of component c at knot k, per unit of time.
    auto tangent = [&](std::size_t k, std::size_t c) {
        if (k == 0 || k + 1 == n) {
            const std::size_t a = k == 0 ? 0 : k - 1;
            const double dt = times[a + 1] - times[a];
            return dt > 0 ? (points[a + 1][c] - points[a][c]) / dt : 0.0;
        }
        const double before = points[k][c] - points[k - 1][c];
        const double after = points[k + 1][c] - points[k][c];
        const double dt = times[k + 1] - times[k - 1];
        if (before == 0 || after == 0 || !(dt > 0)) return 0.0;
        return (points[k + 1][c] - points[k - 1][c]) / dt;
    };
    const double dt = times[i + 1] - times[i];
    const double u2 = u * u, u3 = u2 * u;
    const double h00 = 2 * u3 - 3 * u2 + 1, h10 = u3 - 2 * u2 + u, h01 = -2 * u3 + 3 * u2, h11 = u3 - u2;
    std::vector<double> out(dims);
    for (std::size_t c = 0; c < dims; ++c)
        out[c] = h00 * points[i][c] + h10 * dt * tangent(i, c) + h01 * points[i + 1][c] +
                 h11 * dt * tangent(i + 1, c);
    return detail::fromComponents(values.front(), out);
}

} // namespace

void KeyframeAnimation::apply(LayerState& state, double fraction) const {
    const std::optional<detail::KeyPath>& path = resolvedKeyPath();
    if (!path || _values.empty()) return;
    // Values of the wrong kind stand for the underlying value.
    const LayerValue under = detail::valueAt(state, *path);
    std::vector<LayerValue> values = _values;
    for (LayerValue& v : values)
        if (!detail::fits(*path, v)) v = under;
    const std::size_t n = values.size();
    const std::vector<double> times = keyTimesFor(_keyTimes, n);
    const double t = pace(fraction);
    if (n == 1 || t <= times.front()) {
        detail::setValueAt(state, *path, values.front());
        return;
    }
    if (t >= times.back()) {
        detail::setValueAt(state, *path, values.back());
        return;
    }
    // The last knot at or before t: at a repeated time the later value holds.
    std::size_t i = 0;
    while (i + 2 < n && times[i + 1] <= t)
        ++i;
    const double span = times[i + 1] - times[i];
    double u = span > 0 ? (t - times[i]) / span : 1;
    if (i < _timingFunctions.size()) u = _timingFunctions[i].evaluate(u);
    LayerValue value;
    switch (_mode) {
    case CalculationMode::discrete:
        value = values[i];
        break;
    case CalculationMode::cubic:
    case CalculationMode::cubicPaced:
        if (std::optional<LayerValue> smooth = cubicValue(values, times, i, u)) {
            value = *smooth;
            break;
        }
        [[fallthrough]];
    default:
        value = detail::interpolate(values[i], values[i + 1], u);
        break;
    }
    detail::setValueAt(state, *path, value);
}

// --- The engine.

namespace {

struct Engine {
    std::vector<std::weak_ptr<Layer>> layers;
    std::vector<std::function<void()>> nextTick;
    unsigned long frame = 0;
};

Engine& engine() {
    static Engine e;
    return e;
}

void post(std::function<void()> task) {
    fnd::dispatchAsync(fnd::mainQueue(), std::move(task));
}

} // namespace

void advanceAnimations() {
    Engine& e = engine();
    ++e.frame;
    const double now = currentMediaTime();
    for (auto& task : std::exchange(e.nextTick, {}))
        post(std::move(task));
    // A tick moves what animated layers show (and may end their animations).
    if (!e.layers.empty()) Layer::noteTreeChange();
    // Only posting happens in here: no delegate runs while the list is walked.
    std::erase_if(e.layers, [now](const std::weak_ptr<Layer>& weak) {
        const std::shared_ptr<Layer> layer = weak.lock();
        detail::LayerAnimations* animations = layer ? detail::AnimationAccess::animations(*layer) : nullptr;
        if (animations == nullptr) return true;
        animations->advance(now);
        if (!animations->empty()) return false;
        animations->registered = false;
        return true;
    });
}

bool AnimationEngine::hasRunningAnimations() {
    const Engine& e = engine();
    if (!e.nextTick.empty()) return true;
    return std::any_of(e.layers.begin(), e.layers.end(), [](const std::weak_ptr<Layer>& weak) {
        const std::shared_ptr<Layer> layer = weak.lock();
        const detail::LayerAnimations* animations =
            layer ? detail::AnimationAccess::animations(*layer) : nullptr;
        return animations != nullptr && animations->running();
    });
}

bool AnimationEngine::hasAnimatedLayers() {
    return !engine().layers.empty();
}

unsigned long AnimationEngine::frameCount() {
    return engine().frame;
}

namespace detail {

void runAtNextTick(std::function<void()> task) {
    if (task) engine().nextTick.push_back(std::move(task));
}

LayerAnimations& AnimationAccess::makeAnimations(Layer& layer) {
    if (!layer._animations) layer._animations = std::make_unique<LayerAnimations>();
    return *layer._animations;
}

// --- A layer's animations.

LayerAnimations::~LayerAnimations() {
    for (Entry& entry : _entries)
        if (!entry.ended) stop(entry, false);
}

void LayerAnimations::stop(Entry& entry, bool finished) {
    entry.ended = true;
    std::shared_ptr<Animation> animation = entry.animation;
    std::shared_ptr<Transaction::CompletionGroup> group = std::move(entry.transactionGroup);
    if (!animation->delegate() && !group) return;
    post([animation, group, finished]() mutable {
        if (const std::shared_ptr<AnimationDelegate> delegate = animation->delegate())
            delegate->animationDidStop(animation.get(), finished);
        AnimationAccess::releaseDelegate(*animation);
        group.reset();
    });
}

void LayerAnimations::add(Layer& layer, std::shared_ptr<Animation> animation, std::string key) {
    const double now = currentMediaTime();
    double begin = animation->beginTime();
    if (begin == 0 || !std::isfinite(begin)) begin = now;
    // The copy records when it really begins, as the delegate may want to know.
    animation->setBeginTime(begin);
    if (!key.empty()) remove(key);
    _entries.push_back(Entry{std::move(key), animation, begin, begin + animation->effectiveDuration(), false,
                             false, Transaction::currentCompletionGroup()});
    if (!registered) {
        registered = true;
        engine().layers.push_back(rt::weakFrom(&layer));
    }
}

std::shared_ptr<const Animation> LayerAnimations::find(std::string_view key) const {
    if (key.empty()) return nullptr;
    for (const Entry& entry : _entries)
        if (entry.key == key) return entry.animation;
    return nullptr;
}

void LayerAnimations::remove(std::string_view key) {
    auto it = std::find_if(_entries.begin(), _entries.end(), [&](const Entry& e) { return e.key == key; });
    if (it == _entries.end()) return;
    Entry entry = std::move(*it);
    _entries.erase(it);
    if (!entry.ended) stop(entry, false);
}

void LayerAnimations::removeAll() {
    std::vector<Entry> entries = std::exchange(_entries, {});
    for (Entry& entry : entries)
        if (!entry.ended) stop(entry, false);
}

std::vector<std::string> LayerAnimations::keys() const {
    std::vector<std::string> keys;
    for (const Entry& entry : _entries)
        if (!entry.key.empty()) keys.push_back(entry.key);
    return keys;
}

bool LayerAnimations::running() const {
    return std::any_of(_entries.begin(), _entries.end(), [](const Entry& e) { return !e.ended; });
}

bool LayerAnimations::animates(Property property) const {
    return std::any_of(_entries.begin(), _entries.end(), [&](const Entry& e) {
        const auto* animation = dynamic_cast<const PropertyAnimation*>(e.animation.get());
        return !e.ended && animation != nullptr && animation->resolvedKeyPath() &&
               animation->resolvedKeyPath()->property == property;
    });
}

void LayerAnimations::apply(LayerState& state, double now) const {
    for (const Entry& entry : _entries) {
        const FillMode fill = entry.animation->fillMode();
        const double local = now - entry.begin;
        if (local < 0) {
            if (fill == FillMode::backwards || fill == FillMode::both) entry.animation->apply(state, 0);
        } else if (entry.ended || now >= entry.end) {
            if (fill == FillMode::forwards || fill == FillMode::both) entry.animation->apply(state, 1);
        } else {
            entry.animation->apply(state, local / (entry.end - entry.begin));
        }
    }
}

void LayerAnimations::advance(double now) {
    for (std::size_t i = 0; i < _entries.size();) {
        Entry& entry = _entries[i];
        if (entry.ended) {
            ++i;
            continue;
        }
        if (!entry.started && now >= entry.begin) {
            entry.started = true;
            if (entry.animation->delegate()) {
                std::shared_ptr<Animation> animation = entry.animation;
                post([animation] {
                    if (const std::shared_ptr<AnimationDelegate> delegate = animation->delegate())
                        delegate->animationDidStart(animation.get());
                });
            }
        }
        if (now < entry.end) {
            ++i;
            continue;
        }
        stop(entry, true);
        if (entry.animation->isRemovedOnCompletion())
            _entries.erase(_entries.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

// --- Default actions.

LayerValue startValue(const Layer& layer, const KeyPath& path, std::string_view key,
                      const LayerValue& oldValue, bool fromScreen) {
    const LayerAnimations* animations = AnimationAccess::animations(layer);
    LayerValue from = fromScreen && animations != nullptr && animations->animates(path.property)
                          ? layer.presentationValueForKey(key)
                          : oldValue;
    // A colour appearing where there was none fades in (nil as a start would mean "not given").
    if (std::holds_alternative<std::monostate>(from)) {
        const LayerValue to = layer.valueForKey(key);
        if (const auto* color = std::get_if<gfx::Color>(&to)) from = color->withAlpha(0);
    }
    return from;
}

namespace {

// The implicit animation of a standalone layer's property: from what was shown to the new
// model value, over the transaction's duration, under the property's name.
class ImplicitAnimationAction : public LayerAction {
public:
    void runActionForKey(std::string_view key, Layer& layer, const LayerValue& oldValue) override {
        // A zero transaction duration means no animation, not the default length.
        const double duration = Transaction::animationDuration();
        if (duration <= 0) return;
        const std::optional<KeyPath> path = parseKeyPath(key);
        if (!path) return;
        LayerValue to = layer.valueForKey(key);
        LayerValue from = startValue(layer, *path, key, oldValue, true);
        if (from == to) return;
        auto animation = BasicAnimation::make(std::string(key));
        animation->setFromValue(std::move(from));
        animation->setToValue(std::move(to));
        animation->setDuration(duration);
        animation->setTimingFunction(TimingFunction::defaultCurve());
        layer.addAnimation(animation, std::string(key));
    }
};

} // namespace

LayerActionRef implicitLayerAction(Layer& layer, std::string_view key) {
    if (AnimationAccess::madeInFrame(layer) >= AnimationEngine::frameCount()) return nullptr;
    const std::optional<KeyPath> path = parseKeyPath(key);
    if (!path || path->component != Component::whole || !blends(*path)) return nullptr;
    static const LayerActionRef action = std::make_shared<ImplicitAnimationAction>();
    return action;
}

} // namespace detail

} // namespace ui
