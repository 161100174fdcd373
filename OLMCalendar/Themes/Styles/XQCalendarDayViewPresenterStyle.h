#pragma once

// The sizes, spacing and background of the day view's header (title, weekday names and the
// week strip). No theme styles it: the values stay as set here or by the application.

#include "OLMCalendar/XQCalendarProtocols.h"
#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Color.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarDayViewPresenterStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewPresenterStyle)
    static std::shared_ptr<XQCalendarDayViewPresenterStyle> make() {
        return rt::create<XQCalendarDayViewPresenterStyle>();
    }
    static void registerKeys(rt::Keys<XQCalendarDayViewPresenterStyle>& keys);

    static constexpr PropertyBits backgroundColorBit = 0x1, columnSpacingBit = 0x2, dayNameTextEffectBit = 0x4;

    const std::optional<gfx::Color>& backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color) {
        if (canSetValue(backgroundColorBit, _backgroundColor)) _backgroundColor = color;
    }
    double titleCellHeight() const { return _titleCellHeight; }
    void setTitleCellHeight(double height) { _titleCellHeight = height; }
    double dayNameCellHeight() const { return _dayNameCellHeight; }
    void setDayNameCellHeight(double height) { _dayNameCellHeight = height; }
    // Negative: a sixth of what is left below the title and day-name rows.
    double dayCellHeight() const { return _dayCellHeight; }
    void setDayCellHeight(double height) { _dayCellHeight = height; }
    // Negative: as wide as a day column.
    double weekNumberCellWidth() const { return _weekNumberCellWidth; }
    void setWeekNumberCellWidth(double width) { _weekNumberCellWidth = width; }
    // Between neighbouring columns; negative values overlap the cells' borders.
    double columnSpacing() const { return _columnSpacing; }
    void setColumnSpacing(double spacing) {
        if (canSetValue(columnSpacingBit, _columnSpacing)) _columnSpacing = spacing;
    }
    XQCalendarTextEffect dayNameTextEffect() const { return _dayNameTextEffect; }
    void setDayNameTextEffect(XQCalendarTextEffect effect) {
        if (canSetValue(dayNameTextEffectBit, _dayNameTextEffect)) _dayNameTextEffect = effect;
    }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewPresenterStyle() = default;

private:
    std::optional<gfx::Color> _backgroundColor;
    double _titleCellHeight = 30;
    double _dayNameCellHeight = 20;
    double _dayCellHeight = 50;
    double _weekNumberCellWidth = 15;
    double _columnSpacing = -0.5;
    XQCalendarTextEffect _dayNameTextEffect = XQCalendarTextEffectNone;
};
