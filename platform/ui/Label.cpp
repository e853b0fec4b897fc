#include "platform/ui/Label.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/TextLayout.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace ui {

namespace {

Qt::TextElideMode elideModeFor(LineBreakMode mode)
{
    switch (mode) {
    case LineBreakMode::TruncateHead:
        return Qt::ElideLeft;
    case LineBreakMode::TruncateMiddle:
        return Qt::ElideMiddle;
    case LineBreakMode::TruncateTail:
        return Qt::ElideRight;
    default:
        return Qt::ElideNone;
    }
}

} // namespace

std::shared_ptr<Label> Label::create(const Rect& frame)
{
    return std::shared_ptr<Label>(new Label(frame));
}

Label::Label(const Rect& frame)
    : TextProperties(frame, Font::systemFont(17))
{
    setUserInteractionEnabled(false);
    setOpaque(false);
}

void Label::setLineBreakMode(LineBreakMode mode)
{
    m_lineBreakMode = mode;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(0, lines);
    setNeedsDisplay();
}

std::vector<Label::Line> Label::layoutLines(double width, double maxHeight) const
{
    std::vector<Line> lines;
    if (m_text.isEmpty())
        return lines;

    const bool wraps = m_numberOfLines != 1;
    QString text = m_text;
    text.replace(QLatin1Char('\n'), wraps ? QChar(QChar::LineSeparator) : QLatin1Char(' '));

    const QPaintDevice* device = TextLayout::measuringDevice();
    QTextLayout layout(text, m_font.qfont(), const_cast<QPaintDevice*>(device));
    QTextOption option;
    if (!wraps)
        option.setWrapMode(QTextOption::NoWrap);
    else if (m_lineBreakMode == LineBreakMode::CharWrap)
        option.setWrapMode(QTextOption::WrapAnywhere);
    else
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);

    const double lineHeight = m_font.lineHeight();
    int maxLines = m_numberOfLines;
    const int fitting = std::max(1, static_cast<int>(std::floor(maxHeight / lineHeight + 1e-6)));
    if (maxLines == 0 || maxLines > fitting)
        maxLines = fitting;

    int lastStart = 0;
    bool cut = false;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        if (static_cast<int>(lines.size()) == maxLines) {
            cut = true;
            break;
        }
        line.setLineWidth(wraps ? width : 1e9);
        lastStart = line.textStart();
        lines.push_back({text.mid(line.textStart(), line.textLength()), line.naturalTextWidth()});
    }
    layout.endLayout();

    // The last line shows where the text goes on: the rest of the text, shortened to fit.
    const Qt::TextElideMode elide = elideModeFor(m_lineBreakMode);
    if (elide == Qt::ElideNone || lines.empty())
        return lines;
    QFontMetricsF metrics(m_font.qfont(), const_cast<QPaintDevice*>(device));
    Line& last = lines.back();
    if (!cut && last.width <= width)
        return lines;
    QString rest = text.mid(lastStart);
    rest.replace(QChar(QChar::LineSeparator), QLatin1Char(' '));
    last.text = metrics.elidedText(rest, elide, width);
    last.width = metrics.horizontalAdvance(last.text);
    return lines;
}

QStringList Label::visibleLines() const
{
    QStringList out;
    for (const auto& line : layoutLines(bounds().width(), bounds().height()))
        out << line.text.trimmed();
    return out;
}

Size Label::sizeThatFits(const Size& size) const
{
    const double width = size.width > 0 ? size.width : 1e9;
    const auto lines = layoutLines(width, 1e9);
    double w = 0;
    for (const auto& line : lines)
        w = std::max(w, line.width);
    return {std::ceil(w), std::ceil(lines.size() * m_font.lineHeight())};
}

void Label::draw(DrawContext& context)
{
    const Rect b = bounds();
    const auto lines = layoutLines(b.width(), b.height());
    if (lines.empty())
        return;
    const double lineHeight = m_font.lineHeight();
    context.clipToRect(b);
    double y = b.y() + (b.height() - lines.size() * lineHeight) / 2;
    for (const auto& line : lines) {
        double x = b.x();
        if (m_alignment == TextAlignment::Center)
            x += (b.width() - line.width) / 2;
        else if (m_alignment == TextAlignment::Right)
            x += b.width() - line.width;
        context.drawText(line.text, Point(x, y), m_font, m_textColor);
        y += lineHeight;
    }
}

QString Label::accessibilityLabel() const
{
    const QString own = View::accessibilityLabel();
    return own.isEmpty() ? text() : own;
}

} // namespace ui
