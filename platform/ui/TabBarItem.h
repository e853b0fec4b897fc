#pragma once

#include "platform/ui/Image.h"

#include <QString>
#include <functional>

namespace ui {

// A controller's tab-bar title and image. The owning controller listens to the two change
// events and turns them into its own change notifications.
class TabBarItem {
public:
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    Image image() const { return m_image; }
    void setImage(const Image& image);

    std::function<void()> onTitleChanged;
    std::function<void()> onImageChanged;

private:
    QString m_title;
    Image m_image;
};

} // namespace ui
