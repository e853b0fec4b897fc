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
    : TextProperties(frame, Font::systemFont(17))
    , m_editor(*this, m_text,
               {[this] {
                    auto d = delegate();
                    return !d || d->textFieldShouldBeginEditing(*this);
                },
                [this] {
                    if (auto d = delegate())
                        d->textFieldDidBeginEditing(*this);
                },
                [this] {
                    if (auto d = delegate())
                        d->textFieldDidEndEditing(*this);
                },
                [this](TextRange range, const QString& string) {
                    auto d = delegate();
                    return !d || d->shouldChangeCharactersInRange(*this, range, string);
                }})
{
    setOpaque(false);
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
    return m_editor.becomeFirstResponder();
}

bool TextField::resignFirstResponder()
{
    return m_editor.resignFirstResponder();
}

void TextField::didMoveToWindow()
{
    m_editor.didMoveToWindow();
}

void TextField::insertText(const QString& text)
{
    if (!isEditing())
        return;
    if (text == QLatin1String("\n")) {
        pressReturn();
        return;
    }
    const QString string = withoutLineBreaks(text);
    if (string.isEmpty())
        return;
    m_editor.replace(TextRange::atEnd(m_text), string);
}

void TextField::deleteBackward()
{
    m_editor.deleteBackward();
}

void TextField::pressReturn()
{
    auto self = shared_from_this();
    auto d = delegate();
    if (d && !d->shouldChangeCharactersInRange(*this, TextRange::atEnd(m_text), QStringLiteral("\n")))
        return;
    // The delegate may have moved the focus on; a field that is no longer edited is done.
    if (!isEditing())
        return;
    if (d)
        d->textFieldShouldReturn(*this);
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
    const double x = textX(area, shown, showsPlaceholder);
    const double y = area.y() + (area.height() - m_font.lineHeight()) / 2;

    context.saveState();
    context.clipToRect(area);
    if (!shown.isEmpty())
        context.drawText(shown, Point(x, y), m_font, showsPlaceholder ? kPlaceholderColor : m_textColor);
    if (isEditing()) {
        context.setFillColor(kCaretColor);
        context.fillRect(caretRect());
    }
    context.restoreState();
}

double TextField::textX(const Rect& area, const QString& shown, bool showsPlaceholder) const
{
    const double width = m_font.widthOfText(shown);
    // While editing, a text longer than the field shows its end, where the caret is.
    if (isEditing() && !showsPlaceholder && width > area.width())
        return area.maxX() - width;
    return alignedX(area, width);
}

Rect TextField::caretRect() const
{
    const Rect area = textRect();
    const double y = area.y() + (area.height() - m_font.lineHeight()) / 2;
    const QString shown = displayedText();
    const double x = shown.isEmpty() ? alignedX(area, 0) : textX(area, shown, false) + m_font.widthOfText(shown);
    return Rect(x, y, 1.5, m_font.lineHeight());
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
