#pragma once

// The media clock: the time base of every animation, in seconds. It follows a monotonic
// real-time clock until it is put in manual mode, where it stands still until it is set or
// advanced. Tests and the headless host run it by hand, so that an animation's state at a
// given moment is exact and repeatable:
//
//     ui::MediaClock::setTime(100);           // manual from now on
//     layer->addAnimation(fade, "fade");       // begins at 100
//     ui::MediaClock::advance(0.1);
//     ui::advanceAnimations();                 // the frame at 100.1
//
// Main thread only.

namespace ui {

// The current media time (seconds; only differences between two readings mean anything).
double currentMediaTime();

class MediaClock {
public:
    static bool isManual();
    // Turning manual mode on freezes the clock at the time it shows; turning it off makes it
    // follow real time again (it may then jump).
    static void setManual(bool manual);
    // Sets the time of the manual clock (switching to manual mode). Non-finite values are
    // ignored; the time may be set backwards (animations then show an earlier state).
    static void setTime(double seconds);
    // Moves the manual clock on (switching to manual mode). Negative and non-finite steps
    // are ignored: the clock never runs backwards by stepping.
    static void advance(double seconds);
};

} // namespace ui
