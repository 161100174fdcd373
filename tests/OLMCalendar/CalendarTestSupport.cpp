#include "CalendarTestSupport.h"

#include "platform/foundation/Strings.h"
#include "platform/graphics/SystemColors.h"

#include <cmath>
#include <functional>
#include <utility>

OLM_DEFINE_CLASS(cal::test::GridPresenter, XQCalendarPresenterBase)
OLM_DEFINE_CLASS(cal::test::FakeTransition, XQViewTransition)

namespace cal::test {

fnd::Date day(long year, long month, long dayOfMonth, long hour, long minute) {
    fnd::DateComponents comps;
    comps.year = year;
    comps.month = month;
    comps.day = dayOfMonth;
    comps.hour = hour;
    comps.minute = minute;
    return fnd::Calendar::current()->dateFromComponents(comps).value();
}

std::string text(const std::optional<fnd::Date>& date) {
    if (!date) return "nil";
    const auto c = fnd::Calendar::current()->components(fnd::CalendarUnitYear | fnd::CalendarUnitMonth |
                                                            fnd::CalendarUnitDay | fnd::CalendarUnitHour |
                                                            fnd::CalendarUnitMinute,
                                                        *date);
    std::string s = fnd::stringWithFormat("%04ld-%02ld-%02ld", *c.year, *c.month, *c.day);
    if (*c.hour != 0 || *c.minute != 0) s += fnd::stringWithFormat(" %02ld:%02ld", *c.hour, *c.minute);
    return s;
}

// --- GridPresenter.

void GridPresenter::init(const gfx::Rect& frame) {
    XQCalendarPresenterBase::init(frame);
    for (int i = 0; i < columns * rows; ++i) {
        auto cell = ui::View::make();
        cell->setTag(i);
        _cells.push_back(cell);
        addSubview(cell);
    }
    layoutSubviews();
}

void GridPresenter::layoutSubviews() {
    XQCalendarPresenterBase::layoutSubviews();
    const double w = bounds().size.width / columns;
    const double h = bounds().size.height / rows;
    for (int i = 0; i < columns * rows; ++i)
        _cells[i]->setFrame({(i % columns) * w, (i / columns) * h, w, h});
    // The first cell tells the shown month apart in snapshots: red in odd months, blue in even.
    if (XQCalendar* calendar = owner()) {
        const long month = calendar->calendar()->component(fnd::CalendarUnitMonth, calendar->displayedDate());
        _cells[0]->setBackgroundColor(month % 2 ? gfx::colors::red() : gfx::colors::blue());
    }
}

void GridPresenter::update(bool force) {
    updates.push_back(force);
    setNeedsLayout();
    if (log) log->push_back(force ? "update(YES)" : "update(NO)");
}

void GridPresenter::updateState(const std::optional<fnd::Date>& date) {
    XQCalendarPresenterBase::updateState(date);
    stateDates.push_back(date);
    if (log) log->push_back("updateState " + text(date));
}

long GridPresenter::cellIndex(gfx::Point point) const {
    const double w = bounds().size.width / columns;
    const double h = bounds().size.height / rows;
    if (!(w > 0 && h > 0)) return -1;
    const double col = std::floor(point.x / w);
    const double row = std::floor(point.y / h);
    if (col < 0 || col >= columns || row < 0 || row >= rows) return -1;
    return static_cast<long>(row) * columns + static_cast<long>(col);
}

std::optional<fnd::Date> GridPresenter::dateFromPoint(gfx::Point point) {
    const long index = cellIndex(point);
    XQCalendar* calendar = owner();
    if (index < 0 || !calendar) return std::nullopt;
    return calendar->dateWithOffset(index, 0, calendar->displayedDate());
}

std::shared_ptr<ui::View> GridPresenter::cellFromPoint(gfx::Point point) {
    const long index = cellIndex(point);
    return index < 0 ? nullptr : _cells[static_cast<std::size_t>(index)];
}

std::optional<gfx::Point> GridPresenter::pointOfDate(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    for (long i = 0; calendar && i < columns * rows; ++i) {
        if (calendar->isDate(calendar->dateWithOffset(i, 0, calendar->displayedDate()), date, 28)) {
            const gfx::Rect f = _cells[static_cast<std::size_t>(i)]->frame();
            return gfx::Point{f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2};
        }
    }
    return std::nullopt;
}

std::optional<fnd::Date> GridPresenter::step(long direction) {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    if (stepDays > 0)
        return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitDay, direction * stepDays,
                                                      calendar->displayedDate());
    return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitMonth, direction,
                                                  calendar->displayedDate());
}

std::optional<fnd::Date> GridPresenter::nextDate() {
    return step(1);
}

std::optional<fnd::Date> GridPresenter::prevDate() {
    return step(-1);
}

bool GridPresenter::isDateBefore(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    return calendar && date < calendar->displayedDate();
}

// --- FakeTransition.

void FakeTransition::beginTransition(const gfx::ImageRef& fromImage, const gfx::ImageRef& toImage,
                                     XQViewTransitionDirection direction) {
    setDirection(direction);
    from = fromImage;
    to = toImage;
    calls.push_back(fnd::stringWithFormat("begin %ld", direction));
}

void FakeTransition::transitionWithAnimation() {
    calls.push_back("play");
    endLater(false);
}

void FakeTransition::updateTransition(double value) {
    calls.push_back("update");
    progress.push_back(value);
}

void FakeTransition::finishTransition() {
    calls.push_back("finish");
    endLater(false);
}

void FakeTransition::cancelTransition() {
    calls.push_back("cancel");
    endLater(true);
}

namespace {
std::vector<std::function<void()>> heldEnds;
}

bool FakeTransition::holdEnds = false;

void FakeTransition::releaseHeldEnds() {
    holdEnds = false;
    for (auto& end : std::exchange(heldEnds, {}))
        fnd::dispatchAsync(fnd::mainQueue(), std::move(end));
}

void FakeTransition::endLater(bool canceled) {
    std::weak_ptr<FakeTransition> weak = rt::weakFrom(this);
    auto end = [weak, canceled] {
        if (auto transition = weak.lock()) transition->completeTransition(canceled);
    };
    if (holdEnds)
        heldEnds.push_back(std::move(end));
    else
        fnd::dispatchAsync(fnd::mainQueue(), std::move(end));
}

// --- RecordingDelegate.

bool RecordingDelegate::calendarShouldSelectDate(XQCalendar&, const std::optional<fnd::Date>& date) {
    log->push_back("shouldSelect " + text(date));
    return refused.count(text(date)) == 0;
}

void RecordingDelegate::calendarDidSelectDate(XQCalendar&, const fnd::Date& date) {
    log->push_back("didSelect " + text(date));
}

void RecordingDelegate::calendarDidDeselectedDate(XQCalendar&, const fnd::Date& date) {
    log->push_back("didDeselect " + text(date));
}

void RecordingDelegate::calendarWillNavigateToDate(XQCalendar&, const fnd::Date& date) {
    log->push_back("willNavigate " + text(date));
}

void RecordingDelegate::calendarDidNavigateToDate(XQCalendar&, const fnd::Date& date) {
    log->push_back("didNavigate " + text(date));
}

void RecordingDelegate::calendarDidChangedViewModeFrom(XQCalendar&, XQCalendarViewMode from,
                                                       XQCalendarViewMode to) {
    log->push_back(fnd::stringWithFormat("didChangeViewMode %ld->%ld", from, to));
}

void RecordingDelegate::calendarDidTapCell(XQCalendar&, ui::View& cell) {
    log->push_back(fnd::stringWithFormat("didTapCell %ld", cell.tag()));
}

void RecordingDelegate::presenterBeginTransition(XQCalendarPresenter&, XQViewTransition&) {
    log->push_back("presenterBegin");
}

void RecordingDelegate::presenterFinishTransition(XQCalendarPresenter&, XQViewTransition&, bool canceled) {
    log->push_back(canceled ? "presenterFinish canceled" : "presenterFinish");
}

// --- CalendarTest.

void CalendarTest::SetUp() {
    for (long mode = 0; mode < XQCalendarViewModeCount; ++mode) {
        _savedPresenters.push_back(&XQCalendar::presenterClass(mode));
        XQCalendar::registerPresenterClass<GridPresenter>(mode);
    }
    for (long mode = 1; mode <= XQCalendarTransitionModeCount; ++mode)
        _savedTransitions.push_back(XQCalendarPresenterBase::transitionClass(mode));
    XQCalendarPresenterBase::registerTransitionClass<FakeTransition>(XQCalendarTransitionModeScroll);
    XQCalendarPresenterBase::registerTransitionClass<FakeTransition>(XQCalendarTransitionModeFloat);

    calendar = XQCalendar::make(gfx::Rect{0, 0, 350, 300});
    delegate = std::make_shared<RecordingDelegate>(&log);
    calendar->setDelegate(delegate);
    grid().log = &log;
    grid().setDelegate(delegate);
    log.clear();
}

void CalendarTest::TearDown() {
    FakeTransition::releaseHeldEnds();
    drain();
    calendar.reset();
    drain();
    for (long mode = 0; mode < XQCalendarViewModeCount; ++mode)
        XQCalendar::registerPresenterClass(mode, *_savedPresenters[static_cast<std::size_t>(mode)]);
    for (long mode = 1; mode <= XQCalendarTransitionModeCount; ++mode)
        XQCalendarPresenterBase::registerTransitionClass(
            mode, _savedTransitions[static_cast<std::size_t>(mode - 1)]);
}

GridPresenter& CalendarTest::grid() const {
    auto* presenter = dynamic_cast<GridPresenter*>(calendar->presenter().get());
    if (presenter == nullptr) throw std::logic_error("the current presenter is not a grid presenter");
    return *presenter;
}

void CalendarTest::drain() {
    for (int i = 0; i < 100 && fnd::mainQueue().drain() != 0; ++i) {
    }
}

Log CalendarTest::takeLog() {
    Log taken = std::move(log);
    log.clear();
    return taken;
}

void HostedCalendarTest::SetUp() {
    CalendarTest::SetUp();
    driver = std::make_unique<ui::TestDriver>(gfx::Size{350, 300});
    driver->window()->addSubview(calendar);
    driver->runUntilIdle();
    takeLog();
}

void HostedCalendarTest::startPinch() {
    driver->touches({{1, ui::TouchPhaseBegan, {125, 150}, 0}, {2, ui::TouchPhaseBegan, {225, 150}, 0}});
    for (int i = 1; i <= 5; ++i) {
        driver->step();
        driver->touches({{1, ui::TouchPhaseMoved, {125.0 + 4 * i, 150}, 0},
                         {2, ui::TouchPhaseMoved, {225.0 - 4 * i, 150}, 0}});
    }
}

void HostedCalendarTest::TearDown() {
    driver.reset();
    CalendarTest::TearDown();
}

} // namespace cal::test
