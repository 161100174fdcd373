#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventCell.h"

OLM_DEFINE_CLASS(XQCalendarDayViewAllDayEventCell, ui::CollectionViewCell)

void XQCalendarDayViewAllDayEventCell::init(const gfx::Rect& frame) {
    ui::CollectionViewCell::init(frame);
    _style = XQCalendarDayViewAllDayEventCellStyle::make();
    _label = ui::Label::make();
    addSubview(_label);
}

void XQCalendarDayViewAllDayEventCell::attachWithEvent(const XQCalendarEventRef& event) {
    _event = event;
    _label->setText(event ? event->title() : std::string());
    setNeedsLayout();
}

void XQCalendarDayViewAllDayEventCell::layoutSubviews() {
    ui::CollectionViewCell::layoutSubviews();
    _label->setLineBreakMode(gfx::LineBreakMode::truncatingTail);
    _label->setFont(_style->textFont());
    _label->setTextColor(_style->textColor());
    setBackgroundColor(_style->backgroundColor());
    _label->setFrame(gfx::insetRect(bounds(), _style->textInsets()));
}
