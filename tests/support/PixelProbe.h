#pragma once

#include "platform/ui/Geometry.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdlib>
#include <functional>
#include <set>
#include <vector>

// Questions a test asks of rendered pixels, so that each test says what it looks for and not
// how to walk an image.
namespace pixels {

// The colour at a point given in points, on an image drawn at `scale` pixels per point.
inline QColor at(const QImage& image, ui::Point point, double scale = 1)
{
    return image.pixelColor(int(point.x * scale), int(point.y * scale));
}

// A PNG file of a picture of one colour, as a page or a server would carry it.
inline QByteArray solidPng(int width, int height, const QColor& colour = Qt::red)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Every channel within `tolerance` of the wanted colour, and the pixel not see-through.
inline bool near(const QColor& actual, const QColor& wanted, int tolerance = 30)
{
    return std::abs(actual.red() - wanted.red()) <= tolerance && std::abs(actual.green() - wanted.green()) <= tolerance &&
           std::abs(actual.blue() - wanted.blue()) <= tolerance && actual.alpha() > 200;
}

// Dark, opaque pixels: text and lines drawn on a light ground.
inline bool isInk(const QColor& c)
{
    return qGray(c.rgb()) < 100 && c.alpha() > 200;
}

// How many pixels of `area` (the whole image when empty) match.
inline int count(const QImage& image, const std::function<bool(const QColor&)>& match, QRect area = {})
{
    area = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            found += match(image.pixelColor(x, y));
    }
    return found;
}

inline int countNear(const QImage& image, const QColor& wanted, QRect area = {}, int tolerance = 30)
{
    return count(image, [&](const QColor& c) { return near(c, wanted, tolerance); }, area);
}

// The rows (top to bottom) of `area` holding at least one matching pixel.
inline std::vector<int> rowsWith(const QImage& image, const std::function<bool(const QColor&)>& match, QRect area = {})
{
    area = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    std::vector<int> rows;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (match(image.pixelColor(x, y))) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

// How many different colours a sparse grid over `area` meets: a blank or flat drawing has
// one or two.
inline int distinctColours(const QImage& image, QRect area = {}, int stride = 3)
{
    area = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    std::set<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += stride) {
        for (int x = area.left(); x <= area.right(); x += stride)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

} // namespace pixels

namespace pixels {

// Where two drawings of the same scene differ (any channel by more than `tolerance`): what one
// view drew, when the other drawing was made with that view hidden. Empty when they agree.
inline QRect differingArea(const QImage& a, const QImage& b, QRect area = {}, int tolerance = 24)
{
    area = area.isEmpty() ? a.rect() : area.intersected(a.rect());
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) > tolerance || std::abs(p.green() - q.green()) > tolerance ||
                std::abs(p.blue() - q.blue()) > tolerance)
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

// A plain face: light and nearly grey, not a border, stripe, line or mark drawn on it.
inline bool isPlain(const QColor& c)
{
    return c.lightness() > 220 && c.hsvSaturation() < 48 && c.alpha() > 200;
}

// How strongly a side of `box` shows in `image`: the grey of the darkest line parallel to it
// within two pixels of it, averaged along the side's middle (its corners left out).
inline int sideGrey(const QImage& image, const QRect& box, Qt::Edge side)
{
    const bool across = side == Qt::TopEdge || side == Qt::BottomEdge;
    const int edge = side == Qt::TopEdge ? box.top() : side == Qt::BottomEdge ? box.bottom()
                   : side == Qt::LeftEdge ? box.left() : box.right();
    const int from = (across ? box.left() : box.top()) + 4;
    const int to = (across ? box.right() : box.bottom()) - 4;
    int darkest = 255;
    for (int line = edge - 2; line <= edge + 2; ++line) {
        int sum = 0;
        for (int i = from; i <= to; ++i)
            sum += qGray(across ? image.pixel(i, line) : image.pixel(line, i));
        darkest = std::min(darkest, sum / (to - from + 1));
    }
    return darkest;
}

// sideGrey of the four sides: top, left, bottom, right.
inline std::vector<int> sideGreys(const QImage& image, const QRect& box)
{
    std::vector<int> sides;
    for (const Qt::Edge side : {Qt::TopEdge, Qt::LeftEdge, Qt::BottomEdge, Qt::RightEdge})
        sides.push_back(sideGrey(image, box, side));
    return sides;
}

} // namespace pixels
