#include "resources/artwork/OptionArt.h"

#include "resources/artwork/ArtworkRecipes.h"
#include "resources/artwork/DrawKit.h"
#include "resources/artwork/IconPainter.h"
#include "resources/artwork/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

enum class Look { Normal, Selected };

// Normal: a white face with a grey outline and dark text. Selected: filled with the accent
// colour, white text and a thicker ring, so the two states differ in more than hue.
void optionFace(QPainter& p, const QPainterPath& shape, Look look, const QColor& colour)
{
    p.save();
    if (look == Look::Selected) {
        p.setPen(QPen(colour.darker(125), 3));
        p.setBrush(colour);
    } else {
        p.setPen(QPen(palette::inkSoft, 2.5));
        p.setBrush(palette::paper);
    }
    p.drawPath(shape);
    p.restore();
}

QColor textColour(Look look)
{
    return look == Look::Selected ? palette::paper : palette::ink;
}

ArtworkRecipes::Recipe radioLetter(QChar letter, Look look)
{
    return [letter, look](QPainter& p, const QRectF& r) {
        QPainterPath disc;
        disc.addEllipse(r.adjusted(4, 4, -4, -4));
        optionFace(p, disc, look, palette::primary);
        DrawKit::caption(p, r, QString(letter), textColour(look), r.height() * 0.5);
    };
}

ArtworkRecipes::Recipe checkLetter(QChar letter, Look look)
{
    return [letter, look](QPainter& p, const QRectF& r) {
        QPainterPath box;
        box.addRoundedRect(r.adjusted(4, 4, -4, -4), 10, 10);
        optionFace(p, box, look, palette::success);
        // The selected look's tick takes the lower right corner; the letter moves aside.
        const QRectF letterBox = look == Look::Selected ? r.adjusted(0, 0, -8, -8) : r.adjusted(0, 0, 0, -2);
        DrawKit::caption(p, letterBox, QString(letter), textColour(look), r.height() * 0.5);
        if (look == Look::Selected) {
            const qreal tick = r.width() * 0.34;
            IconPainter::draw(p, Glyph::Check, QRectF(r.right() - tick - 4, r.bottom() - tick - 4, tick, tick), palette::paper);
        }
    };
}

ArtworkRecipes::Recipe judgement(bool right, Look look)
{
    return [right, look](QPainter& p, const QRectF& r) {
        const QColor colour = right ? palette::success : palette::wrong;
        const QRectF face = r.adjusted(3, 3, -3, -3);
        QPainterPath pill;
        pill.addRoundedRect(face, face.height() / 2, face.height() / 2);
        optionFace(p, pill, look, colour);
        const qreal icon = face.height() * 0.56;
        const QRectF iconBox(face.left() + face.height() * 0.4, face.center().y() - icon / 2, icon, icon);
        IconPainter::draw(p, right ? Glyph::Check : Glyph::Cross, iconBox, look == Look::Selected ? palette::paper : colour);
        DrawKit::caption(p, QRectF(iconBox.right() + 8, face.top(), face.right() - iconBox.right() - 24, face.height()),
                         right ? QStringLiteral("正确") : QStringLiteral("错误"), textColour(look), face.height() * 0.5);
    };
}

// A settings choice; choices stand side by side without gaps, so each keeps a small margin.
ArtworkRecipes::Recipe choice(const QString& text, qreal textSize, Look look)
{
    return [text, textSize, look](QPainter& p, const QRectF& r) {
        const QRectF face = r.adjusted(3, 3, -3, -3);
        QPainterPath shape;
        shape.addRoundedRect(face, 9, 9);
        optionFace(p, shape, look, palette::primary);
        DrawKit::caption(p, face, text, textColour(look), textSize);
    };
}

} // namespace

void OptionArt::addTo(ArtworkRecipes& recipes)
{
    for (char c = 'a'; c <= 'g'; ++c) {
        const QChar letter = QChar(c).toUpper();
        recipes.add(QStringLiteral("radio%1_01").arg(c), radioLetter(letter, Look::Normal));
        recipes.add(QStringLiteral("radio%1_02").arg(c), radioLetter(letter, Look::Selected));
        recipes.add(QStringLiteral("checkbox%1_01").arg(c), checkLetter(letter, Look::Normal));
        recipes.add(QStringLiteral("checkbox%1_02").arg(c), checkLetter(letter, Look::Selected));
    }
    // The true/false pair names its selected look "_1" and its normal look "_2".
    recipes.add(QStringLiteral("checkok_1"), judgement(true, Look::Selected));
    recipes.add(QStringLiteral("checkok_2"), judgement(true, Look::Normal));
    recipes.add(QStringLiteral("checkerror_1"), judgement(false, Look::Selected));
    recipes.add(QStringLiteral("checkerror_2"), judgement(false, Look::Normal));

    const struct {
        const char* name;
        QString text;
        qreal size;
    } choices[] = {
        {"fontsize_a", QStringLiteral("A"), 20},
        {"fontsize_b", QStringLiteral("A"), 29},
        {"fontsize_c", QStringLiteral("A"), 38},
        {"order_distill", QStringLiteral("顺序"), 30},
        {"rand_distill", QStringLiteral("随机"), 30},
        {"yes_btn", QStringLiteral("是"), 32},
        {"no_btn", QStringLiteral("否"), 32},
    };
    for (const auto& c : choices) {
        recipes.add(QLatin1String(c.name) + QStringLiteral("_01"), choice(c.text, c.size, Look::Normal));
        recipes.add(QLatin1String(c.name) + QStringLiteral("_02"), choice(c.text, c.size, Look::Selected));
    }
}

} // namespace artwork
