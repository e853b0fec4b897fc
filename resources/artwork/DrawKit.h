#pragma once

#include <QColor>
#include <QFont>

class QPainter;
class QRectF;
class QPointF;
class QString;

namespace artwork {

// Drawing helpers shared by every image family: panels, gradients, shadows and captions.
class DrawKit {
public:
    static QFont captionFont(qreal pixelSize, bool bold = true);

    // A rounded panel filled with a top-to-bottom gradient and an optional 2-pixel border.
    static void panel(QPainter& p, const QRectF& rect, qreal radius, const QColor& top,
                      const QColor& bottom, const QColor& border = QColor());
    // A soft drop shadow under a rounded rectangle, drawn before the panel itself.
    static void shadow(QPainter& p, const QRectF& rect, qreal radius, int depth);
    // Fills the whole rect with a vertical gradient.
    static void verticalGradient(QPainter& p, const QRectF& rect, const QColor& top, const QColor& bottom);
    // A glossy captioned button face filling the rect (shadow included).
    static void buttonFace(QPainter& p, const QRectF& rect, const QColor& colour);

    // Text centred (or aligned) in rect; the font shrinks until the text fits, so a caption
    // is never clipped.
    static void caption(QPainter& p, const QRectF& rect, const QString& text, const QColor& colour,
                        qreal maxPixelSize, Qt::Alignment alignment = Qt::AlignCenter, bool bold = true);

    static void chevron(QPainter& p, const QPointF& centre, qreal size, const QColor& colour);
    static void softCircle(QPainter& p, const QPointF& centre, qreal radius, const QColor& colour);
};

} // namespace artwork
