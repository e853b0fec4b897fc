#include "platform/ui/TextField.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/EditingCommand.h"
#include "platform/ui/Path.h"
#include "platform/ui/TextFieldDelegate.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double kBorderInset = 7;
constexpr double kCornerRadius = 5;
constexpr double kCaretWidth = 1.5;
constexpr QChar kSecureDot(0x2022);
const Color kPlaceholderColor = Color::fromWhite(0.7);
const Color kCaretColor = Color::fromRGB(0x4A7BD0);
const Color kSelectionColor = Color::fromRGB(0x4A7BD0, 0.3);

// Offsets along the one line of a text: x of a caret position, and back.
class LineMeasure {
public:
    LineMeasure(const QString& text, const Font& font)
        : m_text(text, font, 0, 1)
    {
    }
    double x(int index) { return hasLine() ? m_text.layout().lineAt(0).cursorToX(index) : 0; }
    int index(double x, QTextLine::CursorPosition mode)
    {
        return hasLine() ? m_text.layout().lineAt(0).xToCursor(x, mode) : 0;
    }

private:
    bool hasLine() { return m_text.layout().lineCount() > 0; }
    TextLayout m_text;
};

} // namespace

std::shared_ptr<TextField> TextField::create(const Rect& frame)
{
    return std::shared_ptr<TextField>(new TextField(frame));
}

TextField::TextField(const Rect& frame)
    : TextProperties(frame, Font::systemFont(17))
    , m_editor(*this, m_text, TextEditing::LineBreaks::Dropped,
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
    m_editor.setSecure(secure);
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

QString TextField::shownText() const
{
    const QString composed = m_editor.buffer().composedText();
    return m_secure ? QString(composed.toUcs4().size(), kSecureDot) : composed;
}

int TextField::shownIndex(int position) const
{
    if (!m_secure)
        return position;
    return int(m_editor.buffer().composedText().left(position).toUcs4().size());
}

int TextField::positionOfShownIndex(int index) const
{
    if (!m_secure)
        return index;
    // One dot per character: step over a surrogate pair as one.
    const QString composed = m_editor.buffer().composedText();
    int position = 0;
    for (int dot = 0; dot < index && position < composed.size(); ++dot)
        position += composed.at(position).isHighSurrogate() && position + 1 < composed.size() ? 2 : 1;
    return position;
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

void TextField::didSetText()
{
    m_editor.textWasSet();
}

void TextField::insertText(const QString& text)
{
    if (!isEditing())
        return;
    if (text == QLatin1String("\n")) {
        pressReturn();
        return;
    }
    m_editor.insertText(text);
}

void TextField::deleteBackward()
{
    m_editor.deleteBackward();
}

bool TextField::performEditingCommand(EditingCommand command)
{
    switch (command) {
    case EditingCommand::MoveToLineStart: m_editor.moveCaret(0); break;
    case EditingCommand::MoveToLineEnd: m_editor.moveCaret(int(m_text.size())); break;
    case EditingCommand::SelectToLineStart: m_editor.moveCaret(0, TextBuffer::Extent::Extend); break;
    case EditingCommand::SelectToLineEnd: m_editor.moveCaret(int(m_text.size()), TextBuffer::Extent::Extend); break;
    default: return m_editor.perform(command);
    }
    return isEditing();
}

void TextField::setMarkedText(const QString& text)
{
    m_editor.setMarkedText(text);
}

void TextField::pressReturn()
{
    auto self = shared_from_this();
    auto d = delegate();
    if (d && !d->shouldChangeCharactersInRange(*this, selectedRange(), QStringLiteral("\n")))
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

double TextField::offsetOf(int position) const
{
    return LineMeasure(shownText(), m_font).x(shownIndex(position));
}

double TextField::textStartX() const
{
    const Rect area = textRect();
    const double width = m_font.widthOfText(shownText());
    if (!isEditing() || width <= area.width()) {
        m_scroll = 0;
        return alignedX(area, width);
    }
    const double caret = offsetOf(m_editor.buffer().composedCaret());
    m_scroll = TextEditing::scrolledToShow(m_scroll, caret, caret + kCaretWidth, area.width(), width + kCaretWidth);
    return area.x() - m_scroll;
}

int TextField::positionAt(const Point& point) const
{
    const double x = point.x - textStartX();
    return positionOfShownIndex(LineMeasure(shownText(), m_font).index(x, QTextLine::CursorBetweenCharacters));
}

int TextField::characterAt(const Point& point) const
{
    const double x = point.x - textStartX();
    return positionOfShownIndex(LineMeasure(shownText(), m_font).index(x, QTextLine::CursorOnCharacter));
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
    const QString shown = shownText();
    const double y = area.y() + (area.height() - m_font.lineHeight()) / 2;

    context.saveState();
    context.clipToRect(area);
    if (shown.isEmpty() && !m_placeholder.isEmpty()) {
        const double x = alignedX(area, m_font.widthOfText(m_placeholder));
        context.drawText(m_placeholder, Point(x, y), m_font, kPlaceholderColor);
    } else if (!shown.isEmpty()) {
        drawEditing(context, textStartX(), y);
    }
    if (m_editor.showsCaret()) {
        context.setFillColor(kCaretColor);
        context.fillRect(caretRect());
    }
    context.restoreState();
}

// The selection's highlight under the text, the composing text underlined over it.
void TextField::drawEditing(DrawContext& context, double x, double y) const
{
    const TextBuffer& buffer = m_editor.buffer();
    const QString shown = shownText();
    LineMeasure measure(shown, m_font);
    const TextRange selection = buffer.composedSelection();
    if (isEditing() && selection.length > 0) {
        const double from = measure.x(shownIndex(selection.location));
        const double to = measure.x(shownIndex(selection.location + selection.length));
        context.setFillColor(kSelectionColor);
        context.fillRect(Rect(x + from, y, to - from, m_font.lineHeight()));
    }
    context.drawText(shown, Point(x, y), m_font, m_textColor);
    if (!buffer.isComposing())
        return;
    const TextRange marked = buffer.markedRange();
    const double underline = y + m_font.lineHeight() - 1;
    context.setStrokeColor(m_textColor);
    context.setLineWidth(1);
    context.strokeLine(Point(x + measure.x(shownIndex(marked.location)), underline),
                       Point(x + measure.x(shownIndex(marked.location + marked.length)), underline));
}

Rect TextField::caretRect() const
{
    const Rect area = textRect();
    const double y = area.y() + (area.height() - m_font.lineHeight()) / 2;
    const double x = shownText().isEmpty() ? alignedX(area, 0)
                                           : textStartX() + offsetOf(m_editor.buffer().composedCaret());
    return Rect(x, y, kCaretWidth, m_font.lineHeight());
}

void TextField::touchesBegan(const TouchSet& touches, const Event& event)
{
    auto self = shared_from_this();
    Control::touchesBegan(touches, event);
    if (!isEditing() || touches.empty())
        return;
    // A composing word is given up before the finger places the caret in the text.
    m_editor.setMarkedText(QString());
    m_editor.moveCaret(positionAt(touches.front()->locationInView(this)));
}

void TextField::touchesMoved(const TouchSet& touches, const Event& event)
{
    auto self = shared_from_this();
    Control::touchesMoved(touches, event);
    if (isEditing() && isTracking() && !touches.empty())
        m_editor.moveCaret(positionAt(touches.front()->locationInView(this)), TextBuffer::Extent::Extend);
}

void TextField::touchesEnded(const TouchSet& touches, const Event& event)
{
    const bool tapped = isTracking() && !touches.empty() && bounds().contains(touches.front()->locationInView(this));
    auto self = shared_from_this();
    Control::touchesEnded(touches, event);
    if (!tapped)
        return;
    const Point point = touches.front()->locationInView(this);
    if (!isEditing()) {
        // Read before editing puts the caret at the end, which scrolls a long text away from
        // what the finger touched; the text stays where it was shown.
        const int position = positionAt(point);
        const double shownFrom = textRect().x() - textStartX();
        if (becomeFirstResponder()) {
            m_scroll = shownFrom;
            m_editor.moveCaret(position);
        }
        return;
    }
    if (touches.front()->tapCount() == 2)
        m_editor.selectWordAt(characterAt(point));
}

} // namespace ui
