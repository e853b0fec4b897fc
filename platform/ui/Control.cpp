#include "platform/ui/Control.h"

#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

Control::Control(const Rect& frame)
    : View(frame)
{
}

void Control::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        m_highlighted = false;
    stateDidChange();
}

void Control::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    stateDidChange();
}

void Control::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    stateDidChange();
}

unsigned Control::state() const
{
    unsigned s = ControlState::Normal;
    if (m_highlighted)
        s |= ControlState::Highlighted;
    if (!m_enabled)
        s |= ControlState::Disabled;
    if (m_selected)
        s |= ControlState::Selected;
    return s;
}

void Control::addTarget(const std::shared_ptr<void>& target, Action action, unsigned events)
{
    if (!action || events == 0)
        return;
    m_actions.push_back({target.get(), target, std::move(action), events});
}

void Control::removeTarget(const void* target, unsigned events)
{
    for (auto& ta : m_actions) {
        if (ta.key == target)
            ta.events &= ~events;
    }
    std::erase_if(m_actions, [](const TargetAction& ta) { return ta.events == 0; });
}

unsigned Control::allControlEvents() const
{
    unsigned all = 0;
    for (const auto& ta : m_actions)
        all |= ta.events;
    return all;
}

std::size_t Control::actionCount(unsigned events) const
{
    return std::count_if(m_actions.begin(), m_actions.end(),
                         [events](const TargetAction& ta) { return (ta.events & events) != 0; });
}

void Control::sendActionsForControlEvents(unsigned events)
{
    // Actions may add or remove targets, or drop the last owner of this control.
    auto self = std::static_pointer_cast<Control>(shared_from_this());
    const auto snapshot = m_actions;
    for (const auto& ta : snapshot) {
        if ((ta.events & events) == 0)
            continue;
        if (ta.key && ta.target.expired())
            continue;
        ta.action(self);
    }
}

void Control::stateDidChange()
{
    setNeedsDisplay();
}

bool Control::touchIsInside(const TouchSet& touches) const
{
    if (touches.empty())
        return false;
    const Point p = touches.front()->locationInView(this);
    return bounds().insetBy(-kTouchSlop, -kTouchSlop).contains(p);
}

void Control::touchesBegan(const TouchSet& touches, const Event&)
{
    if (!m_enabled)
        return;
    auto self = shared_from_this();
    m_tracking = true;
    m_touchInside = true;
    setHighlighted(true);
    sendActionsForControlEvents(ControlEvent::TouchDown);
    (void)touches;
}

void Control::touchesMoved(const TouchSet& touches, const Event&)
{
    if (!m_tracking)
        return;
    auto self = shared_from_this();
    const bool inside = touchIsInside(touches);
    unsigned events = inside ? ControlEvent::TouchDragInside : ControlEvent::TouchDragOutside;
    if (inside != m_touchInside)
        events |= inside ? ControlEvent::TouchDragEnter : ControlEvent::TouchDragExit;
    m_touchInside = inside;
    setHighlighted(inside);
    sendActionsForControlEvents(events);
}

void Control::touchesEnded(const TouchSet& touches, const Event&)
{
    if (!m_tracking)
        return;
    auto self = shared_from_this();
    const bool inside = touchIsInside(touches);
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    sendActionsForControlEvents(inside ? ControlEvent::TouchUpInside : ControlEvent::TouchUpOutside);
}

void Control::touchesCancelled(const TouchSet&, const Event&)
{
    if (!m_tracking)
        return;
    auto self = shared_from_this();
    m_tracking = false;
    m_touchInside = false;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEvent::TouchCancel);
}

} // namespace ui
