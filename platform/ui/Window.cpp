#include "platform/ui/Window.h"

#include "platform/graphics/Screen.h"
#include "platform/ui/Host/RunLoop.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Screen.h"

namespace ui {

OLM_DEFINE_CLASS(Window, View)

namespace {

std::weak_ptr<Window>& keyWindowReference() {
    static std::weak_ptr<Window> key;
    return key;
}

bool layerTreeNeedsWork(const Layer& layer) {
    if (layer.needsLayout() || layer.needsDisplay()) return true;
    for (const auto& sublayer : layer.sublayers())
        if (layerTreeNeedsWork(*sublayer)) return true;
    return false;
}

} // namespace

void Window::init() {
    init(Screen::mainScreen().bounds());
}

void Window::init(const gfx::Rect& frame) {
    View::init(frame);
}

Window::~Window() = default;

void Window::enqueueTouches(std::vector<TouchInput> touches) {
    if (!touches.empty()) _queuedInput.push_back(std::move(touches));
}

void Window::deliverQueuedInput() {
    const std::shared_ptr<Window> keep = rt::sharedFrom(this);
    while (!_queuedInput.empty()) {
        const std::vector<TouchInput> batch = std::move(_queuedInput.front());
        _queuedInput.pop_front();
        _touches.dispatch(*this, batch);
    }
    if (hasPendingDeadline()) _touches.advanceTime(currentMediaTime());
}

void Window::setRootView(std::shared_ptr<View> view) {
    if (view == _rootView) return;
    const std::shared_ptr<View> old = std::exchange(_rootView, view);
    if (old && old->superview() == this) old->removeFromSuperview();
    if (!view) return;
    view->setAutoresizingMask(ViewAutoresizingFlexibleWidth | ViewAutoresizingFlexibleHeight);
    view->setFrame(bounds());
    insertSubview(std::move(view), 0);
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (controller == _rootViewController) return;
    const std::shared_ptr<ViewController> old = std::exchange(_rootViewController, controller);
    if (old) {
        old->beginAppearanceTransition(false, false);
        old->endAppearanceTransition();
    }
    setRootView(controller ? controller->view() : nullptr);
    if (!controller) return;
    controller->beginAppearanceTransition(true, false);
    controller->_didAppearAfterLayout = true;
}

void Window::layoutSubviews() {
    View::layoutSubviews();
    if (_rootView && _rootView->superview() == this) _rootView->setFrame(bounds());
}

void Window::makeKeyAndVisible() {
    const std::shared_ptr<Window> self = rt::sharedFrom(this);
    RunLoop::main().addWindow(self);
    keyWindowReference() = self;
}

Window* Window::keyWindow() {
    return keyWindowReference().lock().get();
}

void Window::orderOut() {
    // A touch holds its view, which may be the window itself: cancelling the fingers left
    // down also lets the window go.
    _touches.cancelAllTouches(currentMediaTime());
    RunLoop::main().removeWindow(this);
    if (keyWindow() == this) keyWindowReference().reset();
}

void Window::layoutAndDisplayIfNeeded() {
    const std::shared_ptr<Window> keep = rt::sharedFrom(this);
    layoutIfNeeded();
    Layer::markBoundedStoresForDisplay();
    layer()->displayTreeIfNeeded();
}

bool Window::needsLayoutOrDisplay() const {
    // A tile of a tall layer can fall behind with nothing marked: its layer or an ancestor moved
    // or scrolled without a change of size.
    return layerTreeNeedsWork(*layer()) || Layer::hasBoundedStoreLeftBehind(*layer());
}

void Window::composite() {
    ++_frameCount;
    _frameDue = true;
    // Frames checked against whole ones are checked every time.
    if (!_compositesOnDemand || _compositor.frameMode() == FrameMode::verify) renderFrame();
}

void Window::renderFrame() const {
    if (!_frameDue) return;
    _frameDue = false;
    _compositor.renderFrame(*layer(), bounds().size, gfx::screenScale());
}

void Window::setFrameMode(FrameMode mode) {
    _compositor.setFrameMode(mode);
}

gfx::ImageRef Window::image() const {
    renderFrame();
    return _compositor.image();
}

const Compositor& Window::compositor() const {
    renderFrame();
    return _compositor;
}

} // namespace ui
