#pragma once

#include <functional>
#include <map>
#include <typeindex>
#include <vector>

namespace ui {
class View;
}

// The view classes over which a pan may not begin, each kept with its kind test: a view of
// that class or of any subclass of it is refused. A class is therefore added by its type
// (disable<ui::Slider>()); a std::type_index, which cannot tell a subclass, only names one
// already in the set.
class PanDisabledViewClasses {
public:
    // The platform's defaults: the slider. Our table has no reorder control to add.
    static PanDisabledViewClasses defaults();

    template<class ViewClass>
    void disable()
    {
        m_classes[std::type_index(typeid(ViewClass))] = [](const ui::View& view) {
            return dynamic_cast<const ViewClass*>(&view) != nullptr;
        };
    }
    void enable(std::type_index viewClass) { m_classes.erase(viewClass); }
    bool contains(std::type_index viewClass) const { return m_classes.count(viewClass) > 0; }
    std::vector<std::type_index> classes() const;

    // Whether a pan over this view is refused.
    bool refuses(const ui::View& view) const;

private:
    // Each class's kind test.
    std::map<std::type_index, std::function<bool(const ui::View&)>> m_classes;
};
