#pragma once

// A display link: a callback run once per frame of the main run loop, in its animations
// phase, with the media time of the frame. Motion that is not a layer animation (a scroll
// view's deceleration, an animated content offset) runs on it, so it follows the media clock
// exactly as animations do (stepped by hand in tests).
//
//     _link = ui::DisplayLink::make([weak](double now) { if (auto self = weak.lock()) self->tick(now); });
//     _link->setPaused(false);    // from the next frame on; the run loop is not idle meanwhile
//     ...
//     _link->setPaused(true);     // nothing more to do
//
// A link that is not paused keeps `RunLoop::isIdle` false. Links are held weakly by the
// frame loop: a link goes away with its owner. Main thread only.

#include "platform/runtime/Object.h"

#include <functional>
#include <memory>

namespace ui {

class DisplayLink : public rt::Object {
public:
    OLM_DECLARE_CLASS(DisplayLink)
    using Callback = std::function<void(double mediaTime)>;
    // Made paused.
    static std::shared_ptr<DisplayLink> make(Callback callback) { return rt::create<DisplayLink>(std::move(callback)); }
    ~DisplayLink() override;

    bool isPaused() const { return _paused; }
    void setPaused(bool paused);

    // Runs every link that is not paused, in the order they were unpaused; links unpaused
    // by a callback run from the next frame on. The run loop calls it once per turn.
    static void fireAll(double mediaTime);
    // Whether any link waits for a frame.
    static bool hasActiveLinks();

protected:
    DisplayLink() = default;
    void init(Callback callback) { _callback = std::move(callback); }
    friend class rt::Access;

private:
    Callback _callback;
    bool _paused = true;
};

} // namespace ui
