#include "platform/ui/TextField.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/Path.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double kBorderInset = 7;
constexpr double kCornerRadius = 5;
constexpr QChar kSecureDot(0x2022);
const Color kPlaceholderColor = Color::fromWhite(0.7);
const Color kCaretColor = Color::fromRGB(0x4A7BD0);

QString withoutLineBreaks(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

} // namespace

std::shared_ptr<TextField> TextField::create(const Rect& frame)
{
    return std::shared_ptr<TextField>(new TextField(frame));
}

TextField::TextField(const Rect& frame)
    : Control(frame)
{
    setOpaque(false);
}

void TextField::setText(const QString& text)
{
    m_text = text;
    setNeedsDisplay();
}

void TextField::setPlaceholder(const QString& placeholder)
{
    m_placeholder = placeholder;
    setNeedsDisplay();
}

void TextField::setSecureTextEntry(bool secure)
{
    m_secure = secure;
    setNeedsDisplay();
}

void TextField::setBorderStyle(TextBorderStyle style)
{
    m_borderStyle = style;
    setNeedsDisplay();
}

void TextField::setFont(const Font& font)
{
    m_font = font;
    setNeedsDisplay();
}

void TextField::setTextColor(const Color& color)
{
    m_textColor = color;
    setNeedsDisplay();
}

void TextField::setTextAlignment(TextAlignment alignment)
{
    m_alignment = alignment;
    setNeedsDisplay();
}

QString TextField::displayedText() const
{
    if (!m_secure)
        return m_text;
    return QString(m_text.toUcs4().size(), kSecureDot);
}

bool TextField::canBecomeFirstResponder() const
{
    return isEnabled();
}

bool TextField::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder() || !window())
        return false;
    auto self = shared_from_this();
    if (auto d = delegate(); d && !d->textFieldShouldBeginEditing(*this))
        return false;
    if (!View::becomeFirstResponder())
        return false;
    m_editing = true;
    setNeedsDisplay();
    if (auto d = delegate())
        d->textFieldDidBeginEditing(*this);
    return true;
}

bool TextField::resignFirstResponder()
{
    if (!m_editing)
        return View::resignFirstResponder();
    auto self = shared_from_this();
    View::resignFirstResponder();
    endEditing();
    return true;
}

void TextField::didMoveToWindow()
{
    // A field taken out of its window can no longer receive keys: its editing ends there.
    if (m_editing && !window())
        endEditing();
}

void TextField::endEditing()
{
    auto self = shared_from_this();
    m_editing = false;
    setNeedsDisplay();
    if (auto d = delegate())
        d->textFieldDidEndEditing(*this);
}

void TextField::insertText(const QString& text)
{
    if (!m_editing)
        return;
    if (text == QLatin1String("\n")) {
        pressReturn();
        return;
    }
    const QString string = withoutLineBreaks(text);
    if (string.isEmpty())
        return;
    replace(TextRange::atEnd(m_text), string);
}

void TextField::deleteBackward()
{
    if (!m_editing || m_text.isEmpty())
        return;
    replace(TextRange::lastCharacter(m_text), QString());
}

void TextField::pressReturn()
{
    auto self = shared_from_this();
    auto d = delegate();
    if (d && !d->shouldChangeCharactersInRange(*this, TextRange::atEnd(m_text), QStringLiteral("\n")))
        return;
    // The delegate may have moved the focus on; a field that is no longer edited is done.
    if (!m_editing)
        return;
    if (d)
        d->textFieldShouldReturn(*this);
}

bool TextField::replace(TextRange range, const QString& string)
{
    auto self = shared_from_this();
    if (auto d = delegate(); d && !d->shouldChangeCharactersInRange(*this, range, string))
        return false;
    // The delegate may have set another text meanwhile; the edit applies to what is there.
    const int location = std::min(range.location, int(m_text.size()));
    const int length = std::min(range.length, int(m_text.size()) - location);
    m_text.replace(location, length, string);
    setNeedsDisplay();
    return true;
}

Rect TextField::textRect() const
{
    const double inset = m_borderStyle == TextBorderStyle::None ? 0 : kBorderInset;
    return bounds().insetBy(inset, 0);
}

double TextField::alignedX(const Rect& area, double width) const
{
    switch (m_alignment) {
    case TextAlignment::Center: return area.x() + (area.width() - width) / 2;
    case TextAlignment::Right: return area.maxX() - width;
    case TextAlignment::Left: break;
    }
    return area.x();
}

void TextField::drawBorder(DrawContext& context) const
{
    const Rect edge = bounds().insetBy(0.5, 0.5);
    context.setLineWidth(1);
    switch (m_borderStyle) {
    case TextBorderStyle::None: return;
    case TextBorderStyle::Line:
        context.setStrokeColor(Color::black());
        context.strokeRect(edge);
        return;
    case TextBorderStyle::Bezel:
        context.setStrokeColor(Color::gray());
        context.strokeRect(edge);
        return;
    case TextBorderStyle::RoundedRect: {
        const Path path = Path::roundedRect(edge, kCornerRadius);
        context.setFillColor(Color::white());
        context.fill(path);
        context.setStrokeColor(Color::fromWhite(0.75));
        context.stroke(path);
        return;
    }
    }
}

void TextField::draw(DrawContext& context)
{
    drawBorder(context);
    const Rect area = textRect();
    const bool showsPlaceholder = m_text.isEmpty();
    const QString shown = showsPlaceholder ? m_placeholder : displayedText();
    const double width = m_font.widthOfText(shown);
    double x = alignedX(area, width);
    // While editing, a text longer than the field shows its end, where the caret is.
    if (m_editing && !showsPlaceholder && width > area.width())
        x = area.maxX() - width;
    const double y = area.y() + (area.height() - m_font.lineHeight()) / 2;

    context.saveState();
    context.clipToRect(area);
    if (!shown.isEmpty())
        context.drawText(shown, Point(x, y), m_font, showsPlaceholder ? kPlaceholderColor : m_textColor);
    if (m_editing) {
        const double caretX = showsPlaceholder ? alignedX(area, 0) : x + width;
        context.setFillColor(kCaretColor);
        context.fillRect(Rect(caretX, y, 1.5, m_font.lineHeight()));
    }
    context.restoreState();
}

void TextField::touchesEnded(const TouchSet& touches, const Event& event)
{
    const bool tapped = isTracking() && !touches.empty() && bounds().contains(touches.front()->locationInView(this));
    auto self = shared_from_this();
    Control::touchesEnded(touches, event);
    if (tapped)
        becomeFirstResponder();
}

} // namespace ui
