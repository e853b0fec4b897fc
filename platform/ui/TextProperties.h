#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/TextAlignment.h"

#include <QString>

namespace ui {

// The text, font, colour and alignment that a label, a text field and a text view share, on
// top of the view class each one extends. Every change redraws the view: its look depends on
// nothing else.
template <typename Base>
class TextProperties : public Base {
public:
    QString text() const { return m_text; }
    void setText(const QString& text)
    {
        if (m_text == text)
            return;
        m_text = text;
        this->setNeedsDisplay();
        didSetText();
    }
    Font font() const { return m_font; }
    void setFont(const Font& font)
    {
        m_font = font;
        this->setNeedsDisplay();
    }
    Color textColor() const { return m_textColor; }
    void setTextColor(const Color& color)
    {
        m_textColor = color;
        this->setNeedsDisplay();
    }
    TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(TextAlignment alignment)
    {
        m_alignment = alignment;
        this->setNeedsDisplay();
    }

protected:
    TextProperties(const Rect& frame, const Font& font)
        : Base(frame)
        , m_font(font)
    {
    }

    // After the text was set from code (an editor moves its caret).
    virtual void didSetText() {}

    // Edits typed into a text field or view change the text in place.
    QString m_text;
    Font m_font;
    Color m_textColor = Color::black();
    TextAlignment m_alignment = TextAlignment::Left;
};

} // namespace ui
