#pragma once

// The scrolling area of the day view in which the timed events of one day stand on a
// vertical time line. It is a collection view laid out by XQCalendarDayViewEventsLayout;
// the day view is its data source and delegate and supplies the cells.
//
// It owns the time range the line shows (the whole day in one-hour slots by default), the
// zoom that stretches the line, the hour labels and their common size, and a pinch that
// zooms about the point between the fingers. Line i stands at
// topOffset + i × separatorSpacing × zoom and reads the wall-clock time
// startTime + i × interval of the shown day in the calendar's time zone; a time of day lies at
// topOffset + timeLineHeight × offsetForComponents.
//
// A range is usable when `interval` > 0 and `endTime` > `startTime` (finite, and at most
// `maxSlotsCount` slots); any other shows no lines and no labels, and lays every event out at
// a zero frame. The setters of the range and the zoom bounds only store: the labels and the
// layout follow at `updateLayout` or the next attach. Main thread only.

#include "OLMCalendar/Themes/Styles/XQCalendarDayViewEventsViewStyle.h"
#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/foundation/Calendar.h"
#include "platform/graphics/Text.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/PinchGestureRecognizer.h"

#include <optional>
#include <vector>

class XQCalendarDayViewEventsView : public ui::CollectionView {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewEventsView)
    static std::shared_ptr<XQCalendarDayViewEventsView> make(const gfx::Rect& frame,
                                                             std::shared_ptr<ui::CollectionViewLayout> layout) {
        return rt::create<XQCalendarDayViewEventsView>(frame, std::move(layout));
    }

    // More slots than this make a range unusable (a tiny interval would otherwise make
    // millions of labels).
    static constexpr double maxSlotsCount = 10000;

    // The shown day's timed events, sorted by start: item i of section 0 is events()[i].
    const XQCalendarEvents& events() const { return _events; }
    // Any moment of the shown day; nullopt before the first attach.
    const std::optional<fnd::Date>& date() const { return _date; }
    // The calendar in which days and times of day are computed (held weakly).
    fnd::CalendarRef calendar() const { return _calendar.lock(); }
    const std::shared_ptr<XQCalendarDayViewEventsViewStyle>& style() const { return _style; }

    // Shows a day: rebuilds the labels, reloads and lays out again.
    void attachWithEvents(XQCalendarEvents events, std::optional<fnd::Date> date, const fnd::CalendarRef& calendar);
    // Rebuilds the labels and invalidates the layout (after a change of range or style).
    void updateLayout();

    // --- Zoom: the vertical stretch of the line, within minZoom...maxZoom.
    double zoom() const { return _zoom; }
    // Keeps the time at the top of the visible area in place.
    void setZoom(double zoom);
    // Keeps the time under `point` (in the view's coordinates, content offset included)
    // under it. The offset is not clamped to the content.
    void setZoom(double zoom, gfx::Point point);
    bool allowZoom() const { return _allowZoom; }
    void setAllowZoom(bool allow) { _allowZoom = allow; }
    double minZoom() const { return _minZoom; }
    void setMinZoom(double zoom) { _minZoom = zoom; }
    double maxZoom() const { return _maxZoom; }
    void setMaxZoom(double zoom) { _maxZoom = zoom; }
    ui::PinchGestureRecognizer& pinchGestureRecognizer() const { return *_pinchGestureRecognizer; }
    // The pinch's action: zooms while it changes; a cancelled or failed pinch puts the zoom
    // and offset of its start back.
    void pinch(ui::PinchGestureRecognizer& recognizer);

    // --- The time range, in seconds after the start of the day.
    double startTime() const { return _startTime; }
    void setStartTime(double time) { _startTime = time; }
    double endTime() const { return _endTime; }
    void setEndTime(double time) { _endTime = time; }
    // The length of one slot.
    double interval() const { return _interval; }
    void setInterval(double interval) { _interval = interval; }
    bool hasUsableRange() const;

    // --- The labels: one per line, built by `createLabels` (none without a date, a
    // calendar, a formatter or a usable range).
    void createLabels();
    const std::vector<gfx::AttributedString>& labels() const { return _labels; }
    // The largest width and the largest height among the labels.
    gfx::Size labelSize() const { return _labelSize; }
    // Changes whenever `createLabels` makes labels that look different from the last ones
    // (another text, font size or colour), so that the time line draws again only then.
    unsigned long labelsVersion() const { return _labelsVersion; }
    // The label of the wall-clock time `t` seconds after the shown day's midnight (the next
    // day's for t ≥ 86400) in the calendar's time zone; empty without a date or calendar.
    std::string labelForTimeInterval(double t) const;

    // --- Geometry the layout relies on.
    // The fraction of the range at which a time of day lies (below 0 before startTime, above
    // 1 after endTime); 0 for an unusable range.
    double offsetForHour(long hour, long minute, long second) const;
    double offsetForComponents(const fnd::DateComponents& components) const;
    double offsetForSecondsOfDay(double seconds) const;
    // (endTime − startTime) / interval, unrounded; 0 for an unusable range.
    double slotsCount() const;
    // zoom × separatorSpacing × slotsCount.
    double timeLineHeight() const;

protected:
    friend class rt::Access;
    XQCalendarDayViewEventsView() = default;
    void init(const gfx::Rect& frame, std::shared_ptr<ui::CollectionViewLayout> layout);

private:
    std::shared_ptr<ui::CollectionViewLayout> _layout;
    std::shared_ptr<XQCalendarDayViewEventsViewStyle> _style;
    std::shared_ptr<ui::PinchGestureRecognizer> _pinchGestureRecognizer;
    XQCalendarEvents _events;
    std::optional<fnd::Date> _date;
    std::weak_ptr<fnd::Calendar> _calendar;
    double _zoom = 1;
    double _startTime = 0;
    double _endTime = 86400;
    double _interval = 3600;
    bool _allowZoom = true;
    double _minZoom = 0.75;
    double _maxZoom = 1.25;
    // The zoom and offset when the current pinch began; whether one began.
    double _initialZoom = 1;
    gfx::Point _initialOffset;
    bool _pinchBegan = false;
    std::vector<gfx::AttributedString> _labels;
    gfx::Size _labelSize;
    unsigned long _labelsVersion = 0;
    // The text size and colour the labels were made with.
    double _labelsTextSize = 0;
    std::optional<gfx::Color> _labelsTextColor;
};
