#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace ui {

// State bits of a control, with the phone's values.
struct ControlState {
    enum : unsigned { Normal = 0, Highlighted = 1, Disabled = 2, Selected = 4 };
};

// Control events, with the phone's values (touch-up-inside is 64).
struct ControlEvent {
    enum : unsigned {
        TouchDown = 1u << 0,
        TouchDragInside = 1u << 2,
        TouchDragOutside = 1u << 3,
        TouchDragEnter = 1u << 4,
        TouchDragExit = 1u << 5,
        TouchUpInside = 1u << 6,
        TouchUpOutside = 1u << 7,
        TouchCancel = 1u << 8,
        ValueChanged = 1u << 12,
        AllTouchEvents = 0x0FFFu,
        AllEvents = 0xFFFFFFFFu,
    };
};

// A view that tracks a finger into highlighted state and control events, and sends each
// event's actions to their targets.
//
// Targets are held weakly: an action whose target has died is skipped. Actions added without
// a target always run. A touch counts as inside while it stays within the bounds grown by
// kTouchSlop, as on the phone, so a finger that drifts a little off a small button still
// lifts "inside".
class Control : public View {
public:
    using Action = std::function<void(const std::shared_ptr<Control>& sender)>;
    static constexpr double kTouchSlop = 70;

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    unsigned state() const;

    bool isTracking() const { return m_tracking; }
    bool isTouchInside() const { return m_touchInside; }

    void addTarget(const std::shared_ptr<void>& target, Action action, unsigned events);
    // Target-and-method form: the method takes the sender, or nothing.
    template<class T, class Method>
        requires std::is_member_function_pointer_v<Method>
    void addTarget(const std::shared_ptr<T>& target, Method method, unsigned events)
    {
        std::weak_ptr<T> weak = target;
        addTarget(std::static_pointer_cast<void>(target), [weak, method](const std::shared_ptr<Control>& sender) {
            auto t = weak.lock();
            if (!t)
                return;
            if constexpr (std::is_invocable_v<Method, T*, const std::shared_ptr<Control>&>)
                std::invoke(method, t.get(), sender);
            else
                std::invoke(method, t.get());
        }, events);
    }
    // Removes the target's actions for these events (null: actions added without a target).
    void removeTarget(const void* target, unsigned events = ControlEvent::AllEvents);
    unsigned allControlEvents() const;
    std::size_t actionCount(unsigned events = ControlEvent::AllEvents) const;

    // Runs the actions of every event in `events`, in the order they were added.
    void sendActionsForControlEvents(unsigned events);

protected:
    explicit Control(const Rect& frame);

    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;

    // A state bit changed (base: redraw).
    virtual void stateDidChange();

private:
    struct TargetAction {
        const void* key;
        std::weak_ptr<void> target;
        Action action;
        unsigned events;
    };
    bool touchIsInside(const TouchSet& touches) const;

    std::vector<TargetAction> m_actions;
    bool m_enabled = true;
    bool m_highlighted = false;
    bool m_selected = false;
    bool m_tracking = false;
    bool m_touchInside = false;
};

} // namespace ui
