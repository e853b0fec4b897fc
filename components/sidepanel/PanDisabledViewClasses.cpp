#include "components/sidepanel/PanDisabledViewClasses.h"

#include "platform/ui/Slider.h"

PanDisabledViewClasses PanDisabledViewClasses::defaults()
{
    PanDisabledViewClasses classes;
    classes.disable<ui::Slider>();
    return classes;
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
    for (const auto& entry : m_classes) {
        if (entry.second(view))
            return true;
    }
    return false;
}
