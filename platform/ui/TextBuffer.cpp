#include "platform/ui/TextBuffer.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace ui {

TextBuffer::TextBuffer(const QString& text)
    : m_text(text)
{
}

int TextBuffer::clamped(int position) const
{
    return std::clamp(position, 0, int(m_text.size()));
}

int TextBuffer::caret() const
{
    return clamped(m_caret);
}

int TextBuffer::anchor() const
{
    return clamped(m_anchor);
}

TextRange TextBuffer::selectedRange() const
{
    const int start = std::min(caret(), anchor());
    return {start, std::max(caret(), anchor()) - start};
}

QString TextBuffer::selectedText() const
{
    const TextRange range = selectedRange();
    return m_text.mid(range.location, range.length);
}

void TextBuffer::moveTo(int position, Extent extent)
{
    position = clamped(position);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_text);
    finder.setPosition(position);
    // Never between the halves of a character: back to where it starts.
    if (!finder.isAtBoundary())
        position = std::max(0, int(finder.toPreviousBoundary()));
    m_caret = position;
    if (extent == Extent::Collapse)
        m_anchor = position;
}

void TextBuffer::select(TextRange range)
{
    moveTo(range.location);
    moveTo(range.location + range.length, Extent::Extend);
}

int TextBuffer::previousCharacter(int position) const
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_text);
    finder.setPosition(clamped(position));
    return std::max(0, int(finder.toPreviousBoundary()));
}

int TextBuffer::nextCharacter(int position) const
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, m_text);
    finder.setPosition(clamped(position));
    const qsizetype next = finder.toNextBoundary();
    return next < 0 ? int(m_text.size()) : int(next);
}

TextRange TextBuffer::wordAt(int position) const
{
    if (m_text.isEmpty())
        return {0, 0};
    // A position at the end of the text belongs to its last word.
    position = std::min(clamped(position), int(m_text.size()) - 1);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, m_text);
    finder.setPosition(position);
    const int start = finder.isAtBoundary() ? position : std::max(0, int(finder.toPreviousBoundary()));
    finder.setPosition(position);
    const qsizetype next = finder.toNextBoundary();
    const int end = next < 0 ? int(m_text.size()) : int(next);
    return {start, end - start};
}

void TextBuffer::didReplace(TextRange range, int length)
{
    m_marked.clear();
    moveTo(range.location + length);
}

QString TextBuffer::composedText() const
{
    if (!isComposing())
        return m_text;
    const TextRange range = selectedRange();
    return QString(m_text).replace(range.location, range.length, m_marked);
}

TextRange TextBuffer::markedRange() const
{
    return {selectedRange().location, int(m_marked.size())};
}

int TextBuffer::composedCaret() const
{
    if (!isComposing())
        return caret();
    const TextRange marked = markedRange();
    return marked.location + marked.length;
}

TextRange TextBuffer::composedSelection() const
{
    if (!isComposing())
        return selectedRange();
    return {composedCaret(), 0};
}

} // namespace ui
