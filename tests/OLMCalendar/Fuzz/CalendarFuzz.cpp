#include "CalendarFuzz.h"

#include "../CalendarTestSupport.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/TimeZone.h"
#include "platform/foundation/Strings.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TestDriver.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <thread>

// Under AddressSanitizer its report ends with our own (the seed and the steps).
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define OLM_FUZZ_HAS_SANITIZER_CALLBACK 1
#endif

namespace cal::fuzz {

namespace {

// Small, and drawn at scale 1 while the sequences run: snapshots and frames are most of
// their cost.
constexpr gfx::Size kSize{210, 180};
constexpr double kDay = 24 * 3600;
constexpr double kClockStart = 1000;

const char* const kCalendars[] = {"gregorian", "japanese", "hebrew",  "islamicCivil",
                                  "persian",   "republicOfChina", "buddhist"};
// The calendar's own zone first; then zones of half hours, a DST change at midnight, a
// half-hour DST shift and a day skipped altogether (Apia, 30 December 2011).
const char* const kZones[] = {"", "Pacific/Chatham", "Asia/Kathmandu", "America/Sao_Paulo", "Australia/Lord_Howe",
                              "Pacific/Apia"};
// The formatters' default first; then right-to-left scripts, other digits and calendars.
const char* const kLocales[] = {"",      "he_IL@calendar=hebrew", "ja_JP@calendar=japanese", "ar_EG",
                                "fa_IR", "th_TH",                 "zh_Hant_TW",              "de_DE"};

// How the data source answers the callback form (0: no data source).
enum SourceMode : long { NoSource, Sync, Now, Late, Twice, OtherThread, Never, SourceModes };

// Which delegate call an armed action waits for, and what it does there.
enum Hook : long { WillNavigate, DidNavigate, DidSelect, DidChangeViewMode, DidTapCell, PresenterBegin,
                   PresenterFinish, ShouldSelect, Hooks };
enum Armed : long { DestroyCalendar, SwitchViewMode, RangeSelection, RefuseSelection, NavigateOn, ArmedKinds };

fnd::Date nowPlusDays(double days) {
    return fnd::Date::now().dateByAddingTimeInterval(days * kDay);
}

struct Harness;

class FuzzSource : public XQCalendarDataSource {
public:
    SourceMode mode = Now;
    unsigned long requests = 0;

    static void answerLater(int turns, std::function<void()> answer) {
        fnd::dispatchAsync(fnd::mainQueue(), [turns, answer = std::move(answer)]() mutable {
            if (turns <= 1)
                answer();
            else
                answerLater(turns - 1, std::move(answer));
        });
    }

    static XQCalendarEvents eventsAt(const fnd::Date& date) {
        auto event = XQCalendarEvent::make();
        event->setStartDate(date);
        event->setEndDate(date.dateByAddingTimeInterval(3600));
        event->setTitle("fuzz");
        return {event};
    }
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar&, const fnd::Date& date) override {
        if (mode != Sync) return std::nullopt;
        return eventsAt(date);
    }
    bool calendarEventsFromDate(XQCalendar&, const fnd::Date& from, const fnd::Date&,
                                EventsCallback callback) override {
        switch (mode) {
        case Now:
            callback(eventsAt(from));
            break;
        case Late:
            // After one to four turns of the main queue, as answers that take their time come.
            answerLater(1 + static_cast<int>(requests++ % 4), [callback, from] { callback(eventsAt(from)); });
            break;
        case Twice:
            callback(eventsAt(from));
            fnd::dispatchAsync(fnd::mainQueue(), [callback, from] { callback(eventsAt(from)); });
            break;
        case OtherThread:
            // Answered from another thread, but before the call returns: an answer handed to
            // the main queue at a moment the scheduler picks would make runs differ.
            std::thread([callback, from] { callback(eventsAt(from)); }).join();
            break;
        default: // never
            break;
        }
        return true;
    }
};

class FuzzDelegate : public XQCalendarDelegate, public XQCalendarPresenterDelegate {
public:
    explicit FuzzDelegate(Harness& harness) : _harness(harness) {}
    bool calendarShouldSelectDate(XQCalendar& calendar, const std::optional<fnd::Date>&) override;
    void calendarDidSelectDate(XQCalendar& calendar, const fnd::Date&) override;
    void calendarWillNavigateToDate(XQCalendar& calendar, const fnd::Date&) override;
    void calendarDidNavigateToDate(XQCalendar& calendar, const fnd::Date&) override;
    void calendarDidChangedViewModeFrom(XQCalendar& calendar, XQCalendarViewMode, XQCalendarViewMode) override;
    void calendarDidTapCell(XQCalendar& calendar, ui::View&) override;
    void presenterBeginTransition(XQCalendarPresenter&, XQViewTransition& transition) override;
    void presenterFinishTransition(XQCalendarPresenter&, XQViewTransition& transition, bool) override;
    void monthPresenterInlineEventsViewDidShowForCell(XQCalendarMonthPresenter& presenter,
                                                      XQCalendarDayCell& cell) override;
    void monthPresenterInlineEventsViewDidHideForCell(XQCalendarMonthPresenter& presenter,
                                                      XQCalendarDayCell& cell) override;

private:
    Harness& _harness;
};

struct Snapshot {
    long mode = -1;
    std::optional<fnd::Date> displayed;
    std::optional<fnd::Date> minDate;
    std::optional<fnd::Date> maxDate;
    std::set<double> selected; // time stamps of every selected date and range end
};

struct Harness {
    std::unique_ptr<ui::TestDriver> driver;
    std::shared_ptr<XQCalendar> calendar;
    std::shared_ptr<FuzzDelegate> delegate;
    std::shared_ptr<FuzzSource> source = std::make_shared<FuzzSource>();
    SourceMode sourceMode = NoSource;
    std::optional<Failure> failure;
    std::size_t stepIndex = 0;
    // Transitions whose begin was reported and whose finish not yet.
    std::set<const XQViewTransition*> open;
    // Dates shown before the bounds last changed, or set by the application: a gesture may
    // return to them although they lie outside the bounds.
    std::set<double> allowedDisplayed;
    std::set<double> seenDisplayed;
    // Month presenters adopted while their list was closed (whose every show is heard), each
    // with the cell it reported its inline list shown for and not yet hidden. Held weakly: a
    // presenter made later at a freed one's address is another.
    struct Heard {
        std::weak_ptr<XQCalendarMonthPresenter> presenter;
        const XQCalendarDayCell* shown = nullptr;
    };
    std::map<const XQCalendarMonthPresenter*, Heard> inlineHeard;
    // What the run did, in brief (FNV-1a over the states after each step and the frames).
    std::uint64_t digest = 14695981039346656037ull;
    long armedHook = -1;
    long armedAction = 0;
    long armedArgument = 0;
    bool boundsTouched = false;
    // The last step moved the displayed date or the view mode by a navigation.
    bool navigated = false;

    Harness() {
        driver = std::make_unique<ui::TestDriver>(kSize);
        delegate = std::make_shared<FuzzDelegate>(*this);
    }
    ~Harness() {
        destroyCalendar();
        driver->runUntilIdle(1);
    }

    void mix(const void* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            digest = (digest ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ull;
    }
    void mix(const Snapshot& s) {
        mix(&s.mode, sizeof s.mode);
        for (const auto& date : {s.displayed, s.minDate, s.maxDate}) {
            const double t = date ? date->timeIntervalSince1970() : -1;
            mix(&t, sizeof t);
        }
        for (double t : s.selected)
            mix(&t, sizeof t);
    }

    void fail(const std::string& check, const std::string& detail) {
        if (!failure) failure = Failure{check, detail, stepIndex};
    }

    void makeCalendar() {
        calendar = XQCalendar::make(gfx::Rect{{0, 0}, kSize});
        // Short waits for events asked synchronously: a data source that never answers costs
        // the wait each time (answers handed to the main queue come while it is drained).
        calendar->setEventsWaitTimeout(0.002);
        calendar->setDelegate(delegate);
        if (sourceMode != NoSource) calendar->setDataSource(source);
        driver->window()->addSubview(calendar);
        adoptPresenter();
        seenDisplayed.insert(calendar->displayedDate().timeIntervalSince1970());
    }
    void destroyCalendar() {
        if (!calendar) return;
        auto gone = std::move(calendar);
        calendar = nullptr;
        gone->removeFromSuperview();
    }
    // The presenter's delegate is set only on a presenter without an open transition, so that
    // no finish is heard whose begin was not.
    void adoptPresenter() {
        if (!calendar) return;
        auto* base = dynamic_cast<XQCalendarPresenterBase*>(calendar->presenter().get());
        if (!base || base->delegate() || base->isTransitionOpen()) return;
        base->setDelegate(delegate);
        if (auto* month = dynamic_cast<XQCalendarMonthPresenter*>(base)) {
            if (month->inlineHidden() && !month->isInlineAnimating() && !month->popover())
                inlineHeard[month] = {rt::weakFrom(month)};
        }
    }

    // Runs the armed action if it waits for `hook`; answers false to refuse a selection.
    bool fire(Hook hook, XQCalendar& target) {
        if (armedHook != hook) return true;
        armedHook = -1;
        switch (armedAction) {
        case DestroyCalendar:
            if (calendar.get() == &target) destroyCalendar();
            break;
        case SwitchViewMode:
            target.setViewMode(armedArgument, armedArgument % 2 == 0);
            break;
        case RangeSelection:
            target.setSelectionMode(XQCalendarSelectionModeRange);
            break;
        case RefuseSelection:
            return false;
        default:
            target.navigateForward(true);
            break;
        }
        return true;
    }

    // What was heard of `presenter`, if it was adopted so.
    Heard* heard(XQCalendarMonthPresenter& presenter) {
        const auto it = inlineHeard.find(&presenter);
        if (it == inlineHeard.end()) return nullptr;
        if (it->second.presenter.lock().get() == &presenter) return &it->second;
        inlineHeard.erase(it);
        return nullptr;
    }

    Snapshot snapshot() const {
        Snapshot s;
        if (!calendar) return s;
        s.mode = calendar->viewMode();
        s.displayed = calendar->displayedDate();
        s.minDate = calendar->minDate();
        s.maxDate = calendar->maxDate();
        auto add = [&](const std::optional<fnd::Date>& date) {
            if (date) s.selected.insert(date->timeIntervalSince1970());
        };
        add(calendar->selectedDate());
        if (const auto& range = calendar->dateRange()) {
            add(range->startDate());
            add(range->endDate());
        }
        for (const auto& entry : calendar->selectedDatesDict())
            add(entry.second);
        return s;
    }

    void apply(const Step& step);
    void pan(const Step& step);
    void pinch(const Step& step);
    void cut(long kind);
    void settle();
    void checkStep(const Step& step, const Snapshot& before);
    void checkNavigates();
    void checkPresenter();
    void checkCellStates();
    void scroll(const Step& step);
    void render();
};

bool FuzzDelegate::calendarShouldSelectDate(XQCalendar& calendar, const std::optional<fnd::Date>&) {
    return _harness.fire(ShouldSelect, calendar);
}
void FuzzDelegate::calendarDidSelectDate(XQCalendar& calendar, const fnd::Date&) {
    _harness.fire(DidSelect, calendar);
}
void FuzzDelegate::calendarWillNavigateToDate(XQCalendar& calendar, const fnd::Date&) {
    _harness.fire(WillNavigate, calendar);
}
void FuzzDelegate::calendarDidNavigateToDate(XQCalendar& calendar, const fnd::Date&) {
    _harness.fire(DidNavigate, calendar);
}
void FuzzDelegate::calendarDidChangedViewModeFrom(XQCalendar& calendar, XQCalendarViewMode, XQCalendarViewMode) {
    if (_harness.calendar.get() == &calendar) _harness.adoptPresenter();
    _harness.fire(DidChangeViewMode, calendar);
}
void FuzzDelegate::calendarDidTapCell(XQCalendar& calendar, ui::View&) {
    _harness.fire(DidTapCell, calendar);
}
// The presenter's calendar as the presenter sees it: none while the calendar is going away
// (its destructor ends the presenters' transitions).
XQCalendar* ownerOf(XQCalendarPresenter& presenter) {
    auto* base = dynamic_cast<XQCalendarPresenterBase*>(&presenter);
    return base ? base->owner() : nullptr;
}

void FuzzDelegate::presenterBeginTransition(XQCalendarPresenter& presenter, XQViewTransition& transition) {
    if (!_harness.open.insert(&transition).second) _harness.fail("begin twice", "a transition began twice");
    if (XQCalendar* calendar = ownerOf(presenter)) _harness.fire(PresenterBegin, *calendar);
}
void FuzzDelegate::presenterFinishTransition(XQCalendarPresenter& presenter, XQViewTransition& transition, bool) {
    if (_harness.open.erase(&transition) == 0)
        _harness.fail("finish without begin", "a transition finished that had not begun, or finished twice");
    if (XQCalendar* calendar = ownerOf(presenter)) _harness.fire(PresenterFinish, *calendar);
}
void FuzzDelegate::monthPresenterInlineEventsViewDidShowForCell(XQCalendarMonthPresenter& presenter,
                                                                XQCalendarDayCell& cell) {
    Harness::Heard* heard = _harness.heard(presenter);
    if (!heard) return;
    if (heard->shown) _harness.fail("inline list", "shown again before its hide was reported");
    heard->shown = &cell;
}
void FuzzDelegate::monthPresenterInlineEventsViewDidHideForCell(XQCalendarMonthPresenter& presenter,
                                                                XQCalendarDayCell& cell) {
    Harness::Heard* heard = _harness.heard(presenter);
    if (!heard) return;
    if (heard->shown != &cell) _harness.fail("inline list", "a hide reported for a cell not reported shown");
    heard->shown = nullptr;
}

void Harness::apply(const Step& step) {
    if (!calendar) makeCalendar();
    XQCalendar& c = *calendar;
    auto keep = calendar; // a delegate call may destroy it; it lives to the end of the step
    switch (step.action) {
    case Action::Tap:
        driver->tap({step.x, step.y}, static_cast<int>(step.a));
        break;
    case Action::Pan:
        pan(step);
        break;
    case Action::Pinch:
        pinch(step);
        break;
    case Action::SetViewMode:
        c.setViewMode(step.a, step.b != 0, step.c, step.d != 0);
        if (step.d != 0) {
            // The application drives its interactive change, and ends it.
            if (auto transition = c.transition()) {
                transition->updateTransition(0.5);
                transition->finishTransition();
            }
        }
        break;
    case Action::SetSelectionMode:
        c.setSelectionMode(step.a);
        break;
    case Action::SetBounds: {
        boundsTouched = true;
        const fnd::Date lo = nowPlusDays(std::min(step.x, step.y));
        const fnd::Date hi = nowPlusDays(std::max(step.x, step.y));
        switch (step.a) {
        case 0:
            c.setMinDate(std::nullopt);
            c.setMaxDate(std::nullopt);
            break;
        case 1: // the wrong way round
            c.setMinDate(hi.dateByAddingTimeInterval(kDay));
            c.setMaxDate(lo);
            break;
        case 2:
            c.setMinDate(lo);
            c.setMaxDate(c.minDate());
            break;
        case 3:
            c.setMinDate(std::nullopt);
            c.setMaxDate(hi);
            break;
        case 4:
            c.setMinDate(lo);
            c.setMaxDate(std::nullopt);
            break;
        default:
            c.setMinDate(lo);
            c.setMaxDate(hi);
            break;
        }
        break;
    }
    case Action::SetDisplayedDate: {
        const fnd::Date date = nowPlusDays(step.x);
        allowedDisplayed.insert(date.timeIntervalSince1970());
        c.setDisplayedDate(date, step.b != 0);
        break;
    }
    case Action::NavigateToDate:
        c.navigateToDate(nowPlusDays(step.x), step.b != 0);
        break;
    case Action::Navigate:
        step.a ? c.navigateForward(step.b != 0) : c.navigateBack(step.b != 0);
        break;
    case Action::Reload:
        if (step.a == 0) c.reloadData();
        if (step.a == 1) c.update(step.b != 0);
        if (step.a == 2) c.clearSelection();
        if (step.a == 3) c.setAllowPinchZoom(step.b != 0);
        break;
    case Action::Select:
        if (step.a == 0) c.setSelectedDate(nowPlusDays(step.x));
        if (step.a == 1) c.setSelectedDate(std::nullopt);
        if (step.a == 2) c.setSelectedDates({nowPlusDays(step.x), nowPlusDays(step.y)});
        if (step.a == 3) c.setSelectedDatesRange(XQDateRange::make(nowPlusDays(step.x), nowPlusDays(step.y)));
        break;
    case Action::SetTransition:
        if (auto* base = dynamic_cast<XQCalendarPresenterBase*>(c.presenter().get())) {
            if (step.a == 0) base->setTransitionMode(step.b);
            if (step.a == 1) base->setTransitionIsVertical(step.b != 0);
            if (step.a == 2) base->setTransitionIsReverse(step.b != 0);
            if (step.a == 3) base->setPanGestureSensitivity(step.x * 60);
            if (step.a == 4) base->setTransitionDuration(step.x);
        }
        break;
    case Action::SetCalendar: {
        auto cal = fnd::Calendar::make(kCalendars[static_cast<std::size_t>(step.a) % std::size(kCalendars)]);
        if (cal) {
            cal->setFirstWeekday(step.b);
            const std::size_t zone = static_cast<std::size_t>(step.c) % std::size(kZones);
            if (zone != 0) cal->setTimeZone(fnd::TimeZone::named(kZones[zone]));
        }
        c.setCalendar(cal);
        break;
    }
    case Action::SetDataSource:
        sourceMode = static_cast<SourceMode>(step.a);
        source->mode = sourceMode;
        c.setDataSource(sourceMode == NoSource ? nullptr : source);
        break;
    case Action::AskEvents: {
        const fnd::Date date = nowPlusDays(step.x);
        const XQCalendarEvents events = c.eventsForDate(date);
        const bool answers = sourceMode == Sync || sourceMode == Now || sourceMode == Late ||
                             sourceMode == Twice || sourceMode == OtherThread;
        if (answers && events.size() != 1)
            fail("events", fnd::stringWithFormat("%ld events from a source that answers one", events.size()));
        if (!answers && !events.empty()) fail("events", "events from a source that answers none");
        break;
    }
    case Action::Clock:
        driver->step(step.x);
        break;
    case Action::Drain:
        fnd::mainQueue().drain();
        break;
    case Action::Settle:
        settle();
        break;
    case Action::ArmDelegate:
        armedHook = step.a;
        armedAction = step.b;
        armedArgument = step.c;
        break;
    case Action::Destroy:
        destroyCalendar();
        break;
    case Action::SetLocale: {
        const std::string_view id = kLocales[static_cast<std::size_t>(step.a) % std::size(kLocales)];
        c.setLocale(id.empty() ? std::nullopt : std::optional<fnd::Locale>(fnd::Locale(id)));
        if (step.b != 0) c.update(true);
        break;
    }
    case Action::MonthOptions:
        if (auto* month = dynamic_cast<XQCalendarMonthPresenter*>(c.presenter().get())) {
            const bool on = step.b != 0;
            if (step.a == 0) month->setInlineEventsViewMode(step.b);
            if (step.a == 1) month->setWeekendsHidden(on);
            if (step.a == 2) month->setWeekNumbersHidden(on);
            if (step.a == 3) month->setEqualWeekNumber(on);
            if (step.a == 4) month->setTitleHidden(on);
            if (step.a == 5) month->setDayNamesHidden(on);
            if (step.a == 6) month->setHeaderIsSticky(on);
            if (step.d != 0) c.update(true);
        }
        break;
    case Action::Scroll:
        scroll(step);
        break;
    case Action::Render:
        render();
        break;
    default:
        break;
    }
}

// A setting changed (or the calendar gone) while a finger is down.
void Harness::cut(long kind) {
    if (!calendar) return;
    XQCalendar& c = *calendar;
    auto* base = dynamic_cast<XQCalendarPresenterBase*>(c.presenter().get());
    switch (kind) {
    case 1:
        c.setSelectionMode(XQCalendarSelectionModeRange);
        break;
    case 2:
        if (base) base->setTransitionMode(XQCalendarTransitionModeNone);
        break;
    case 3:
        if (base) base->setTransitionMode(XQCalendarTransitionModeCount + 3); // no class
        break;
    case 4:
        c.setViewMode((c.viewMode() + 1) % XQCalendarViewModeCount);
        break;
    case 5:
        boundsTouched = true;
        c.setMaxDate(c.displayedDate());
        break;
    case 6:
        destroyCalendar();
        break;
    case 7:
        c.reloadData();
        break;
    case 8:
        c.navigateToDate(c.displayedDate().dateByAddingTimeInterval(40 * kDay), true);
        break;
    default:
        break;
    }
}

void Harness::pan(const Step& step) {
    const gfx::Point from{step.x, step.y};
    const gfx::Point to{step.u, step.v};
    const long frames = std::max(1L, step.a);
    driver->touchDown(1, from);
    for (long i = 1; i <= frames; ++i) {
        driver->step();
        if (i == step.d) cut(step.c);
        const double t = static_cast<double>(i) / static_cast<double>(frames);
        driver->touchMove(1, {from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t});
    }
    if (step.b == 1) {
        driver->touchCancel(1);
        return;
    }
    if (step.b == 2) {
        // Held still before the lift: no velocity left.
        driver->step(0.3);
        driver->touchMove(1, to);
        driver->step(0.3);
    }
    driver->touchUp(1, to);
}

void Harness::pinch(const Step& step) {
    const gfx::Point centre{step.x, step.y};
    const long frames = std::max(1L, step.a);
    auto fingers = [&](double scale, ui::TouchPhase phase) {
        const double half = 30 * scale;
        return std::vector<ui::TouchInput>{{1, phase, {centre.x - half, centre.y}, 0},
                                           {2, phase, {centre.x + half, centre.y}, 0}};
    };
    driver->touches(fingers(1, ui::TouchPhaseBegan));
    double scale = 1;
    for (long i = 1; i <= frames; ++i) {
        driver->step();
        if (i == step.d && calendar) {
            if (step.c == 1) calendar->setViewMode(step.c + i % 3, true, i % 2, true);
            if (step.c == 2) calendar->setViewMode(XQCalendarViewModeWeek, true);
            if (step.c == 3) destroyCalendar();
        }
        scale = 1 + (step.u - 1) * static_cast<double>(i) / static_cast<double>(frames);
        driver->touches(fingers(scale, ui::TouchPhaseMoved));
    }
    driver->touches(fingers(scale, step.b == 1 ? ui::TouchPhaseCancelled : ui::TouchPhaseEnded));
    // An interactive change the application started mid-pinch is the application's to end.
    if (step.c == 1 && calendar) {
        if (auto transition = calendar->transition()) transition->finishTransition();
    }
}

// The scroll views within the calendar that show on screen, in tree order.
void collectScrollViews(ui::View& view, std::vector<std::shared_ptr<ui::ScrollView>>& out) {
    for (const auto& subview : view.subviews()) {
        if (subview->isHidden()) continue;
        if (auto scrollView = std::dynamic_pointer_cast<ui::ScrollView>(subview)) out.push_back(scrollView);
        collectScrollViews(*subview, out);
    }
}

// Inside one of the calendar's scroll views (a collection, the day's time line, a list): a
// drag along an axis, a flick, an offset set with or without animation, or a pinch.
void Harness::scroll(const Step& step) {
    if (!calendar) return;
    std::vector<std::shared_ptr<ui::ScrollView>> views;
    collectScrollViews(*calendar, views);
    if (views.empty()) return;
    auto view = views[static_cast<std::size_t>(step.a) % views.size()];
    const gfx::Rect shown =
        view->convertRectToView(view->bounds(), driver->window().get()).intersection(gfx::Rect{{0, 0}, kSize});
    if (shown.isEmpty()) return;
    const gfx::Point from{shown.origin.x + shown.size.width * step.x, shown.origin.y + shown.size.height * step.y};
    const bool vertical = step.c == 0;
    const double travel = (vertical ? shown.size.height : shown.size.width) * step.u;
    const gfx::Point to = vertical ? gfx::Point{from.x, from.y + travel} : gfx::Point{from.x + travel, from.y};
    switch (step.b) {
    case 0:
        driver->pan(from, to, 0.4, static_cast<int>(step.d));
        break;
    case 1:
        driver->panAtSpeed(from, to, 2500, static_cast<int>(step.d));
        break;
    case 2:
    case 3: {
        const gfx::Size content = view->contentSize();
        view->setContentOffset({content.width * step.v * (vertical ? 0 : 1), content.height * step.v * (vertical ? 1 : 0)},
                               step.b == 2);
        break;
    }
    default: {
        const double scale = 0.5 + 1.5 * step.v;
        driver->pinch(from, 1, scale, 0.3, static_cast<int>(step.d), 40);
        break;
    }
    }
}

// A frame of the window, made by damage and checked against the same frame made whole.
// (Verifying every turn's frame would cost most of the run: frames are made on demand.)
void Harness::render() {
    driver->window()->setFrameMode(ui::FrameMode::verify);
    const auto image = driver->render();
    driver->window()->setFrameMode(ui::FrameMode::damage);
    if (!image) return fail("frame", "the window made no frame");
    for (int y = 0; y < image->pixelHeight(); ++y)
        mix(image->data() + static_cast<std::size_t>(y) * image->stride(), static_cast<std::size_t>(image->pixelWidth()) * 4);
}

bool hasTransitionView(const ui::View& view) {
    for (const auto& subview : view.subviews()) {
        if (dynamic_cast<XQViewTransition*>(subview.get()) || hasTransitionView(*subview)) return true;
    }
    return false;
}

void Harness::settle() {
    if (!driver->runUntilIdle(30)) fail("idle", "the run loop never went idle");
    if (!open.empty()) fail("transition open", fnd::stringWithFormat("%ld transitions begun and never finished", open.size()));
    if (!calendar) return;
    if (auto* base = dynamic_cast<XQCalendarPresenterBase*>(calendar->presenter().get())) {
        if (base->isTransitionRunning() || base->isTransitionOpen()) fail("transition running", "after the clock ran on");
    }
    if (calendar->transition()) fail("view-mode transition", "still set after the clock ran on");
    if (hasTransitionView(*calendar)) fail("transition view", "left behind in the calendar");
}

bool within(double t, const Snapshot& s) {
    return t >= s.minDate->timeIntervalSince1970() && t <= s.maxDate->timeIntervalSince1970();
}

// The current presenter is the calendar's and of its view mode's class.
void Harness::checkPresenter() {
    const auto& presenter = calendar->presenter();
    const XQCalendarViewMode mode = calendar->viewMode();
    if (mode < 0 || mode >= XQCalendarViewModeCount) return fail("presenter", "the view mode left 0...6");
    if (!presenter) return fail("presenter", "no presenter");
    if (presenter->superview() != calendar.get()) fail("presenter", "the current presenter is not in the calendar");
    if (!presenter->isKindOf(XQCalendar::presenterClass(mode)))
        fail("presenter", fnd::stringWithFormat("a %s in view mode %ld", presenter->objectClass().name(), mode));
}

void collectDayCells(ui::View& view, std::vector<XQCalendarDayCell*>& out) {
    for (const auto& subview : view.subviews()) {
        if (subview->isHidden()) continue;
        if (auto* cell = dynamic_cast<XQCalendarDayCell*>(subview.get())) out.push_back(cell);
        collectDayCells(*subview, out);
    }
}

// At rest, the day cells on screen show the calendar's selection.
void Harness::checkCellStates() {
    if (!calendar || !calendar->presenter()) return;
    std::vector<XQCalendarDayCell*> cells;
    collectDayCells(*calendar->presenter(), cells);
    for (XQCalendarDayCell* cell : cells) {
        if (!cell->date() || cell->owner().get() != calendar.get()) continue;
        const long expected = XQCalendarDayCell::selectionStateForDate(*calendar, *cell->date()) & 240;
        if ((cell->state() & 240) != expected) {
            fail("cell state", fnd::stringWithFormat("the cell of %s shows selection %ld, the calendar's is %ld",
                                                     cal::test::text(cell->date()), cell->state() & 240, expected));
            return;
        }
    }
}

void Harness::checkStep(const Step& step, const Snapshot& before) {
    if (!calendar) {
        navigated = false;
        // Gone: every presenter it had ended its transitions on the way.
        if (!open.empty()) fail("transition open", "a destroyed calendar left a transition unfinished");
        return;
    }
    adoptPresenter();
    checkPresenter();
    if (step.action == Action::Settle) checkCellStates();
    const Snapshot after = snapshot();
    const CheckContext context{step.action == Action::Settle, navigated && step.action == Action::Settle};
    for (const auto& check : presenterChecks()) {
        if (auto message = check(*calendar, context)) fail("presenter", *message);
    }
    // (A displayed date the application sets is no navigation: scrolling presenters stay
    // where they are until their next layout.)
    navigated = (step.action == Action::Navigate || step.action == Action::NavigateToDate ||
                 step.action == Action::SetViewMode) &&
                (after.displayed != before.displayed || after.mode != before.mode);
    const double displayed = after.displayed->timeIntervalSince1970();
    seenDisplayed.insert(displayed);

    const bool boundsKept = before.displayed && before.minDate == after.minDate && before.maxDate == after.maxDate;
    if (boundsTouched || !boundsKept) {
        // New bounds: what was shown so far may be returned to.
        allowedDisplayed.insert(seenDisplayed.begin(), seenDisplayed.end());
        boundsTouched = false;
        return;
    }
    const bool sane = after.minDate && after.maxDate && *after.minDate <= *after.maxDate;
    const bool byUser = step.action == Action::Tap || step.action == Action::Pan || step.action == Action::Pinch ||
                        step.action == Action::Navigate || step.action == Action::NavigateToDate ||
                        step.action == Action::Clock || step.action == Action::Drain ||
                        step.action == Action::Settle;
    if (!sane || !byUser) return;
    if (*after.displayed != *before.displayed && !within(displayed, after) && !allowedDisplayed.count(displayed))
        fail("displayed out of bounds", "a gesture or navigation showed " + cal::test::text(after.displayed));
    for (double t : after.selected) {
        if (!before.selected.count(t) && !within(t, after))
            fail("selected out of bounds", "a gesture selected " + cal::test::text(fnd::Date::fromTimeIntervalSince1970(t)));
    }
}

void Harness::checkNavigates() {
    armedHook = -1; // nothing in the delegate answers back now
    if (!calendar) makeCalendar();
    settle();
    checkCellStates();
    render();
    XQCalendar& c = *calendar;
    c.setMinDate(std::nullopt);
    c.setMaxDate(std::nullopt);
    auto* grid = dynamic_cast<cal::test::GridPresenter*>(c.presenter().get());
    if (!grid) return;
    const fnd::Date start = c.displayedDate();
    c.navigateForward(false);
    if (c.displayedDate() == start) fail("navigates", "navigateForward moved nothing");
    const fnd::Date moved = c.displayedDate();
    c.navigateBack(true);
    settle();
    if (calendar && calendar->displayedDate() == moved) fail("navigates", "an animated navigateBack moved nothing");
}

// --- Generation.

struct Random {
    std::mt19937_64 engine;
    long integer(long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(engine); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(engine); }
    bool chance(double p) { return real(0, 1) < p; }
};

Step drawStep(Random& r) {
    // Weighted: gestures and the clock most, destruction seldom.
    static const std::vector<std::pair<Action, int>> weights = {
        {Action::Tap, 10},          {Action::Pan, 14},         {Action::Pinch, 6},
        {Action::SetViewMode, 5},   {Action::SetSelectionMode, 4}, {Action::SetBounds, 4},
        {Action::SetDisplayedDate, 3}, {Action::NavigateToDate, 4}, {Action::Navigate, 7},
        {Action::Reload, 3},        {Action::Select, 3},       {Action::SetTransition, 4},
        {Action::SetCalendar, 2},   {Action::SetDataSource, 2}, {Action::AskEvents, 3},
        {Action::Clock, 8},         {Action::Drain, 3},        {Action::Settle, 3},
        {Action::ArmDelegate, 3},   {Action::Destroy, 1},      {Action::SetLocale, 2},
        {Action::MonthOptions, 4},  {Action::Scroll, 8},       {Action::Render, 3},
    };
    int total = 0;
    for (const auto& w : weights)
        total += w.second;
    long pick = r.integer(0, total - 1);
    Step s;
    for (const auto& w : weights) {
        if (pick < w.second) {
            s.action = w.first;
            break;
        }
        pick -= w.second;
    }
    switch (s.action) {
    case Action::Tap:
        s.x = r.real(-10, kSize.width + 10);
        s.y = r.real(-10, kSize.height + 10);
        s.a = r.integer(1, 2);
        break;
    case Action::Pan:
        s.x = r.real(0, kSize.width);
        s.y = r.real(0, kSize.height);
        if (r.chance(0.7)) { // mostly along an axis, as swipes are
            const bool vertical = r.chance(0.3);
            const double d = r.real(-kSize.width * 0.8, kSize.width * 0.8);
            s.u = vertical ? s.x + r.real(-10, 10) : s.x + d;
            s.v = vertical ? s.y + d : s.y + r.real(-10, 10);
        } else {
            s.u = r.real(0, kSize.width);
            s.v = r.real(0, kSize.height);
        }
        s.a = r.integer(1, 40);
        s.b = r.integer(0, 2);
        s.c = r.chance(0.5) ? 0 : r.integer(1, 8);
        s.d = r.integer(1, s.a);
        break;
    case Action::Pinch:
        s.x = r.real(60, kSize.width - 60);
        s.y = r.real(30, kSize.height - 30);
        s.u = r.chance(0.5) ? r.real(0.2, 0.95) : r.real(1.05, 2.2);
        s.a = r.integer(1, 15);
        s.b = r.integer(0, 1);
        s.c = r.chance(0.6) ? 0 : r.integer(1, 3);
        s.d = r.integer(1, s.a);
        break;
    case Action::SetViewMode:
        s.a = r.chance(0.85) ? r.integer(0, 6) : r.integer(-1000, 1000);
        s.b = r.integer(0, 1);
        s.c = r.chance(0.9) ? r.integer(0, 1) : r.integer(-3, 7);
        s.d = r.chance(0.2) ? 1 : 0;
        break;
    case Action::SetSelectionMode:
        s.a = r.chance(0.9) ? r.integer(0, 3) : r.integer(-5, 9);
        break;
    case Action::SetBounds:
        s.a = r.integer(0, 6);
        s.x = r.real(-400, 100);
        s.y = r.real(-100, 400);
        break;
    case Action::SetDisplayedDate:
    case Action::NavigateToDate:
    case Action::AskEvents:
        s.x = r.chance(0.8) ? r.real(-200, 200) : r.real(-40000, 40000);
        s.b = r.integer(0, 1);
        break;
    case Action::Navigate:
        s.a = r.integer(0, 1);
        s.b = r.integer(0, 1);
        break;
    case Action::Reload:
        s.a = r.integer(0, 3);
        s.b = r.integer(0, 1);
        break;
    case Action::Select:
        s.a = r.integer(0, 3);
        s.x = r.real(-100, 100);
        s.y = r.real(-100, 100);
        break;
    case Action::SetTransition:
        s.a = r.integer(0, 4);
        s.b = r.chance(0.7) ? r.integer(0, 6) : r.integer(-3, 12);
        s.x = r.real(0, 1);
        break;
    case Action::SetCalendar:
        s.a = r.integer(0, static_cast<long>(std::size(kCalendars)) - 1);
        s.b = r.integer(0, 8);
        s.c = r.chance(0.5) ? 0 : r.integer(1, static_cast<long>(std::size(kZones)) - 1);
        break;
    case Action::SetLocale:
        s.a = r.integer(0, static_cast<long>(std::size(kLocales)) - 1);
        s.b = r.integer(0, 1);
        break;
    case Action::MonthOptions:
        s.a = r.chance(0.5) ? 0 : r.integer(1, 6);
        s.b = s.a == 0 && r.chance(0.1) ? r.integer(-2, 5) : r.integer(0, s.a == 0 ? 2 : 1);
        s.d = r.integer(0, 1);
        break;
    case Action::Scroll:
        s.a = r.integer(0, 3);
        s.b = r.integer(0, 4);
        s.c = r.chance(0.7) ? 0 : 1;
        s.d = r.integer(1, 12);
        s.x = r.real(0.1, 0.9);
        s.y = r.real(0.1, 0.9);
        s.u = r.real(-1.2, 1.2);
        s.v = r.chance(0.9) ? r.real(0, 1) : r.real(-2, 3);
        break;
    case Action::SetDataSource:
        s.a = r.integer(0, SourceModes - 1);
        break;
    case Action::Clock:
        s.x = r.chance(0.7) ? r.real(0, 0.2) : r.real(0, 1.5);
        break;
    case Action::ArmDelegate:
        s.a = r.integer(0, Hooks - 1);
        s.b = r.integer(0, ArmedKinds - 1);
        s.c = r.integer(-1, 7);
        break;
    default:
        break;
    }
    return s;
}

const char* actionName(Action action) {
    static const char* const names[] = {
        "tap",        "pan",      "pinch",  "setViewMode", "setSelectionMode", "setBounds", "setDisplayedDate",
        "navigateToDate", "navigate", "reload", "select",   "setTransition",    "setCalendar", "setDataSource",
        "askEvents",  "clock",    "drain",  "settle",      "armDelegate",      "destroy",   "setLocale",
        "monthOptions", "scroll", "render"};
    static_assert(std::size(names) == static_cast<std::size_t>(Action::Count));
    return names[static_cast<std::size_t>(action)];
}

std::uint64_t g_seed = 0;
const Sequence* g_sequence = nullptr;
std::size_t g_step = 0;

void reportCrash() {
    std::fprintf(stderr, "\nfuzz: crashed in seed %llu at step %zu; the sequence up to it:\n",
                 static_cast<unsigned long long>(g_seed), g_step);
    if (g_sequence) {
        for (std::size_t i = 0; i <= g_step && i < g_sequence->size(); ++i)
            std::fprintf(stderr, "  %zu: %s\n", i, describe((*g_sequence)[i]).c_str());
    }
    std::fprintf(stderr, "replay: make fuzz SEED=%llu\n", static_cast<unsigned long long>(g_seed));
}

} // namespace

Sequence generate(std::uint64_t seed, std::size_t length) {
    Random r{std::mt19937_64(seed)};
    Sequence sequence;
    sequence.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        sequence.push_back(drawStep(r));
    return sequence;
}

std::string describe(const Step& s) {
    return fnd::stringWithFormat("%s a=%ld b=%ld c=%ld d=%ld x=%.3f y=%.3f u=%.3f v=%.3f", actionName(s.action),
                                 s.a, s.b, s.c, s.d, s.x, s.y, s.u, s.v);
}

std::string describe(const Sequence& sequence) {
    std::string text;
    for (std::size_t i = 0; i < sequence.size(); ++i)
        text += fnd::stringWithFormat("  %zu: %s\n", i, describe(sequence[i]));
    return text;
}

std::vector<PresenterCheck>& presenterChecks() {
    static std::vector<PresenterCheck> checks;
    return checks;
}

namespace {

std::optional<Failure> runSequence(const Sequence& sequence, std::uint64_t* digest) {
    // Modes whose presenter is not built yet show the grid stand-in; the rest their own.
    std::vector<const rt::Class*> saved;
    for (long mode = 0; mode < XQCalendarViewModeCount; ++mode) {
        saved.push_back(&XQCalendar::presenterClass(mode));
        if (saved.back() == &XQCalendarPresenterBase::staticClass())
            XQCalendar::registerPresenterClass<cal::test::GridPresenter>(mode);
    }
    const double scale = gfx::screenScale();
    gfx::setScreenScale(1);
    // Every run starts at the same moment, whatever ran before it: animations' progress is
    // worked out from the clock's reading, and its rounding with it.
    ui::MediaClock::setTime(kClockStart);
    fnd::mainQueue().drain();
    std::optional<Failure> failure;
    {
        Harness harness;
        ui::Compositor::setMismatchHandler([&harness](const ui::FrameMismatch& mismatch) {
            // OLM_FUZZ_FRAMES=dir keeps both frames for a look.
            if (const char* dir = std::getenv("OLM_FUZZ_FRAMES"); dir && mismatch.damagedFrame && mismatch.wholeFrame) {
                mismatch.damagedFrame->writePNG(std::string(dir) + "/damaged.png");
                mismatch.wholeFrame->writePNG(std::string(dir) + "/whole.png");
            }
            harness.fail("frame", fnd::stringWithFormat("made by damage, %ld pixels differ from the whole frame, "
                                                        "first at (%d, %d): %08x, whole %08x",
                                                        mismatch.differingPixels, mismatch.x, mismatch.y, mismatch.damaged, mismatch.whole));
        });
        g_sequence = &sequence;
        for (std::size_t i = 0; i < sequence.size() && !harness.failure; ++i) {
            g_step = harness.stepIndex = i;
            const Snapshot before = harness.snapshot();
            harness.apply(sequence[i]);
            harness.checkStep(sequence[i], before);
            harness.mix(harness.snapshot());
        }
        if (!harness.failure) {
            harness.stepIndex = sequence.size();
            harness.checkNavigates();
        }
        failure = harness.failure;
        if (digest) *digest = harness.digest;
        ui::Compositor::setMismatchHandler(nullptr);
    }
    g_sequence = nullptr;
    fnd::mainQueue().drain();
    gfx::setScreenScale(scale);
    for (long mode = 0; mode < XQCalendarViewModeCount; ++mode)
        XQCalendar::registerPresenterClass(mode, *saved[static_cast<std::size_t>(mode)]);
    return failure;
}

} // namespace

std::optional<Failure> run(const Sequence& sequence) {
    return runSequence(sequence, nullptr);
}

std::uint64_t digestOf(const Sequence& sequence) {
    std::uint64_t digest = 0;
    runSequence(sequence, &digest);
    return digest;
}

Sequence shrink(const Sequence& sequence, const Failure& failure, const Runner& runner, std::size_t maxRuns) {
    // Drop chunks, halving their size, while the same check still fails.
    Sequence best(sequence.begin(), sequence.begin() + static_cast<long>(std::min(failure.step + 1, sequence.size())));
    std::size_t runs = 0;
    for (std::size_t chunk = std::max<std::size_t>(1, best.size() / 2); chunk >= 1 && runs < maxRuns;) {
        bool dropped = false;
        for (std::size_t start = 0; start < best.size() && runs < maxRuns;) {
            Sequence candidate = best;
            candidate.erase(candidate.begin() + static_cast<long>(start),
                            candidate.begin() + static_cast<long>(std::min(start + chunk, candidate.size())));
            ++runs;
            const auto result = runner(candidate);
            if (result && result->check == failure.check) {
                best = std::move(candidate);
                dropped = true;
            } else {
                start += chunk;
            }
        }
        if (!dropped) {
            if (chunk == 1) break;
            chunk /= 2;
        }
    }
    return best;
}

void setCurrentSeed(std::uint64_t seed) {
    g_seed = seed;
}

void installCrashReport() {
#ifdef OLM_FUZZ_HAS_SANITIZER_CALLBACK
    __sanitizer_set_death_callback(reportCrash);
#endif
    for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) {
        std::signal(signal, [](int number) {
            reportCrash();
            std::signal(number, SIG_DFL);
            std::raise(number);
        });
    }
}

} // namespace cal::fuzz
