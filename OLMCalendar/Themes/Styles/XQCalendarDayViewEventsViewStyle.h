#pragma once

// The look of the day view's time line and the measures its events are laid out by: the
// label column, the separators, the distance between two lines at zoom 1, the gaps around
// and between event columns, and the formatter of the hour labels. No theme styles it; the
// events view makes its own and the application may change it.

#include "OLMCore/XQStyleNode.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/graphics/Color.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarDayViewEventsViewStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewEventsViewStyle)
    static std::shared_ptr<XQCalendarDayViewEventsViewStyle> make() {
        return rt::create<XQCalendarDayViewEventsViewStyle>();
    }
    static void registerKeys(rt::Keys<XQCalendarDayViewEventsViewStyle>& keys);

    // Space below the last line and above the first.
    double bottomOffset() const { return _bottomOffset; }
    void setBottomOffset(double offset) { _bottomOffset = offset; }
    double topOffset() const { return _topOffset; }
    void setTopOffset(double offset) { _topOffset = offset; }
    // The x of the label column.
    double labelOffset() const { return _labelOffset; }
    void setLabelOffset(double offset) { _labelOffset = offset; }
    // Gaps between the label column and a line, and between a line and the right edge.
    double separatorLeadingOffset() const { return _separatorLeadingOffset; }
    void setSeparatorLeadingOffset(double offset) { _separatorLeadingOffset = offset; }
    double separatorTrailingOffset() const { return _separatorTrailingOffset; }
    void setSeparatorTrailingOffset(double offset) { _separatorTrailingOffset = offset; }
    const std::optional<gfx::Color>& labelTextColor() const { return _labelTextColor; }
    void setLabelTextColor(std::optional<gfx::Color> color) { _labelTextColor = color; }
    // The labels' font is the system font of this size.
    double labelTextSize() const { return _labelTextSize; }
    void setLabelTextSize(double size) { _labelTextSize = size; }
    // 1 centred, 2 right, any other value left, within the label column.
    long labelTextAlignment() const { return _labelTextAlignment; }
    void setLabelTextAlignment(long alignment) { _labelTextAlignment = alignment; }
    const std::optional<gfx::Color>& separatorColor() const { return _separatorColor; }
    void setSeparatorColor(std::optional<gfx::Color> color) { _separatorColor = color; }
    double separatorWidth() const { return _separatorWidth; }
    void setSeparatorWidth(double width) { _separatorWidth = width; }
    // The distance between two lines at zoom 1.
    double separatorSpacing() const { return _separatorSpacing; }
    void setSeparatorSpacing(double spacing) { _separatorSpacing = spacing; }
    // The smallest height of an event's cell.
    double minEventHeight() const { return _minEventHeight; }
    void setMinEventHeight(double height) { _minEventHeight = height; }
    // Gaps between the label column and the events, the events and the right edge, and
    // between the columns of overlapping events.
    double eventsLeadingOffset() const { return _eventsLeadingOffset; }
    void setEventsLeadingOffset(double offset) { _eventsLeadingOffset = offset; }
    double eventsTrailingOffset() const { return _eventsTrailingOffset; }
    void setEventsTrailingOffset(double offset) { _eventsTrailingOffset = offset; }
    double eventsSpacing() const { return _eventsSpacing; }
    void setEventsSpacing(double spacing) { _eventsSpacing = spacing; }
    // The text of the hour labels (time style short, no date); null shows no labels.
    const fnd::DateFormatterRef& labelFormatter() const { return _labelFormatter; }
    void setLabelFormatter(fnd::DateFormatterRef formatter) { _labelFormatter = std::move(formatter); }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewEventsViewStyle() = default;

private:
    double _bottomOffset = 0;
    double _topOffset = 0;
    double _labelOffset = 0;
    double _separatorLeadingOffset = 0;
    double _separatorTrailingOffset = 0;
    std::optional<gfx::Color> _labelTextColor;
    double _labelTextSize = 0;
    long _labelTextAlignment = 0;
    std::optional<gfx::Color> _separatorColor;
    double _separatorWidth = 0;
    double _separatorSpacing = 0;
    double _minEventHeight = 0;
    double _eventsLeadingOffset = 0;
    double _eventsTrailingOffset = 0;
    double _eventsSpacing = 0;
    fnd::DateFormatterRef _labelFormatter;
};
