#include "shell/HeadView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "appbase/CommonUtil.h"
#include "shell/HeadViewDelegate.h"

#include <cmath>

std::shared_ptr<HeadView> HeadView::create()
{
    return std::shared_ptr<HeadView>(new HeadView());
}

HeadView::HeadView()
    : ui::View(ui::Rect())
{
}

void HeadView::initheadBtn(const QString& normalImage, const QString& highlightedImage)
{
    m_headBtn = ui::Button::create(ui::ButtonType::Custom);
    m_normalImage = normalImage;
    m_highlightedImage = highlightedImage;

    const ui::Image normal = ui::Image::named(normalImage);
    const ui::Size size = CommonUtil::axisScaledSize(normal);
    const ui::Rect frame(0, 0, size.width, size.height);

    m_headBtn->setShowsTouchWhenHighlighted(false);
    m_headBtn->setAdjustsImageWhenHighlighted(true);
    m_headBtn->setFrame(frame);
    m_headBtn->setBackgroundImage(normal, ui::ControlState::Normal);
    m_headBtn->setBackgroundImage(ui::Image::named(highlightedImage), ui::ControlState::Highlighted);
    auto self = std::static_pointer_cast<HeadView>(shared_from_this());
    m_headBtn->addTarget(self, &HeadView::headClick, ui::ControlEvent::TouchUpInside);
    addSubview(m_headBtn);
    setFrame(frame);
}

void HeadView::headClick(const std::shared_ptr<ui::Control>&)
{
    auto delegate = m_delegate.lock();
    if (!delegate)
        return;
    auto self = std::static_pointer_cast<HeadView>(shared_from_this());
    delegate->selectedWith(self);
}
