#pragma once

#include "platform/ui/Geometry.h"

#include <QFont>
#include <QString>

namespace ui {

// A font of a size in points. The interface text is Chinese, so every font falls back to
// the CJK family "WenQuanYi Micro Hei". Sizes are exact (fractional sizes are kept): fonts
// are measured and drawn on 72-dpi devices, where one point is one unit of our geometry.
class Font {
public:
    Font();   // the system font of size 17
    static Font systemFont(double size);
    static Font boldSystemFont(double size);

    double pointSize() const { return m_size; }
    bool isBold() const { return m_bold; }
    Font withSize(double size) const;

    // Metrics in points.
    double lineHeight() const;
    double ascender() const;
    double descender() const;   // negative, as on the phone
    // The size of text set in this font: on one line when lines is 1 (one-line text is never
    // wrapped, so maxWidth is ignored), otherwise wrapped at word or character boundaries
    // within maxWidth, with at most `lines` lines (0: no limit).
    // Widths and heights are rounded up to whole points, as the phone's labels measure.
    Size sizeOfText(const QString& text, double maxWidth = 1e9, int lines = 1) const;
    // Exact, unrounded one-line width.
    double widthOfText(const QString& text) const;

    // The Qt font; only valid for a 72-dpi paint device (see DrawContext).
    QFont qfont() const;

    bool operator==(const Font&) const = default;

private:
    Font(double size, bool bold) : m_size(size), m_bold(bold) {}
    double m_size = 17;
    bool m_bold = false;
};

} // namespace ui
