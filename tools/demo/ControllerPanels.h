#pragma once

// The controller panels of the lists page, built into cards of a demo window:
// - a popover pointing up at a day of a month grid, holding a table of the day's events
//   300 points wide;
// - a navigation controller half-way through a push under a zoom animator (the month grows
//   out of its mini month while the year zooms past and fades), its bar already showing the
//   month's title, "Today" button and back button.

#include "platform/ui/NavigationController.h"
#include "platform/ui/PopoverController.h"

#include <memory>

namespace olm::demo {

// What the panels keep alive until their frame is taken.
struct ControllerPanels {
    std::shared_ptr<ui::PopoverController> popover;
    std::shared_ptr<ui::View> anchor; // the day the popover points at
    std::shared_ptr<void> events; // the table's data source
    std::shared_ptr<ui::NavigationController> navigation;
    std::shared_ptr<ui::ViewController> month; // pushed by `start`
    std::shared_ptr<ui::NavigationControllerDelegate> zoom;
};

// Fills `card` (in a window) with December's grid and makes the popover of a day's events.
void showPopoverPanel(ui::View& card, ControllerPanels& panels);

// Fills `card` with a navigation controller over a year of mini months.
void showPushPanel(ui::View& card, ControllerPanels& panels);
// Shows the popover, arrow up at the day (it takes every touch outside it from then on), and
// pushes December with the zoom animator: the push starts in the next layout pass and lasts
// `pushDuration`.
inline constexpr double pushDuration = 0.3;
void start(ControllerPanels& panels);

} // namespace olm::demo
