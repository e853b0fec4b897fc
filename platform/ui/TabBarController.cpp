#include "platform/ui/TabBarController.h"

#include "platform/ui/Color.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"

namespace ui {

std::shared_ptr<TabBarController> TabBarController::create()
{
    return std::shared_ptr<TabBarController>(new TabBarController());
}

void TabBarController::loadView()
{
    auto view = View::create(Screen::main().bounds());
    view->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    const Rect b = view->bounds();
    m_tabBar = View::create(Rect(0, b.height() - kTabBarHeight, b.width(), kTabBarHeight));
    m_tabBar->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleTopMargin);
    m_tabBar->setBackgroundColor(Color::fromWhite(0.97));
    view->addSubview(m_tabBar);
    setView(view);
    showSelected();
}

Rect TabBarController::contentFrame() const
{
    const Rect b = viewIfLoaded()->bounds();
    return Rect(0, 0, b.width(), b.height() - kTabBarHeight);
}

void TabBarController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers)
{
    auto self = shared_from_this();
    const auto old = selectedViewController();
    const bool shown = isAppeared();
    if (old && shown)
        old->beginAppearanceTransition(false, false);
    for (const auto& child : m_viewControllers) {
        if (auto childView = child->viewIfLoaded(); childView && viewIfLoaded() && childView->isDescendantOfView(viewIfLoaded().get()))
            childView->removeFromSuperview();
        child->removeFromParentViewController();
    }
    if (old && shown)
        old->endAppearanceTransition();
    m_viewControllers = std::move(controllers);
    m_selectedIndex = 0;
    for (const auto& child : m_viewControllers)
        addChildViewController(child);
    showSelected();
}

std::shared_ptr<ViewController> TabBarController::selectedViewController() const
{
    return m_selectedIndex < m_viewControllers.size() ? m_viewControllers[m_selectedIndex] : nullptr;
}

void TabBarController::setSelectedIndex(std::size_t index)
{
    if (index >= m_viewControllers.size() || index == m_selectedIndex)
        return;
    auto self = shared_from_this();
    const auto old = selectedViewController();
    const bool shown = isAppeared();
    if (shown)
        old->beginAppearanceTransition(false, false);
    if (auto oldView = old->viewIfLoaded())
        oldView->removeFromSuperview();
    if (shown)
        old->endAppearanceTransition();
    m_selectedIndex = index;
    showSelected();
}

// Puts the selected child's view above the bar; a shown tab-bar controller tells it so.
void TabBarController::showSelected()
{
    const auto selected = selectedViewController();
    auto view = viewIfLoaded();
    if (!selected || !view)
        return;
    const bool shown = isAppeared();
    if (shown)
        selected->beginAppearanceTransition(true, false);
    auto childView = selected->view();
    childView->setFrame(contentFrame());
    childView->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    view->insertSubviewBelow(childView, m_tabBar);
    if (shown)
        selected->endAppearanceTransition();
}

std::vector<std::shared_ptr<TabBarItem>> TabBarController::tabBarItems() const
{
    std::vector<std::shared_ptr<TabBarItem>> items;
    for (const auto& child : m_viewControllers)
        items.push_back(child->tabBarItem());
    return items;
}

std::shared_ptr<View> TabBarController::tabBar()
{
    loadViewIfNeeded();
    return m_tabBar;
}

} // namespace ui
