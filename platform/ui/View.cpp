#include "platform/ui/View.h"

#include "platform/core/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/ViewAnimation.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

namespace {

// One layout pass per run-loop turn for everything in a window. Held as a task id, not a
// flag, so that a run loop reset between tests cannot leave the pass "posted" forever.
core::RunLoop::TaskId g_layoutPass = 0;

void postLayoutPass()
{
    auto& loop = core::RunLoop::main();
    if (g_layoutPass && loop.isScheduled(g_layoutPass))
        return;
    g_layoutPass = loop.schedule(0, [] {
        g_layoutPass = 0;
        for (const auto& window : Application::shared().windows())
            window->layoutIfNeeded();
    });
}

// Grows or shrinks the flexible parts of one axis by `delta`, in proportion to their sizes
// (evenly when they are all zero), as the phone's autoresizing does.
void distribute(double delta, bool flexLead, bool flexSize, bool flexTrail, double& lead, double& size, double trail)
{
    const int count = int(flexLead) + int(flexSize) + int(flexTrail);
    if (count == 0 || delta == 0)
        return;
    const double total = (flexLead ? lead : 0) + (flexSize ? size : 0) + (flexTrail ? trail : 0);
    auto share = [&](double part) { return total > 0 ? delta * part / total : delta / count; };
    const double leadShare = flexLead ? share(lead) : 0;
    const double sizeShare = flexSize ? share(size) : 0;
    lead += leadShare;
    size += sizeShare;
}

} // namespace

std::shared_ptr<View> View::create(const Rect& frame)
{
    return std::shared_ptr<View>(new View(frame));
}

View::View(const Rect& frame)
    : m_layer(Layer::create())
{
    m_layer->setFrame(frame);
}

View::~View()
{
    m_layer->setDrawCallback({});
    for (const auto& recognizer : m_recognizers)
        recognizer->m_view.reset();
    for (const auto& sub : m_subviews)
        sub->m_superview = nullptr;
}

// ---- geometry -------------------------------------------------------------------------

Rect View::frame() const
{
    return m_layer->frame();
}

void View::setFrame(const Rect& frame)
{
    const Rect oldBounds = m_layer->bounds();
    const Point oldPosition = m_layer->position();
    m_layer->setFrame(frame);
    if (m_layer->position() != oldPosition)
        ViewAnimation::record(*this, QStringLiteral("position"), oldPosition, m_layer->position());
    if (m_layer->bounds() != oldBounds) {
        ViewAnimation::record(*this, QStringLiteral("bounds"), oldBounds, m_layer->bounds());
        boundsSizeChanged(oldBounds.size);
    }
}

Rect View::bounds() const
{
    return m_layer->bounds();
}

void View::setBounds(const Rect& bounds)
{
    const Rect old = m_layer->bounds();
    if (old == bounds)
        return;
    m_layer->setBounds(bounds);
    ViewAnimation::record(*this, QStringLiteral("bounds"), old, bounds);
    boundsSizeChanged(old.size);
}

Point View::center() const
{
    return m_layer->position();
}

void View::setCenter(const Point& center)
{
    const Point old = m_layer->position();
    if (old == center)
        return;
    m_layer->setPosition(center);
    ViewAnimation::record(*this, QStringLiteral("position"), old, center);
}

Transform View::transform() const
{
    return m_layer->transform();
}

void View::setTransform(const Transform& transform)
{
    const Transform old = m_layer->transform();
    if (old == transform)
        return;
    m_layer->setTransform(transform);
    ViewAnimation::record(*this, QStringLiteral("transform"), old, transform);
}

double View::alpha() const
{
    return m_layer->opacity();
}

void View::setAlpha(double alpha)
{
    const double old = m_layer->opacity();
    if (old == alpha)
        return;
    m_layer->setOpacity(alpha);
    ViewAnimation::record(*this, QStringLiteral("opacity"), old, alpha);
}

bool View::isHidden() const
{
    return m_layer->isHidden();
}

void View::setHidden(bool hidden)
{
    m_layer->setHidden(hidden);
}

Color View::backgroundColor() const
{
    return m_layer->backgroundColor();
}

void View::setBackgroundColor(const Color& color)
{
    const Color old = m_layer->backgroundColor();
    if (old == color)
        return;
    m_layer->setBackgroundColor(color);
    ViewAnimation::record(*this, QStringLiteral("backgroundColor"), old, color);
}

bool View::clipsToBounds() const
{
    return m_layer->masksToBounds();
}

void View::setClipsToBounds(bool clips)
{
    m_layer->setMasksToBounds(clips);
}

void View::setUserInteractionEnabled(bool enabled)
{
    m_userInteractionEnabled = enabled;
}

std::shared_ptr<View> View::viewWithTag(int tag)
{
    if (m_tag == tag)
        return weak_from_this().lock();
    for (const auto& sub : m_subviews) {
        if (auto found = sub->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

void View::boundsSizeChanged(const Size& oldSize)
{
    const Size newSize = m_layer->bounds().size;
    if (newSize == oldSize)
        return;
    setNeedsLayout();
    if (!m_autoresizesSubviews)
        return;
    for (const auto& sub : m_subviews)
        sub->autoresize(oldSize, newSize);
}

void View::autoresize(const Size& oldSuperSize, const Size& newSuperSize)
{
    const unsigned mask = m_autoresizingMask;
    if (mask == Autoresizing::None)
        return;
    Rect f = frame();
    double left = f.x(), width = f.width(), right = oldSuperSize.width - f.maxX();
    distribute(newSuperSize.width - oldSuperSize.width, mask & Autoresizing::FlexibleLeftMargin,
               mask & Autoresizing::FlexibleWidth, mask & Autoresizing::FlexibleRightMargin, left, width, right);
    double top = f.y(), height = f.height(), bottom = oldSuperSize.height - f.maxY();
    distribute(newSuperSize.height - oldSuperSize.height, mask & Autoresizing::FlexibleTopMargin,
               mask & Autoresizing::FlexibleHeight, mask & Autoresizing::FlexibleBottomMargin, top, height, bottom);
    setFrame(Rect(left, top, width, height));
}

// ---- hierarchy ------------------------------------------------------------------------

std::shared_ptr<View> View::superview() const
{
    return m_superview ? m_superview->weak_from_this().lock() : nullptr;
}

std::shared_ptr<Window> View::window() const
{
    const View* top = this;
    while (top->m_superview)
        top = top->m_superview;
    auto* window = dynamic_cast<const Window*>(top);
    if (!window)
        return nullptr;
    return std::static_pointer_cast<Window>(const_cast<Window*>(window)->weak_from_this().lock());
}

bool View::isDescendantOfView(const View* view) const
{
    if (!view)
        return false;
    for (const View* v = this; v; v = v->m_superview) {
        if (v == view)
            return true;
    }
    return false;
}

void View::addSubview(const std::shared_ptr<View>& view)
{
    PlatformHooks::addSubview()(*this, view);
}

void View::addSubviewDirect(const std::shared_ptr<View>& view)
{
    placeSubview(view, [this] { return m_subviews.size(); });
}

void View::insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index)
{
    placeSubview(view, [this, index] { return std::min(index, m_subviews.size()); });
}

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling)
{
    placeSubview(view, [this, sibling] {
        auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
        return it == m_subviews.end() ? m_subviews.size() : std::size_t(it - m_subviews.begin()) + 1;
    });
}

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling)
{
    placeSubview(view, [this, sibling] {
        auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
        return it == m_subviews.end() ? m_subviews.size() : std::size_t(it - m_subviews.begin());
    });
}

void View::bringSubviewToFront(const std::shared_ptr<View>& view)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), view);
    if (it == m_subviews.end())
        return;
    m_subviews.erase(it);
    m_subviews.push_back(view);
    m_layer->addSublayer(view->m_layer);
}

void View::sendSubviewToBack(const std::shared_ptr<View>& view)
{
    auto it = std::find(m_subviews.begin(), m_subviews.end(), view);
    if (it == m_subviews.end())
        return;
    m_subviews.erase(it);
    m_subviews.insert(m_subviews.begin(), view);
    m_layer->insertSublayerAt(view->m_layer, 0);
}

void View::placeSubview(const std::shared_ptr<View>& view, const std::function<std::size_t()>& indexAfterRemoval)
{
    if (!view || view.get() == this || isDescendantOfView(view.get()))
        return;
    auto self = weak_from_this().lock();   // empty while a subclass constructor builds its subviews
    const auto oldWindow = view->window();
    const bool sameParent = view->m_superview == this;
    if (sameParent)
        m_subviews.erase(std::find(m_subviews.begin(), m_subviews.end(), view));
    else
        view->detachFromSuperview();

    const std::size_t index = indexAfterRemoval();
    m_subviews.insert(m_subviews.begin() + std::ptrdiff_t(index), view);
    if (index + 1 < m_subviews.size())
        m_layer->insertSublayerBelow(view->m_layer, m_subviews[index + 1]->m_layer.get());
    else
        m_layer->addSublayer(view->m_layer);
    view->m_superview = this;
    view->m_layer->setOwner(view->weak_from_this());
    if (view->m_needsLayout || view->m_subviewNeedsLayout)
        view->markAncestorsForLayout();
    setNeedsLayout();
    if (sameParent)
        return;
    view->didMoveToSuperview();
    if (view->window() != oldWindow)
        view->notifyMovedToWindow(oldWindow);
}

void View::detachFromSuperview()
{
    View* parent = m_superview;
    if (!parent)
        return;
    auto& siblings = parent->m_subviews;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& v) { return v.get() == this; });
    if (it != siblings.end())
        siblings.erase(it);
    m_layer->removeFromSuperlayer();
    m_superview = nullptr;
}

void View::removeFromSuperview()
{
    if (!m_superview)
        return;
    auto self = weak_from_this().lock();
    const auto oldWindow = window();
    detachFromSuperview();
    didMoveToSuperview();
    if (oldWindow)
        notifyMovedToWindow(oldWindow);
}

void View::notifyMovedToWindow(const std::shared_ptr<Window>& oldWindow)
{
    if (oldWindow) {
        auto responder = oldWindow->firstResponder();
        if (responder && responder->isDescendantOfView(this) && responder->window() != oldWindow)
            oldWindow->setFirstResponder(nullptr);
    }
    if (window())
        postLayoutPass();
    auto self = weak_from_this().lock();
    didMoveToWindow();
    const auto subviews = m_subviews;
    for (const auto& sub : subviews)
        sub->notifyMovedToWindow(oldWindow);
}

// ---- layout and drawing ---------------------------------------------------------------

void View::setNeedsLayout()
{
    m_needsLayout = true;
    markAncestorsForLayout();
    postLayoutPass();
}

// All the way up, without stopping at a marked ancestor: a pass clears a view's mark before
// it walks that view's subviews, so a marked view may sit under an unmarked one.
void View::markAncestorsForLayout()
{
    for (View* v = m_superview; v; v = v->m_superview)
        v->m_subviewNeedsLayout = true;
}

void View::layoutIfNeeded()
{
    auto self = weak_from_this().lock();
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSubviews();
    }
    if (!m_subviewNeedsLayout)
        return;
    m_subviewNeedsLayout = false;
    const auto subviews = m_subviews;
    for (const auto& sub : subviews) {
        if (sub->m_needsLayout || sub->m_subviewNeedsLayout)
            sub->layoutIfNeeded();
    }
}

void View::layoutSubviews() {}

void View::setNeedsDisplay()
{
    // Views draw only once they ask to: most views have nothing of their own to draw, and a
    // drawing callback costs the layer a cached bitmap.
    if (!m_layer->hasDrawCallback())
        m_layer->setDrawCallback([this](DrawContext& context) { draw(context); });
    m_layer->setNeedsDisplay();
}

void View::setNeedsDisplayInRect(const Rect& rect)
{
    // A view that never drew has nothing kept to draw a part of.
    if (!m_layer->hasDrawCallback()) {
        setNeedsDisplay();
        return;
    }
    m_layer->setNeedsDisplayInRect(rect);
}

void View::draw(DrawContext&) {}

// ---- hit-testing and coordinates ------------------------------------------------------

std::shared_ptr<View> View::hitTest(const Point& point, const Event* event)
{
    if (isHidden() || alpha() < 0.01 || !m_userInteractionEnabled)
        return nullptr;
    if (!pointInside(point, event))
        return nullptr;
    const auto subviews = m_subviews;
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        const Point inChild = (*it)->convertPointFrom(point, this);
        if (auto hit = (*it)->hitTest(inChild, event))
            return hit;
    }
    return weak_from_this().lock();
}

bool View::pointInside(const Point& point, const Event*) const
{
    return bounds().contains(point);
}

Point View::convertPointTo(const Point& point, const View* view) const
{
    return m_layer->convertPointTo(point, view ? view->m_layer.get() : nullptr);
}

Point View::convertPointFrom(const Point& point, const View* view) const
{
    return m_layer->convertPointFrom(point, view ? view->m_layer.get() : nullptr);
}

Rect View::convertRectTo(const Rect& rect, const View* view) const
{
    return m_layer->convertRectTo(rect, view ? view->m_layer.get() : nullptr);
}

Rect View::convertRectFrom(const Rect& rect, const View* view) const
{
    return m_layer->convertRectFrom(rect, view ? view->m_layer.get() : nullptr);
}

// ---- first responder ------------------------------------------------------------------

bool View::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    auto w = window();
    if (!w)
        return false;
    auto self = shared_from_this();
    if (auto current = w->firstResponder(); current && !current->resignFirstResponder())
        return false;
    // Resigning told app code, which may have taken this view out of the window meanwhile.
    if (window() != w)
        return false;
    w->setFirstResponder(self);
    return true;
}

bool View::resignFirstResponder()
{
    auto w = window();
    if (w && w->firstResponder().get() == this)
        w->setFirstResponder(nullptr);
    return true;
}

bool View::isFirstResponder() const
{
    auto w = window();
    return w && w->firstResponder().get() == this;
}

Rect View::caretRect() const
{
    return bounds();
}

void View::insertText(const QString&) {}

void View::deleteBackward() {}

bool View::performEditingCommand(EditingCommand)
{
    return false;
}

void View::setMarkedText(const QString&) {}

// ---- touches and gestures -------------------------------------------------------------

// Unhandled touches travel up the responder chain, as on the phone.
void View::touchesBegan(const TouchSet& touches, const Event& event)
{
    if (auto parent = superview())
        parent->touchesBegan(touches, event);
}

void View::touchesMoved(const TouchSet& touches, const Event& event)
{
    if (auto parent = superview())
        parent->touchesMoved(touches, event);
}

void View::touchesEnded(const TouchSet& touches, const Event& event)
{
    if (auto parent = superview())
        parent->touchesEnded(touches, event);
}

void View::touchesCancelled(const TouchSet& touches, const Event& event)
{
    if (auto parent = superview())
        parent->touchesCancelled(touches, event);
}

void View::didMoveToSuperview() {}

void View::didMoveToWindow() {}

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer)
{
    if (!recognizer)
        return;
    if (auto old = recognizer->view(); old && old.get() != this)
        old->removeGestureRecognizer(recognizer);
    if (std::find(m_recognizers.begin(), m_recognizers.end(), recognizer) == m_recognizers.end())
        m_recognizers.push_back(recognizer);
    recognizer->m_view = weak_from_this();
}

void View::removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer)
{
    auto it = std::find(m_recognizers.begin(), m_recognizers.end(), recognizer);
    if (it == m_recognizers.end())
        return;
    m_recognizers.erase(it);
    recognizer->m_view.reset();
}

// ---- animation ------------------------------------------------------------------------

void View::animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
                   std::function<void(bool)> completion)
{
    ViewAnimation::Settings settings;
    settings.duration = duration;
    settings.delay = delay;
    settings.options = options;
    settings.completion = std::move(completion);
    ViewAnimation::begin(std::move(settings));
    if (animations)
        animations();
    ViewAnimation::commit();
}

void View::animate(double duration, const std::function<void()>& animations, std::function<void(bool)> completion)
{
    animate(duration, 0, AnimationOption::None, animations, std::move(completion));
}

void View::beginAnimations(const QString& animationId)
{
    ViewAnimation::Settings settings;
    settings.animationId = animationId;
    ViewAnimation::begin(std::move(settings));
}

void View::setAnimationDuration(double seconds)
{
    if (auto* s = ViewAnimation::current())
        s->duration = seconds;
}

void View::setAnimationDelay(double seconds)
{
    if (auto* s = ViewAnimation::current())
        s->delay = seconds;
}

void View::setAnimationCurve(AnimationCurve curve)
{
    if (auto* s = ViewAnimation::current())
        s->options = (s->options & ~0x30000u) | (unsigned(curve) << 16);
}

void View::setAnimationBeginsFromCurrentState(bool fromCurrent)
{
    if (auto* s = ViewAnimation::current()) {
        s->options = fromCurrent ? (s->options | AnimationOption::BeginFromCurrentState)
                                 : (s->options & ~unsigned(AnimationOption::BeginFromCurrentState));
    }
}

void View::setAnimationDidStop(std::function<void(const QString&, bool)> didStop)
{
    if (auto* s = ViewAnimation::current())
        s->didStop = std::move(didStop);
}

void View::commitAnimations()
{
    ViewAnimation::commit();
}

bool View::isAnimating()
{
    return ViewAnimation::isOpen();
}

} // namespace ui
