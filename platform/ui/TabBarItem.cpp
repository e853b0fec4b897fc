#include "platform/ui/TabBarItem.h"

namespace ui {

void TabBarItem::setTitle(const QString& title)
{
    m_title = title;
    if (onTitleChanged)
        onTitleChanged();
}

void TabBarItem::setImage(const Image& image)
{
    m_image = image;
    if (onImageChanged)
        onImageChanged();
}

} // namespace ui
