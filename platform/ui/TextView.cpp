#include "platform/ui/TextView.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/EditingCommand.h"
#include "platform/ui/TextLayout.h"
#include "platform/ui/TextViewDelegate.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

namespace {

// The phone's text container: 8 points above and below the text, 5 beside it.
const EdgeInsets kTextInsets{8, 5, 8, 5};
constexpr double kCaretWidth = 1.5;
const Color kCaretColor = Color::fromRGB(0x4A7BD0);
const Color kSelectionColor = Color::fromRGB(0x4A7BD0, 0.3);

// Line breaks as the layout breaks lines, one unit for one, so positions carry over.
QString laidOut(QString text)
{
    return text.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
}

// The line that holds a caret position; the end of the text is on the last line.
QTextLine lineFor(QTextLayout& layout, int position)
{
    QTextLine line = layout.lineForTextPosition(position);
    return line.isValid() ? line : layout.lineAt(layout.lineCount() - 1);
}

} // namespace

std::shared_ptr<TextView> TextView::create(const Rect& frame)
{
    return std::shared_ptr<TextView>(new TextView(frame));
}

TextView::TextView(const Rect& frame)
    : TextProperties(frame, Font::systemFont(12))
    , m_editor(*this, m_text, TextEditing::LineBreaks::Kept,
               {[this] {
                    auto d = delegate();
                    return !d || d->textViewShouldBeginEditing(*this);
                },
                [this] {
                    if (auto d = delegate())
                        d->textViewDidBeginEditing(*this);
                },
                [this] {
                    if (auto d = delegate())
                        d->textViewDidEndEditing(*this);
                },
                [this](TextRange range, const QString& text) {
                    auto d = delegate();
                    return !d || d->shouldChangeTextInRange(*this, range, text);
                }})
{
    setBackgroundColor(Color::white());
}

void TextView::setEditable(bool editable)
{
    m_editable = editable;
    if (!editable && isEditing())
        resignFirstResponder();
}

bool TextView::becomeFirstResponder()
{
    return m_editor.becomeFirstResponder();
}

bool TextView::resignFirstResponder()
{
    return m_editor.resignFirstResponder();
}

void TextView::didMoveToWindow()
{
    m_editor.didMoveToWindow();
}

void TextView::didSetText()
{
    m_editor.textWasSet();
}

void TextView::insertText(const QString& text)
{
    m_editor.insertText(text);
}

void TextView::deleteBackward()
{
    m_editor.deleteBackward();
}

void TextView::setMarkedText(const QString& text)
{
    m_editor.setMarkedText(text);
}

bool TextView::performEditingCommand(EditingCommand command)
{
    using E = TextBuffer::Extent;
    const bool vertical = command == EditingCommand::MoveUp || command == EditingCommand::MoveDown
                          || command == EditingCommand::SelectUp || command == EditingCommand::SelectDown;
    if (!vertical)
        m_column.reset();
    switch (command) {
    case EditingCommand::MoveUp: moveVertically(-1, E::Collapse); break;
    case EditingCommand::MoveDown: moveVertically(1, E::Collapse); break;
    case EditingCommand::SelectUp: moveVertically(-1, E::Extend); break;
    case EditingCommand::SelectDown: moveVertically(1, E::Extend); break;
    case EditingCommand::MoveToLineStart: moveToLineEdge(false, E::Collapse); break;
    case EditingCommand::MoveToLineEnd: moveToLineEdge(true, E::Collapse); return isEditing();
    case EditingCommand::SelectToLineStart: moveToLineEdge(false, E::Extend); break;
    case EditingCommand::SelectToLineEnd: moveToLineEdge(true, E::Extend); return isEditing();
    default: m_lineEndCaret = -1; return m_editor.perform(command);
    }
    m_lineEndCaret = -1;
    return isEditing();
}

Rect TextView::textArea() const
{
    return bounds().inset(kTextInsets);
}

std::unique_ptr<TextLayout> TextView::layOut() const
{
    return std::make_unique<TextLayout>(laidOut(m_editor.buffer().composedText()), m_font, textArea().width(), 0);
}

double TextView::lineX(const QTextLine& line) const
{
    return alignedOffset(line.naturalTextWidth());
}

double TextView::alignedOffset(double width) const
{
    const double room = textArea().width() - width;
    switch (m_alignment) {
    case TextAlignment::Center: return room / 2;
    case TextAlignment::Right: return room;
    case TextAlignment::Left: break;
    }
    return 0;
}

// In the laid-out text, from the top left of the text area.
QTextLine TextView::caretLine(QTextLayout& layout, int position) const
{
    const QTextLine line = lineFor(layout, position);
    if (position == m_lineEndCaret && line.lineNumber() > 0 && line.textStart() == position)
        return layout.lineAt(line.lineNumber() - 1);
    return line;
}

Point TextView::caretPoint(TextLayout& text, int position) const
{
    QTextLayout& layout = text.layout();
    if (layout.lineCount() == 0)
        return Point(alignedOffset(0), 0);
    const QTextLine line = caretLine(layout, position);
    return Point(lineX(line) + line.cursorToX(position), line.y());
}

double TextView::scrollOffset(TextLayout& text) const
{
    if (!isEditing()) {
        m_scroll = 0;
        return 0;
    }
    const double caretTop = caretPoint(text, m_editor.buffer().composedCaret()).y;
    const double caretBottom = caretTop + m_font.lineHeight();
    const double content = std::max(text.size().height, caretBottom);
    m_scroll = TextEditing::scrolledToShow(m_scroll, caretTop, caretBottom, textArea().height(), content);
    return m_scroll;
}

int TextView::positionAt(const Point& point, QTextLine::CursorPosition mode) const
{
    auto text = layOut();
    QTextLayout& layout = text->layout();
    if (layout.lineCount() == 0)
        return 0;
    const double y = point.y - textArea().y() + scrollOffset(*text);
    QTextLine line = layout.lineAt(layout.lineCount() - 1);
    for (int i = 0; i < layout.lineCount(); ++i) {
        if (y < layout.lineAt(i).y() + layout.lineAt(i).height()) {
            line = layout.lineAt(i);
            break;
        }
    }
    return line.xToCursor(point.x - textArea().x() - lineX(line), mode);
}

void TextView::moveVertically(int lines, TextBuffer::Extent extent)
{
    if (!isEditing())
        return;
    m_editor.setMarkedText(QString());
    auto text = layOut();
    QTextLayout& layout = text->layout();
    const int caret = m_editor.buffer().caret();
    if (layout.lineCount() == 0)
        return;
    const QTextLine line = caretLine(layout, caret);
    // A column is kept across Up and Down only: any other move starts a new one.
    if (!m_column || m_columnCaret != caret)
        m_column = lineX(line) + line.cursorToX(caret);
    const int target = line.lineNumber() + lines;
    int position = 0;
    if (target >= layout.lineCount())
        position = int(m_text.size());
    else if (target >= 0)
        position = layout.lineAt(target).xToCursor(*m_column - lineX(layout.lineAt(target)));
    m_editor.moveCaret(position, extent);
    m_columnCaret = m_editor.buffer().caret();
}

void TextView::moveToLineEdge(bool end, TextBuffer::Extent extent)
{
    if (!isEditing())
        return;
    m_editor.setMarkedText(QString());
    auto text = layOut();
    QTextLayout& layout = text->layout();
    if (layout.lineCount() == 0)
        return;
    const QTextLine line = caretLine(layout, m_editor.buffer().caret());
    int position = line.textStart();
    const bool last = line.lineNumber() == layout.lineCount() - 1;
    if (end) {
        position += line.textLength();
        // The break or the space that ends a line belongs to it, but the caret goes before it.
        if (!last && position > line.textStart() && m_text.at(position - 1).isSpace())
            --position;
    }
    m_editor.moveCaret(position, extent);
    m_lineEndCaret = -1;
    // Where a line wrapped with nothing between (Chinese), its end is the next line's start.
    if (end && !last && m_editor.buffer().caret() == line.textStart() + line.textLength())
        m_lineEndCaret = position;
}

void TextView::draw(DrawContext& context)
{
    const QString shown = laidOut(m_editor.buffer().composedText());
    if (shown.isEmpty() && !isEditing())
        return;
    const Rect area = textArea();
    auto text = layOut();
    const double top = area.y() - scrollOffset(*text);
    const auto align = m_alignment == TextAlignment::Center  ? DrawContext::TextAlignment::Center
                       : m_alignment == TextAlignment::Right ? DrawContext::TextAlignment::Right
                                                             : DrawContext::TextAlignment::Left;
    context.saveState();
    context.clipToRect(bounds());
    if (isEditing())
        drawSelection(context, *text, m_editor.buffer().composedSelection(), top);
    const double height = m_font.sizeOfText(shown, area.width(), 0).height;
    context.drawText(shown, Rect(area.x(), top, area.width(), height), m_font, m_textColor, align, 0);
    drawMarkedText(context, *text, top);
    if (m_editor.showsCaret()) {
        context.setFillColor(kCaretColor);
        context.fillRect(caretRect());
    }
    context.restoreState();
}

void TextView::drawSelection(DrawContext& context, TextLayout& text, TextRange range, double top) const
{
    if (range.length == 0)
        return;
    QTextLayout& layout = text.layout();
    context.setFillColor(kSelectionColor);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const int from = std::max(range.location, line.textStart());
        const int to = std::min(range.location + range.length, line.textStart() + line.textLength());
        if (from >= to)
            continue;
        const double x = textArea().x() + lineX(line);
        const double left = line.cursorToX(from);
        context.fillRect(Rect(x + left, top + line.y(), line.cursorToX(to) - left, line.height()));
    }
}

void TextView::drawMarkedText(DrawContext& context, TextLayout& text, double top) const
{
    if (!m_editor.buffer().isComposing())
        return;
    const TextRange marked = m_editor.buffer().markedRange();
    QTextLayout& layout = text.layout();
    context.setStrokeColor(m_textColor);
    context.setLineWidth(1);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const int from = std::max(marked.location, line.textStart());
        const int to = std::min(marked.location + marked.length, line.textStart() + line.textLength());
        if (from >= to)
            continue;
        const double x = textArea().x() + lineX(line);
        const double y = top + line.y() + line.height() - 1;
        context.strokeLine(Point(x + line.cursorToX(from), y), Point(x + line.cursorToX(to), y));
    }
}

Rect TextView::caretRect() const
{
    auto text = layOut();
    const Point caret = caretPoint(*text, m_editor.buffer().composedCaret());
    const Rect area = textArea();
    return Rect(area.x() + caret.x, area.y() - scrollOffset(*text) + caret.y, kCaretWidth, m_font.lineHeight());
}

void TextView::touchesBegan(const TouchSet& touches, const Event&)
{
    if (!isEditing() || touches.empty())
        return;
    // A composing word is given up before the finger places the caret in the text.
    m_editor.setMarkedText(QString());
    m_column.reset();
    m_lineEndCaret = -1;
    m_editor.moveCaret(positionAt(touches.front()->locationInView(this)));
}

void TextView::touchesMoved(const TouchSet& touches, const Event&)
{
    if (isEditing() && !touches.empty())
        m_editor.moveCaret(positionAt(touches.front()->locationInView(this)), TextBuffer::Extent::Extend);
}

void TextView::touchesEnded(const TouchSet& touches, const Event&)
{
    if (touches.empty() || !bounds().contains(touches.front()->locationInView(this)))
        return;
    auto self = shared_from_this();
    const Point point = touches.front()->locationInView(this);
    m_lineEndCaret = -1;
    if (!isEditing()) {
        // Read before editing puts the caret at the end, which scrolls a long text away from
        // what the finger touched.
        const int position = positionAt(point);
        if (becomeFirstResponder()) {
            m_scroll = 0;
            m_editor.moveCaret(position);
        }
        return;
    }
    if (touches.front()->tapCount() == 2)
        m_editor.selectWordAt(positionAt(point, QTextLine::CursorOnCharacter));
}

void TextView::touchesCancelled(const TouchSet&, const Event&) {}

} // namespace ui
