#pragma once

// The cell of a timed event in the day view: a block tinted with the event's colour, an
// opaque strip down its left edge, the title and, where room is left, the detail. Its frame
// comes from the events layout, so it copes with any height from the minimum event height to
// a whole day: the texts are placed by a cascade that first stacks them, then truncates the
// detail, then sets it beside a one-line title, and at last hides it.

#include "OLMCalendar/Presenters/Day/DayView/DayArea/InsetLabel.h"
#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayViewEventCellProtocol.h"
#include "OLMCalendar/Themes/Styles/XQCalendarDayViewEventCellStyle.h"
#include "platform/ui/CollectionViewCell.h"

class XQCalendarDayViewEventCell : public ui::CollectionViewCell, public XQCalendarDayViewEventCellProtocol {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewEventCell)
    static std::shared_ptr<XQCalendarDayViewEventCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarDayViewEventCell>(frame);
    }

    // Read at every layout: changes show at the cell's next layout.
    const std::shared_ptr<XQCalendarDayViewEventCellStyle>& style() const { return _style; }
    XQCalendarEventRef event() const override { return _event.lock(); }
    // The texts are taken at the next layout.
    void attachWithEvent(const XQCalendarEventRef& event) override;

    const std::shared_ptr<InsetLabel>& titleLabel() const { return _title; }
    const std::shared_ptr<InsetLabel>& detailLabel() const { return _detail; }

    // Copies the event's texts and the style to the labels.
    void update();
    void layoutSubviews() override;
    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect& rect) override;

protected:
    friend class rt::Access;
    XQCalendarDayViewEventCell() = default;
    void init(const gfx::Rect& frame);

private:
    // What the block was last drawn with.
    struct Look {
        std::optional<gfx::Color> color;
        double transparency = 0;
        gfx::EdgeInsets insets;
        double decorationWidth = 0;
        gfx::Size size;
        friend bool operator==(const Look&, const Look&) = default;
    };

    void placeLabels();

    std::shared_ptr<XQCalendarDayViewEventCellStyle> _style;
    std::weak_ptr<XQCalendarEventProtocol> _event;
    std::shared_ptr<InsetLabel> _title;
    std::shared_ptr<InsetLabel> _detail;
    std::optional<Look> _drawnLook;
};
