#pragma once

// An all-day event in the day view's strip: a box in the style's background colour with the
// event's title on one line, truncated at its tail.

#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayViewEventCellProtocol.h"
#include "OLMCalendar/Themes/Styles/XQCalendarDayViewAllDayEventCellStyle.h"
#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/Label.h"

class XQCalendarDayViewAllDayEventCell : public ui::CollectionViewCell, public XQCalendarDayViewEventCellProtocol {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewAllDayEventCell)
    static std::shared_ptr<XQCalendarDayViewAllDayEventCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarDayViewAllDayEventCell>(frame);
    }

    // The title, a direct subview of the cell.
    const std::shared_ptr<ui::Label>& label() const { return _label; }
    const std::shared_ptr<XQCalendarDayViewAllDayEventCellStyle>& style() const { return _style; }

    // Binds the cell to an event (held weakly) and shows its title.
    void attachWithEvent(const XQCalendarEventRef& event) override;
    XQCalendarEventRef event() const override { return _event.lock(); }

    void layoutSubviews() override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewAllDayEventCell() = default;
    void init(const gfx::Rect& frame);

private:
    std::shared_ptr<ui::Label> _label;
    std::shared_ptr<XQCalendarDayViewAllDayEventCellStyle> _style;
    std::weak_ptr<XQCalendarEventProtocol> _event;
};
