#include "resources/artwork/TreeArt.h"

#include "resources/artwork/ArtworkRecipes.h"
#include "resources/artwork/DrawKit.h"
#include "resources/artwork/IconPainter.h"
#include "resources/artwork/Palette.h"

#include <QPainter>

namespace artwork {

namespace {

// Connector geometry on a 48-pixel row: the trunk that joins siblings runs at x 18, boxes
// and leaf dots end by x 49, clear of x 60 where the row's name label begins (its glyphs
// start right there). Rows show at half size on most phones, so lines and boxes are drawn bold.
constexpr qreal trunkX = 18;
constexpr qreal branchBoxX = 36;
constexpr qreal boxHalf = 11;
constexpr qreal leafX = 40;

enum class Row { Directory, Chapter, Leaf };
enum class Trunk { None, Through, Ends };
enum class Box { None, Plus, Minus };

struct Connector {
    Row row;
    Trunk trunk;
    Box box;
    bool childLine;   // a line from the box down to the next row
};

void drawBox(QPainter& p, const QPointF& centre, Box box)
{
    const QRectF square(centre.x() - boxHalf, centre.y() - boxHalf, boxHalf * 2, boxHalf * 2);
    p.save();
    p.setPen(QPen(palette::primary, 3));
    p.setBrush(palette::paper);
    p.drawRoundedRect(square, 5, 5);
    p.setPen(QPen(palette::primary, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(centre.x() - 6, centre.y()), QPointF(centre.x() + 6, centre.y()));
    if (box == Box::Plus)
        p.drawLine(QPointF(centre.x(), centre.y() - 6), QPointF(centre.x(), centre.y() + 6));
    p.restore();
}

void paintConnector(QPainter& p, const QRectF& r, const Connector& c)
{
    const QColor fill = c.row == Row::Directory ? QColor(0xE4, 0xF3, 0xFB) : palette::paper;
    p.fillRect(r, fill);
    p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), palette::line);
    const qreal mid = r.center().y();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x8C, 0xC4, 0xEA), 3));
    if (c.trunk == Trunk::Through)
        p.drawLine(QPointF(trunkX, r.top()), QPointF(trunkX, r.bottom()));
    if (c.trunk == Trunk::Ends)
        p.drawLine(QPointF(trunkX, r.top()), QPointF(trunkX, mid));
    if (c.row != Row::Directory)
        p.drawLine(QPointF(trunkX, mid), QPointF(c.row == Row::Leaf ? leafX : branchBoxX - boxHalf, mid));
    const qreal boxX = c.row == Row::Directory ? trunkX : branchBoxX;
    if (c.childLine)
        p.drawLine(QPointF(boxX, mid), QPointF(boxX, r.bottom()));
    p.restore();
    if (c.box != Box::None)
        drawBox(p, QPointF(boxX, mid), c.box);
    if (c.row == Row::Leaf) {
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(palette::accent.darker(110));
        p.drawEllipse(QPointF(leafX, mid), 6, 6);
        p.restore();
    }
}

void paintStartButton(QPainter& p, const QRectF& r)
{
    const QRectF face = r.adjusted(2, 2, -2, -3);
    DrawKit::shadow(p, face, face.height() / 2, 2);
    DrawKit::panel(p, face, face.height() / 2, palette::success.lighter(115), palette::success.darker(108));
    const qreal icon = face.height() * 0.6;
    IconPainter::draw(p, Glyph::Play, QRectF(face.center().x() - icon / 2, face.center().y() - icon / 2, icon, icon),
                      palette::paper);
}

} // namespace

void TreeArt::addTo(ArtworkRecipes& recipes)
{
    const struct {
        const char* name;
        Connector connector;
    } connectors[] = {
        {"special_scroll_01", {Row::Directory, Trunk::None, Box::Minus, true}},
        {"special_scroll_02", {Row::Directory, Trunk::None, Box::Plus, false}},
        {"special_scroll_03", {Row::Chapter, Trunk::Through, Box::Plus, false}},
        {"special_scroll_04", {Row::Chapter, Trunk::Ends, Box::Plus, false}},
        {"special_scroll_05", {Row::Chapter, Trunk::Through, Box::Minus, false}},
        {"special_scroll_06", {Row::Leaf, Trunk::Through, Box::None, false}},
        {"special_scroll_07", {Row::Leaf, Trunk::Ends, Box::None, false}},
        // A top row with nothing below it (a paper in the error book): no box to open.
        {"special_scroll_08", {Row::Directory, Trunk::None, Box::None, false}},
    };
    for (const auto& entry : connectors) {
        const Connector connector = entry.connector;
        recipes.add(QLatin1String(entry.name),
                    [connector](QPainter& p, const QRectF& r) { paintConnector(p, r, connector); });
    }
    recipes.add(QStringLiteral("special_edit"), paintStartButton);
}

} // namespace artwork
