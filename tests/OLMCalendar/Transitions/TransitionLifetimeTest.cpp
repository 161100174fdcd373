// What the rotate, card, flip and fold transitions share: a transition dropped by its owner
// in the middle of playing or of a swipe is freed at once and never reports, and views too
// small to cut into pages still animate and report once.

#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionCard.h"
#include "OLMCalendar/Transitions/XQViewTransitionFlip.h"
#include "OLMCalendar/Transitions/XQViewTransitionFold.h"
#include "OLMCalendar/Transitions/XQViewTransitionRotate.h"

using namespace transitions::test;

namespace {

struct Kind {
    const char* name;
    std::shared_ptr<XQViewTransition> (*make)(const gfx::Rect&);
};

template <class T> std::shared_ptr<XQViewTransition> makeOf(const gfx::Rect& frame) {
    return T::make(frame);
}

const Kind kKinds[] = {{"rotate", makeOf<XQViewTransitionRotate>},
                       {"card", makeOf<XQViewTransitionCard>},
                       {"flip", makeOf<XQViewTransitionFlip>},
                       {"fold", makeOf<XQViewTransitionFold>}};

class TransitionLifetime : public TransitionClockTest {
protected:
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
};

} // namespace

TEST_F(TransitionLifetime, DroppedMidPlayOrMidSwipeIsFreedAndSilent) {
    for (const Kind& kind : kKinds) {
        for (bool swiping : {false, true}) {
            SCOPED_TRACE(testing::Message() << kind.name << (swiping ? " swiping" : " playing"));
            auto host = ui::View::make({0, 0, 320, 480});
            std::weak_ptr<XQViewTransition> weak;
            {
                auto t = kind.make(host->bounds());
                weak = t;
                t->setDelegate(delegate);
                host->addSubview(t);
                t->beginTransitionFrom(quadrantImage({320, 480}), quadrantImage({320, 480}), 0);
                if (swiping) {
                    t->updateTransition(0.1);
                    step(0.05);
                    t->updateTransition(0.3);
                    t->finishTransition();
                } else {
                    t->transitionWithAnimation();
                }
                step(0.1);
            }
            host.reset();
            EXPECT_TRUE(weak.expired());
            step(1);
            fnd::mainQueue().drain();
            EXPECT_TRUE(delegate->reports.empty());
        }
    }
}

TEST_F(TransitionLifetime, TinyViewsAnimateAndReportOnce) {
    for (const Kind& kind : kKinds) {
        for (double side : {0.0, 3.0}) {
            SCOPED_TRACE(testing::Message() << kind.name << " " << side);
            auto t = kind.make({0, 0, side, side});
            t->setDelegate(delegate);
            t->layoutIfNeeded();
            t->beginTransitionFrom(solidImage({side, side}, kRed), solidImage({side, side}, kBlue), 1);
            t->updateTransition(0.2);
            t->updateTransition(0.6);
            t->finishTransition();
            step(0.41);
            ASSERT_EQ(delegate->reports.size(), 1u);
            EXPECT_FALSE(delegate->reports[0].canceled);
            delegate->reports.clear();
        }
    }
}
