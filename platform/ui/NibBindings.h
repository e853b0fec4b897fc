#pragma once

#include "platform/ui/Control.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>

namespace ui {

class View;

// The outlets and actions an object offers a layout file, by name.
//
// An outlet is a slot of the object's own type, filled with the created view when the view
// is of that type; an action runs when the connected control sends its event. The loader
// checks every connection of a file before it fills any slot, so a failed load leaves the
// owner's slots untouched.
class NibBindings {
public:
    template<class T>
    NibBindings& outlet(const QString& name, std::shared_ptr<T>& slot)
    {
        m_outlets[name] = Outlet{
            [](const std::shared_ptr<View>& view) { return std::dynamic_pointer_cast<T>(view) != nullptr; },
            [&slot](const std::shared_ptr<View>& view) { slot = std::dynamic_pointer_cast<T>(view); },
        };
        return *this;
    }
    NibBindings& action(const QString& name, Control::Action action);

    bool hasOutlet(const QString& name) const { return m_outlets.count(name) != 0; }
    bool hasAction(const QString& name) const { return m_actions.count(name) != 0; }
    // Whether the outlet can hold this view (its slot's type).
    bool accepts(const QString& name, const std::shared_ptr<View>& view) const;
    void assign(const QString& name, const std::shared_ptr<View>& view) const;
    Control::Action actionNamed(const QString& name) const;

private:
    struct Outlet {
        std::function<bool(const std::shared_ptr<View>&)> accepts;
        std::function<void(const std::shared_ptr<View>&)> assign;
    };
    std::map<QString, Outlet> m_outlets;
    std::map<QString, Control::Action> m_actions;
};

} // namespace ui
