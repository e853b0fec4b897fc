#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace ui {

// Shows an image stretched over its bounds. Like the phone's image view it takes no touches
// until user interaction is switched on.
class ImageView : public View {
public:
    static std::shared_ptr<ImageView> create(const Rect& frame = Rect());
    // Framed at the origin with the image's size in points.
    static std::shared_ptr<ImageView> create(const Image& image);

    Image image() const { return m_image; }
    void setImage(const Image& image);

protected:
    explicit ImageView(const Rect& frame);

private:
    Image m_image;
};

} // namespace ui
