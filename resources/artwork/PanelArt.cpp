#include "resources/artwork/PanelArt.h"

#include "resources/artwork/ArtworkRecipes.h"
#include "resources/artwork/DrawKit.h"
#include "resources/artwork/IconPainter.h"
#include "resources/artwork/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

const QColor cardBottom(0xF6, 0xFA, 0xFD);

QRectF card(QPainter& p, const QRectF& r, qreal radius = 16)
{
    const QRectF face = r.adjusted(4, 2, -4, -8);
    DrawKit::shadow(p, face, radius, 6);
    DrawKit::panel(p, face, radius, palette::paper, cardBottom, palette::line);
    return face;
}

void divider(QPainter& p, qreal x1, qreal x2, qreal y)
{
    p.save();
    p.setPen(QPen(palette::line, 2));
    p.drawLine(QPointF(x1, y), QPointF(x2, y));
    p.restore();
}

// A card with a coloured header strip holding a caption; labels fill the body.
QRectF headedCard(QPainter& p, const QRectF& r, const QString& title, const QColor& colour, qreal headerHeight)
{
    const QRectF face = card(p, r);
    QPainterPath clip;
    clip.addRoundedRect(face.adjusted(1, 1, -1, -1), 15, 15);
    p.save();
    p.setClipPath(clip);
    DrawKit::verticalGradient(p, QRectF(face.left(), face.top(), face.width(), headerHeight), colour.lighter(115), colour);
    p.restore();
    DrawKit::caption(p, QRectF(face.left() + 10, face.top(), face.width() - 20, headerHeight), title, palette::paper,
                     headerHeight * 0.62);
    return face;
}

void paintRegisterForm(QPainter& p, const QRectF& r)
{
    // The screen places its fields below a header strip of 28 of this picture's pixels, one
    // per third of the rest, a box starting 30 % of the width in: each name is centred in its
    // row and ends well before the box.
    const qreal header = 28;
    const QRectF face = headedCard(p, r.adjusted(0, 0, 0, 6), QStringLiteral("填写注册信息"), palette::primary,
                                   header - 2);
    const qreal third = (r.height() - header) / 3;
    const QString labels[] = {QStringLiteral("账　号"), QStringLiteral("密　码"), QStringLiteral("确认密码")};
    for (int i = 0; i < 3; ++i) {
        const qreal top = r.top() + header + third * i;
        if (i > 0)
            divider(p, face.left() + 14, face.right() - 14, top);
        const qreal left = face.left() + 8;
        DrawKit::caption(p, QRectF(left, top, r.width() * 0.3 - 16 - left, third), labels[i], palette::ink, 28);
    }
}

void paintAccountPanel(QPainter& p, const QRectF& r)
{
    const QRectF face = card(p, r);
    for (int i = 1; i < 3; ++i)
        divider(p, face.left() + 14, face.right() - 14, r.top() + r.height() * i / 3);
    const qreal icon = r.height() / 3 - 24;
    IconPainter::draw(p, Glyph::Person, QRectF(face.right() - icon - 22, r.top() + r.height() * 2 / 3 + 10, icon, icon),
                      QColor(0x6F, 0xD7, 0xFD, 150));
}

void paintFeedbackFrame(QPainter& p, const QRectF& r)
{
    // The remark box shows through the clear text view over it, whose words stand 6 points in;
    // the contact field stands as far in, 15 points below the remark box and a fifth of the
    // height tall. Both boxes reach to 1 px of the picture's sides, so their borders stay left
    // of the texts at every scale.
    const QColor top(0xFB, 0xFD, 0xFF);
    const QColor bottom(0xF3, 0xF8, 0xFC);
    const QRectF remark(r.left() + 1, r.top() + 1, r.width() - 2, r.height() * 0.7 - 2);
    DrawKit::shadow(p, remark, 10, 3);
    DrawKit::panel(p, remark, 10, top, bottom, palette::line);
    const QRectF contact(r.left() + 1, r.top() + r.height() * 0.7 + 12, r.width() - 2, r.height() * 0.3 - 20);
    DrawKit::shadow(p, contact, 10, 3);
    DrawKit::panel(p, contact, 10, top, bottom, palette::line);
}

void paintVersionBand(QPainter& p, const QRectF& r)
{
    const QRectF face = r.adjusted(2, 2, -2, -4);
    DrawKit::panel(p, face, 14, QColor(0xE9, 0xF5, 0xFC), QColor(0xDB, 0xEE, 0xF9), palette::line);
    const qreal icon = face.height() * 0.55;
    IconPainter::draw(p, Glyph::Info, QRectF(face.right() - icon - 16, face.center().y() - icon / 2, icon, icon),
                      palette::primary);
}

ArtworkRecipes::Recipe scoreCard(const QString& title, const QColor& colour)
{
    return [title, colour](QPainter& p, const QRectF& r) { headedCard(p, r, title, colour, 36); };
}

void paintCountCard(QPainter& p, const QRectF& r)
{
    const QRectF face = card(p, r);
    const qreal half = r.width() / 2;
    p.save();
    p.setPen(QPen(palette::line, 2, Qt::DashLine));
    p.drawLine(QPointF(half, face.top() + 20), QPointF(half, face.bottom() - 20));
    p.restore();
    // The right half shows the number of questions below this caption.
    DrawKit::caption(p, QRectF(half + 10, face.top() + 14, half - 24, 40), QStringLiteral("题目总数"), palette::inkSoft, 30);
    const qreal disc = r.height() * 0.5;
    const QRectF badge(half / 2 - disc / 2, face.top() + 24, disc, disc);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xF1, 0xDC));
    p.drawEllipse(badge);
    p.restore();
    IconPainter::draw(p, Glyph::Trophy, badge.adjusted(disc * 0.2, disc * 0.2, -disc * 0.2, -disc * 0.2), palette::warm);
}

// A menu head of the dark subject panel; its caption is a white label over the right three
// quarters, so the pictogram stays in the left quarter.
ArtworkRecipes::Recipe menuHead(bool group)
{
    return [group](QPainter& p, const QRectF& r) {
        const QColor top = group ? QColor(0x33, 0x41, 0x54) : QColor(0x27, 0x31, 0x3F);
        DrawKit::verticalGradient(p, r, top, top.darker(115));
        p.fillRect(QRectF(r.left(), r.bottom() - 2, r.width(), 2), QColor(0x4A, 0x58, 0x6B));
        const qreal quarter = r.width() / 4;
        if (group) {
            const qreal icon = r.height() * 0.5;
            IconPainter::draw(p, Glyph::Books, QRectF(quarter / 2 - icon / 2, r.center().y() - icon / 2, icon, icon),
                              palette::accent);
            DrawKit::chevron(p, QPointF(r.right() - 18, r.center().y()), r.height() * 0.22, QColor(0x9F, 0xB2, 0xC6));
            return;
        }
        p.fillRect(QRectF(r.left(), r.top(), 6, r.height()), palette::primary);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(palette::accent);
        p.drawEllipse(QPointF(quarter * 0.62, r.center().y()), 7, 7);
        p.restore();
    };
}

// A list row that a name label covers on the left; the right end hints at what a tap does.
ArtworkRecipes::Recipe listRow(Glyph glyph, const QColor& colour, qreal inset)
{
    return [glyph, colour, inset](QPainter& p, const QRectF& r) {
        const QRectF face = r.adjusted(inset, 4, -inset, -6);
        DrawKit::shadow(p, face, 12, 3);
        DrawKit::panel(p, face, 12, palette::paper, cardBottom, palette::line);
        p.fillRect(QRectF(face.left() + 1, face.top() + 12, 5, face.height() - 24), colour);
        const qreal icon = face.height() * 0.42;
        IconPainter::draw(p, glyph, QRectF(face.right() - icon - 52, face.center().y() - icon / 2, icon, icon),
                          QColor(colour.red(), colour.green(), colour.blue(), 120));
        DrawKit::chevron(p, QPointF(face.right() - 20, face.center().y()), face.height() * 0.22, palette::inkSoft);
    };
}

// The two big buttons of the practice hub; a count label sits right-aligned at 7/8 width.
ArtworkRecipes::Recipe bookButton(Glyph glyph, const QString& text, const QColor& colour)
{
    return [glyph, text, colour](QPainter& p, const QRectF& r) {
        const QRectF face = r.adjusted(10, 8, -10, -10);
        DrawKit::shadow(p, face, 18, 5);
        DrawKit::panel(p, face, 18, palette::paper, cardBottom, palette::line);
        const qreal disc = face.height() * 0.56;
        const QRectF badge(face.left() + 24, face.center().y() - disc / 2, disc, disc);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(badge);
        p.restore();
        IconPainter::draw(p, glyph, badge.adjusted(disc * 0.22, disc * 0.22, -disc * 0.22, -disc * 0.22), palette::paper);
        DrawKit::caption(p, QRectF(badge.right() + 16, face.top(), 120, face.height()), text, palette::ink, 36,
                         Qt::AlignLeft | Qt::AlignVCenter);
        DrawKit::chevron(p, QPointF(r.width() * 7 / 8 + 28, face.center().y()), 22, palette::inkSoft);
    };
}

} // namespace

void PanelArt::addTo(ArtworkRecipes& recipes)
{
    recipes.add(QStringLiteral("register"), paintRegisterForm);
    recipes.add(QStringLiteral("accountbg"), paintAccountPanel);
    recipes.add(QStringLiteral("feedbg"), paintFeedbackFrame);
    recipes.add(QStringLiteral("versionbg"), paintVersionBand);
    recipes.add(QStringLiteral("defen_bg"), scoreCard(QStringLiteral("本次得分"), palette::wrong));
    recipes.add(QStringLiteral("countdao"), scoreCard(QStringLiteral("题目总数"), palette::primary));
    recipes.add(QStringLiteral("drill_cord_bg"), paintCountCard);
    recipes.add(QStringLiteral("subjectbtn_01"), menuHead(true));
    recipes.add(QStringLiteral("subjectbtn_02"), menuHead(false));
    // The paper's name label starts 10 points in: the stripe stays left of it.
    recipes.add(QStringLiteral("paper_bg"), listRow(Glyph::Paper, palette::primary, 2));
    recipes.add(QStringLiteral("exercise_record"), listRow(Glyph::Stopwatch, palette::violet, 8));
    recipes.add(QStringLiteral("drill_record_01"), bookButton(Glyph::Cross, QStringLiteral("错题本"), palette::wrong));
    recipes.add(QStringLiteral("drill_record_02"), bookButton(Glyph::Star, QStringLiteral("收藏本"), palette::warm));
}

} // namespace artwork
