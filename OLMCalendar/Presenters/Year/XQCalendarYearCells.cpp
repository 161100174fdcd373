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

// The mini month's frame in its cell: the cell's size cut to whole device pixels, placed on
// the device pixel nearest to the cell's origin in the collection's content. While the
// content sits on whole pixels, the picture is then copied rather than resampled (items are
// often placed and sized by half points), and every cell's picture has the same size, so a
// reused cell draws over its last one instead of making a new one.
gfx::Rect monthViewFrame(const gfx::Rect& cellFrame) {
    const double scale = gfx::screenScale() > 0 ? gfx::screenScale() : 1;
    const auto nearest = [&](double v) { return std::round(v * scale) / scale - v; };
    const auto cut = [&](double v) { return std::floor(v * scale + 1e-6) / scale; };
    const gfx::Rect f = cellFrame.standardized();
    return {{nearest(f.minX()), nearest(f.minY())}, {cut(f.width()), cut(f.height())}};
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
    _monthView->setFrame(monthViewFrame(frame()));
}

void XQCalendarMonthCell::attachWithCalendar(XQCalendar* calendar, XQCalendarYearPresenter* presenter, long year,
                                             long month) {
    _monthView->attachWithCalendar(calendar, presenter, year, month);
}

void XQCalendarMonthCell::layoutSubviews() {
    ui::CollectionViewCell::layoutSubviews();
    _monthView->setFrame(monthViewFrame(frame()));
}

void XQCalendarMonthCell::applyLayoutAttributes(const ui::CollectionViewLayoutAttributesRef& attributes) {
    ui::CollectionViewCell::applyLayoutAttributes(attributes);
    _monthView->setFrame(monthViewFrame(frame())); // a new place may round otherwise
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
