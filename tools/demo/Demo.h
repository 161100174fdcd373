#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Text.h"
#include "OLMCalendar/Transitions/XQViewTransition.h"
#include "platform/foundation/Date.h"

#include <functional>
#include <string>
#include <vector>

class XQCalendar;

namespace olm::demo {

// A demo page renders itself into the output directory and returns the paths it wrote.
using Page = std::function<std::vector<std::string>(const std::string& outDir)>;

// Registers a page at static-initialisation time; pages run in name order.
struct PageRegistration {
    PageRegistration(std::string name, Page page);
};

// The size of the sample month pages, in points.
inline constexpr gfx::Size kSamplePageSize{180, 240};

// A page of the real month view showing a month of 2026, the size of the sample pages at
// `scale`: a calendar twice that size, drawn at half its size.
gfx::ImageRef monthViewPage(long month, double scale);

// One row of a transition sheet: the transition (made at the sample page's size), its
// direction and orientation.
struct TransitionSheetRow {
    const char* label;
    const char* detail;
    std::function<std::shared_ptr<XQViewTransition>(const gfx::Rect& frame)> make;
    XQViewTransitionDirection direction = XQViewTransitionDirectionForward;
    XQViewTransitionOrientation orientation = XQViewTransitionOrientationHorizontal;
};

// A frame of the real calendar on screen, with its caption.
struct LiveFrame {
    std::string caption;
    gfx::ImageRef image;
};

// The real month view (390 x 844 points) half-way through gestures: a swipe to the next
// month (scroll), the same with a sticky header, and a pinch out of the month (float).
std::vector<LiveFrame> monthGestureFrames();

// Renders a sheet of frames of `rows` going from the November to the December sample page
// (forward) or back (backward), at a quarter, half and three quarters of the way, then the
// `live` frames at half their size under `liveTitle`, and writes it to `path`. Answers the
// path written (none when it could not be written).
std::vector<std::string> renderTransitionSheet(const std::string& path, const std::string& title,
                                               const std::vector<TransitionSheetRow>& rows,
                                               const std::string& liveTitle = {},
                                               const std::vector<LiveFrame>& live = {});

// The height of the caption band above the calendar pictures.
inline constexpr double kCaption = 44;

// Writes `shots` (each `size` points) side by side, 12 points apart, under a caption band
// of `caption`. Answers the path (empty when not written).
std::string captionedPicture(const std::string& path, const std::string& caption,
                             const std::vector<gfx::ImageRef>& shots, gfx::Size size);

// 00:00 (or the time given) of a day in the default calendar and time zone.
fnd::Date at(long year, long month, long day, long hour = 0, long minute = 0);

// Renders a calendar of `size` made and configured by `configure` under a caption band, in
// the appearance given, and writes it to `path`. Answers the path (empty when not written).
std::string calendarPicture(const std::string& path, const std::string& caption, gfx::Appearance appearance,
                            const std::function<void(XQCalendar&)>& configure, gfx::Size size = {390, 844});

// Label text: a font and a colour, aligned, truncated at the tail.
gfx::TextAttributes textAttributes(gfx::FontRef font, gfx::Color color,
                                   gfx::TextAlignment alignment = gfx::TextAlignment::natural);

} // namespace olm::demo

#define OLM_DEMO_PAGE_CAT2(a, b) a##b
#define OLM_DEMO_PAGE_CAT(a, b) OLM_DEMO_PAGE_CAT2(a, b)
#define OLM_DEMO_PAGE(name, fn) \
    static const ::olm::demo::PageRegistration OLM_DEMO_PAGE_CAT(olmDemoPage_, __LINE__){name, fn}
