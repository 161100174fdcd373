#pragma once

// The sizes, spacings and colours of the month view (and of the week view, which derives
// from it). The theme fills it at every layout of the presenter; the application may set
// values of its own, which then stick.

#include "OLMCalendar/XQCalendarProtocols.h"
#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Color.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarMonthPresenterStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthPresenterStyle)
    static std::shared_ptr<XQCalendarMonthPresenterStyle> make() {
        return rt::create<XQCalendarMonthPresenterStyle>();
    }
    static void registerKeys(rt::Keys<XQCalendarMonthPresenterStyle>& keys);

    static constexpr PropertyBits columnSpacingBit = 0x1, rowSpacingBit = 0x2, backgroundColorBit = 0x4,
                                  monthNameTextEffectBit = 0x8, popoverColorBit = 0x10;

    // Between neighbouring columns and rows; negative values overlap the cells' borders.
    double columnSpacing() const { return _columnSpacing; }
    void setColumnSpacing(double spacing) {
        if (canSetValue(columnSpacingBit, _columnSpacing)) _columnSpacing = spacing;
    }
    double rowSpacing() const { return _rowSpacing; }
    void setRowSpacing(double spacing) {
        if (canSetValue(rowSpacingBit, _rowSpacing)) _rowSpacing = spacing;
    }
    // The presenter's background where the system colours are not available.
    const std::optional<gfx::Color>& backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color) {
        if (canSetValue(backgroundColorBit, _backgroundColor)) _backgroundColor = color;
    }
    XQCalendarTextEffect monthNameTextEffect() const { return _monthNameTextEffect; }
    void setMonthNameTextEffect(XQCalendarTextEffect effect) {
        if (canSetValue(monthNameTextEffectBit, _monthNameTextEffect)) _monthNameTextEffect = effect;
    }
    // The background of the popover that lists a day's events.
    const std::optional<gfx::Color>& popoverColor() const { return _popoverColor; }
    void setPopoverColor(std::optional<gfx::Color> color) {
        if (canSetValue(popoverColorBit, _popoverColor)) _popoverColor = color;
    }

    double titleCellHeight() const { return _titleCellHeight; }
    void setTitleCellHeight(double height) { _titleCellHeight = height; }
    double dayNameCellHeight() const { return _dayNameCellHeight; }
    void setDayNameCellHeight(double height) { _dayNameCellHeight = height; }
    // -1: as wide as a day column.
    double weekNumberCellWidth() const { return _weekNumberCellWidth; }
    void setWeekNumberCellWidth(double width) { _weekNumberCellWidth = width; }
    XQCalendarTextEffect dayNameTextEffect() const { return _dayNameTextEffect; }
    void setDayNameTextEffect(XQCalendarTextEffect effect) { _dayNameTextEffect = effect; }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarMonthPresenterStyle() = default;

private:
    double _columnSpacing = 0;
    double _rowSpacing = 0;
    std::optional<gfx::Color> _backgroundColor;
    XQCalendarTextEffect _monthNameTextEffect = XQCalendarTextEffectNone;
    std::optional<gfx::Color> _popoverColor;
    double _titleCellHeight = 0;
    double _dayNameCellHeight = 0;
    double _weekNumberCellWidth = 0;
    XQCalendarTextEffect _dayNameTextEffect = XQCalendarTextEffectNone;
};
