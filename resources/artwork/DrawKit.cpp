#include "resources/artwork/DrawKit.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

const QString fontFamily = QStringLiteral("WenQuanYi Micro Hei");

} // namespace

QFont DrawKit::captionFont(qreal pixelSize, bool bold)
{
    QFont font(fontFamily);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void DrawKit::panel(QPainter& p, const QRectF& rect, qreal radius, const QColor& top, const QColor& bottom,
                    const QColor& border)
{
    p.save();
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    if (border.isValid())
        p.setPen(QPen(border, 2));
    else
        p.setPen(Qt::NoPen);
    const qreal inset = border.isValid() ? 1 : 0;
    p.drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius, radius);
    p.restore();
}

void DrawKit::shadow(QPainter& p, const QRectF& rect, qreal radius, int depth)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = depth; i > 0; --i) {
        p.setBrush(QColor(20, 40, 70, 10 + 4 * (depth - i)));
        p.drawRoundedRect(rect.adjusted(-i / 2.0, i / 2.0, i / 2.0, i), radius + i / 2.0, radius + i / 2.0);
    }
    p.restore();
}

void DrawKit::verticalGradient(QPainter& p, const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.fillRect(rect, fill);
}

void DrawKit::buttonFace(QPainter& p, const QRectF& rect, const QColor& colour)
{
    const QRectF face = rect.adjusted(3, 2, -3, -5);
    const qreal radius = qMin(face.height() / 2, 18.0);
    shadow(p, face, radius, 4);
    panel(p, face, radius, colour.lighter(118), colour.darker(112));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 46));
    QRectF gloss = face.adjusted(4, 3, -4, -face.height() / 2);
    p.drawRoundedRect(gloss, radius * 0.7, radius * 0.7);
    p.restore();
}

void DrawKit::caption(QPainter& p, const QRectF& rect, const QString& text, const QColor& colour,
                      qreal maxPixelSize, Qt::Alignment alignment, bool bold)
{
    p.save();
    qreal size = maxPixelSize;
    QFont font = captionFont(size, bold);
    while (size > 6) {
        QFontMetricsF metrics(font);
        if (metrics.horizontalAdvance(text) <= rect.width() && metrics.height() <= rect.height() + 2)
            break;
        size -= 1;
        font = captionFont(size, bold);
    }
    p.setFont(font);
    p.setPen(colour);
    p.drawText(rect, int(alignment), text);
    p.restore();
}

void DrawKit::chevron(QPainter& p, const QPointF& centre, qreal size, const QColor& colour)
{
    p.save();
    p.setPen(QPen(colour, qMax(2.0, size / 4), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(centre + QPointF(-size / 4, -size / 2));
    path.lineTo(centre + QPointF(size / 4, 0));
    path.lineTo(centre + QPointF(-size / 4, size / 2));
    p.drawPath(path);
    p.restore();
}

void DrawKit::softCircle(QPainter& p, const QPointF& centre, qreal radius, const QColor& colour)
{
    p.save();
    QRadialGradient glow(centre, radius);
    QColor inner = colour;
    QColor outer = colour;
    outer.setAlpha(0);
    glow.setColorAt(0, inner);
    glow.setColorAt(1, outer);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

} // namespace artwork
