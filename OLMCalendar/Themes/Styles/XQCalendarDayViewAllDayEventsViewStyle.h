#pragma once

// The geometry of the day view's all-day strip: how many events share a line, their height
// and spacing, how many lines the strip shows before it scrolls, and the caption's column.
// No theme styles it; every setter stores.

#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Geometry.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarDayViewAllDayEventsViewStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewAllDayEventsViewStyle)
    static std::shared_ptr<XQCalendarDayViewAllDayEventsViewStyle> make() {
        return rt::create<XQCalendarDayViewAllDayEventsViewStyle>();
    }
    static void registerKeys(rt::Keys<XQCalendarDayViewAllDayEventsViewStyle>& keys);

    // Events per line (2); values below 1 count as 1.
    long eventsPerRow() const { return _eventsPerRow; }
    void setEventsPerRow(long count) { _eventsPerRow = count; }
    // Between lines (3), also counted once per line in the strip's height.
    double lineSpacing() const { return _lineSpacing; }
    void setLineSpacing(double spacing) { _lineSpacing = spacing; }
    // Between the events of a line (3).
    double itemSpacing() const { return _itemSpacing; }
    void setItemSpacing(double spacing) { _itemSpacing = spacing; }
    // The height of one event (17).
    double eventHeight() const { return _eventHeight; }
    void setEventHeight(double height) { _eventHeight = height; }
    // Lines shown at most (2; fractions allowed); negative: no cap.
    double maxVisibleLines() const { return _maxVisibleLines; }
    void setMaxVisibleLines(double lines) { _maxVisibleLines = lines; }
    // The width of the caption's column (60).
    double labelWidth() const { return _labelWidth; }
    void setLabelWidth(double width) { _labelWidth = width; }
    // Around the events (3 each way); top and bottom add to the strip's height.
    const gfx::EdgeInsets& eventsViewInsets() const { return _eventsViewInsets; }
    void setEventsViewInsets(const gfx::EdgeInsets& insets) { _eventsViewInsets = insets; }
    // The caption's insets within its column (0, 2, 0, 5).
    const gfx::EdgeInsets& labelInsets() const { return _labelInsets; }
    void setLabelInsets(const gfx::EdgeInsets& insets) { _labelInsets = insets; }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewAllDayEventsViewStyle() = default;

private:
    long _eventsPerRow = 2;
    double _lineSpacing = 3;
    double _itemSpacing = 3;
    double _eventHeight = 17;
    double _maxVisibleLines = 2;
    double _labelWidth = 60;
    gfx::EdgeInsets _eventsViewInsets{3, 3, 3, 3};
    gfx::EdgeInsets _labelInsets{0, 2, 0, 5};
};
