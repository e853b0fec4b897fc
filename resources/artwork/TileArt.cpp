#include "resources/artwork/TileArt.h"

#include "resources/artwork/ArtworkRecipes.h"
#include "resources/artwork/DrawKit.h"
#include "resources/artwork/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

ArtworkRecipes::Recipe badge(const QString& text, const QColor& colour)
{
    return [text, colour](QPainter& p, const QRectF& r) {
        const QRectF face = r.adjusted(2, 2, -2, -2);
        DrawKit::panel(p, face, face.height() / 2, colour.lighter(115), colour.darker(110));
        DrawKit::caption(p, face.adjusted(8, 0, -8, 0), text, palette::paper, face.height() * 0.6);
    };
}

// Answer-card number: a dark tile so the light blue number label on it stays readable.
void paintNumberTile(QPainter& p, const QRectF& r)
{
    const QRectF face = r.adjusted(1, 1, -1, -1);
    DrawKit::panel(p, face, 7, QColor(0x3A, 0x56, 0x7A), QColor(0x28, 0x3F, 0x5C), QColor(0x6F, 0xD7, 0xFD, 160));
}

// Result tiles carry a white number label. Right answers are blue rounded squares; wrong
// answers are red hatched circles, so the two differ in shape and texture, not only in hue.
void paintRightTile(QPainter& p, const QRectF& r)
{
    DrawKit::panel(p, r.adjusted(1, 1, -1, -1), 8, palette::right.lighter(112), palette::right.darker(108));
}

void paintWrongTile(QPainter& p, const QRectF& r)
{
    const QRectF disc = r.adjusted(1, 1, -1, -1);
    QPainterPath circle;
    circle.addEllipse(disc);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(palette::wrong);
    p.drawPath(circle);
    p.setClipPath(circle);
    p.setPen(QPen(palette::wrong.darker(130), 3));
    for (qreal x = -r.height(); x < r.width(); x += 9)
        p.drawLine(QPointF(r.left() + x, r.bottom()), QPointF(r.left() + x + r.height(), r.top()));
    p.restore();
}

void paintDifficulty(QPainter& p, const QRectF& r)
{
    const QRectF face = r.adjusted(1, 1, -1, -1);
    DrawKit::panel(p, face, face.height() / 2, palette::warm.lighter(112), palette::warm.darker(108));
}

} // namespace

void TileArt::addTo(ArtworkRecipes& recipes)
{
    recipes.add(QStringLiteral("radio_title"), badge(QStringLiteral("单选题"), palette::primary));
    recipes.add(QStringLiteral("checkbox_title"), badge(QStringLiteral("多选题"), palette::success));
    recipes.add(QStringLiteral("panduan_title"), badge(QStringLiteral("判断题"), palette::violet));
    recipes.add(QStringLiteral("tiankong_title"), badge(QStringLiteral("填空题"), palette::warm));
    recipes.add(QStringLiteral("jieda_title"), badge(QStringLiteral("解答题"), QColor(0x2A, 0xA6, 0xA0)));
    recipes.add(QStringLiteral("budingxiag_title"), badge(QStringLiteral("不定项"), QColor(0xD9, 0x5C, 0x8E)));
    recipes.add(QStringLiteral("exam_number"), paintNumberTile);
    recipes.add(QStringLiteral("exam_num_blue"), paintRightTile);
    recipes.add(QStringLiteral("exam_num_red"), paintWrongTile);
    recipes.add(QStringLiteral("paper_difficulty"), paintDifficulty);
}

} // namespace artwork
