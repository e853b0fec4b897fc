#pragma once

#include "resources/artwork/Glyph.h"

class QPainter;
class QRectF;
class QColor;

namespace artwork {

// Draws a glyph as clean strokes and fills in a square box; every glyph is designed on a
// 100 x 100 grid and scaled, so one drawing serves tiles, toolbars and list rows alike.
class IconPainter {
public:
    static void draw(QPainter& p, Glyph glyph, const QRectF& box, const QColor& colour);
};

} // namespace artwork
