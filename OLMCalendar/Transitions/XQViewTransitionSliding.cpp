#include "OLMCalendar/Transitions/XQViewTransitionSliding.h"

OLM_DEFINE_CLASS(XQViewTransitionSliding, XQViewTransition)

void XQViewTransitionSliding::init(const gfx::Rect& frame) {
    XQViewTransition::init(frame);
    setClipsToBounds(true);
    _first = ui::View::make();
    addSubview(_first);
    _second = ui::View::make();
    addSubview(_second);
}

void XQViewTransitionSliding::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                              XQViewTransitionDirection direction) {
    setDirection(direction);
    const bool forward = isForward();
    _first->layer()->setContents(forward ? from : to);
    _second->layer()->setContents(forward ? to : from);
    placePages(0, travel());
}

void XQViewTransitionSliding::transitionWithAnimation() {
    animate(transitionDuration());
}

void XQViewTransitionSliding::updateTransition(double progress) {
    placePages(progress, travel());
}

void XQViewTransitionSliding::finishTransition() {
    animate(transitionDuration() / 2);
}

void XQViewTransitionSliding::cancelTransition() {
    slideTo(0, transitionDuration() / 2, true);
}

void XQViewTransitionSliding::animate(double duration) {
    slideTo(1, duration, false);
}

void XQViewTransitionSliding::placePages(double progress, gfx::Point travel) {
    const gfx::Rect bounds = this->bounds();
    // The leading page sits one travel before the trailing one whichever way the slide goes;
    // only where the pair starts differs.
    const double lead = isForward() ? -progress : progress - 1;
    auto place = [&](ui::View& page, double k) {
        page.setFrame({bounds.origin.x + k * travel.x, bounds.origin.y + k * travel.y, bounds.size.width,
                       bounds.size.height});
    };
    place(*_first, lead);
    place(*_second, lead + 1);
}

void XQViewTransitionSliding::slideTo(double progress, double duration, bool canceled) {
    // The travel is read once, before the animation starts: a resize during the slide does
    // not change where it is going.
    const gfx::Point distance = travel();
    // Start from the pose on screen. While an earlier slide still runs (finishing what is
    // already playing) the pages' model is at that slide's end already; without this the
    // new slide would change nothing, end at once and report while the pages still move.
    holdPresentedPose({_first.get(), _second.get()});
    ui::View::animateWithDuration(
        duration, 0, 0, [this, progress, distance] { placePages(progress, distance); },
        endingCompletion(canceled));
}
