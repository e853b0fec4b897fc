#include "platform/ui/NavigationItem.h"

namespace ui {

void NavigationItem::setTitle(const QString& title)
{
    if (title == m_title && title.isNull() == m_title.isNull())
        return;
    m_title = title;
    if (onTitleChanged)
        onTitleChanged();
}

} // namespace ui
