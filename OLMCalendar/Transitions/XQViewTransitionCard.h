#pragma once

// Treats the two snapshots as cards in a stack. Going forward the current card (`top`, the
// from image) tilts back, then shrinks away upwards and fades, while the next card
// (`bottom`, the to image) rises from below into place behind it. Going backward the current
// card slides down off the view while the previous card grows from a small, faint card
// behind it, through the tilted pose, to full size. Transition mode 4 of the presenters.
//
// Two 3-D poses of a card (perspective m34 = -1/900 about the card's centre):
//     tilt    turned back 15° about x, then scaled 0.95, then seen in perspective;
//     recede  scaled 0.8, then lifted by 0.08 of the height.
//
// Played, the transition runs three overlapping keyframe phases over its duration (cubic):
//
//     phase   window        forward                             backward
//     A       0 – 0.33      top tilts, alpha 0.6                top slides one card down
//     B       0.2 – 0.53    top recedes                         bottom tilts, alpha 0.5
//     C       0.6 – 0.93    bottom in place, top alpha 0        bottom upright, alpha 1
//
// Driven, forward, with p the progress: the top card fades (1 - 1.5·p), tilts back until
// 0.2, turns through upright while it shrinks to 0.84 and lifts until 0.4, and keeps that
// pose beyond; the next card rises from 0.2 (30 % of the way) and is in place at 2/3, where
// the top card is gone. Backward the top card slides down a full height by 0.5 while the
// previous card grows from 0.8 and fades in; beyond 0.5 nothing changes.
//
// `finishTransition` plays, over the whole duration, only the phases the gesture has not
// passed (A below 0.2, B below 0.4; C at 0.35 – 0.8 always), plus, backward, D at 0 – 0.8:
// the top card fades while it falls one more height. Cancel returns to the start pose over
// the whole duration. Play and finish report false, cancel true. Orientation plays no part;
// begin and phase D take only direction 1 as backward, everything else any non-zero value.

#include "OLMCalendar/Transitions/XQViewTransition.h"

#include "platform/graphics/Transform3D.h"

class XQViewTransitionCard : public XQViewTransition {
public:
    OLM_DECLARE_CLASS(XQViewTransitionCard)
    static std::shared_ptr<XQViewTransitionCard> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransitionCard>(frame);
    }

    // The current card, showing the from image; in front.
    const std::shared_ptr<ui::View>& top() const { return _top; }
    // The next (forward) or previous (backward) card, showing the to image.
    const std::shared_ptr<ui::View>& bottom() const { return _bottom; }
    // Set by begin: the top card's frame one card below the view.
    const gfx::Rect& topFrame() const { return _topFrame; }
    // The last progress given to `updateTransition` (0 until then; begin does not reset it).
    double position() const { return _position; }

    void transitionWithAnimation() override;
    void updateTransition(double progress) override;
    void finishTransition() override;
    void cancelTransition() override;

protected:
    XQViewTransitionCard() = default;
    friend struct rt::Access;
    void init(const gfx::Rect& frame);

    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;

    // Plays phases A, B and C over `duration`; reports false at the end.
    void animate(double duration);

private:
    enum class Phase { A, B, C, D };
    // Makes the changes of one keyframe phase.
    void runPhase(Phase phase);
    gfx::Transform3D tilt() const;
    gfx::Transform3D recede() const;

    std::shared_ptr<ui::View> _bottom;
    std::shared_ptr<ui::View> _top;
    gfx::Rect _topFrame;
    double _position = 0;
};
