#include "platform/ui/TapGestureRecognizer.h"

#include "platform/ui/Touch.h"

#include <cmath>

namespace ui {

std::shared_ptr<TapGestureRecognizer> TapGestureRecognizer::create(std::function<void(GestureRecognizer&)> action)
{
    auto recognizer = std::shared_ptr<TapGestureRecognizer>(new TapGestureRecognizer());
    recognizer->onAction = std::move(action);
    return recognizer;
}

void TapGestureRecognizer::touchesBegan(const TouchSet& touches, const Event&)
{
    if (trackedTouches().size() > 1) {
        setState(State::Failed);
        return;
    }
    m_start = touches.front()->locationInView(nullptr);
}

void TapGestureRecognizer::touchesMoved(const TouchSet& touches, const Event&)
{
    const Point d = touches.front()->locationInView(nullptr) - m_start;
    if (std::hypot(d.x, d.y) > kMovementTolerance)
        setState(State::Failed);
}

void TapGestureRecognizer::touchesEnded(const TouchSet& touches, const Event& event)
{
    touchesMoved(touches, event);
    if (state() == State::Possible)
        setState(State::Recognized);
}

void TapGestureRecognizer::touchesCancelled(const TouchSet&, const Event&)
{
    setState(State::Failed);
}

void TapGestureRecognizer::reset()
{
    m_start = Point();
}

} // namespace ui
