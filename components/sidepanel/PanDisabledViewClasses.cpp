#include "components/sidepanel/PanDisabledViewClasses.h"

#include "platform/ui/Slider.h"

PanDisabledViewClasses PanDisabledViewClasses::defaults()
{
    PanDisabledViewClasses classes;
    classes.disable<ui::Slider>();
    return classes;
}

void PanDisabledViewClasses::disable(std::type_index viewClass)
{
    m_classes.try_emplace(viewClass);
}

std::vector<std::type_index> PanDisabledViewClasses::classes() const
{
    std::vector<std::type_index> all;
    for (const auto& entry : m_classes)
        all.push_back(entry.first);
    return all;
}

bool PanDisabledViewClasses::refuses(const ui::View& view) const
{
    const std::type_index exact(typeid(view));
    for (const auto& [viewClass, isKind] : m_classes) {
        if (isKind ? isKind(view) : viewClass == exact)
            return true;
    }
    return false;
}
