#include "OLMCalendar/Transitions/XQViewTransition.h"

#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Transform3D.h"
#include "platform/ui/Transaction.h"

OLM_DEFINE_CLASS(XQViewTransition, ui::View)

namespace {
// Every driver of transitions (the presenters, the calendar) links this file, so the
// transition classes are in the class table before any of them looks there, without each
// application having to register them.
const bool transitionClassesRegistered = (XQViewTransition::registerTransitionClasses(), true);
} // namespace

void XQViewTransition::init(const gfx::Rect& frame) {
    ui::View::init(frame);
    _transitionDuration = 0.4;
}

std::shared_ptr<XQViewTransitionDelegate> XQViewTransition::delegate() const {
    return _delegate ? _delegate : _weakDelegate.lock();
}

void XQViewTransition::setDelegate(std::shared_ptr<XQViewTransitionDelegate> delegate) {
    _weakDelegate = delegate;
    _delegate = std::move(delegate);
}

void XQViewTransition::beginTransitionFrom(gfx::ImageRef from, gfx::ImageRef to,
                                           XQViewTransitionDirection direction) {
    // A new run: an ending animation still in flight belongs to the previous one and must
    // not report for this one.
    takeEndingTicket();
    // Arm the report: the delegate is held strongly again until it has been told.
    if (!_delegate) _delegate = _weakDelegate.lock();
    beginTransition(from, to, direction);
}

void XQViewTransition::completeTransition(bool canceled) {
    // The strong reference is the report's arming: taking it reports once per begin, and
    // holding the delegate strongly past the report would tie a driver and the last
    // transition it keeps into a cycle.
    std::shared_ptr<XQViewTransitionDelegate> delegate = std::move(_delegate);
    _delegate = nullptr;
    if (!delegate) return;
    // The delegate usually removes this view from its superview and forgets it, which may
    // drop the last reference: stay alive until the report returns.
    auto self = rt::sharedFrom(this);
    delegate->transitionIsCanceled(*this, canceled);
}

void XQViewTransition::endingAnimationDidStop(EndingTicket ticket, bool canceled) {
    if (ticket == _lastEndingTicket) completeTransition(canceled);
}

ui::ViewAnimationCompletion XQViewTransition::endingCompletion(bool canceled) {
    const EndingTicket ticket = takeEndingTicket();
    std::weak_ptr<XQViewTransition> weakSelf = rt::weakFrom(this);
    return [weakSelf, ticket, canceled](bool) {
        if (auto self = weakSelf.lock()) self->endingAnimationDidStop(ticket, canceled);
    };
}

namespace {
// Hears the end of a layer animation. The animation holds its delegate until it stops, so
// `onStop` must hold what it reports to only weakly.
class EndListener : public ui::AnimationDelegate {
public:
    explicit EndListener(std::function<void()> onStop) : _onStop(std::move(onStop)) {}
    void animationDidStop(ui::Animation*, bool) override { _onStop(); }

private:
    std::function<void()> _onStop;
};
} // namespace

std::shared_ptr<ui::AnimationDelegate>
XQViewTransition::endingAnimationDelegate(std::function<bool(XQViewTransition&)> canceled) {
    const EndingTicket ticket = takeEndingTicket();
    std::weak_ptr<XQViewTransition> weakSelf = rt::weakFrom(this);
    return std::make_shared<EndListener>([weakSelf, ticket, canceled = std::move(canceled)] {
        if (auto self = weakSelf.lock()) self->endingAnimationDidStop(ticket, canceled(*self));
    });
}

void XQViewTransition::holdPresentedPose(const std::vector<ui::View*>& views) {
    ui::View::performWithoutAnimation([&] {
        for (ui::View* view : views) {
            ui::Layer& layer = *view->layer();
            const ui::LayerState shown = layer.presentationState();
            layer.setBounds(shown.bounds);
            layer.setPosition(shown.position);
            layer.setTransform(shown.transform);
            layer.setOpacity(shown.opacity);
        }
    });
}

void XQViewTransition::withoutActions(const std::function<void()>& changes) {
    ui::Transaction::begin();
    ui::Transaction::setDisableActions(true);
    changes();
    ui::Transaction::commit();
}

std::optional<gfx::Color> XQViewTransition::superviewBackgroundColor() const {
    return superview() ? superview()->backgroundColor() : std::nullopt;
}

gfx::Color XQViewTransition::pageBackgroundColor() {
    return gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::colors::white());
}

gfx::ImageRef XQViewTransition::cropImg(const gfx::ImageRef& image, const gfx::Rect& rect, bool shouldFlip,
                                        XQViewTransitionOrientation orientation) {
    if (!image) return nullptr;
    // A rect with no pixels at the screen scale opens no drawable context: no image.
    gfx::beginImageContext(rect.size, true, 0);
    if (gfx::GraphicsContext* context = gfx::currentContext()) {
        if (shouldFlip) {
            // Mirror inside the rect: the translation (applied first) brings the far edge to
            // the origin, the scale turns the axis over, so x becomes w - x (or y, h - y).
            gfx::Transform3D mirror = gfx::Transform3D::identity();
            if (orientation == XQViewTransitionOrientationVertical) {
                mirror = gfx::scale(mirror, 1, -1, 1);
                mirror = gfx::translate(mirror, 0, -rect.size.height, 0);
            } else {
                mirror = gfx::scale(mirror, -1, 1, 1);
                mirror = gfx::translate(mirror, -rect.size.width, 0, 0);
            }
            context->concatCTM(gfx::affineTransform(mirror));
        }
        context->translateCTM(-rect.origin.x, -rect.origin.y);
        context->drawImage(image, gfx::Rect{{0, 0}, image->size()});
    }
    return gfx::endImageContextWithImage();
}
