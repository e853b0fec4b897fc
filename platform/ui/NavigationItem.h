#pragma once

#include <QString>
#include <functional>

namespace ui {

// What a controller shows in a navigation bar: the bar of a NavigationController shows its
// top controller's item and follows its title (onTitleChanged).
class NavigationItem {
public:
    QString title() const { return m_title; }
    void setTitle(const QString& title);

    std::function<void()> onTitleChanged;

private:
    QString m_title;
};

} // namespace ui
