#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumbersPresenter.h"

#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/XQCalendar.h"

OLM_DEFINE_CLASS(XQCalendarYearNumbersPresenter, XQCalendarPresenterBase)

MonthYearGrid XQCalendarYearNumbersPresenter::grid() const {
    return MonthYearGrid::make(bounds().size, _columns, _rows, 1, true);
}

void XQCalendarYearNumbersPresenter::update(bool force) {
    (void)force;
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    if (_columns != _presentedColumns || _rows != _presentedRows) {
        for (const auto& cell : _cells) cell->removeFromSuperview();
        _cells.clear();
        createCells();
        _presentedColumns = _columns;
        _presentedRows = _rows;
        setNeedsLayout();
    }
    updateData();
}

void XQCalendarYearNumbersPresenter::createCells() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    const long count = pageYears();
    _cells.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        auto cell = presenters::delegateCell<XQCalendarYearNumberCell>(*calendar, XQCalendarCellTypeYearNumber);
        if (!cell) cell = XQCalendarYearNumberCell::make();
        addSubview(cell);
        _cells.push_back(std::move(cell));
    }
}

void XQCalendarYearNumbersPresenter::updateData() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto keepCalendar = rt::sharedFrom(calendar);
    const fnd::Calendar& cal = *calendar->calendar();
    _presentedDate = calendar->displayedDate();
    const auto first = presenters::startOf(cal, fnd::CalendarUnitYear, *_presentedDate);
    for (std::size_t i = 0; i < _cells.size() && first; ++i) {
        const auto cell = _cells[i];
        if (const auto year = cal.dateByAddingUnit(fnd::CalendarUnitYear, static_cast<long>(i), *first))
            cell->attachWithCalendar(calendar, *year);
    }
}

void XQCalendarYearNumbersPresenter::updateState(const std::optional<fnd::Date>& date) {
    XQCalendarPresenterBase::updateState(date);
    update(false);
}

void XQCalendarYearNumbersPresenter::layoutSubviews() {
    XQCalendarPresenterBase::layoutSubviews();
    grid().forEachFrame([this](long index, const gfx::Rect& frame) {
        if (index >= static_cast<long>(_cells.size())) return;
        _cells[static_cast<std::size_t>(index)]->setFrame(frame);
        _cells[static_cast<std::size_t>(index)]->setNeedsDisplay();
    });
}

std::optional<fnd::Date> XQCalendarYearNumbersPresenter::pageStep(long direction) {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    const bool open = direction > 0 ? presenters::nextYearStart(*calendar).has_value()
                                    : presenters::previousYearStart(*calendar).has_value();
    if (!open) return std::nullopt;
    return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitYear, direction * pageYears(),
                                                  calendar->displayedDate());
}

std::optional<fnd::Date> XQCalendarYearNumbersPresenter::nextDate() {
    return pageStep(1);
}

std::optional<fnd::Date> XQCalendarYearNumbersPresenter::prevDate() {
    return pageStep(-1);
}

bool XQCalendarYearNumbersPresenter::isDateBefore(const fnd::Date& date) {
    return _presentedDate && date < *_presentedDate;
}

bool XQCalendarYearNumbersPresenter::isDateSelectable(const std::optional<fnd::Date>& date) {
    XQCalendar* calendar = owner();
    return date && calendar && presenters::isWithinBounds(*calendar, fnd::CalendarUnitYear, *date);
}

std::optional<fnd::Date> XQCalendarYearNumbersPresenter::dateFromPoint(gfx::Point point) {
    const auto index = grid().indexAt(point);
    if (!index || *index >= static_cast<long>(_cells.size())) return std::nullopt;
    return _cells[static_cast<std::size_t>(*index)]->date();
}
