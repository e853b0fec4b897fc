#include "resources/artwork/IconPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace artwork {

namespace {

QPen strokePen(const QColor& colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Icons are line drawings with solid details: these switch the painter between the two.
void outline(QPainter& p, const QColor& colour, qreal width)
{
    p.setPen(strokePen(colour, width));
    p.setBrush(Qt::NoBrush);
}

void solid(QPainter& p, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
}

void drawBack(QPainter& p, const QColor& c)
{
    p.setPen(strokePen(c, 11));
    QPainterPath path;
    path.moveTo(58, 20);
    path.lineTo(28, 50);
    path.lineTo(58, 80);
    p.drawPath(path);
    p.drawLine(QPointF(30, 50), QPointF(78, 50));
}

void drawBooks(QPainter& p, const QColor& c)
{
    outline(p, c, 6);
    p.drawRoundedRect(QRectF(16, 22, 18, 60), 3, 3);
    p.drawRoundedRect(QRectF(38, 16, 18, 66), 3, 3);
    p.save();
    p.translate(70, 24);
    p.rotate(14);
    p.drawRoundedRect(QRectF(0, 0, 16, 58), 3, 3);
    p.restore();
    p.drawLine(QPointF(16, 36), QPointF(34, 36));
    p.drawLine(QPointF(38, 32), QPointF(56, 32));
    p.drawLine(QPointF(12, 86), QPointF(90, 86));
}

void drawPerson(QPainter& p, const QColor& c)
{
    solid(p, c);
    p.drawEllipse(QPointF(50, 33), 17, 17);
    QPainterPath body;
    body.moveTo(18, 88);
    body.cubicTo(18, 60, 34, 54, 50, 54);
    body.cubicTo(66, 54, 82, 60, 82, 88);
    body.closeSubpath();
    p.drawPath(body);
}

void drawLock(QPainter& p, const QColor& c)
{
    outline(p, c, 9);
    QPainterPath shackle;
    shackle.moveTo(32, 46);
    shackle.lineTo(32, 34);
    shackle.arcTo(QRectF(32, 16, 36, 36), 180, -180);
    shackle.lineTo(68, 46);
    p.drawPath(shackle);
    solid(p, c);
    p.drawRoundedRect(QRectF(22, 44, 56, 42), 8, 8);
}

void drawNotebook(QPainter& p, const QColor& c)
{
    outline(p, c, 6);
    p.drawRoundedRect(QRectF(20, 14, 50, 72), 6, 6);
    for (int y : {32, 46, 60})
        p.drawLine(QPointF(30, y), QPointF(58, y));
    p.save();
    p.translate(78, 30);
    p.rotate(30);
    solid(p, c);
    p.drawRect(QRectF(-5, 0, 10, 46));
    QPainterPath tip;
    tip.moveTo(-5, 46);
    tip.lineTo(5, 46);
    tip.lineTo(0, 58);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void drawGear(QPainter& p, const QColor& c)
{
    solid(p, c);
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = (i * M_PI) / teeth;
        const qreal r = (i % 2 == 0) ? 42 : 33;
        const qreal spread = M_PI / teeth / 2.2;
        const QPointF a(50 + r * qCos(angle - spread), 50 + r * qSin(angle - spread));
        const QPointF b(50 + r * qCos(angle + spread), 50 + r * qSin(angle + spread));
        if (i == 0)
            gear.moveTo(a);
        else
            gear.lineTo(a);
        gear.lineTo(b);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(50, 50), 13, 13);
    p.drawPath(gear.subtracted(hole));
}

void drawTarget(QPainter& p, const QColor& c)
{
    outline(p, c, 7);
    p.drawEllipse(QPointF(46, 54), 34, 34);
    p.drawEllipse(QPointF(46, 54), 19, 19);
    solid(p, c);
    p.drawEllipse(QPointF(46, 54), 7, 7);
    p.setPen(strokePen(c, 6));
    p.drawLine(QPointF(48, 52), QPointF(84, 16));
    p.drawLine(QPointF(84, 16), QPointF(84, 6));
    p.drawLine(QPointF(84, 16), QPointF(94, 16));
}

void drawStopwatch(QPainter& p, const QColor& c)
{
    outline(p, c, 7);
    p.drawEllipse(QPointF(50, 56), 33, 33);
    p.drawLine(QPointF(50, 56), QPointF(50, 36));
    p.drawLine(QPointF(50, 56), QPointF(64, 64));
    p.drawLine(QPointF(42, 10), QPointF(58, 10));
    p.drawLine(QPointF(50, 10), QPointF(50, 22));
    p.drawLine(QPointF(76, 24), QPointF(82, 18));
}

void drawPaper(QPainter& p, const QColor& c)
{
    outline(p, c, 6);
    QPainterPath sheet;
    sheet.moveTo(22, 12);
    sheet.lineTo(62, 12);
    sheet.lineTo(80, 30);
    sheet.lineTo(80, 88);
    sheet.lineTo(22, 88);
    sheet.closeSubpath();
    p.drawPath(sheet);
    p.drawLine(QPointF(62, 12), QPointF(62, 30));
    p.drawLine(QPointF(62, 30), QPointF(80, 30));
    for (int y : {44, 58, 72})
        p.drawLine(QPointF(34, y), QPointF(68, y));
}

void drawStar(QPainter& p, const QColor& c)
{
    p.setPen(strokePen(c, 4));
    p.setBrush(c);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal r = (i % 2 == 0) ? 42 : 18;
        const QPointF point(50 + r * qCos(angle), 54 + r * qSin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    p.drawPath(star);
}

void drawTrash(QPainter& p, const QColor& c)
{
    outline(p, c, 7);
    p.drawLine(QPointF(16, 26), QPointF(84, 26));
    p.drawLine(QPointF(40, 14), QPointF(60, 14));
    QPainterPath bin;
    bin.moveTo(24, 28);
    bin.lineTo(30, 88);
    bin.lineTo(70, 88);
    bin.lineTo(76, 28);
    p.drawPath(bin);
    p.drawLine(QPointF(42, 42), QPointF(43, 74));
    p.drawLine(QPointF(58, 42), QPointF(57, 74));
}

void drawGrid(QPainter& p, const QColor& c)
{
    solid(p, c);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawRoundedRect(QRectF(14 + col * 26, 14 + row * 26, 20, 20), 4, 4);
    }
}

void drawBulb(QPainter& p, const QColor& c)
{
    outline(p, c, 7);
    QPainterPath bulb;
    bulb.moveTo(38, 66);
    bulb.cubicTo(38, 56, 22, 50, 22, 36);
    bulb.cubicTo(22, 20, 35, 10, 50, 10);
    bulb.cubicTo(65, 10, 78, 20, 78, 36);
    bulb.cubicTo(78, 50, 62, 56, 62, 66);
    bulb.closeSubpath();
    p.drawPath(bulb);
    p.drawLine(QPointF(38, 78), QPointF(62, 78));
    p.drawLine(QPointF(42, 90), QPointF(58, 90));
}

void drawPlay(QPainter& p, const QColor& c)
{
    p.setPen(strokePen(c, 6));
    p.setBrush(c);
    QPainterPath tri;
    tri.moveTo(34, 20);
    tri.lineTo(80, 50);
    tri.lineTo(34, 80);
    tri.closeSubpath();
    p.drawPath(tri);
}

void drawChat(QPainter& p, const QColor& c)
{
    outline(p, c, 7);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(12, 16, 76, 54), 14, 14);
    p.drawPath(bubble);
    QPainterPath tail;
    tail.moveTo(30, 70);
    tail.lineTo(24, 88);
    tail.lineTo(46, 70);
    p.drawPath(tail);
    solid(p, c);
    for (int x : {32, 50, 68})
        p.drawEllipse(QPointF(x, 43), 6, 6);
}

void drawBrush(QPainter& p, const QColor& c)
{
    outline(p, c, 6);
    QPainterPath palette;
    palette.moveTo(50, 12);
    palette.cubicTo(20, 12, 10, 36, 12, 54);
    palette.cubicTo(14, 80, 40, 90, 56, 86);
    palette.cubicTo(66, 84, 60, 72, 66, 68);
    palette.cubicTo(74, 62, 90, 70, 90, 50);
    palette.cubicTo(90, 28, 72, 12, 50, 12);
    p.drawPath(palette);
    solid(p, c);
    for (const QPointF& dot : {QPointF(34, 36), QPointF(52, 28), QPointF(70, 38), QPointF(30, 58)})
        p.drawEllipse(dot, 6.5, 6.5);
}

void drawInfo(QPainter& p, const QColor& c)
{
    outline(p, c, 7);
    p.drawEllipse(QPointF(50, 50), 38, 38);
    p.drawLine(QPointF(50, 46), QPointF(50, 72));
    solid(p, c);
    p.drawEllipse(QPointF(50, 30), 5.5, 5.5);
}

void drawPower(QPainter& p, const QColor& c)
{
    outline(p, c, 8);
    p.drawArc(QRectF(16, 18, 68, 68), 120 * 16, -240 * 16);
    p.drawLine(QPointF(50, 10), QPointF(50, 50));
}

void drawCheck(QPainter& p, const QColor& c)
{
    outline(p, c, 12);
    QPainterPath tick;
    tick.moveTo(18, 52);
    tick.lineTo(40, 74);
    tick.lineTo(82, 28);
    p.drawPath(tick);
}

void drawCross(QPainter& p, const QColor& c)
{
    p.setPen(strokePen(c, 12));
    p.drawLine(QPointF(24, 24), QPointF(76, 76));
    p.drawLine(QPointF(76, 24), QPointF(24, 76));
}

void drawTrophy(QPainter& p, const QColor& c)
{
    p.setPen(strokePen(c, 6));
    p.setBrush(c);
    QPainterPath cup;
    cup.moveTo(28, 12);
    cup.lineTo(72, 12);
    cup.lineTo(72, 36);
    cup.cubicTo(72, 52, 62, 60, 50, 60);
    cup.cubicTo(38, 60, 28, 52, 28, 36);
    cup.closeSubpath();
    p.drawPath(cup);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(12, 18, 22, 24), 90 * 16, 180 * 16);
    p.drawArc(QRectF(66, 18, 22, 24), 90 * 16, -180 * 16);
    p.drawLine(QPointF(50, 60), QPointF(50, 76));
    p.setBrush(c);
    p.drawRoundedRect(QRectF(32, 76, 36, 12), 3, 3);
}

void drawSliders(QPainter& p, const QColor& c)
{
    p.setPen(strokePen(c, 6));
    for (int y : {24, 50, 76})
        p.drawLine(QPointF(14, y), QPointF(86, y));
    solid(p, c);
    p.drawEllipse(QPointF(34, 24), 10, 10);
    p.drawEllipse(QPointF(66, 50), 10, 10);
    p.drawEllipse(QPointF(44, 76), 10, 10);
}

using GlyphDrawer = void (*)(QPainter&, const QColor&);

GlyphDrawer drawerFor(Glyph glyph)
{
    switch (glyph) {
    case Glyph::Back: return drawBack;
    case Glyph::Books: return drawBooks;
    case Glyph::Person: return drawPerson;
    case Glyph::Lock: return drawLock;
    case Glyph::Notebook: return drawNotebook;
    case Glyph::Gear: return drawGear;
    case Glyph::Target: return drawTarget;
    case Glyph::Stopwatch: return drawStopwatch;
    case Glyph::Paper: return drawPaper;
    case Glyph::Star: return drawStar;
    case Glyph::Trash: return drawTrash;
    case Glyph::Grid: return drawGrid;
    case Glyph::Bulb: return drawBulb;
    case Glyph::Play: return drawPlay;
    case Glyph::Chat: return drawChat;
    case Glyph::Brush: return drawBrush;
    case Glyph::Info: return drawInfo;
    case Glyph::Power: return drawPower;
    case Glyph::Check: return drawCheck;
    case Glyph::Cross: return drawCross;
    case Glyph::Trophy: return drawTrophy;
    case Glyph::Sliders: return drawSliders;
    }
    return drawInfo;
}

} // namespace

void IconPainter::draw(QPainter& p, Glyph glyph, const QRectF& box, const QColor& colour)
{
    const qreal side = qMin(box.width(), box.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / 100.0, side / 100.0);
    drawerFor(glyph)(p, colour);
    p.restore();
}

} // namespace artwork
