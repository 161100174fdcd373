#include "platform/ui/Event.h"

#include "platform/ui/View.h"

namespace ui {

OLM_DEFINE_CLASS(Touch, rt::Object)
OLM_DEFINE_CLASS(Event, rt::Object)

void Touch::init(gfx::Point locationInWindow, double timestamp) {
    _location = _previousLocation = locationInWindow;
    _timestamp = timestamp;
}

void Touch::moveTo(gfx::Point locationInWindow, double timestamp) {
    _previousLocation = _location;
    _location = locationInWindow;
    _timestamp = timestamp;
}

View* Touch::window() const {
    return _view ? _view->window() : nullptr;
}

gfx::Point Touch::locationInView(const View* view) const {
    return view != nullptr ? view->convertPointFromView(_location, nullptr) : _location;
}

gfx::Point Touch::previousLocationInView(const View* view) const {
    return view != nullptr ? view->convertPointFromView(_previousLocation, nullptr) : _previousLocation;
}

TouchSet Event::touchesForView(const View* view) const {
    TouchSet result;
    for (const auto& touch : _touches)
        if (touch && touch->view().get() == view) result.push_back(touch);
    return result;
}

} // namespace ui
