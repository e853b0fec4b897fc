#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/ViewController.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace ui {

class TabBarItem;
class View;

// Holds a row of controllers, shows the selected one's view above a tab bar, and offers their
// tab-bar items as the bar's items. Its children find it through tabBarController(); a child
// that mirrors another controller's item (the side-panel container does) shows in the bar
// through its own item.
//
// Appearance reaches the selected child by the platform's forwarding (its view is the one
// inside the tab-bar controller's view). The bar draws no titles of its own: what it offers
// is the items, in order, and the bar's place.
class TabBarController : public ViewController {
public:
    static constexpr double kTabBarHeight = 49;

    static std::shared_ptr<TabBarController> create();

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return m_viewControllers; }
    // Replaces the children; the first becomes the selected one.
    void setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers);
    std::shared_ptr<ViewController> selectedViewController() const;
    std::size_t selectedIndex() const { return m_selectedIndex; }
    // An index past the end is ignored.
    void setSelectedIndex(std::size_t index);

    // Each child's tab-bar item, in the children's order.
    std::vector<std::shared_ptr<TabBarItem>> tabBarItems() const;
    // The bar along the bottom of the view (loads the view).
    std::shared_ptr<View> tabBar();

protected:
    TabBarController() = default;

    void loadView() override;

private:
    void showSelected();
    Rect contentFrame() const;

    std::vector<std::shared_ptr<ViewController>> m_viewControllers;
    std::size_t m_selectedIndex = 0;
    std::shared_ptr<View> m_tabBar;
};

} // namespace ui
