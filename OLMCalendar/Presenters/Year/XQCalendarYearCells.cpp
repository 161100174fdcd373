// The year view's collection elements: the month cell and the year's header.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/Presenters/Year/XQCalendarMonthCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearTitleView.h"
#include "OLMCalendar/XQCalendar.h"

OLM_DEFINE_CLASS(XQCalendarMonthCell, ui::CollectionViewCell)
OLM_DEFINE_CLASS(XQCalendarYearTitleView, ui::CollectionReusableView)

// --- Month cell.

void XQCalendarMonthCell::init(const gfx::Rect& frame) {
    ui::CollectionViewCell::init(frame);
    setMonthView(XQCalendarMonthView::make());
}

void XQCalendarMonthCell::setMonthView(std::shared_ptr<XQCalendarMonthView> view) {
    if (!view) return;
    if (_monthView) _monthView->removeFromSuperview();
    _monthView = std::move(view);
    addSubview(_monthView);
    _monthView->setFrame(bounds());
}

void XQCalendarMonthCell::attachWithCalendar(XQCalendar* calendar, XQCalendarYearPresenter* presenter, long year,
                                             long month) {
    _monthView->attachWithCalendar(calendar, presenter, year, month);
}

void XQCalendarMonthCell::layoutSubviews() {
    ui::CollectionViewCell::layoutSubviews();
    _monthView->setFrame(bounds());
}

// --- Year title.

void XQCalendarYearTitleView::attachWithCalendar(XQCalendar* calendar, const std::string& text) {
    if (!_contentView) {
        auto cell = calendar ? presenters::delegateCell<XQCalendarTitleCell>(*calendar, XQCalendarCellTypeTitle) : nullptr;
        if (!cell) cell = XQCalendarTitleCell::make();
        auto styleID = XQStyleID::make();
        styleID->setConditionClass(XQCalendarYearPresenter::staticClass());
        cell->style().setStyleID(std::move(styleID));
        _contentView = std::move(cell);
        addSubview(_contentView);
        _contentView->setFrame(bounds());
    }
    _contentView->attachWithCalendar(calendar, text);
}

void XQCalendarYearTitleView::layoutSubviews() {
    ui::CollectionReusableView::layoutSubviews();
    if (_contentView) _contentView->setFrame(bounds());
}
