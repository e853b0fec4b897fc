#include "platform/ui/ImageView.h"

#include "platform/ui/Layer.h"

namespace ui {

std::shared_ptr<ImageView> ImageView::create(const Rect& frame)
{
    return std::shared_ptr<ImageView>(new ImageView(frame));
}

std::shared_ptr<ImageView> ImageView::create(const Image& image)
{
    auto view = create(Rect(Point(), image.size()));
    view->setImage(image);
    return view;
}

ImageView::ImageView(const Rect& frame)
    : View(frame)
{
    setUserInteractionEnabled(false);
}

void ImageView::setImage(const Image& image)
{
    m_image = image;
    // The layer draws its contents scaled to the bounds, which is the image view's look.
    layer()->setContents(image);
}

} // namespace ui
