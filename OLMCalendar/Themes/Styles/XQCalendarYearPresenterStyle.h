#pragma once

// The look of the year view: the colours and fonts of the mini months' name row, weekday row
// and day numbers, the shape behind today's number, the case of the names, and how many
// months fill one screen. The theme fills it at every update of the year presenter; what the
// application sets itself sticks.
//
// The fonts have no default: a row whose font is not set is not drawn (today's shape still
// is).

#include "OLMCalendar/XQCalendarProtocols.h"
#include "OLMCore/XQShape.h"
#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarYearPresenterStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarYearPresenterStyle)
    static std::shared_ptr<XQCalendarYearPresenterStyle> make() { return rt::create<XQCalendarYearPresenterStyle>(); }
    static void registerKeys(rt::Keys<XQCalendarYearPresenterStyle>& keys);

    // The bits of the guarded properties (0x800 is not used; todayShapeStroke and
    // dayNameTextEffect are not guarded).
    static constexpr PropertyBits dayTextColorBit = 0x1, weekendTextColorBit = 0x2, todayTextColorBit = 0x4,
                                  dayNameTextColorBit = 0x8, monthNameTextColorBit = 0x10, todayShapeBit = 0x20,
                                  todayShapeFillBit = 0x40, dayFontBit = 0x80, dayNameFontBit = 0x100,
                                  monthNameFontBit = 0x200, monthNameTextEffectBit = 0x400,
                                  monthNameTextAlignmentBit = 0x1000, monthsPerPageBit = 0x2000;

    // The months that fill the height of the view (12 in 4 rows of 3 by default).
    long monthsPerPage() const { return _monthsPerPage; }
    void setMonthsPerPage(long months) { guardedSet(monthsPerPageBit, _monthsPerPage, months); }

    const std::optional<gfx::Color>& dayTextColor() const { return _dayTextColor; }
    void setDayTextColor(std::optional<gfx::Color> color) { guardedSet(dayTextColorBit, _dayTextColor, color); }
    const std::optional<gfx::Color>& weekendTextColor() const { return _weekendTextColor; }
    void setWeekendTextColor(std::optional<gfx::Color> color) {
        guardedSet(weekendTextColorBit, _weekendTextColor, color);
    }
    const std::optional<gfx::Color>& todayTextColor() const { return _todayTextColor; }
    void setTodayTextColor(std::optional<gfx::Color> color) { guardedSet(todayTextColorBit, _todayTextColor, color); }
    const std::optional<gfx::Color>& dayNameTextColor() const { return _dayNameTextColor; }
    void setDayNameTextColor(std::optional<gfx::Color> color) {
        guardedSet(dayNameTextColorBit, _dayNameTextColor, color);
    }
    const std::optional<gfx::Color>& monthNameTextColor() const { return _monthNameTextColor; }
    void setMonthNameTextColor(std::optional<gfx::Color> color) {
        guardedSet(monthNameTextColorBit, _monthNameTextColor, color);
    }

    const gfx::FontRef& dayFont() const { return _dayFont; }
    void setDayFont(gfx::FontRef font) { guardedSet(dayFontBit, _dayFont, std::move(font)); }
    const gfx::FontRef& dayNameFont() const { return _dayNameFont; }
    void setDayNameFont(gfx::FontRef font) { guardedSet(dayNameFontBit, _dayNameFont, std::move(font)); }
    const gfx::FontRef& monthNameFont() const { return _monthNameFont; }
    void setMonthNameFont(gfx::FontRef font) { guardedSet(monthNameFontBit, _monthNameFont, std::move(font)); }

    // Drawn behind today's number, sized to a square of the day's cell.
    const std::shared_ptr<XQShape>& todayShape() const { return _todayShape; }
    void setTodayShape(std::shared_ptr<XQShape> shape) { guardedSet(todayShapeBit, _todayShape, std::move(shape)); }
    const std::shared_ptr<XQFill>& todayShapeFill() const { return _todayShapeFill; }
    void setTodayShapeFill(std::shared_ptr<XQFill> fill) {
        guardedSet(todayShapeFillBit, _todayShapeFill, std::move(fill));
    }
    const std::shared_ptr<XQStroke>& todayShapeStroke() const { return _todayShapeStroke; }
    void setTodayShapeStroke(std::shared_ptr<XQStroke> stroke) { _todayShapeStroke = std::move(stroke); }

    XQCalendarTextEffect monthNameTextEffect() const { return _monthNameTextEffect; }
    void setMonthNameTextEffect(XQCalendarTextEffect effect) {
        guardedSet(monthNameTextEffectBit, _monthNameTextEffect, effect);
    }
    XQCalendarTextEffect dayNameTextEffect() const { return _dayNameTextEffect; }
    void setDayNameTextEffect(XQCalendarTextEffect effect) { _dayNameTextEffect = effect; }
    // 0 left, 1 centre, 2 right (the text alignments' values).
    long monthNameTextAlignment() const { return _monthNameTextAlignment; }
    void setMonthNameTextAlignment(long alignment) {
        guardedSet(monthNameTextAlignmentBit, _monthNameTextAlignment, alignment);
    }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarYearPresenterStyle() = default;

private:
    long _monthsPerPage = 12;
    std::optional<gfx::Color> _dayTextColor;
    std::optional<gfx::Color> _weekendTextColor;
    std::optional<gfx::Color> _todayTextColor;
    std::optional<gfx::Color> _dayNameTextColor;
    std::optional<gfx::Color> _monthNameTextColor;
    gfx::FontRef _dayFont;
    gfx::FontRef _dayNameFont;
    gfx::FontRef _monthNameFont;
    std::shared_ptr<XQShape> _todayShape;
    std::shared_ptr<XQFill> _todayShapeFill;
    std::shared_ptr<XQStroke> _todayShapeStroke;
    XQCalendarTextEffect _monthNameTextEffect = XQCalendarTextEffectUppercase;
    XQCalendarTextEffect _dayNameTextEffect = XQCalendarTextEffectLowercase;
    long _monthNameTextAlignment = 0;
};
