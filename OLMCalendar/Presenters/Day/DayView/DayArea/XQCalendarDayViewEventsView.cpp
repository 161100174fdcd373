#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"

#include "platform/foundation/DateFormatter.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarDayViewEventsView, ui::CollectionView)

namespace {

// Formats wall-clock times of one day: the day's midnight as if the calendar's zone were UTC,
// formatted in UTC with the label formatter's pattern, locale and calendar system. A time of
// day then reads the same whatever daylight saving does to that day (a skipped midnight, a
// repeated hour) and whatever zone the formatter itself is in.
class WallClockFormatter {
public:
    static std::optional<WallClockFormatter> make(const fnd::DateFormatterRef& labelFormatter,
                                                  const std::optional<fnd::Date>& date,
                                                  const fnd::CalendarRef& calendar) {
        if (!labelFormatter || !date || !calendar) return std::nullopt;
        fnd::CalendarRef utc = calendar->copy();
        utc->setTimeZone(fnd::TimeZone::utc());
        const auto midnight = utc->dateFromComponents(
            calendar->components(fnd::CalendarUnitEra | fnd::CalendarUnitYear | fnd::CalendarUnitMonth |
                                     fnd::CalendarUnitDay,
                                 *date));
        if (!midnight) return std::nullopt;
        fnd::DateFormatterRef formatter = fnd::DateFormatter::make();
        formatter->setLocale(labelFormatter->locale());
        formatter->setCalendar(utc);
        formatter->setTimeZone(fnd::TimeZone::utc());
        formatter->setDateFormat(labelFormatter->dateFormat());
        return WallClockFormatter(std::move(formatter), *midnight);
    }

    std::string format(double secondsAfterMidnight) const {
        return _formatter->stringFromDate(_midnight.dateByAddingTimeInterval(secondsAfterMidnight));
    }

private:
    WallClockFormatter(fnd::DateFormatterRef formatter, fnd::Date midnight)
        : _formatter(std::move(formatter)), _midnight(midnight) {}
    fnd::DateFormatterRef _formatter;
    fnd::Date _midnight;
};

} // namespace

void XQCalendarDayViewEventsView::init(const gfx::Rect& frame, std::shared_ptr<ui::CollectionViewLayout> layout) {
    ui::CollectionView::init(frame, layout);
    _layout = std::move(layout);
    _style = XQCalendarDayViewEventsViewStyle::make();
    setBackgroundColor(gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::colors::white()));
    _pinchGestureRecognizer = ui::PinchGestureRecognizer::make();
    std::weak_ptr<XQCalendarDayViewEventsView> weakSelf = rt::weakFrom(this);
    _pinchGestureRecognizer->addAction([weakSelf](ui::GestureRecognizer& recognizer) {
        if (auto self = weakSelf.lock()) self->pinch(static_cast<ui::PinchGestureRecognizer&>(recognizer));
    });
    addGestureRecognizer(_pinchGestureRecognizer);
}

void XQCalendarDayViewEventsView::attachWithEvents(XQCalendarEvents events, std::optional<fnd::Date> date,
                                                   const fnd::CalendarRef& calendar) {
    _date = date;
    _events = std::move(events);
    _calendar = calendar;
    createLabels();
    reloadData();
    if (_layout) _layout->invalidateLayout();
    setNeedsLayout();
}

void XQCalendarDayViewEventsView::updateLayout() {
    createLabels();
    if (_layout) _layout->invalidateLayout();
}

// --- Zoom.

void XQCalendarDayViewEventsView::setZoom(double zoom) { setZoom(zoom, contentOffset()); }

void XQCalendarDayViewEventsView::setZoom(double zoom, gfx::Point point) {
    if (!std::isfinite(zoom) || !std::isfinite(point.y)) return;
    zoom = std::min(std::max(zoom, _minZoom), _maxZoom);
    if (zoom == _zoom) return;
    const gfx::Point offset = contentOffset();
    const double belowTop = point.y - offset.y;
    // The time under the point stays under it (from a zoom of 0, which a minZoom of 0
    // allows, the offset stays).
    const double y = _zoom != 0 ? point.y / _zoom * zoom - belowTop : offset.y;
    _zoom = zoom;
    reloadData();
    setContentOffset({offset.x, y}, false);
}

void XQCalendarDayViewEventsView::pinch(ui::PinchGestureRecognizer& recognizer) {
    switch (recognizer.state()) {
    case ui::GestureRecognizerStateBegan:
        if (!_allowZoom || recognizer.numberOfTouches() < 2) return;
        _pinchBegan = true;
        _initialZoom = _zoom;
        _initialOffset = contentOffset();
        return;
    case ui::GestureRecognizerStateChanged:
        if (!_pinchBegan || !_allowZoom || recognizer.numberOfTouches() < 2) return;
        setZoom(_initialZoom * recognizer.scale(), recognizer.locationInView(this));
        return;
    case ui::GestureRecognizerStateCancelled:
    case ui::GestureRecognizerStateFailed:
        // A pinch that began is undone whatever the fingers did since.
        if (!_pinchBegan) return;
        _pinchBegan = false;
        _zoom = _initialZoom;
        if (_layout) _layout->invalidateLayout();
        setContentOffset(_initialOffset);
        return;
    default:
        _pinchBegan = false;
        return;
    }
}

// --- Range and labels.

bool XQCalendarDayViewEventsView::hasUsableRange() const {
    if (!std::isfinite(_startTime) || !std::isfinite(_endTime) || !std::isfinite(_interval)) return false;
    if (!(_interval > 0) || !(_endTime > _startTime)) return false;
    const double slots = (_endTime - _startTime) / _interval;
    return std::isfinite(slots) && slots <= maxSlotsCount;
}

void XQCalendarDayViewEventsView::createLabels() {
    std::vector<gfx::AttributedString> labels;
    gfx::Size labelSize;
    const double textSize = _style->labelTextSize();
    const std::optional<gfx::Color> textColor = _style->labelTextColor();
    const auto clock =
        hasUsableRange() ? WallClockFormatter::make(_style->labelFormatter(), _date, calendar()) : std::nullopt;
    if (clock) {
        const gfx::TextAttributes attributes{gfx::Font::systemFont(textSize), textColor, std::nullopt};
        const double slots = slotsCount();
        for (long i = 0; static_cast<double>(i) <= slots; ++i) {
            gfx::AttributedString label(clock->format(_startTime + _interval * static_cast<double>(i)), attributes);
            const gfx::Size size = label.size();
            labelSize = {std::max(labelSize.width, size.width), std::max(labelSize.height, size.height)};
            labels.push_back(std::move(label));
        }
    }
    const bool same = textSize == _labelsTextSize && textColor == _labelsTextColor &&
                      std::equal(labels.begin(), labels.end(), _labels.begin(), _labels.end(),
                                 [](const auto& a, const auto& b) { return a.string() == b.string(); });
    if (!same) ++_labelsVersion;
    _labels = std::move(labels);
    _labelSize = labelSize;
    _labelsTextSize = textSize;
    _labelsTextColor = textColor;
}

std::string XQCalendarDayViewEventsView::labelForTimeInterval(double t) const {
    const auto clock = WallClockFormatter::make(_style->labelFormatter(), _date, calendar());
    return clock && std::isfinite(t) ? clock->format(t) : std::string();
}

// --- Geometry.

double XQCalendarDayViewEventsView::offsetForHour(long hour, long minute, long second) const {
    // In doubles: exact for any time of day, and no overflow for absurd components.
    return offsetForSecondsOfDay(static_cast<double>(hour) * 3600 + static_cast<double>(minute) * 60 +
                                 static_cast<double>(second));
}

double XQCalendarDayViewEventsView::offsetForComponents(const fnd::DateComponents& components) const {
    return offsetForHour(components.hour.value_or(0), components.minute.value_or(0), components.second.value_or(0));
}

double XQCalendarDayViewEventsView::offsetForSecondsOfDay(double seconds) const {
    if (!hasUsableRange()) return 0;
    return (seconds - _startTime) / (_endTime - _startTime);
}

double XQCalendarDayViewEventsView::slotsCount() const {
    return hasUsableRange() ? (_endTime - _startTime) / _interval : 0;
}

double XQCalendarDayViewEventsView::timeLineHeight() const {
    return _zoom * _style->separatorSpacing() * slotsCount();
}
