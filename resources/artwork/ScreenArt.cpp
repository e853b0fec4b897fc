#include "resources/artwork/ScreenArt.h"

#include "resources/artwork/ArtworkRecipes.h"
#include "resources/artwork/DrawKit.h"
#include "resources/artwork/IconPainter.h"
#include "resources/artwork/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

// The top seventh of every modal screen is its title band.
constexpr qreal bandHeight = 854.0 / 7.0;

// Layered scenery draws one colour at growing strengths, far to near.
QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

void paintAllBg(QPainter& p, const QRectF& r)
{
    DrawKit::verticalGradient(p, r, QColor(0xF7, 0xFB, 0xFE), QColor(0xE3, 0xF0, 0xF8));
    const QRectF band(r.left(), r.top(), r.width(), bandHeight);
    DrawKit::verticalGradient(p, band, QColor(0xD2, 0xED, 0xFB), QColor(0xB3, 0xE0, 0xF6));
    p.fillRect(QRectF(band.left(), band.bottom() - 3, band.width(), 3), QColor(255, 255, 255, 170));
    DrawKit::softCircle(p, QPointF(r.width() * 0.92, bandHeight * 0.2), 90, QColor(255, 255, 255, 90));
    DrawKit::softCircle(p, QPointF(r.width() * 0.85, r.height() * 0.9), 160, QColor(0x6F, 0xD7, 0xFD, 40));
    DrawKit::softCircle(p, QPointF(r.width() * 0.1, r.height() * 0.75), 110, QColor(0x6F, 0xD7, 0xFD, 28));
}

struct HomeTheme {
    QColor top;
    QColor bottom;
    QColor decor;
};

void paintClouds(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (const QPointF& c : {QPointF(0.2, 0.28), QPointF(0.78, 0.4), QPointF(0.45, 0.52)}) {
        const QPointF centre(r.width() * c.x(), r.height() * c.y());
        p.drawEllipse(centre, 60, 22);
        p.drawEllipse(centre + QPointF(-30, 6), 38, 18);
        p.drawEllipse(centre + QPointF(28, -10), 34, 24);
    }
    p.restore();
}

void paintWaves(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(withAlpha(colour, 50 + i * 25));
        const qreal y = r.height() * (0.48 + i * 0.08);
        QPainterPath wave;
        wave.moveTo(0, y);
        wave.cubicTo(r.width() * 0.3, y - 40, r.width() * 0.6, y + 40, r.width(), y - 10);
        wave.lineTo(r.width(), y + 70);
        wave.cubicTo(r.width() * 0.6, y + 110, r.width() * 0.3, y + 30, 0, y + 70);
        wave.closeSubpath();
        p.drawPath(wave);
    }
    p.restore();
}

void paintHills(QPainter& p, const QRectF& r, const QColor& colour)
{
    DrawKit::softCircle(p, QPointF(r.width() * 0.75, r.height() * 0.3), 110, QColor(255, 240, 200, 200));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 226, 170));
    p.drawEllipse(QPointF(r.width() * 0.75, r.height() * 0.3), 48, 48);
    for (int i = 0; i < 2; ++i) {
        p.setBrush(withAlpha(colour, 70 + i * 40));
        const qreal y = r.height() * (0.5 + i * 0.07);
        QPainterPath hill;
        hill.moveTo(0, y + 40);
        hill.quadTo(r.width() * (0.25 + i * 0.4), y - 60, r.width(), y + 30);
        hill.lineTo(r.width(), r.height());
        hill.lineTo(0, r.height());
        hill.closeSubpath();
        p.drawPath(hill);
    }
    p.restore();
}

void paintStars(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const QPointF spots[] = {{0.1, 0.08}, {0.3, 0.16}, {0.55, 0.06}, {0.82, 0.14}, {0.92, 0.32},
                             {0.15, 0.36}, {0.68, 0.3},  {0.4, 0.42}, {0.86, 0.5},  {0.06, 0.55}};
    int i = 0;
    for (const QPointF& s : spots) {
        const qreal radius = 2.5 + (i++ % 3) * 1.5;
        p.drawEllipse(QPointF(r.width() * s.x(), r.height() * s.y()), radius, radius);
    }
    p.restore();
    DrawKit::softCircle(p, QPointF(r.width() * 0.2, r.height() * 0.22), 70, QColor(255, 255, 255, 120));
}

void paintHome(QPainter& p, const QRectF& r, const HomeTheme& theme, int style)
{
    DrawKit::verticalGradient(p, r, theme.top, theme.bottom);
    switch (style) {
    case 1: paintClouds(p, r, QColor(255, 255, 255, 150)); break;
    case 2: paintWaves(p, r, theme.decor); break;
    case 3: paintHills(p, r, theme.decor); break;
    default: paintStars(p, r, theme.decor); break;
    }
    // The lower third carries the buttons and their dark captions: keep it calm and light.
    QLinearGradient veil(0, r.height() * 0.6, 0, r.height());
    veil.setColorAt(0, QColor(255, 255, 255, 0));
    veil.setColorAt(1, QColor(255, 255, 255, 170));
    p.fillRect(QRectF(0, r.height() * 0.6, r.width(), r.height() * 0.4), veil);
}

// The login screen is one picture cut into five bands; each band paints the whole picture
// shifted so that the slices join without seams.
constexpr qreal loginFormTop = 362;

void paintLoginForm(QPainter& p, const QRectF& card)
{
    DrawKit::shadow(p, card, 16, 6);
    DrawKit::panel(p, card, 16, palette::paper, QColor(0xF7, 0xFB, 0xFE), palette::line);
    const qreal row = card.height() / 2;
    // The text boxes start a fifth of the form in: the icon column's divider ends a few
    // pixels before, so no box stands on it at any scale.
    const qreal iconColumn = card.width() / 5 - 8;
    p.setPen(QPen(palette::line, 2));
    p.drawLine(QPointF(card.left() + 16, card.top() + row), QPointF(card.right() - 16, card.top() + row));
    p.drawLine(QPointF(card.left() + iconColumn, card.top() + 14),
               QPointF(card.left() + iconColumn, card.bottom() - 14));
    const qreal icon = qMin(iconColumn, row) * 0.5;
    const Glyph glyphs[] = {Glyph::Person, Glyph::Lock};
    for (int i = 0; i < 2; ++i) {
        const QPointF centre(card.left() + iconColumn / 2, card.top() + row * i + row / 2);
        IconPainter::draw(p, glyphs[i], QRectF(centre.x() - icon / 2, centre.y() - icon / 2, icon, icon),
                          palette::primary);
    }
}

void paintLoginPicture(QPainter& p, const QRectF& r)
{
    DrawKit::verticalGradient(p, QRectF(0, 0, r.width(), 352), QColor(0x3E, 0x9E, 0xE2), QColor(0x9E, 0xD9, 0xF6));
    DrawKit::verticalGradient(p, QRectF(0, 352, r.width(), r.height() - 352), QColor(0xEA, 0xF6, 0xFC),
                              QColor(0xF7, 0xFB, 0xFE));
    DrawKit::softCircle(p, QPointF(400, 70), 120, QColor(255, 255, 255, 70));
    DrawKit::softCircle(p, QPointF(60, 250), 90, QColor(255, 255, 255, 60));
    QPainterPath wave;
    wave.moveTo(0, 318);
    wave.cubicTo(140, 362, 320, 290, 480, 336);
    wave.lineTo(480, 352);
    wave.lineTo(0, 352);
    wave.closeSubpath();
    p.fillPath(wave, QColor(0xEA, 0xF6, 0xFC));
    // Greeting and avatar in the second band.
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QPointF(240, 180), 44, 44);
    p.restore();
    IconPainter::draw(p, Glyph::Person, QRectF(212, 152, 56, 56), palette::primary);
    DrawKit::caption(p, QRectF(0, 234, r.width(), 44), QStringLiteral("欢迎登录"), palette::primaryDark, 34);
    DrawKit::caption(p, QRectF(0, 232, r.width(), 44), QStringLiteral("欢迎登录"), palette::paper, 34);
    paintLoginForm(p, QRectF(20, loginFormTop, 440, 176));
    DrawKit::softCircle(p, QPointF(420, 780), 140, QColor(0x6F, 0xD7, 0xFD, 36));
}

ArtworkRecipes::Recipe loginBand(qreal top)
{
    return [top](QPainter& p, const QRectF& r) {
        p.save();
        p.translate(0, -top);
        paintLoginPicture(p, QRectF(0, 0, r.width(), 854));
        p.restore();
    };
}

void paintLogo(QPainter& p, const QRectF& r)
{
    const QRectF mark(r.left() + 8, r.top() + 8, r.height() - 16, r.height() - 16);
    DrawKit::shadow(p, mark, mark.height() / 2, 5);
    p.save();
    QLinearGradient fill(mark.topLeft(), mark.bottomRight());
    fill.setColorAt(0, palette::accent);
    fill.setColorAt(1, palette::primary);
    p.setPen(QPen(palette::paper, 4));
    p.setBrush(fill);
    p.drawEllipse(mark.adjusted(2, 2, -2, -2));
    p.restore();
    IconPainter::draw(p, Glyph::Books, mark.adjusted(24, 22, -24, -26), palette::paper);
    const QRectF words(mark.right() + 10, r.top() + 14, r.right() - mark.right() - 14, r.height() * 0.5);
    DrawKit::caption(p, words, QStringLiteral("Quarnivelo"), palette::primaryDark, 44, Qt::AlignLeft | Qt::AlignVCenter);
    const QRectF line(words.left(), words.bottom(), words.width(), r.height() * 0.32);
    DrawKit::caption(p, line, QStringLiteral("题库 · 练习"), palette::ink, 26, Qt::AlignLeft | Qt::AlignVCenter);
}

void paintTitleStrip(QPainter& p, const QRectF& r)
{
    DrawKit::verticalGradient(p, r, QColor(0xF4, 0xFA, 0xFE), QColor(0xDD, 0xEF, 0xFA));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 2), QColor(255, 255, 255));
    p.fillRect(QRectF(r.left(), r.top() + 14, 8, r.height() - 28), palette::primary);
    p.fillRect(QRectF(r.left(), r.bottom() - 3, r.width(), 3), QColor(0xA9, 0xD4, 0xEF));
}

void paintReportBanner(QPainter& p, const QRectF& r)
{
    const QRectF card = r.adjusted(8, 8, -8, -8);
    DrawKit::shadow(p, card, 14, 4);
    DrawKit::panel(p, card, 14, QColor(0xF6, 0xFB, 0xFE), QColor(0xDC, 0xEF, 0xFA), QColor(0xA9, 0xD4, 0xEF));
    p.fillRect(QRectF(card.left() + 2, card.top() + 16, 8, card.height() - 32), palette::primary);
    DrawKit::softCircle(p, QPointF(card.right() - 40, card.center().y()), 50, QColor(0x6F, 0xD7, 0xFD, 60));
}

} // namespace

void ScreenArt::addTo(ArtworkRecipes& recipes)
{
    recipes.add(QStringLiteral("allBg"), paintAllBg);
    const HomeTheme themes[] = {
        {QColor(0x8C, 0xD1, 0xF6), QColor(0xF3, 0xFA, 0xFE), QColor(255, 255, 255)},
        {QColor(0x96, 0xE0, 0xC4), QColor(0xF3, 0xFB, 0xF7), QColor(0x5F, 0xC8, 0xA0)},
        {QColor(0xFF, 0xC4, 0x9C), QColor(0xFF, 0xF6, 0xEE), QColor(0xF6, 0xA8, 0x7A)},
        {QColor(0xA9, 0x97, 0xE6), QColor(0xF6, 0xF3, 0xFD), QColor(255, 255, 255)},
    };
    for (int style = 1; style <= 4; ++style) {
        const HomeTheme theme = themes[style - 1];
        recipes.add(QStringLiteral("main_bg0%1").arg(style),
                    [theme, style](QPainter& p, const QRectF& r) { paintHome(p, r, theme, style); });
    }
    const qreal bandTops[] = {0, 122, 322, 362, 538};
    for (int band = 1; band <= 5; ++band)
        recipes.add(QStringLiteral("loginbg_0%1").arg(band), loginBand(bandTops[band - 1]));
    recipes.add(QStringLiteral("login_bg"), [](QPainter& p, const QRectF& r) { paintLoginForm(p, r.adjusted(4, 2, -4, -8)); });
    recipes.add(QStringLiteral("qvlogo"), paintLogo);
    recipes.add(QStringLiteral("exam_02"), paintTitleStrip);
    recipes.add(QStringLiteral("report_title"), paintReportBanner);
}

} // namespace artwork
