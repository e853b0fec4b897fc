#pragma once

#include <functional>
#include <map>
#include <typeindex>
#include <vector>

namespace ui {
class View;
}

// The view classes over which a pan may not begin.
//
// A class named by its type (disable<ui::Slider>()) is matched by kind: a view of that class
// or of any subclass of it is refused, as the phone's kind test does. A class given only as a
// std::type_index can be matched only exactly (C++ cannot tell its subclasses from the index);
// giving the index of a class already known by kind keeps its kind test.
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
    void disable(std::type_index viewClass);
    void enable(std::type_index viewClass) { m_classes.erase(viewClass); }
    bool contains(std::type_index viewClass) const { return m_classes.count(viewClass) > 0; }
    std::vector<std::type_index> classes() const;

    // Whether a pan over this view is refused.
    bool refuses(const ui::View& view) const;

private:
    // A class's kind test; empty for one known only by its index.
    std::map<std::type_index, std::function<bool(const ui::View&)>> m_classes;
};
