#include "OLMCalendar/Presenters/Month/Cells/XQCalendarMonthTitleCell.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCellFormatters.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCore/ImageEffects.h"
#include "platform/foundation/Strings.h"

OLM_DEFINE_CLASS(XQCalendarMonthTitleCell, XQCalendarTitleCell)

void XQCalendarMonthTitleCell::init(const gfx::Rect& frame) {
    XQCalendarTitleCell::init(frame);
    setPreviousMonthButton(createPrevButton());
    setNextMonthButton(createNextButton());
    _yearLabel = ui::Label::make();
    _yearLabel->setTextAlignment(gfx::TextAlignment::center);
    addSubview(_yearLabel);
    setPreviousYearButton(createPrevButton());
    setNextYearButton(createNextButton());
    setLayoutMode(XQCalendarMonthTitleCellLayoutModeTitleOnly);
}

std::shared_ptr<ui::Button> XQCalendarMonthTitleCell::createArrowButton(gfx::Size size, bool left) const {
    auto button = ui::Button::make(ui::ButtonTypeSystem, {0, 0, 44, 40});
    button->setImage(ImageEffects::arrowImageWithSize(size, {3, 3, 3, 3}, 3, tintColor(), left),
                     ui::ControlStateNormal);
    return button;
}

std::shared_ptr<ui::Button> XQCalendarMonthTitleCell::createPrevButton() const {
    return createArrowButton({16, 24}, true);
}

std::shared_ptr<ui::Button> XQCalendarMonthTitleCell::createNextButton() const {
    return createArrowButton({18, 24}, false);
}

XQCalendarMonthTitleCellLayoutMode XQCalendarMonthTitleCell::effectiveMode() const {
    return _layoutMode >= XQCalendarMonthTitleCellLayoutModeTitleOnly &&
                   _layoutMode <= XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons
               ? _layoutMode
               : XQCalendarMonthTitleCellLayoutModeTitleOnly;
}

void XQCalendarMonthTitleCell::applyHiddenFlags() {
    const XQCalendarMonthTitleCellLayoutMode mode = effectiveMode();
    const bool monthHidden = mode == XQCalendarMonthTitleCellLayoutModeTitleOnly;
    const bool yearHidden = mode != XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons;
    for (const auto* button : {&_previousMonthButton, &_nextMonthButton})
        if (*button) (*button)->setHidden(monthHidden);
    for (const auto* button : {&_previousYearButton, &_nextYearButton})
        if (*button) (*button)->setHidden(yearHidden);
    if (_yearLabel) _yearLabel->setHidden(yearHidden);
}

void XQCalendarMonthTitleCell::setLayoutMode(XQCalendarMonthTitleCellLayoutMode mode) {
    _layoutMode = mode;
    applyHiddenFlags();
    setNeedsLayout();
}

void XQCalendarMonthTitleCell::replaceButton(std::shared_ptr<ui::Button>& slot, std::shared_ptr<ui::Button> button,
                                             Action action) {
    if (slot) {
        slot->removeTarget(this, action, ui::ControlEventTouchUpInside);
        slot->removeFromSuperview();
    }
    slot = std::move(button);
    if (slot) {
        slot->addTarget(this, action, ui::ControlEventTouchUpInside);
        addSubview(slot);
    }
    applyHiddenFlags();
    setNeedsLayout();
}

void XQCalendarMonthTitleCell::setPreviousMonthButton(std::shared_ptr<ui::Button> button) {
    replaceButton(_previousMonthButton, std::move(button), &XQCalendarMonthTitleCell::prevMonthAction);
}

void XQCalendarMonthTitleCell::setNextMonthButton(std::shared_ptr<ui::Button> button) {
    replaceButton(_nextMonthButton, std::move(button), &XQCalendarMonthTitleCell::nextMonthAction);
}

void XQCalendarMonthTitleCell::setPreviousYearButton(std::shared_ptr<ui::Button> button) {
    replaceButton(_previousYearButton, std::move(button), &XQCalendarMonthTitleCell::prevYearAction);
}

void XQCalendarMonthTitleCell::setNextYearButton(std::shared_ptr<ui::Button> button) {
    replaceButton(_nextYearButton, std::move(button), &XQCalendarMonthTitleCell::nextYearAction);
}

void XQCalendarMonthTitleCell::attachWithCalendar(XQCalendar* calendar, const std::string& text) {
    XQCalendarTitleCell::attachWithCalendar(calendar, text);
    if (effectiveMode() != XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons || !calendar) return;
    // The month name and the year of the calendar's own system (a Hebrew month beside a
    // Hebrew year), in the case the presenter asks for, as the title has it.
    const fnd::CalendarRef& cal = calendar->calendar();
    const fnd::Date& shown = calendar->displayedDate();
    const XQCalendarPresenter* presenter = calendar->presenter().get();
    label()->setText(textWithEffect(cells::dateFormatter(calendar->locale(), cal, "MMMM").stringFromDate(shown),
                                    presenter ? presenter->monthNameTextEffect() : XQCalendarTextEffectNone));
    _yearLabel->setText(fnd::stringWithFormat("%d", cal->component(fnd::CalendarUnitYear, shown)));
    setNeedsLayout();
}

void XQCalendarMonthTitleCell::updateVisuals() {
    XQCalendarTitleCell::updateVisuals();
    const XQCalendarCellStyle& s = style();
    _yearLabel->setTextColor(s.textColor());
    if (s.textFont()) _yearLabel->setFont(s.textFont());
    applyTextAlignment(*_yearLabel, s.textAlignment());
}

void XQCalendarMonthTitleCell::layoutSubviews() {
    XQCalendarTitleCell::layoutSubviews();
    const gfx::Float W = bounds().size.width;
    const gfx::Float H = bounds().size.height;
    // Buttons keep their width and take the full height.
    auto place = [H](const std::shared_ptr<ui::Button>& button, auto x) {
        if (!button) return;
        const gfx::Float width = button->frame().size.width;
        button->setFrame({x(width), 0, width, H});
    };
    switch (effectiveMode()) {
    case XQCalendarMonthTitleCellLayoutModeMonthButtons:
        place(_previousMonthButton, [](gfx::Float) { return 0.0; });
        place(_nextMonthButton, [W](gfx::Float width) { return W - width; });
        break;
    case XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons:
        label()->setFrame({0, 0, W / 2, H});
        _yearLabel->setFrame({W / 2, 0, W / 2, H});
        place(_previousMonthButton, [](gfx::Float) { return 0.0; });
        place(_nextMonthButton, [W](gfx::Float width) { return W / 2 - width; });
        place(_previousYearButton, [W](gfx::Float) { return W / 2; });
        place(_nextYearButton, [W](gfx::Float width) { return W - width; });
        break;
    default:
        break;
    }
}

void XQCalendarMonthTitleCell::prevMonthAction(ui::Button* sender) {
    (void)sender;
    if (const auto calendar = owner()) calendar->navigateBack(true);
}

void XQCalendarMonthTitleCell::nextMonthAction(ui::Button* sender) {
    (void)sender;
    if (const auto calendar = owner()) calendar->navigateForward(true);
}

void XQCalendarMonthTitleCell::prevYearAction(ui::Button* sender) {
    (void)sender;
    stepYear(-1);
}

void XQCalendarMonthTitleCell::nextYearAction(ui::Button* sender) {
    (void)sender;
    stepYear(1);
}

void XQCalendarMonthTitleCell::stepYear(long years) {
    const auto calendar = owner();
    if (!calendar) return;
    const auto target = calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitYear, years, calendar->displayedDate());
    // By day: the first and last dates sit at 00:00 while the displayed date has a time of day.
    const auto day = calendar->dateWithoutTime(target);
    const auto first = calendar->dateWithoutTime(calendar->minDate());
    const auto last = calendar->dateWithoutTime(calendar->maxDate());
    if (!day || (first && *day < *first) || (last && *day > *last)) return;
    calendar->navigateToDate(*target, true);
}
