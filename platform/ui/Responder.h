#pragma once

// Objects that take part in event handling. Touches not handled by a responder travel up
// the chain of next responders (a view's superview, and so on); the default of every touch
// method is to pass the call on unchanged.

#include "platform/ui/Event.h"

namespace ui {

class Responder : public rt::Object {
public:
    OLM_DECLARE_CLASS(Responder)

    virtual Responder* nextResponder() const { return nullptr; }

    virtual void touchesBegan(const TouchSet& touches, Event* event);
    virtual void touchesMoved(const TouchSet& touches, Event* event);
    virtual void touchesEnded(const TouchSet& touches, Event* event);
    virtual void touchesCancelled(const TouchSet& touches, Event* event);

protected:
    Responder() = default;
    void init() {}
    friend class rt::Access;
};

} // namespace ui
