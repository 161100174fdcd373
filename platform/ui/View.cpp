#include "platform/ui/View.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/detail/LayerAnimations.h"
#include "platform/ui/detail/TreeOrder.h"

#include <algorithm>

namespace ui {

OLM_DEFINE_CLASS(View, Responder)

namespace {

template <class T> void eraseItem(std::vector<std::shared_ptr<T>>& list, const T* item) {
    if (std::optional<std::size_t> i = detail::indexOf(list, item))
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(*i));
}

// Spreads the change of the superview's extent along one axis over the flexible parts of a
// subview's frame (the margin before, the size, the margin after), in proportion to their
// current lengths, or evenly when those are all zero.
void resizeAxis(double oldExtent, double newExtent, bool flexMin, bool flexSize, bool flexMax, double& origin,
                double& size) {
    const double delta = newExtent - oldExtent;
    const int count = int(flexMin) + int(flexSize) + int(flexMax);
    if (delta == 0 || count == 0) return;
    const double minMargin = std::max(0.0, origin);
    const double length = std::max(0.0, size);
    const double maxMargin = std::max(0.0, oldExtent - origin - size);
    const double total = (flexMin ? minMargin : 0) + (flexSize ? length : 0) + (flexMax ? maxMargin : 0);
    const auto share = [&](bool flexible, double part) {
        if (!flexible) return 0.0;
        return total > 0 ? delta * part / total : delta / count;
    };
    origin += share(flexMin, minMargin);
    size = std::max(0.0, size + share(flexSize, length));
}

} // namespace

// --- Life.

void View::init(const gfx::Rect& frame) {
    Responder::init();
    _layer = makeBackingLayer();
    if (!_layer) _layer = Layer::make();
    _layer->setDelegate(this);
    _layer->setContentsScale(gfx::screenScale());
    // A view made inside an animation block starts at its frame; it does not grow from zero.
    performWithoutAnimation([&] { _layer->setFrame(frame); });
    if (drawsContent()) _layer->setNeedsDisplay();
}

View::~View() {
    if (_layer && _layer->delegate() == this) _layer->setDelegate(nullptr);
    for (auto& subview : _subviews)
        subview->_superview = nullptr;
}

std::shared_ptr<Layer> View::makeBackingLayer() const {
    return Layer::make();
}

// --- Geometry.

void View::setFrame(const gfx::Rect& frame) {
    const gfx::Size oldSize = bounds().size;
    _layer->setFrame(frame);
    boundsSizeChanged(oldSize);
}

void View::setBounds(const gfx::Rect& bounds) {
    const gfx::Size oldSize = this->bounds().size;
    _layer->setBounds(bounds);
    boundsSizeChanged(oldSize);
}

void View::boundsSizeChanged(gfx::Size oldSize) {
    if (!(oldSize == bounds().size) && _autoresizesSubviews) resizeSubviews(oldSize);
}

void View::resizeSubviews(gfx::Size oldSize) {
    const gfx::Size newSize = bounds().size;
    const auto subviews = _subviews;
    for (const auto& view : subviews) {
        const ViewAutoresizing mask = view->_autoresizingMask;
        if (mask == ViewAutoresizingNone) continue;
        gfx::Rect f = view->frame();
        resizeAxis(oldSize.width, newSize.width, mask & ViewAutoresizingFlexibleLeftMargin,
                   mask & ViewAutoresizingFlexibleWidth, mask & ViewAutoresizingFlexibleRightMargin,
                   f.origin.x, f.size.width);
        resizeAxis(oldSize.height, newSize.height, mask & ViewAutoresizingFlexibleTopMargin,
                   mask & ViewAutoresizingFlexibleHeight, mask & ViewAutoresizingFlexibleBottomMargin,
                   f.origin.y, f.size.height);
        view->setFrame(f);
    }
}

// --- Appearance.

gfx::Color View::tintColor() const {
    for (const View* v = this; v != nullptr; v = v->_superview)
        if (v->_tintColor) return *v->_tintColor;
    return gfx::systemColors::systemBlue();
}

void View::setTintColor(std::optional<gfx::Color> color) {
    const gfx::Color old = tintColor();
    _tintColor = color;
    if (!(old == tintColor())) tintDidChangeInherited();
}

void View::tintDidChangeInherited() {
    tintColorDidChange();
    const auto subviews = _subviews;
    for (const auto& view : subviews)
        if (!view->_tintColor) view->tintDidChangeInherited();
}

View* View::viewWithTag(long tag) {
    if (_tag == tag) return this;
    for (const auto& view : _subviews)
        if (View* found = view->viewWithTag(tag)) return found;
    return nullptr;
}

void View::setContentMode(ViewContentMode mode) {
    _contentMode = mode;
    _layer->setNeedsDisplayOnBoundsChange(mode == ViewContentModeRedraw);
}

// --- Tree.

View* View::window() const {
    for (const View* v = this; v != nullptr; v = v->_superview)
        if (v->isWindow()) return const_cast<View*>(v);
    return nullptr;
}

bool View::isDescendantOfView(const View* view) const {
    if (view == nullptr) return false;
    for (const View* v = this; v != nullptr; v = v->_superview)
        if (v == view) return true;
    return false;
}

void View::notifyWillMoveToWindow(View& view, View* newWindow) {
    view.willMoveToWindow(newWindow);
    const auto subviews = view._subviews;
    for (const auto& s : subviews)
        notifyWillMoveToWindow(*s, newWindow);
}

void View::notifyDidMoveToWindow(View& view) {
    view.didMoveToWindow();
    const auto subviews = view._subviews;
    for (const auto& s : subviews)
        notifyDidMoveToWindow(*s);
}

void View::placeSubviewLayer(View& view, std::size_t index) {
    // Keep the layer order of the subviews' layers equal to the subview order, leaving the
    // view's other sublayers where they are.
    if (index + 1 < _subviews.size())
        _layer->insertSublayerBelow(view._layer, _subviews[index + 1]->_layer.get());
    else
        _layer->addSublayer(view._layer);
}

void View::attachSubview(std::shared_ptr<View> view, std::size_t index) {
    if (!view || isDescendantOfView(view.get())) return;
    if (view->_superview == this) {
        eraseItem(_subviews, view.get());
        index = std::min(index, _subviews.size());
        _subviews.insert(_subviews.begin() + static_cast<std::ptrdiff_t>(index), view);
        placeSubviewLayer(*view, index);
        return;
    }
    const std::shared_ptr<View> keepSelf = rt::sharedFrom(this);
    View* oldSuperview = view->_superview;
    const std::shared_ptr<View> keepOld = rt::sharedFrom(oldSuperview);
    View* oldWindow = view->window();
    View* newWindow = view->isWindow() ? view.get() : window();
    const gfx::Color oldTint = view->tintColor();

    view->willMoveToSuperview(this);
    if (oldSuperview != nullptr) oldSuperview->willRemoveSubview(view.get());
    if (oldWindow != newWindow) notifyWillMoveToWindow(*view, newWindow);

    if (oldSuperview != nullptr) {
        eraseItem(oldSuperview->_subviews, view.get());
        oldSuperview->setNeedsLayout();
    }
    view->_superview = this;
    index = std::min(index, _subviews.size());
    _subviews.insert(_subviews.begin() + static_cast<std::ptrdiff_t>(index), view);
    placeSubviewLayer(*view, index);
    setNeedsLayout();
    view->setNeedsLayout();

    if (oldWindow != newWindow) notifyDidMoveToWindow(*view);
    view->didMoveToSuperview();
    didAddSubview(view.get());
    if (!view->_tintColor && !(oldTint == view->tintColor())) view->tintDidChangeInherited();
}

void View::addSubview(std::shared_ptr<View> view) {
    // Adding a subview again brings it to the front.
    attachSubview(std::move(view), _subviews.size());
}

void View::insertSubview(std::shared_ptr<View> view, long index) {
    attachSubview(std::move(view), index < 0 ? 0 : static_cast<std::size_t>(index));
}

void View::insertSubviewBeside(std::shared_ptr<View> view, const View* sibling, bool above) {
    if (!view || view.get() == sibling) return;
    if (std::optional<std::size_t> index = detail::indexBeside(_subviews, view.get(), sibling, above))
        attachSubview(std::move(view), *index);
    else
        addSubview(std::move(view));
}

void View::insertSubviewAbove(std::shared_ptr<View> view, const View* sibling) {
    insertSubviewBeside(std::move(view), sibling, true);
}

void View::insertSubviewBelow(std::shared_ptr<View> view, const View* sibling) {
    insertSubviewBeside(std::move(view), sibling, false);
}

void View::removeFromSuperview() {
    View* superview = _superview;
    if (superview == nullptr) return;
    const std::shared_ptr<View> keepSelf = rt::sharedFrom(this);
    const std::shared_ptr<View> keepSuperview = rt::sharedFrom(superview);
    View* oldWindow = window();
    const bool windowChanges = oldWindow != nullptr && oldWindow != this;
    const gfx::Color oldTint = tintColor();

    superview->willRemoveSubview(this);
    willMoveToSuperview(nullptr);
    if (windowChanges) notifyWillMoveToWindow(*this, nullptr);

    eraseItem(superview->_subviews, this);
    if (_layer->superlayer() == superview->_layer.get()) _layer->removeFromSuperlayer();
    _superview = nullptr;
    superview->setNeedsLayout();

    if (windowChanges) notifyDidMoveToWindow(*this);
    didMoveToSuperview();
    if (!_tintColor && !(oldTint == tintColor())) tintDidChangeInherited();
}

void View::moveSubview(const View* view, bool toFront) {
    const std::optional<std::size_t> i = detail::indexOf(_subviews, view);
    if (!i) return;
    std::shared_ptr<View> moved = _subviews[*i];
    _subviews.erase(_subviews.begin() + static_cast<std::ptrdiff_t>(*i));
    if (toFront) {
        _subviews.push_back(moved);
        _layer->addSublayer(moved->_layer);
    } else {
        _subviews.insert(_subviews.begin(), moved);
        _layer->insertSublayer(moved->_layer, 0);
    }
}

void View::bringSubviewToFront(const View* view) {
    moveSubview(view, true);
}

void View::sendSubviewToBack(const View* view) {
    moveSubview(view, false);
}

// --- Layout.

gfx::Size View::sizeThatFits(gfx::Size) const {
    return bounds().size;
}

void View::sizeToFit() {
    const gfx::Rect f = frame();
    setFrame({f.origin, sizeThatFits(bounds().size)});
}

// --- Display.

void View::setNeedsDisplay() {
    if (drawsContent()) _layer->setNeedsDisplay();
}

void View::setNeedsDisplayInRect(const gfx::Rect& rect) {
    if (drawsContent()) _layer->setNeedsDisplayInRect(rect);
}

// --- Events.

View* View::hitTest(gfx::Point point, Event* event) {
    if (!_userInteractionEnabled || isHidden() || alpha() < 0.01) return nullptr;
    if (!pointInside(point, event)) return nullptr;
    for (std::size_t i = _subviews.size(); i-- > 0;) {
        if (i >= _subviews.size()) continue;
        const std::shared_ptr<View> view = _subviews[i];
        const gfx::Point local = view->_layer->affineTransformToSuperlayer().inverted().apply(point);
        if (View* hit = view->hitTest(local, event)) return hit;
    }
    return this;
}

bool View::pointInside(gfx::Point point, Event*) const {
    return bounds().contains(point);
}

gfx::Point View::convertPointToView(gfx::Point point, const View* view) const {
    return _layer->convertPointToLayer(point, view != nullptr ? view->_layer.get() : nullptr);
}

gfx::Point View::convertPointFromView(gfx::Point point, const View* view) const {
    return _layer->convertPointFromLayer(point, view != nullptr ? view->_layer.get() : nullptr);
}

gfx::Rect View::convertRectToView(const gfx::Rect& rect, const View* view) const {
    return _layer->convertRectToLayer(rect, view != nullptr ? view->_layer.get() : nullptr);
}

gfx::Rect View::convertRectFromView(const gfx::Rect& rect, const View* view) const {
    return _layer->convertRectFromLayer(rect, view != nullptr ? view->_layer.get() : nullptr);
}

// --- Gesture recognizers.

void View::addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer) {
    if (!recognizer || detail::indexOf(_gestureRecognizers, recognizer.get())) return;
    // A recognizer belongs to one view at a time.
    if (View* previous = recognizer->view()) previous->removeGestureRecognizer(recognizer.get());
    recognizer->attachToView(this);
    _gestureRecognizers.push_back(std::move(recognizer));
}

void View::removeGestureRecognizer(const GestureRecognizer* recognizer) {
    const std::optional<std::size_t> i = detail::indexOf(_gestureRecognizers, recognizer);
    if (!i) return;
    const std::shared_ptr<GestureRecognizer> removed = _gestureRecognizers[*i];
    _gestureRecognizers.erase(_gestureRecognizers.begin() + static_cast<std::ptrdiff_t>(*i));
    removed->detachFromView(this);
}

// --- Layer delegate.

bool View::implementsDrawLayerInContext(const Layer& layer) const {
    return &layer == _layer.get() && drawsContent();
}

void View::drawLayerInContext(Layer& layer, gfx::GraphicsContext& context) {
    if (&layer != _layer.get()) return;
    // The part to draw: the bounds, or the part of them that the clip leaves (a store redrawn
    // in part).
    const gfx::Rect whole = bounds();
    const gfx::Rect clip = context.clipBoundingBox();
    const gfx::Rect rect = clip.contains(whole) ? whole : clip.intersection(whole);
    if (rect.isNull() || rect.isEmpty()) return;
    gfx::pushContext(&context);
    context.saveGState();
    context.clipToRect(rect);
    drawRect(rect);
    context.restoreGState();
    gfx::popContext();
}

void View::layoutSublayersOfLayer(Layer& layer) {
    if (&layer != _layer.get()) return;
    if (_viewController == nullptr) {
        layoutSubviews();
        return;
    }
    const std::shared_ptr<ViewController> controller = rt::sharedFrom(_viewController);
    controller->viewWillLayout();
    layoutSubviews();
    // The hooks may have given the view up.
    if (_viewController == controller.get()) controller->viewDidLayout();
}

std::optional<LayerActionRef> View::actionForLayerForKey(Layer& layer, std::string_view key) {
    if (std::optional<LayerActionRef> action = detail::viewLayerAction(*this, layer, key)) return action;
    return LayerActionRef{};
}

} // namespace ui
