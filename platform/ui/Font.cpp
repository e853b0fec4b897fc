#include "platform/ui/Font.h"

#include "platform/ui/TextLayout.h"

#include <QFontMetricsF>
#include <cmath>

namespace ui {

Font::Font() = default;

Font Font::systemFont(double size)
{
    return Font(size, false);
}

Font Font::boldSystemFont(double size)
{
    return Font(size, true);
}

Font Font::withSize(double size) const
{
    return Font(size, m_bold);
}

QFont Font::qfont() const
{
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(m_size > 0 ? m_size : 0.1);
    f.setBold(m_bold);
    // Unhinted outlines measure the same at every scale, so layout does not depend on the
    // screen's scale.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double Font::lineHeight() const
{
    return QFontMetricsF(qfont(), TextLayout::measuringDevice()).lineSpacing();
}

double Font::ascender() const
{
    return QFontMetricsF(qfont(), TextLayout::measuringDevice()).ascent();
}

double Font::descender() const
{
    return -QFontMetricsF(qfont(), TextLayout::measuringDevice()).descent();
}

double Font::widthOfText(const QString& text) const
{
    return TextLayout(text, *this, 0, 1).size().width;
}

Size Font::sizeOfText(const QString& text, double maxWidth, int lines) const
{
    const Size exact = TextLayout(text, *this, maxWidth, lines).size();
    return {std::ceil(exact.width), std::ceil(exact.height)};
}

} // namespace ui
