#pragma once

// The style of a day cell: the cell style plus how the day's events are drawn (as shapes in
// a row or column, or as lines of text) and the default look of a selected range.

#include "OLMCalendar/Themes/Styles/XQCalendarCellStyle.h"

// The axis along which a day cell lines up its event shapes; any value but 2 is horizontal.
using XQCalendarEventOrientation = long;
inline constexpr XQCalendarEventOrientation XQCalendarEventOrientationHorizontal = 1;
inline constexpr XQCalendarEventOrientation XQCalendarEventOrientationVertical = 2;

class XQCalendarDayCellStyle : public XQCalendarCellStyle {
public:
    OLM_DECLARE_CLASS(XQCalendarDayCellStyle)
    static std::shared_ptr<XQCalendarDayCellStyle> make() { return rt::create<XQCalendarDayCellStyle>(); }
    static void registerKeys(rt::Keys<XQCalendarDayCellStyle>& keys);

    const gfx::EdgeInsets& eventInsets() const { return _eventInsets; }
    void setEventInsets(const gfx::EdgeInsets& insets) { guardedSet(0x10000, _eventInsets, insets); }
    // Null: the text drawing's default font.
    const gfx::FontRef& eventFont() const { return _eventFont; }
    void setEventFont(gfx::FontRef font) { guardedSet(0x20000, _eventFont, std::move(font)); }
    const std::optional<gfx::Color>& eventTextColor() const { return _eventTextColor; }
    void setEventTextColor(std::optional<gfx::Color> color) { guardedSet(0x10000000, _eventTextColor, color); }
    const std::optional<gfx::Color>& allDayEventTextColor() const { return _allDayEventTextColor; }
    void setAllDayEventTextColor(std::optional<gfx::Color> color) {
        guardedSet(0x40000, _allDayEventTextColor, color);
    }
    XQCalendarCellAlignment eventAlignment() const { return _eventAlignment; }
    void setEventAlignment(XQCalendarCellAlignment alignment) { guardedSet(0x100000, _eventAlignment, alignment); }
    // The marker of an event (and the bullet of a timed event drawn as text).
    const std::shared_ptr<XQShape>& eventShape() const { return _eventShape; }
    void setEventShape(std::shared_ptr<XQShape> shape) { guardedSet(0x80000, _eventShape, std::move(shape)); }
    gfx::Float eventSpacing() const { return _eventSpacing; }
    void setEventSpacing(gfx::Float spacing) { guardedSet(0x400000, _eventSpacing, spacing); }
    XQCalendarEventOrientation eventOrientation() const { return _eventOrientation; }
    void setEventOrientation(XQCalendarEventOrientation orientation) {
        guardedSet(0x200000, _eventOrientation, orientation);
    }
    // In range selection, a band in `defaultSelectionColor` joins the days of the range.
    bool useDefaultSelectionStyle() const { return _useDefaultSelectionStyle; }
    void setUseDefaultSelectionStyle(bool use) { guardedSet(0x2000000, _useDefaultSelectionStyle, use); }
    const std::optional<gfx::Color>& defaultSelectionColor() const { return _defaultSelectionColor; }
    void setDefaultSelectionColor(std::optional<gfx::Color> color) {
        guardedSet(0x4000000, _defaultSelectionColor, color);
    }
    // Event shapes share the cell's width (or height) between them.
    bool stretchEvents() const { return _stretchEvents; }
    void setStretchEvents(bool stretch) { guardedSet(0x800000, _stretchEvents, stretch); }
    bool displayEventsAsText() const { return _displayEventsAsText; }
    void setDisplayEventsAsText(bool asText) { guardedSet(0x1000000, _displayEventsAsText, asText); }
    // The most events kept and drawn; only a value above 0 limits.
    long maxEventsCount() const { return _maxEventsCount; }
    void setMaxEventsCount(long count) { guardedSet(0x8000000, _maxEventsCount, count); }
    // Event text wraps instead of being truncated. Not guarded: the setter always stores.
    bool wrapEventText() const { return _wrapEventText; }
    void setWrapEventText(bool wrap) { _wrapEventText = wrap; }

    // The superclass's defaults, then the event defaults; `maxEventsCount` and
    // `wrapEventText` keep their values.
    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarDayCellStyle() = default;

private:
    gfx::EdgeInsets _eventInsets;
    gfx::FontRef _eventFont;
    std::optional<gfx::Color> _eventTextColor;
    std::optional<gfx::Color> _allDayEventTextColor;
    XQCalendarCellAlignment _eventAlignment = 0;
    std::shared_ptr<XQShape> _eventShape;
    gfx::Float _eventSpacing = 0;
    XQCalendarEventOrientation _eventOrientation = XQCalendarEventOrientationHorizontal;
    bool _useDefaultSelectionStyle = false;
    std::optional<gfx::Color> _defaultSelectionColor;
    bool _stretchEvents = false;
    bool _displayEventsAsText = false;
    long _maxEventsCount = 0;
    bool _wrapEventText = false;
};
