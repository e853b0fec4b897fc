#include "platform/ui/PanGestureRecognizer.h"

#include "platform/ui/Event.h"
#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

#include <cmath>

namespace ui {

std::shared_ptr<PanGestureRecognizer> PanGestureRecognizer::create(std::function<void(GestureRecognizer&)> action)
{
    auto recognizer = std::shared_ptr<PanGestureRecognizer>(new PanGestureRecognizer());
    recognizer->onAction = std::move(action);
    return recognizer;
}

void PanGestureRecognizer::touchesBegan(const TouchSet& touches, const Event& event)
{
    m_origin = touches.front()->locationInView(nullptr);
    m_current = m_origin;
    m_samples.clear();
    addSample(m_current, event.timestamp());
}

void PanGestureRecognizer::touchesMoved(const TouchSet& touches, const Event& event)
{
    m_current = touches.front()->locationInView(nullptr);
    addSample(m_current, event.timestamp());
    if (state() == State::Possible) {
        const Point d = m_current - m_origin;
        if (std::hypot(d.x, d.y) >= kBeginDistance)
            setState(State::Began);
        return;
    }
    if (isActive())
        setState(State::Changed);
}

void PanGestureRecognizer::touchesEnded(const TouchSet& touches, const Event& event)
{
    m_current = touches.front()->locationInView(nullptr);
    addSample(m_current, event.timestamp());
    m_releaseVelocity = velocityInView(nullptr);
    setState(isActive() ? State::Ended : State::Failed);
}

void PanGestureRecognizer::touchesCancelled(const TouchSet&, const Event&)
{
    m_releaseVelocity = Point();
    setState(isActive() ? State::Cancelled : State::Failed);
}

void PanGestureRecognizer::reset()
{
    m_origin = m_current = m_releaseVelocity = Point();
    m_samples.clear();
}

void PanGestureRecognizer::addSample(const Point& location, double time)
{
    m_samples.push_back({location, time});
    while (m_samples.size() > 2 && m_samples.front().time < time - kVelocityWindow)
        m_samples.pop_front();
}

// A vector (not a point) between window space and a view's space: translation parts cancel.
Point PanGestureRecognizer::windowVector(const Point& v, const View* view, bool toView) const
{
    if (!view)
        return v;
    if (toView)
        return view->convertPointFrom(v, nullptr) - view->convertPointFrom(Point(), nullptr);
    return view->convertPointTo(v, nullptr) - view->convertPointTo(Point(), nullptr);
}

Point PanGestureRecognizer::translationInView(const View* view) const
{
    return windowVector(m_current - m_origin, view, true);
}

void PanGestureRecognizer::setTranslation(const Point& translation, const View* view)
{
    m_origin = m_current - windowVector(translation, view, false);
}

Point PanGestureRecognizer::velocityInView(const View* view) const
{
    if (state() == State::Ended || state() == State::Cancelled)
        return windowVector(m_releaseVelocity, view, true);
    if (m_samples.size() < 2)
        return Point();
    const Sample& first = m_samples.front();
    const Sample& last = m_samples.back();
    const double dt = last.time - first.time;
    if (dt <= 0)
        return Point();
    return windowVector((last.location - first.location) * (1.0 / dt), view, true);
}

} // namespace ui
