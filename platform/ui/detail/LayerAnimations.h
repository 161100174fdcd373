#pragma once

// The animation engine's side of a layer: the animations on it with their resolved times,
// and the hooks through which layers and views get their default actions.

#include "platform/ui/Animation.h"
#include "platform/ui/Transaction.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {
class View;
}

namespace ui::detail {

class LayerAnimations;

// Reaches the engine's private parts of layers and animations.
struct AnimationAccess {
    static LayerAnimations* animations(const Layer& layer) { return layer._animations.get(); }
    static LayerAnimations& makeAnimations(Layer& layer);
    static unsigned long madeInFrame(const Layer& layer) { return layer._madeInFrame; }
    static void releaseDelegate(Animation& animation) { animation._delegate.reset(); }
};

class LayerAnimations {
public:
    LayerAnimations() = default;
    LayerAnimations(const LayerAnimations&) = delete;
    LayerAnimations& operator=(const LayerAnimations&) = delete;
    // Stops what is still running with finished false.
    ~LayerAnimations();

    // Takes the copy to run; resolves its begin time (0: now).
    void add(Layer& layer, std::shared_ptr<Animation> animation, std::string key);
    std::shared_ptr<const Animation> find(std::string_view key) const;
    void remove(std::string_view key);
    void removeAll();
    std::vector<std::string> keys() const;
    bool empty() const { return _entries.empty(); }
    // Whether an animation has not yet stopped.
    bool running() const;
    // Whether an animation that has not stopped animates the property.
    bool animates(Property property) const;
    // Applies what the animations show at media time `now` over the state.
    void apply(LayerState& state, double now) const;
    // One tick: starts and ends animations at `now`.
    void advance(double now);

    // Whether the layer is on the engine's list.
    bool registered = false;

private:
    struct Entry {
        std::string key;
        std::shared_ptr<Animation> animation;
        double begin = 0;
        double end = 0;
        bool started = false;
        bool ended = false;
        std::shared_ptr<Transaction::CompletionGroup> transactionGroup;
    };
    static void stop(Entry& entry, bool finished);

    std::vector<Entry> _entries;
};

// Posts `task` to the main queue at the next tick (a completion with nothing to wait for).
void runAtNextTick(std::function<void()> task);

// What an animation of the changed property starts from: with `fromScreen`, what is on
// screen when an animation of the property is in flight; else the value before the change.
// No colour before a colour is that colour made transparent.
LayerValue startValue(const Layer& layer, const KeyPath& path, std::string_view key,
                      const LayerValue& oldValue, bool fromScreen);

// The default implicit action of standalone layers (Layer::defaultImplicitActionProvider).
LayerActionRef implicitLayerAction(Layer& layer, std::string_view key);
// The action for a change of a view's layer: the innermost animation block's recording of
// it, or nullopt outside a block (or for a change that does not animate).
std::optional<LayerActionRef> viewLayerAction(View& view, Layer& layer, std::string_view key);

} // namespace ui::detail
