#pragma once

// Helpers of the animation tests: a stepped media clock with a frame that runs the engine
// and drains the main queue as the host does, and a delegate that logs what it hears.

#include "platform/foundation/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Transaction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ui::test {

class AnimationFixture : public ::testing::Test {
protected:
    static constexpr double kStart = 1000;

    void SetUp() override {
        MediaClock::setTime(kStart);
        Layer::setImplicitActionProvider(Layer::defaultImplicitActionProvider());
        fnd::mainQueue().drain();
    }
    void TearDown() override {
        // Let whatever a test left running stop, so that nothing reaches the next test.
        for (int i = 0; i < 100 && AnimationEngine::hasRunningAnimations(); ++i)
            frame(1);
        fnd::mainQueue().drain();
        Transaction::flush();
    }

    // Moves the clock on by `dt`, runs one frame of the engine and the calls it posted.
    static void frame(double dt = 0) {
        MediaClock::advance(dt);
        advanceAnimations();
        fnd::mainQueue().drain();
    }
    // Seconds since the test began.
    static double elapsed() { return currentMediaTime() - kStart; }
    static double opacityOnScreen(const Layer& layer) { return layer.presentationState().opacity; }
};

// Logs "start" / "stop:YES" / "stop:NO" with the key the animation was found under.
class LoggingDelegate : public AnimationDelegate {
public:
    std::vector<std::string> log;
    std::vector<Animation*> stopped;

    void animationDidStart(Animation*) override { log.push_back("start"); }
    void animationDidStop(Animation* animation, bool finished) override {
        log.push_back(finished ? "stop:YES" : "stop:NO");
        stopped.push_back(animation);
    }
};

inline std::shared_ptr<BasicAnimation> fade(double from, double to, double duration) {
    auto animation = BasicAnimation::make("opacity");
    animation->setFromValue(from);
    animation->setToValue(to);
    animation->setDuration(duration);
    return animation;
}

} // namespace ui::test
