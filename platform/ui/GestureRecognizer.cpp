#include "platform/ui/GestureRecognizer.h"

#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

#include <algorithm>

namespace ui {

GestureRecognizer::GestureRecognizer() = default;

GestureRecognizer::~GestureRecognizer() = default;

void GestureRecognizer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled && isActive())
        setState(State::Cancelled);
}

Point GestureRecognizer::locationInView(const View* view) const
{
    Point windowPoint = m_lastWindowLocation;
    if (!m_touches.empty()) {
        Point sum;
        for (const auto& touch : m_touches)
            sum = sum + touch->locationInView(nullptr);
        windowPoint = sum * (1.0 / double(m_touches.size()));
    }
    return view ? view->convertPointFrom(windowPoint, nullptr) : windowPoint;
}

std::size_t GestureRecognizer::numberOfTouches() const
{
    return m_touches.size();
}

bool GestureRecognizer::acceptsTouch(const Touch& touch)
{
    if (!m_enabled)
        return false;
    auto d = delegate();
    if (!d)
        return true;
    return d->shouldReceiveTouch(*this, touch).value_or(true);
}

bool GestureRecognizer::isSimultaneousWith(GestureRecognizer& other)
{
    bool allowed = false;
    if (auto d = delegate())
        allowed = d->shouldRecognizeSimultaneouslyWithGestureRecognizer(*this, other).value_or(false);
    if (!allowed) {
        if (auto d = other.delegate())
            allowed = d->shouldRecognizeSimultaneouslyWithGestureRecognizer(other, *this).value_or(false);
    }
    return allowed;
}

void GestureRecognizer::deliver(Touch::Phase phase, const TouchSet& touches, const Event& event)
{
    auto self = shared_from_this();
    for (const auto& touch : touches) {
        m_lastWindowLocation = touch->locationInView(nullptr);
        if (phase == Touch::Phase::Began && std::find(m_touches.begin(), m_touches.end(), touch) == m_touches.end())
            m_touches.push_back(touch);
    }
    const bool finished = m_state == State::Ended || m_state == State::Cancelled || m_state == State::Failed;
    if (!finished) {
        switch (phase) {
        case Touch::Phase::Began: touchesBegan(touches, event); break;
        case Touch::Phase::Moved:
        case Touch::Phase::Stationary: touchesMoved(touches, event); break;
        case Touch::Phase::Ended: touchesEnded(touches, event); break;
        case Touch::Phase::Cancelled: touchesCancelled(touches, event); break;
        }
    }
    if (phase == Touch::Phase::Ended || phase == Touch::Phase::Cancelled) {
        for (const auto& touch : touches)
            m_touches.erase(std::remove(m_touches.begin(), m_touches.end(), touch), m_touches.end());
    }
}

bool GestureRecognizer::isRequiredToFailBy(GestureRecognizer& other)
{
    auto d = delegate();
    return d && d->shouldBeRequiredToFailByGestureRecognizer(*this, other).value_or(false);
}

void GestureRecognizer::failIfPossible()
{
    m_waitingState.reset();
    if (m_state == State::Possible)
        m_state = State::Failed;
}

void GestureRecognizer::stopWaiting()
{
    const auto waiting = m_waitingState;
    m_waitingState.reset();
    if (waiting && m_state == State::Possible)
        leavePossible(*waiting);
}

void GestureRecognizer::resetToPossible()
{
    m_waitingState.reset();
    m_state = State::Possible;
    m_touches.clear();
    reset();
}

void GestureRecognizer::setState(State state)
{
    auto self = shared_from_this();
    const State previous = m_state;
    if (previous == State::Possible && (state == State::Began || state == State::Recognized)) {
        if (mustWaitForFailure && mustWaitForFailure(*this)) {
            m_waitingState = state;
            return;
        }
        leavePossible(state);
        return;
    }
    m_waitingState.reset();
    m_state = state;
    const bool wasActive = previous == State::Began || previous == State::Changed;
    const bool reports = state == State::Changed || state == State::Ended || state == State::Cancelled;
    if (wasActive && reports && onAction)
        onAction(*this);
}

void GestureRecognizer::leavePossible(State state)
{
    auto self = shared_from_this();
    m_waitingState.reset();
    bool may = m_enabled;
    if (may) {
        if (auto d = delegate())
            may = d->gestureRecognizerShouldBegin(*this).value_or(true);
    }
    if (may && canLeavePossible)
        may = canLeavePossible(*this);
    if (!may) {
        m_state = State::Failed;
        return;
    }
    m_state = state;
    if (onRecognized)
        onRecognized(*this);
    if (onAction)
        onAction(*this);
}

void GestureRecognizer::touchesBegan(const TouchSet&, const Event&) {}
void GestureRecognizer::touchesMoved(const TouchSet&, const Event&) {}
void GestureRecognizer::touchesEnded(const TouchSet&, const Event&) {}
void GestureRecognizer::touchesCancelled(const TouchSet&, const Event&) {}
void GestureRecognizer::reset() {}

} // namespace ui
