#include "platform/ui/Window.h"

#include "platform/core/Dispatch.h"
#include "platform/ui/Application.h"
#include "platform/ui/Event.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/InterfaceRotation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// A tap this soon after the last one and this close to it counts on from it (a double tap);
// a touch that moves farther than the slop is no tap.
constexpr double kMultiTapInterval = 0.35;
constexpr double kTapSlop = 10;

} // namespace

std::shared_ptr<Window> Window::create(const Rect& frame)
{
    auto window = std::shared_ptr<Window>(new Window(frame));
    window->layer()->setOwner(window->weak_from_this());
    Application::shared().registerWindow(window);
    return window;
}

// Windows start hidden, as on the phone; makeKeyAndVisible() shows them.
Window::Window(const Rect& frame)
    : View(frame)
{
    setHidden(true);
}

Window::~Window() = default;

void Window::setFirstResponder(const std::shared_ptr<View>& view)
{
    if (m_firstResponder.lock() == view)
        return;
    m_firstResponder = view;
    if (onFirstResponderChanged)
        onFirstResponderChanged();
}

void Window::makeKeyAndVisible()
{
    makeKeyWindow();
    if (!isHidden())
        return;
    setHidden(false);
    showRoot();
}

void Window::makeKeyWindow()
{
    Application::shared().setKeyWindow(std::static_pointer_cast<Window>(shared_from_this()));
}

bool Window::isKeyWindow() const
{
    return Application::shared().keyWindow().get() == this;
}

void Window::setRootViewController(const std::shared_ptr<ViewController>& controller)
{
    if (controller == m_rootViewController)
        return;
    auto self = shared_from_this();
    const bool visible = !isHidden();
    if (auto old = m_rootViewController) {
        if (visible)
            old->beginAppearanceTransition(false, false);
        if (auto oldView = old->viewIfLoaded(); oldView && oldView->superview().get() == this)
            oldView->removeFromSuperview();
        if (visible)
            old->endAppearanceTransition();
        // The old root may be the caller (it replaced itself from its own callback): keep it
        // alive until that call has returned.
        core::post([old] {});
    }
    m_rootViewController = controller;
    if (!controller)
        return;
    auto view = controller->view();
    InterfaceRotation::fitToInterface(*this, *view);
    view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    insertSubviewAt(view, 0);
    if (visible)
        showRoot();
}

void Window::showRoot()
{
    auto root = m_rootViewController;
    if (!root || root->isAppeared())
        return;
    root->beginAppearanceTransition(true, false);
    std::weak_ptr<ViewController> weakRoot = root;
    std::weak_ptr<View> weakSelf = weak_from_this();
    core::post([weakRoot, weakSelf] {
        auto self = std::static_pointer_cast<Window>(weakSelf.lock());
        auto root = weakRoot.lock();
        if (self && root && self->m_rootViewController == root)
            root->endAppearanceTransition();
    });
}

QImage Window::renderImage()
{
    layoutIfNeeded();
    return Renderer::render(*layer(), bounds().size, Screen::main().scale());
}

// ---- touches --------------------------------------------------------------------------

void Window::sendTouch(Touch::Phase phase, const Point& location, double timestamp)
{
    auto self = shared_from_this();
    if (phase == Touch::Phase::Began) {
        if (m_touch)
            sendTouch(Touch::Phase::Cancelled, location, timestamp);
        beginTouch(location, timestamp);
        return;
    }
    if (!m_touch)
        return;
    m_touch->update(phase, location, timestamp);
    const TouchSet touches{m_touch};
    const Event event(touches, timestamp);
    const auto recognizers = m_touchRecognizers;
    for (const auto& recognizer : recognizers)
        recognizer->deliver(phase, touches, event);
    releaseWaiting();
    deliverToView(phase);
    if (phase == Touch::Phase::Ended || phase == Touch::Phase::Cancelled) {
        rememberTap(phase, location, timestamp);
        endTouch();
    }
}

int Window::tapCountAt(const Point& location, double timestamp) const
{
    const Point gap = location - m_lastTap.location;
    const bool continues = m_lastTap.count > 0 && timestamp - m_lastTap.time <= kMultiTapInterval
                           && std::hypot(gap.x, gap.y) <= kTapSlop;
    return continues ? m_lastTap.count + 1 : 1;
}

void Window::rememberTap(Touch::Phase phase, const Point& location, double timestamp)
{
    const Point moved = location - m_touchStart;
    const bool tapped = phase == Touch::Phase::Ended && m_touch && std::hypot(moved.x, moved.y) <= kTapSlop;
    m_lastTap = tapped ? Tap{timestamp, location, m_touch->tapCount()} : Tap{};
}

void Window::beginTouch(const Point& location, double timestamp)
{
    layoutIfNeeded();
    auto hit = hitTest(location, nullptr);
    m_touch = Touch::create(std::static_pointer_cast<Window>(shared_from_this()), location, timestamp);
    m_touch->setView(hit);
    m_touch->setTapCount(tapCountAt(location, timestamp));
    m_touchStart = location;
    m_viewTouchCancelled = false;
    m_touchRecognizers.clear();

    std::weak_ptr<View> weakSelf = weak_from_this();
    for (auto v = hit; v; v = v->superview()) {
        for (const auto& recognizer : v->gestureRecognizers()) {
            if (!recognizer->acceptsTouch(*m_touch))
                continue;
            recognizer->canLeavePossible = [weakSelf](GestureRecognizer& r) {
                auto self = std::static_pointer_cast<Window>(weakSelf.lock());
                return !self || self->mayLeavePossible(r);
            };
            recognizer->onRecognized = [weakSelf](GestureRecognizer& r) {
                if (auto self = std::static_pointer_cast<Window>(weakSelf.lock()))
                    self->recognized(r);
            };
            recognizer->mustWaitForFailure = [weakSelf](GestureRecognizer& r) {
                auto self = std::static_pointer_cast<Window>(weakSelf.lock());
                return self && self->mustWaitForFailure(r);
            };
            m_touchRecognizers.push_back(recognizer);
        }
    }

    const TouchSet touches{m_touch};
    const Event event(touches, timestamp);
    const auto recognizers = m_touchRecognizers;
    for (const auto& recognizer : recognizers)
        recognizer->deliver(Touch::Phase::Began, touches, event);
    deliverToView(Touch::Phase::Began);
}

void Window::deliverToView(Touch::Phase phase)
{
    if (m_viewTouchCancelled || !m_touch)
        return;
    auto view = m_touch->view();
    if (!view)
        return;
    const TouchSet touches{m_touch};
    const Event event(touches, m_touch->timestamp());
    switch (phase) {
    case Touch::Phase::Began: view->touchesBegan(touches, event); break;
    case Touch::Phase::Moved:
    case Touch::Phase::Stationary: view->touchesMoved(touches, event); break;
    case Touch::Phase::Ended: view->touchesEnded(touches, event); break;
    case Touch::Phase::Cancelled: view->touchesCancelled(touches, event); break;
    }
}

void Window::endTouch()
{
    const auto recognizers = m_touchRecognizers;
    m_touchRecognizers.clear();
    for (const auto& recognizer : recognizers) {
        recognizer->canLeavePossible = nullptr;
        recognizer->onRecognized = nullptr;
        recognizer->mustWaitForFailure = nullptr;
        recognizer->resetToPossible();
    }
    m_touch.reset();
}

bool Window::mayLeavePossible(GestureRecognizer& recognizer)
{
    for (const auto& other : m_touchRecognizers) {
        if (other.get() == &recognizer)
            continue;
        const auto s = other->state();
        const bool recognizedAlready =
            s == GestureRecognizer::State::Began || s == GestureRecognizer::State::Changed || s == GestureRecognizer::State::Ended;
        if (recognizedAlready && !recognizer.isSimultaneousWith(*other))
            return false;
    }
    return true;
}

bool Window::mustWaitForFailure(GestureRecognizer& recognizer)
{
    for (const auto& other : m_touchRecognizers) {
        if (other.get() != &recognizer && other->state() == GestureRecognizer::State::Possible &&
            other->isRequiredToFailBy(recognizer))
            return true;
    }
    return false;
}

// Lets recognisers held back by a failure requirement go once what they wait for has failed
// (a recogniser let go may fail in turn and free others).
void Window::releaseWaiting()
{
    const auto recognizers = m_touchRecognizers;
    for (bool released = true; released;) {
        released = false;
        for (const auto& recognizer : recognizers) {
            if (recognizer->isWaitingForFailure() && !mustWaitForFailure(*recognizer)) {
                recognizer->stopWaiting();
                released = true;
            }
        }
    }
}

void Window::recognized(GestureRecognizer& recognizer)
{
    const auto recognizers = m_touchRecognizers;
    for (const auto& other : recognizers) {
        if (other.get() != &recognizer && !recognizer.isSimultaneousWith(*other))
            other->failIfPossible();
    }
    if (!recognizer.cancelsTouchesInView() || m_viewTouchCancelled || !m_touch)
        return;
    deliverToView(Touch::Phase::Cancelled);
    m_viewTouchCancelled = true;
}

} // namespace ui
