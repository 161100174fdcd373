#pragma once

// The all-day strip at the top of the day view: the caption "ALL-DAY" in a column at the
// left and, beside it, a collection view of the day's all-day events, by default two to a
// line. The strip is as high as its lines, up to `maxVisibleLines`; more lines scroll inside
// it. The day view fills the collection view (it registers the cell class and is its data
// source and flow-layout delegate) and sizes the items.

#include "OLMCalendar/Themes/Styles/XQCalendarDayViewAllDayEventsViewStyle.h"
#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/Label.h"

class XQCalendarDayViewAllDayEventsView : public ui::View {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewAllDayEventsView)
    static std::shared_ptr<XQCalendarDayViewAllDayEventsView> make() {
        return rt::create<XQCalendarDayViewAllDayEventsView>();
    }

    // The number of lines `count` events take with `perRow` to a line: an odd count puts its
    // last event on a line of its own (it spans the width), the others fill lines of
    // `perRow` (values below 1 count as 1).
    static long lineCount(long count, long perRow);

    // The items; laid out by an XQCalendarDayViewAllDayEventsViewLayout.
    const std::shared_ptr<ui::CollectionView>& eventsView() const { return _eventsView; }
    // The caption.
    std::shared_ptr<ui::View> labelView() const { return _label; }
    const std::optional<fnd::Date>& date() const { return _date; }
    const XQCalendarEvents& events() const { return _events; }
    const std::shared_ptr<XQCalendarDayViewAllDayEventsViewStyle>& style() const { return _style; }

    // Shows a day's all-day events: reloads the items and asks for layout.
    void attachWithEvents(XQCalendarEvents events, const std::optional<fnd::Date>& date);
    // The strip's size for an offered size: the offered width, and the height of its lines
    // (capped at `maxVisibleLines`, then at the offered height) with the insets; zero without
    // events. The height is kept as `lastHeight`.
    gfx::Size sizeThatFits(gfx::Size size) const override;
    double lastHeight() const { return _height; }
    // Lays the strip and its items out again (after the application changed the style).
    void updateLayout();

    void layoutSubviews() override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewAllDayEventsView() = default;
    void init();
    virtual std::shared_ptr<ui::CollectionView> createEventsView();
    virtual std::shared_ptr<ui::Label> createLabelView();

private:
    std::shared_ptr<ui::CollectionView> _eventsView;
    std::shared_ptr<ui::Label> _label;
    std::optional<fnd::Date> _date;
    XQCalendarEvents _events;
    std::shared_ptr<XQCalendarDayViewAllDayEventsViewStyle> _style;
    mutable double _height = 0;
};
