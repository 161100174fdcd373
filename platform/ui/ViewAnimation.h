#pragma once

// Options of the view animation blocks (ui::View::animateWithDuration and friends), with the
// toolkit's bit values so that numbers written for it mean the same here.
//
// How a block animates (see View.h for the calls):
// - The block runs at once and sets model values at once. Every animatable property it
//   changes on a view's layer ("position", "bounds", "transform", "opacity",
//   "backgroundColor", "anchorPoint", "zPosition", "sublayerTransform"; so also a view's
//   frame, center, alpha and transform) animates under the property's name as the key, from
//   the value before the block's first change of it (the presentation value then, with
//   `ViewAnimationOptionBeginFromCurrentState`) to the value it has when the block returns.
//   A property set back to where it was does not animate. Standalone layers (not a view's)
//   keep their own implicit animations.
// - A delay starts the animations later; until then the old values are shown.
// - The completion runs exactly once, from the main queue: after the last of the block's
//   animations stopped, with `finished` false if any of them was removed or replaced (for
//   instance by a later block animating the same property) or its layer went away; at the
//   next tick with `finished` true when the block animated nothing (also for a duration of
//   0 or less, which changes the values without animation).
// - Nested blocks animate their changes with their own settings, except that a nested
//   plain or spring block takes the duration (and a nested plain block the curve) of the
//   block it is nested in unless it passes the override options. Each block's completion
//   waits for its own animations only.
// - `ViewAnimationOptionLayoutSubviews` lays out, inside the block, the views whose
//   properties it changed, so that the layout's changes animate along.
// - Not supported: repeat, autoreverse, transition and user-interaction options (ignored);
//   preferred frame rates.
//
// Keyframes (`animateKeyframesWithDuration` with `addKeyframeWithRelativeStartTime` calls in
// its block): each keyframe's changes are recorded against its window of the duration (start
// and length as fractions, clamped to 0…1); changes made in the block outside a keyframe
// span the whole duration. Per property, the windows in order of their start (equal starts
// in the order added) form one track from the value before the block. Rule for overlapping
// keyframes on one property: a keyframe that starts while an earlier one is still running
// takes over from the value the track has reached at its start (on the linear track), and
// the earlier one has no further effect; between keyframes the value holds. The whole track
// is paced by the curve bits of the options (ease-in-ease-out when none), then by the
// calculation mode (linear or cubic; discrete holds each value; paced modes are taken as
// their unpaced ones).

#include <functional>

namespace ui {

using ViewAnimationOptions = unsigned long;
inline constexpr ViewAnimationOptions ViewAnimationOptionLayoutSubviews = 1 << 0;
inline constexpr ViewAnimationOptions ViewAnimationOptionAllowUserInteraction = 1 << 1;
inline constexpr ViewAnimationOptions ViewAnimationOptionBeginFromCurrentState = 1 << 2;
inline constexpr ViewAnimationOptions ViewAnimationOptionRepeat = 1 << 3;
inline constexpr ViewAnimationOptions ViewAnimationOptionAutoreverse = 1 << 4;
inline constexpr ViewAnimationOptions ViewAnimationOptionOverrideInheritedDuration = 1 << 5;
inline constexpr ViewAnimationOptions ViewAnimationOptionOverrideInheritedCurve = 1 << 6;
inline constexpr ViewAnimationOptions ViewAnimationOptionAllowAnimatedContent = 1 << 7;
inline constexpr ViewAnimationOptions ViewAnimationOptionShowHideTransitionViews = 1 << 8;
inline constexpr ViewAnimationOptions ViewAnimationOptionOverrideInheritedOptions = 1 << 9;
inline constexpr ViewAnimationOptions ViewAnimationOptionCurveEaseInOut = 0 << 16;
inline constexpr ViewAnimationOptions ViewAnimationOptionCurveEaseIn = 1 << 16;
inline constexpr ViewAnimationOptions ViewAnimationOptionCurveEaseOut = 2 << 16;
inline constexpr ViewAnimationOptions ViewAnimationOptionCurveLinear = 3 << 16;

// The keyframe options share the low bits (layout subviews, begin from current state, …)
// and the curve bits with the plain ones and add the calculation mode.
using ViewKeyframeAnimationOptions = unsigned long;
inline constexpr ViewKeyframeAnimationOptions ViewKeyframeAnimationOptionCalculationModeLinear = 0 << 10;
inline constexpr ViewKeyframeAnimationOptions ViewKeyframeAnimationOptionCalculationModeDiscrete = 1 << 10;
inline constexpr ViewKeyframeAnimationOptions ViewKeyframeAnimationOptionCalculationModePaced = 2 << 10;
inline constexpr ViewKeyframeAnimationOptions ViewKeyframeAnimationOptionCalculationModeCubic = 3 << 10;
inline constexpr ViewKeyframeAnimationOptions ViewKeyframeAnimationOptionCalculationModeCubicPaced = 4 << 10;

// A block's completion; `finished` is false when an animation of the block was cut short.
using ViewAnimationCompletion = std::function<void(bool finished)>;

} // namespace ui
