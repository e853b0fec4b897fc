#pragma once

#include <QImage>

namespace artwork {

// One picture showing every table image with its name and pixel size, for review.
class ContactSheet {
public:
    static constexpr int columns = 5;
    static constexpr int cellWidth = 300;
    static constexpr int pictureHeight = 190;
    static constexpr int labelHeight = 40;

    static QImage render();
};

} // namespace artwork
