#pragma once

// One month of the year view, drawn in a single pass: the month's name, a row of one-letter
// weekday names and six week rows of day numbers (eight rows of equal height), today's number
// on the style's shape and weekend days in their own colour. Everything it draws comes from
// the year presenter's style and delegate.
//
// It draws into its backing store only when it shows something new: another month, a new
// look of the presenter (style, delegate, first weekday, days per week), another today, or a
// new size. Attached again to the same month with nothing changed, it is not drawn again, so
// scrolling the year view only moves finished pictures. The view is opaque on a clear
// background: its pixels carry alpha.

#include "platform/foundation/Date.h"
#include "platform/graphics/Text.h"
#include "platform/ui/View.h"

#include <memory>
#include <optional>
#include <string>

class XQCalendar;
class XQCalendarYearPresenter;

namespace gfx {
class GraphicsContext;
}

class XQCalendarMonthView : public ui::View {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthView)
    static std::shared_ptr<XQCalendarMonthView> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarMonthView>(frame);
    }

    // The cell styles drawCell takes beside a day's flags (1 today, 2 weekend).
    static constexpr long monthNameCell = -2;
    static constexpr long dayNameCell = -1;

    // Both held weakly.
    std::shared_ptr<XQCalendar> owner() const { return _owner.lock(); }
    std::shared_ptr<XQCalendarYearPresenter> presenter() const { return _presenter.lock(); }

    const std::string& monthName() const { return _monthName; }
    void setMonthName(std::string name) { _monthName = std::move(name); }
    // -1 before the first attach.
    long year() const { return _year; }
    // From 0.
    long month() const { return _month; }
    // Grid indexes (row * days per week + column over the six week rows) of the first and last
    // day of the month, and of today (-1 when today is not in this month).
    long firstDayIndex() const { return _firstDayIndex; }
    long lastDayIndex() const { return _lastDayIndex; }
    long todayIndex() const { return _todayIndex; }
    // Of the day numbers and weekday names: centred.
    const gfx::ParagraphStyle& paragraphStyle() const { return _paragraphStyle; }
    void setParagraphStyle(const gfx::ParagraphStyle& style) { _paragraphStyle = style; }
    // The first day of the shown month; nullopt for a blank item (a year with fewer months).
    const std::optional<fnd::Date>& date() const { return _date; }

    // Shows month `month` (from 0) of `year`.
    void attachWithCalendar(XQCalendar* calendar, XQCalendarYearPresenter* presenter, long year, long month);

    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect& rect) override;
    // Draws one cell: the month name (style monthNameCell), a weekday name (dayNameCell) or a
    // day number (style = its flags).
    void drawCell(gfx::GraphicsContext& context, const gfx::Rect& rect, const std::string& text, long style);

protected:
    friend struct rt::Access;
    XQCalendarMonthView() = default;
    void init(const gfx::Rect& frame);

private:
    // Today's grid index in the shown month.
    long computeTodayIndex() const;

    std::weak_ptr<XQCalendar> _owner;
    std::weak_ptr<XQCalendarYearPresenter> _presenter;
    std::string _monthName;
    long _year = -1;
    long _month = 0;
    long _firstDayIndex = 0;
    long _lastDayIndex = 0;
    long _todayIndex = 0;
    gfx::ParagraphStyle _paragraphStyle;
    std::optional<fnd::Date> _date;
    // What the picture was drawn for: the presenter and its look version.
    const XQCalendarYearPresenter* _drawnFor = nullptr;
    long _drawnLook = -1;
};
