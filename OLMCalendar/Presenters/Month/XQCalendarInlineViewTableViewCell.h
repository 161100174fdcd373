#pragma once

// A row of the inline event list: a coloured dot in the event's shape, the event's title, and
// its times on the listed day at the right.

#include "OLMCalendar/Themes/Styles/XQCalendarInlineViewTableViewCellStyle.h"
#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/ui/TableViewCell.h"

class XQCalendarDayCell;

class XQCalendarInlineViewTableViewCell : public ui::TableViewCell {
public:
    OLM_DECLARE_CLASS(XQCalendarInlineViewTableViewCell)
    static std::shared_ptr<XQCalendarInlineViewTableViewCell> make(ui::TableViewCellStyle style,
                                                                   std::string reuseIdentifier) {
        return rt::create<XQCalendarInlineViewTableViewCell>(style, std::move(reuseIdentifier));
    }

    const std::shared_ptr<XQCalendarInlineViewTableViewCellStyle>& style() const { return _rowStyle; }

    // Shows event `index` of the day cell's events (nothing beyond them).
    void attachWithCell(XQCalendarDayCell& cell, long index);
    void updateTextForEvent(const XQCalendarEventRef& event, XQCalendarDayCell& cell);
    void layoutSubviews() override;

protected:
    friend struct rt::Access;
    XQCalendarInlineViewTableViewCell() = default;
    void init(ui::TableViewCellStyle style, std::string reuseIdentifier);

private:
    std::shared_ptr<XQCalendarInlineViewTableViewCellStyle> _rowStyle;
};
