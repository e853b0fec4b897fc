#pragma once

#include "platform/ui/EditingCommand.h"
#include "platform/ui/TextBuffer.h"
#include "platform/ui/TextRange.h"

#include <QString>
#include <functional>
#include <memory>

namespace core {
class Timer;
}

namespace ui {

class View;

// The editing that a text field and a text view share: the life cycle, the caret and the
// selection, and every edit.
//
// The view becomes the first responder once its delegate agrees; its editing ends when it resigns
// or leaves its window (at the next blink when the window itself goes), the delegate being told
// once. Editing begins with the caret at the end of the text. Typed text, an input method's commit,
// deletions, cut and paste replace the selection (or act at the caret) after asking the delegate
// with the range they replace; a refused edit changes nothing, the caret included. While editing,
// the caret blinks on the platform clock and shows steadily for a moment after every change; each
// change of the look asks the view to redraw. The owning view keeps the text, says how to reach its
// own delegate and handles the movements that need its layout.
class TextEditing {
public:
    struct DelegateCalls {
        std::function<bool()> shouldBeginEditing;
        std::function<void()> didBeginEditing;
        std::function<void()> didEndEditing;
        std::function<bool(TextRange, const QString&)> shouldChangeText;
    };
    enum class LineBreaks { Kept, Dropped };

    // `view` and `text` belong to the view that holds this helper as a member.
    TextEditing(View& view, QString& text, LineBreaks lineBreaks, DelegateCalls calls);
    ~TextEditing();
    TextEditing(const TextEditing&) = delete;
    TextEditing& operator=(const TextEditing&) = delete;

    bool isEditing() const { return m_editing; }
    const TextBuffer& buffer() const { return m_buffer; }
    // A secure text moves its caret as any other but never leaves through the clipboard.
    void setSecure(bool secure) { m_secure = secure; }
    // Whether the caret is drawn now: while editing, in the blink's visible half, with no
    // selection shown instead.
    bool showsCaret() const;

    // The bodies of the view's own responder methods.
    bool becomeFirstResponder();
    bool resignFirstResponder();
    void didMoveToWindow();
    void insertText(const QString& text);
    void deleteBackward();
    void setMarkedText(const QString& text);
    // Horizontal movement, deletion forward, selecting all and the clipboard; false for the
    // commands that the view's layout answers.
    bool perform(EditingCommand command);
    // The text was set from code: the caret goes to its end.
    void textWasSet();

    // Caret placement from the view's layout (a touch, a line up or down, a line's ends).
    void moveCaret(int position, TextBuffer::Extent extent = TextBuffer::Extent::Collapse);
    void selectWordAt(int position);
    // False when the delegate refuses the edit.
    bool replace(TextRange range, const QString& string);

    // The scroll offset that shows `from` to `to` of a content of length `content` through a
    // window of length `visible`, moving the old offset as little as it must.
    static double scrolledToShow(double offset, double from, double to, double visible, double content);

private:
    void endEditing();
    void moveHorizontally(bool forward, TextBuffer::Extent extent);
    void deleteForward();
    void cut();
    void copy() const;
    void paste();
    void selectAll();
    void caretChanged();
    void startBlinking();
    void stopBlinking();

    View& m_view;
    QString& m_text;
    TextBuffer m_buffer;
    LineBreaks m_lineBreaks;
    DelegateCalls m_calls;
    bool m_editing = false;
    bool m_secure = false;
    bool m_caretOn = true;
    std::shared_ptr<core::Timer> m_blink;
};

} // namespace ui
