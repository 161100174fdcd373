#include "OLMCalendar/Presenters/Flow/XQCalendarFlowCells.h"

#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/XQCalendar.h"

OLM_DEFINE_CLASS(XQCalendarFlowDayCell, ui::CollectionViewCell)
OLM_DEFINE_CLASS(XQCalendarFlowDayNameCell, ui::CollectionViewCell)
OLM_DEFINE_CLASS(XQCalendarFlowMonthTitleView, ui::CollectionReusableView)

namespace {

// Puts `view` into `container` in place of the shown one.
template <class Cell> void replaceView(std::shared_ptr<Cell>& shown, std::shared_ptr<Cell> view, ui::View& container) {
    if (shown == view) return;
    if (shown) shown->removeFromSuperview();
    shown = std::move(view);
    if (shown) {
        container.addSubview(shown);
        container.setNeedsLayout();
    }
}

// Gives a wrapper without a view the delegate's cell of the kind, or a stock one.
template <class Cell>
void ensureView(std::shared_ptr<Cell>& shown, ui::View& container, XQCalendar* calendar, XQCalendarCellType kind) {
    if (shown) return;
    auto view = calendar ? presenters::delegateCell<Cell>(*calendar, kind) : nullptr;
    replaceView(shown, view ? view : Cell::make(), container);
}

} // namespace

void XQCalendarFlowDayCell::init(const gfx::Rect& frame) {
    ui::CollectionViewCell::init(frame);
    setView(XQCalendarDayCell::make(contentView()->bounds()));
}

void XQCalendarFlowDayCell::setView(std::shared_ptr<XQCalendarDayCell> view) {
    replaceView(_view, std::move(view), *contentView());
}

void XQCalendarFlowDayCell::attachWithCalendar(XQCalendar* calendar, const fnd::Date& date) {
    ensureView(_view, *contentView(), calendar, XQCalendarCellTypeDay);
    _view->attachWithCalendar(calendar, date);
}

void XQCalendarFlowDayCell::layoutSubviews() {
    ui::CollectionViewCell::layoutSubviews();
    if (_view) _view->setFrame(contentView()->bounds());
}

void XQCalendarFlowDayNameCell::setView(std::shared_ptr<XQCalendarDayNameCell> view) {
    replaceView(_view, std::move(view), *contentView());
}

void XQCalendarFlowDayNameCell::attachWithCalendar(XQCalendar* calendar, long offset) {
    ensureView(_view, *contentView(), calendar, XQCalendarCellTypeDayName);
    _view->attachWithCalendar(calendar, offset);
}

void XQCalendarFlowDayNameCell::layoutSubviews() {
    ui::CollectionViewCell::layoutSubviews();
    if (_view) _view->setFrame(contentView()->bounds());
}

void XQCalendarFlowMonthTitleView::setView(std::shared_ptr<XQCalendarTitleCell> view) {
    replaceView(_view, std::move(view), *this);
}

void XQCalendarFlowMonthTitleView::attachWithCalendar(XQCalendar* calendar, const std::string& text) {
    ensureView(_view, *this, calendar, XQCalendarCellTypeTitle);
    _view->attachWithCalendar(calendar, text);
}

void XQCalendarFlowMonthTitleView::layoutSubviews() {
    ui::CollectionReusableView::layoutSubviews();
    if (_view) _view->setFrame(bounds());
}
