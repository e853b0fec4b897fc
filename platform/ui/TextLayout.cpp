#include "platform/ui/TextLayout.h"

#include <QImage>
#include <QTextOption>
#include <algorithm>

namespace ui {

const QPaintDevice* TextLayout::measuringDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        return image;
    }();
    return &device;
}

TextLayout::TextLayout(const QString& text, const Font& font, double maxWidth, int lines)
    : m_layout(text, font.qfont(), measuringDevice())
{
    QTextOption option;
    option.setWrapMode(lines == 1 ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    m_layout.setTextOption(option);
    m_layout.beginLayout();
    double y = 0;
    double width = 0;
    int count = 0;
    while (lines == 0 || count < lines) {
        QTextLine line = m_layout.createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        // An unwrapped line still needs a width to take its text.
        line.setLineWidth(lines == 1 ? 1e7 : std::max(0.0, maxWidth));
        line.setPosition(QPointF(0, y));
        y += line.height();
        width = std::max(width, line.naturalTextWidth());
        ++count;
    }
    m_layout.endLayout();
    m_size = {text.isEmpty() ? 0 : width, text.isEmpty() ? 0 : y};
}

} // namespace ui
