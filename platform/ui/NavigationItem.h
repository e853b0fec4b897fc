#pragma once

#include <QString>
#include <functional>

namespace ui {

// What a controller shows in a navigation bar. Our platform has no navigation bar; the item
// is kept because controllers configure it and containers hand theirs out.
class NavigationItem {
public:
    QString title() const { return m_title; }
    void setTitle(const QString& title);

    std::function<void()> onTitleChanged;

private:
    QString m_title;
};

} // namespace ui
