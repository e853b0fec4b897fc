#include "appbase/ImageButton.h"

#include "appbase/CommonUtil.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"

std::shared_ptr<ui::Button> ImageButton::create(const QString& imageName, const QString& caption)
{
    return create(ui::Image::named(CommonUtil::getImageName(imageName, QStringLiteral(".png"))), caption);
}

std::shared_ptr<ui::Button> ImageButton::create(const ui::Image& image, const QString& caption)
{
    const ui::Size size = CommonUtil::scaledSize(image, CommonUtil::getScale());
    auto button = ui::Button::create(ui::ButtonType::Custom);
    style(*button, image);
    button->setFrame(ui::Rect(0, 0, size.width, size.height));
    button->setAccessibilityLabel(caption);
    return button;
}

void ImageButton::style(ui::Button& button, const ui::Image& image)
{
    button.setBackgroundImage(image, ui::ControlState::Normal);
    button.setBackgroundImage(image, ui::ControlState::Highlighted);
    button.setShowsTouchWhenHighlighted(false);
    button.setAdjustsImageWhenHighlighted(true);
}
