#include "platform/ui/Responder.h"

namespace ui {

OLM_DEFINE_CLASS(Responder, rt::Object)

namespace {

// Passes a touch call to the next responder, which is kept alive through the call (it may
// remove the view that forwarded).
template <class Call> void forward(const Responder& from, Call call) {
    Responder* next = from.nextResponder();
    if (next == nullptr) return;
    const std::shared_ptr<Responder> keep = rt::sharedFrom(next);
    call(*next);
}

} // namespace

void Responder::touchesBegan(const TouchSet& touches, Event* event) {
    forward(*this, [&](Responder& r) { r.touchesBegan(touches, event); });
}

void Responder::touchesMoved(const TouchSet& touches, Event* event) {
    forward(*this, [&](Responder& r) { r.touchesMoved(touches, event); });
}

void Responder::touchesEnded(const TouchSet& touches, Event* event) {
    forward(*this, [&](Responder& r) { r.touchesEnded(touches, event); });
}

void Responder::touchesCancelled(const TouchSet& touches, Event* event) {
    forward(*this, [&](Responder& r) { r.touchesCancelled(touches, event); });
}

} // namespace ui
