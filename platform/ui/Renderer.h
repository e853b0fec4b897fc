#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"

#include <QImage>
#include <QPointF>
#include <QRegion>
#include <QString>
#include <memory>

class QPainter;

namespace ui {

class Layer;

// Draws a layer tree with QPainter: for each layer, in its presentation values at
// core::Clock::now(): shadow, background (with corner radius), contents image, custom
// drawing, shape, sublayers in order, border; clipped by masksToBounds (with corner
// radius) and the mask layer; faded by opacity as a group; placed by position, anchor
// point and transform. Hidden layers and their sublayers are skipped.
class Renderer {
public:
    // A window-sized image: `root` drawn at its frame in a canvas of sizeInPoints, scale
    // pixels per point (the image is sizeInPoints × scale pixels, with that device pixel
    // ratio), on `background` (clear by default).
    static QImage render(const Layer& root, Size sizeInPoints, double scale,
                         const Color& background = Color::clear());
    // Draws `root` again into an image that render() made, inside `pixels` (device pixels)
    // only; the rest of the image keeps what it showed. `shift` moves the drawing by device
    // pixels (a window's partly covered last pixels show the content moved onto them).
    static void renderArea(QImage& image, const Layer& root, double scale, const QRegion& pixels,
                           const Color& background = Color::clear(), QPointF shift = {});
    // The layer alone, its bounds filling the image, ignoring its own position, transform
    // and opacity (a view rendered into an image).
    static QImage renderLayer(const Layer& layer, double scale);
    // Draws `layer` into a painter whose user space is the layer's superlayer space in points.
    static void paint(QPainter& painter, const Layer& layer);

    static bool writePng(const QImage& image, const QString& path);

    // The latest end among the animations still to finish that could change what `root`
    // drawn in a canvas of sizeInPoints shows, or minus infinity. A layer that cannot be seen
    // (hidden, or wholly under a later opaque one, as the drawing skips it) changes nothing,
    // whatever it animates; endless animations (a spinner) have no end to wait for.
    static double lastVisibleAnimationEnd(const Layer& root, Size sizeInPoints, double now);
    // When, from `now` on, an animation that could be seen next shows something new: `now`
    // while one runs (endless ones included), the begin of one still to begin, or infinity.
    static double nextAnimationFrame(const Layer& root, Size sizeInPoints, double now);

    // The pixel colour at a point (in points) of a rendered image, for tests and tools.
    static Color colorAt(const QImage& image, Point pointInPoints);
};

} // namespace ui
