#pragma once

// Randomized sequences of what a user, an application and the clock do to a calendar in a
// headless window: taps, swipes (lifted, cancelled, or cut short by a setting changed under
// them or by the calendar going), pinches, view modes (any integer), selection modes,
// bounds (nil, inverted, equal), displayed dates, animated and plain navigation, reloads,
// clock steps and main-queue drains, data sources that answer at once, late, twice, from
// another thread or never, calendars of other systems and time zones, locales, the month
// presenter's settings (inline list or popover, hidden parts), drags, flicks, pinches and
// offsets inside any scroll view of the calendar (collections, the day's time line, lists),
// frames, and the calendar destroyed at any step, also from inside a delegate call. After
// every step the invariants below are checked; a failing sequence is shortened to the few
// steps that still fail.
//
// Invariants:
// - with sane bounds (both set, min <= max), a date that a gesture or a navigation selects
//   or displays lies within them (dates the application set itself are its own business);
// - every presenterBeginTransition gets exactly one presenterFinishTransition;
// - once the clock has run on, no transition is open or running and no transition view is
//   left anywhere in the calendar;
// - the current presenter is the calendar's subview and of its view mode's class;
// - at rest, every day cell shown by the current presenter carries the selection state the
//   calendar's selection gives its date;
// - the month presenter's inline list reports a hide only for a cell it reported shown;
// - a frame made by damage equals the same frame made whole;
// - the calendar still navigates at the end.
//
// Presenters join by taking their view mode's entry in the presenter class table: the
// harness drives whatever is registered, and stands in a month grid for the modes whose
// presenter is still the empty base. Checks of their own go in `presenterChecks()`
// (PresenterChecks.cpp registers the day view's and the zoomed-out views').

#include "OLMCalendar/XQCalendar.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cal::fuzz {

enum class Action {
    Tap,
    Pan,
    Pinch,
    SetViewMode,
    SetSelectionMode,
    SetBounds,
    SetDisplayedDate,
    NavigateToDate,
    Navigate,
    Reload,
    Select,
    SetTransition,
    SetCalendar,
    SetDataSource,
    AskEvents,
    Clock,
    Drain,
    Settle,
    ArmDelegate,
    Destroy,
    SetLocale,
    MonthOptions,
    Scroll,
    Render,
    Count
};

// One step: an action and the numbers it was drawn with (their meaning depends on it).
struct Step {
    Action action = Action::Drain;
    long a = 0;
    long b = 0;
    long c = 0;
    long d = 0;
    double x = 0;
    double y = 0;
    double u = 0;
    double v = 0;
};
using Sequence = std::vector<Step>;

Sequence generate(std::uint64_t seed, std::size_t length);
std::string describe(const Step& step);
std::string describe(const Sequence& sequence);

struct Failure {
    std::string check;  // which invariant
    std::string detail;
    std::size_t step = 0; // index of the step after which it was found
};

// Runs the sequence on a new calendar in a new headless window; the first failure, if any.
// The presenter and transition class tables are as they were afterwards.
std::optional<Failure> run(const Sequence& sequence);
// Runs the sequence so too, and answers a digest of what it did (the calendar's state after
// every step and every frame): the same for every run of the same sequence.
std::uint64_t digestOf(const Sequence& sequence);
// The shortest sequence found (by dropping steps) that still fails the same check, run by
// `runner` (`run` itself, or one that survives crashes).
using Runner = std::function<std::optional<Failure>(const Sequence&)>;
Sequence shrink(const Sequence& sequence, const Failure& failure, const Runner& runner = run,
                std::size_t maxRuns = 400);

// What a presenter check may want to know of the step just taken.
struct CheckContext {
    // The step ran the clock until nothing moved.
    bool settled = false;
    // The step before it navigated (moved the displayed date or the view mode) and nothing
    // has scrolled since: a scrolling presenter shows the displayed date's place.
    bool justNavigated = false;
};
// A check of one presenter's own after a step; a message when it fails.
using PresenterCheck = std::function<std::optional<std::string>(XQCalendar& calendar, const CheckContext& context)>;
std::vector<PresenterCheck>& presenterChecks();

// For crash reports: the seed and step running now (a sanitizer's report names them).
void setCurrentSeed(std::uint64_t seed);
void installCrashReport();

} // namespace cal::fuzz
