#include "resources/artwork/ButtonArt.h"

#include "resources/artwork/ArtworkRecipes.h"
#include "resources/artwork/DrawKit.h"
#include "resources/artwork/IconPainter.h"
#include "resources/artwork/Palette.h"

#include <QPainter>
#include <QPainterPath>

#include <optional>

namespace artwork {

namespace {

// A push button that carries its own caption.
ArtworkRecipes::Recipe pushButton(const QString& text, const QColor& colour)
{
    return [text, colour](QPainter& p, const QRectF& r) {
        DrawKit::buttonFace(p, r, colour);
        const QRectF face = r.adjusted(10, 2, -10, -5);
        DrawKit::caption(p, face, text, palette::paper, face.height() * 0.48);
    };
}

// A lighter, outlined button for secondary actions.
ArtworkRecipes::Recipe outlineButton(const QString& text, const QColor& colour, std::optional<Glyph> glyph = {})
{
    return [text, colour, glyph](QPainter& p, const QRectF& r) {
        const QRectF face = r.adjusted(3, 3, -3, -6);
        const qreal radius = face.height() / 2;
        DrawKit::shadow(p, face, radius, 3);
        DrawKit::panel(p, face, radius, palette::paper, QColor(0xF2, 0xF8, 0xFC), colour);
        QRectF textRect = face.adjusted(8, 0, -8, 0);
        if (glyph) {
            const qreal icon = face.height() * 0.5;
            IconPainter::draw(p, *glyph, QRectF(face.left() + 10, face.center().y() - icon / 2, icon, icon), colour);
            textRect.setLeft(face.left() + 14 + icon);
        }
        DrawKit::caption(p, textRect, text, colour, face.height() * 0.46);
    };
}

// Home screen tiles: a coloured rounded square with a white pictogram; the caption is a
// label under the tile.
ArtworkRecipes::Recipe homeTile(Glyph glyph, const QColor& colour)
{
    return [glyph, colour](QPainter& p, const QRectF& r) {
        const QRectF tile = r.adjusted(5, 3, -5, -7);
        DrawKit::shadow(p, tile, 22, 6);
        DrawKit::panel(p, tile, 22, colour.lighter(125), colour.darker(108));
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawEllipse(QPointF(tile.left() + tile.width() * 0.25, tile.top() + tile.height() * 0.2),
                      tile.width() * 0.45, tile.height() * 0.3);
        p.restore();
        IconPainter::draw(p, glyph, tile.adjusted(20, 20, -20, -20), palette::paper);
    };
}

// Toolbar buttons of the practice screen: pictogram over a short caption.
ArtworkRecipes::Recipe toolbarButton(Glyph glyph, const QString& text, const QColor& colour)
{
    return [glyph, text, colour](QPainter& p, const QRectF& r) {
        const QRectF plate = r.adjusted(2, 2, -2, -3);
        DrawKit::shadow(p, plate, 12, 3);
        DrawKit::panel(p, plate, 12, QColor(255, 255, 255, 245), QColor(0xEE, 0xF7, 0xFC, 245));
        const qreal icon = plate.height() * 0.5;
        IconPainter::draw(p, glyph, QRectF(plate.center().x() - icon / 2, plate.top() + 4, icon, icon), colour);
        DrawKit::caption(p, QRectF(plate.left() + 1, plate.top() + icon + 5, plate.width() - 2, plate.height() - icon - 6),
                         text, palette::ink, 18);
    };
}

void paintBackButton(QPainter& p, const QRectF& r)
{
    const QRectF disc = r.adjusted(4, 3, -4, -5);
    DrawKit::shadow(p, disc, disc.width() / 2, 4);
    p.save();
    p.setPen(QPen(palette::line, 2));
    p.setBrush(palette::paper);
    p.drawEllipse(disc);
    p.restore();
    IconPainter::draw(p, Glyph::Back, disc.adjusted(10, 10, -10, -10), palette::primary);
}

enum class RowShape { Single, Top, Bottom };

// A row of a stacked menu; rows that touch share their rounded outline.
ArtworkRecipes::Recipe menuRow(Glyph glyph, const QString& text, const QColor& colour, RowShape shape)
{
    return [glyph, text, colour, shape](QPainter& p, const QRectF& r) {
        const QRectF row = r.adjusted(2, shape == RowShape::Bottom ? 0 : 2, -2, shape == RowShape::Top ? 0 : -3);
        QPainterPath outline;
        outline.addRoundedRect(row, 16, 16);
        QPainterPath square;
        if (shape == RowShape::Top)
            square.addRect(row.adjusted(0, row.height() / 2, 0, 0));
        if (shape == RowShape::Bottom)
            square.addRect(row.adjusted(0, 0, 0, -row.height() / 2));
        outline = outline.united(square);
        p.save();
        QLinearGradient fill(row.topLeft(), row.bottomLeft());
        fill.setColorAt(0, palette::paper);
        fill.setColorAt(1, QColor(0xF4, 0xF9, 0xFD));
        p.setPen(QPen(palette::line, 2));
        p.setBrush(fill);
        p.drawPath(outline);
        p.restore();
        const qreal disc = row.height() * 0.62;
        const QRectF badge(row.left() + 18, row.center().y() - disc / 2, disc, disc);
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(badge);
        p.restore();
        IconPainter::draw(p, glyph, badge.adjusted(disc * 0.2, disc * 0.2, -disc * 0.2, -disc * 0.2), palette::paper);
        DrawKit::caption(p, QRectF(badge.right() + 16, row.top(), row.width() * 0.6, row.height()), text, palette::ink,
                         row.height() * 0.4, Qt::AlignLeft | Qt::AlignVCenter);
        DrawKit::chevron(p, QPointF(row.right() - 28, row.center().y()), row.height() * 0.3, palette::inkSoft);
    };
}

ArtworkRecipes::Recipe signOutButton()
{
    return [](QPainter& p, const QRectF& r) {
        DrawKit::buttonFace(p, r, palette::wrong);
        const QRectF face = r.adjusted(3, 2, -3, -5);
        const qreal icon = face.height() * 0.5;
        const QString text = QStringLiteral("退出登录");
        const QRectF textRect(face.center().x() - face.width() * 0.2, face.top(), face.width() * 0.5, face.height());
        IconPainter::draw(p, Glyph::Power, QRectF(textRect.left() - icon - 12, face.center().y() - icon / 2, icon, icon),
                          palette::paper);
        DrawKit::caption(p, textRect, text, palette::paper, face.height() * 0.46, Qt::AlignLeft | Qt::AlignVCenter);
    };
}

} // namespace

void ButtonArt::addTo(ArtworkRecipes& recipes)
{
    recipes.add(QStringLiteral("back_btn"), paintBackButton);

    recipes.add(QStringLiteral("select_btn_01"), homeTile(Glyph::Books, QColor(0x3C, 0x9A, 0xE0)));
    recipes.add(QStringLiteral("main_login_btn01"), homeTile(Glyph::Person, QColor(0x4D, 0xB3, 0x8C)));
    recipes.add(QStringLiteral("main_regster_btn01"), homeTile(Glyph::Notebook, QColor(0xF0, 0x9A, 0x3E)));
    recipes.add(QStringLiteral("systemset_btn_01"), homeTile(Glyph::Gear, QColor(0x6E, 0x7F, 0x95)));
    recipes.add(QStringLiteral("zx_btn_01"), homeTile(Glyph::Target, QColor(0x2F, 0xB3, 0xC7)));
    recipes.add(QStringLiteral("csj_btn_01"), homeTile(Glyph::Stopwatch, QColor(0x8A, 0x6F, 0xD8)));
    recipes.add(QStringLiteral("zt_btn_01"), homeTile(Glyph::Paper, QColor(0x3F, 0x7F, 0xD9)));
    recipes.add(QStringLiteral("ct_btn_01"), homeTile(Glyph::Star, QColor(0xE3, 0x67, 0x6B)));

    recipes.add(QStringLiteral("keep"), toolbarButton(Glyph::Star, QStringLiteral("收藏"), palette::warm));
    recipes.add(QStringLiteral("delerror"), toolbarButton(Glyph::Trash, QStringLiteral("删除"), palette::wrong));
    recipes.add(QStringLiteral("answer_card"), toolbarButton(Glyph::Grid, QStringLiteral("答题卡"), palette::primary));
    recipes.add(QStringLiteral("open_analyze"), toolbarButton(Glyph::Bulb, QStringLiteral("解析"), palette::success));

    recipes.add(QStringLiteral("loginbtn"), pushButton(QStringLiteral("登　录"), palette::primary));
    recipes.add(QStringLiteral("login_regster"), outlineButton(QStringLiteral("注册新用户"), palette::primary));
    recipes.add(QStringLiteral("registerbtn"), pushButton(QStringLiteral("立即注册"), palette::success));
    recipes.add(QStringLiteral("feedback_submit"), pushButton(QStringLiteral("提　交"), palette::primary));
    recipes.add(QStringLiteral("answer_finish_btn"), pushButton(QStringLiteral("交　卷"), palette::warm));
    recipes.add(QStringLiteral("look_error_analyze"), pushButton(QStringLiteral("查看错题解析"), palette::wrong));
    recipes.add(QStringLiteral("look_all_analyze"), pushButton(QStringLiteral("查看全部解析"), palette::primary));
    recipes.add(QStringLiteral("celarall"), outlineButton(QStringLiteral("清空"), palette::wrong, Glyph::Trash));

    recipes.add(QStringLiteral("accountInfobtn"), menuRow(Glyph::Person, QStringLiteral("账号信息"), palette::primary, RowShape::Top));
    recipes.add(QStringLiteral("noticebtn"), menuRow(Glyph::Sliders, QStringLiteral("试题设置"), palette::success, RowShape::Bottom));
    recipes.add(QStringLiteral("style_btn"), menuRow(Glyph::Brush, QStringLiteral("风格设置"), palette::violet, RowShape::Single));
    recipes.add(QStringLiteral("FeedbackandScorebtn"), menuRow(Glyph::Chat, QStringLiteral("反馈与评分"), palette::warm, RowShape::Single));
    recipes.add(QStringLiteral("feedbtn"), menuRow(Glyph::Chat, QStringLiteral("用户反馈"), palette::primary, RowShape::Top));
    recipes.add(QStringLiteral("feed_02"), menuRow(Glyph::Star, QStringLiteral("给我们评分"), palette::warm, RowShape::Bottom));
    recipes.add(QStringLiteral("login_out"), signOutButton());
}

} // namespace artwork
