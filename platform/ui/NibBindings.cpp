#include "platform/ui/NibBindings.h"

namespace ui {

NibBindings& NibBindings::action(const QString& name, Control::Action action)
{
    m_actions[name] = std::move(action);
    return *this;
}

bool NibBindings::accepts(const QString& name, const std::shared_ptr<View>& view) const
{
    auto it = m_outlets.find(name);
    return it != m_outlets.end() && it->second.accepts(view);
}

void NibBindings::assign(const QString& name, const std::shared_ptr<View>& view) const
{
    if (auto it = m_outlets.find(name); it != m_outlets.end())
        it->second.assign(view);
}

Control::Action NibBindings::actionNamed(const QString& name) const
{
    auto it = m_actions.find(name);
    return it == m_actions.end() ? Control::Action() : it->second;
}

} // namespace ui
