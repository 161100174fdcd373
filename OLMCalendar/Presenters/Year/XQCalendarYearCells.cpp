// The year view's collection elements: the month cell and the year's header.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/Presenters/Year/XQCalendarMonthCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearTitleView.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/graphics/Screen.h"

#include <cmath>

OLM_DEFINE_CLASS(XQCalendarMonthCell, ui::CollectionViewCell)
OLM_DEFINE_CLASS(XQCalendarYearTitleView, ui::CollectionReusableView)

namespace {

// The cell's bounds with the size cut to whole device pixels: the mini month's picture is
// then exactly as large as the layer on screen and is copied, not resampled, while it
// scrolls (items are often half a pixel high or wide).
gfx::Rect monthViewFrame(const gfx::Rect& bounds) {
    const double scale = gfx::screenScale() > 0 ? gfx::screenScale() : 1;
    return {bounds.origin,
            {std::floor(bounds.size.width * scale + 1e-6) / scale, std::floor(bounds.size.height * scale + 1e-6) / scale}};
}

} // namespace

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
    _monthView->setFrame(monthViewFrame(bounds()));
}

void XQCalendarMonthCell::attachWithCalendar(XQCalendar* calendar, XQCalendarYearPresenter* presenter, long year,
                                             long month) {
    _monthView->attachWithCalendar(calendar, presenter, year, month);
}

void XQCalendarMonthCell::layoutSubviews() {
    ui::CollectionViewCell::layoutSubviews();
    _monthView->setFrame(monthViewFrame(bounds()));
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
