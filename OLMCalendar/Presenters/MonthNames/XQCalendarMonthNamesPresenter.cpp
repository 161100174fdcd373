#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNamesPresenter.h"

#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Strings.h"

OLM_DEFINE_CLASS(XQCalendarMonthNamesPresenter, XQCalendarPresenterBase)

void XQCalendarMonthNamesPresenter::init(const gfx::Rect& frame) {
    XQCalendarPresenterBase::init(frame);
    const gfx::Size size = bounds().size;
    _content = ui::View::make(gfx::Rect{0, titleHeight, size.width, size.height - titleHeight});
    addSubview(_content);
}

MonthYearGrid XQCalendarMonthNamesPresenter::grid() const {
    const long columns = MonthYearGrid::clampColumns(_columns);
    const long count = std::max(1L, static_cast<long>(_months.size()));
    return MonthYearGrid::make(_content->bounds().size, columns, (count + columns - 1) / columns, 0.5, false);
}

void XQCalendarMonthNamesPresenter::update(bool force) {
    (void)force;
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    _months = presenters::monthStartsOfYear(*calendar->calendar(), calendar->displayedDate());
    const MonthYearGrid g = grid();
    if (_columns != _createdColumns || static_cast<long>(_cells.size()) != g.cellCount()) {
        while (!_content->subviews().empty()) _content->subviews().front()->removeFromSuperview();
        _cells.clear();
        createCells();
        _createdColumns = _columns;
        setNeedsLayout();
    }
    updateData();
}

void XQCalendarMonthNamesPresenter::createCells() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    if (!_titleCell) {
        _titleCell = presenters::delegateCell<XQCalendarTitleCell>(*calendar, XQCalendarCellTypeTitle);
        if (!_titleCell) _titleCell = XQCalendarTitleCell::make();
        _titleCell->setFrame({0, 0, bounds().size.width, titleHeight});
        addSubview(_titleCell);
    }
    const long count = grid().cellCount();
    _cells.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        auto cell = presenters::delegateCell<XQCalendarMonthNameCell>(*calendar, XQCalendarCellTypeMonthName);
        if (!cell) cell = XQCalendarMonthNameCell::make();
        _content->addSubview(cell);
        _cells.push_back(std::move(cell));
    }
}

void XQCalendarMonthNamesPresenter::updateData() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto keepCalendar = rt::sharedFrom(calendar);
    _presentedDate = calendar->displayedDate();
    const long year = calendar->calendar()->component(fnd::CalendarUnitYear, *_presentedDate);
    if (_titleCell) _titleCell->attachWithCalendar(calendar, fnd::stringWithFormat("%d", static_cast<int>(year)));
    // Re-read by index: a delegate told of a restyle may change the presenter.
    for (std::size_t i = 0; i < _cells.size(); ++i) {
        const auto cell = _cells[i];
        cell->setHidden(i >= _months.size());
        if (i < _months.size()) cell->attachWithCalendar(calendar, _months[i]);
    }
}

void XQCalendarMonthNamesPresenter::updateState(const std::optional<fnd::Date>& date) {
    XQCalendarPresenterBase::updateState(date);
    update(false);
}

void XQCalendarMonthNamesPresenter::layoutSubviews() {
    XQCalendarPresenterBase::layoutSubviews();
    const gfx::Size size = bounds().size;
    if (_titleCell) _titleCell->setFrame({0, 0, size.width, titleHeight});
    _content->setFrame({0, titleHeight, size.width, size.height - titleHeight});
    grid().forEachFrame([this](long index, const gfx::Rect& frame) {
        if (index >= static_cast<long>(_cells.size())) return;
        _cells[static_cast<std::size_t>(index)]->setFrame(frame);
        _cells[static_cast<std::size_t>(index)]->setNeedsDisplay();
    });
}

std::optional<fnd::Date> XQCalendarMonthNamesPresenter::nextDate() {
    XQCalendar* calendar = owner();
    return calendar ? presenters::nextYearStart(*calendar) : std::nullopt;
}

std::optional<fnd::Date> XQCalendarMonthNamesPresenter::prevDate() {
    XQCalendar* calendar = owner();
    return calendar ? presenters::previousYearStart(*calendar) : std::nullopt;
}

bool XQCalendarMonthNamesPresenter::isDateBefore(const fnd::Date& date) {
    return _presentedDate && date < *_presentedDate;
}

bool XQCalendarMonthNamesPresenter::isDateSelectable(const std::optional<fnd::Date>& date) {
    XQCalendar* calendar = owner();
    return date && calendar && presenters::isWithinBounds(*calendar, fnd::CalendarUnitMonth, *date);
}

std::optional<fnd::Date> XQCalendarMonthNamesPresenter::dateFromPoint(gfx::Point point) {
    const gfx::Point origin = _content->frame().origin;
    const auto index = grid().indexAt({point.x - origin.x, point.y - origin.y});
    if (!index || *index >= static_cast<long>(_months.size()) || *index >= static_cast<long>(_cells.size()))
        return std::nullopt;
    return _cells[static_cast<std::size_t>(*index)]->date();
}
