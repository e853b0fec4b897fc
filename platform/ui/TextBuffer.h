#pragma once

#include "platform/ui/TextRange.h"

#include <QString>

namespace ui {

// The caret, the selection and an input method's composing text over a text that its view
// owns. Positions are UTF-16 offsets that always fall between whole characters (a surrogate
// pair or a letter with its accents is one character); the selection runs from the anchor to
// the caret, the end that moves. The text may change under the buffer (set from code, or by a
// delegate), so every position read is clamped to it.
//
// While an input method composes, its text stands in for the selection until it commits;
// the composed text is what the view draws and lays out.
class TextBuffer {
public:
    enum class Extent { Collapse, Extend };

    explicit TextBuffer(const QString& text);
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    int caret() const;
    int anchor() const;
    TextRange selectedRange() const;
    bool hasSelection() const { return caret() != anchor(); }
    QString selectedText() const;

    void moveTo(int position, Extent extent = Extent::Collapse);
    void select(TextRange range);
    void selectAll() { select({0, int(m_text.size())}); }
    // The character boundaries around a position.
    int previousCharacter(int position) const;
    int nextCharacter(int position) const;
    // The word (or the run of spaces or punctuation) around a position.
    TextRange wordAt(int position) const;
    // After `range` of the text was replaced by `length` units: the caret follows them.
    void didReplace(TextRange range, int length);

    bool isComposing() const { return !m_marked.isEmpty(); }
    QString markedText() const { return m_marked; }
    void setMarkedText(const QString& text) { m_marked = text; }
    // The text as shown: the composing text in place of the selection.
    QString composedText() const;
    // In the composed text: the composing text, and where the caret shows.
    TextRange markedRange() const;
    int composedCaret() const;
    TextRange composedSelection() const;

private:
    int clamped(int position) const;

    const QString& m_text;
    int m_anchor = 0;
    int m_caret = 0;
    QString m_marked;
};

} // namespace ui
