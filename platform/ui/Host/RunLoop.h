#pragma once

// The host's run loop: one turn (`step`) brings every shown window up to date and draws it.
// A turn runs, in this order:
//
//   1. input      deliver each window's queued touches (gesture recognizers, views) and
//                 let the recognizers' deadlines up to the media time pass;
//   2. main queue drain it (work handed over from other threads, deferred calls);
//   3. animations advance them to the media time (ui::advanceAnimations), then run the
//                 display links (ui::DisplayLink: scrolling);
//   4. stops      drain the main queue again: animation starts and stops and view-animation
//                 completions run here, so a stop's effect shows in this very frame;
//   5. layout     the layout pass of every window (after a change of appearance, every
//                 drawn layer is first marked for display: its colours resolve anew);
//   6. display    the display pass (backing stores of the views marked for drawing);
//   7. commit     end the implicit transaction of the turn (ui::Transaction::flush);
//   8. composite  composite every window into its frame buffer.
//
// Clock: in manual mode (the default of tests and the demo) the media clock stands still
// between turns and whoever drives the loop advances it (ui::MediaClock::advance, or
// ui::TestDriver). In real-time mode the clock follows the wall clock and `run` paces turns
// at the frame rate. Main thread only.

#include "platform/graphics/Color.h"

#include <functional>
#include <memory>
#include <vector>

namespace ui {

class Window;
class Layer;

class RunLoop {
public:
    static RunLoop& main();

    enum class Phase { input, mainQueue, animations, animationStops, layout, display, commit, composite };

    // The windows the loop shows, in the order they were shown (Window::makeKeyAndVisible
    // adds one). Held weakly: a window that goes away drops out.
    void addWindow(const std::shared_ptr<Window>& window);
    void removeWindow(const Window* window);
    std::vector<std::shared_ptr<Window>> windows() const;

    // Real time: the media clock follows the wall clock. Manual (false): it stands still
    // until advanced.
    bool isRealTime() const;
    void setRealTime(bool realTime);

    // One turn.
    void step();
    // How many turns have run.
    unsigned long turnCount() const { return _turns; }

    // Whether nothing is left to do: no queued input, no recognizer waiting for a deadline,
    // an empty main queue, no running animation or display link, nothing to lay out or display in any
    // window. (A finger held down does not keep the loop busy.)
    bool isIdle() const;

    // Real-time hosting: runs turns `frameInterval` seconds apart (of wall time) until
    // `done` answers true or `timeoutSeconds` have passed; true when `done` ended it.
    bool run(const std::function<bool()>& done, double timeoutSeconds, double frameInterval = 1.0 / 60);

    // Called as each phase of a turn begins (for tests and profiling); null for none.
    void setPhaseObserver(std::function<void(Phase)> observer) { _observer = std::move(observer); }

private:
    RunLoop() = default;
    void enter(Phase phase) const;
    // Marks every layer of the tree whose contents are drawn.
    static void markDrawnLayersForDisplay(Layer& layer);

    std::vector<std::weak_ptr<Window>> _windows;
    std::function<void(Phase)> _observer;
    unsigned long _turns = 0;
    // The appearance drawn contents were last made in.
    gfx::Appearance _drawnAppearance = gfx::currentAppearance();
};

} // namespace ui
