#include "browse/SpecalHeadView.h"

#include "appbase/CommonUtil.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

std::shared_ptr<SpecalHeadView> SpecalHeadView::create()
{
    return std::shared_ptr<SpecalHeadView>(new SpecalHeadView());
}

SpecalHeadView::SpecalHeadView()
    : ui::View(ui::Rect())
{
}

void SpecalHeadView::initheadView(const QString& normalImage, const QString& highlightedImage)
{
    m_normalImage = normalImage;
    m_highlightedImage = highlightedImage;
    m_headView = ui::ImageView::create();
    addSubview(m_headView);
    showConnector(m_normalImage);
}

void SpecalHeadView::setExpand()
{
    showConnector(m_highlightedImage);
}

void SpecalHeadView::setColl()
{
    showConnector(m_normalImage);
}

void SpecalHeadView::showConnector(const QString& imageName)
{
    if (!m_headView)
        return;
    const ui::Image image = ui::Image::named(imageName);
    // Both axes follow the screen's width, so the rows keep the picture's proportions.
    const ui::Size size = CommonUtil::scaledSize(image, CommonUtil::getScaleX());
    m_headView->setFrame(ui::Rect(0, 0, size.width, size.height));
    m_headView->setImage(image);
    setFrame(m_headView->frame());
}
