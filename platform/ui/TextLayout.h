#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"

#include <QString>
#include <QTextLayout>

class QPaintDevice;

namespace ui {

// Lays text out in lines the way Font measures it and DrawContext draws it, so a label sized
// by Font::sizeOfText shows exactly its text.
class TextLayout {
public:
    // lines: 1 sets one unwrapped line; otherwise wraps within maxWidth, at most `lines`
    // lines (0: no limit).
    TextLayout(const QString& text, const Font& font, double maxWidth, int lines);
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    Size size() const { return m_size; }   // exact, unrounded
    // Fonts are measured on a 72-dpi device, where one point is one unit of our geometry.
    static const QPaintDevice* measuringDevice();
    QTextLayout& layout() { return m_layout; }

private:
    QTextLayout m_layout;
    Size m_size;
};

} // namespace ui
