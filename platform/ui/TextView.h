#pragma once

#include "platform/ui/TextEditing.h"
#include "platform/ui/TextInputTraits.h"
#include "platform/ui/TextProperties.h"
#include "platform/ui/View.h"

#include <QString>
#include <QTextLayout>
#include <memory>
#include <optional>

namespace ui {

class TextLayout;
class TextViewDelegate;

// Several lines of editable text, wrapped at the view's width.
//
// Like a text field it edits as the first responder after a tap (asking the delegate), with
// the same caret, selection and keys; Up and Down move the caret between lines, keeping its
// column as well as the lines allow, Home and End go to the ends of its line. Every edit goes
// through the delegate's shouldChangeTextInRange with the range it replaces; here the return
// key's "\n" is inserted when the delegate allows it. While editing, the view scrolls to keep
// the caret's line in view. Text set from code does not ask the delegate.
class TextView : public TextProperties<View> {
public:
    static std::shared_ptr<TextView> create(const Rect& frame = Rect());

    bool isEditable() const { return m_editable; }
    void setEditable(bool editable);
    ReturnKeyType returnKeyType() const { return m_returnKeyType; }
    void setReturnKeyType(ReturnKeyType type) { m_returnKeyType = type; }

    std::shared_ptr<TextViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TextViewDelegate>& delegate) { m_delegate = delegate; }

    bool isEditing() const { return m_editor.isEditing(); }
    // The selection, empty at the caret, in UTF-16 units of the text.
    TextRange selectedRange() const { return m_editor.buffer().selectedRange(); }

    bool canBecomeFirstResponder() const override { return m_editable; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void insertText(const QString& text) override;
    void deleteBackward() override;
    bool performEditingCommand(EditingCommand command) override;
    void setMarkedText(const QString& text) override;
    Rect caretRect() const override;

protected:
    explicit TextView(const Rect& frame);

    void draw(DrawContext& context) override;
    // A text view keeps its touches: a tap starts editing or places the caret, a drag
    // selects; nothing travels up.
    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;
    void didMoveToWindow() override;
    void didSetText() override;

private:
    Rect textArea() const;
    // The composed text laid out at the view's width, lines as drawn.
    std::unique_ptr<TextLayout> layOut() const;
    // Where a line of that width starts in the text area, by the alignment.
    double alignedOffset(double width) const;
    double lineX(const QTextLine& line) const;
    // How far the text is scrolled up: the caret's line kept in view while editing.
    double scrollOffset(TextLayout& text) const;
    // The line a caret position shows on: the one before, for the end that End left there.
    QTextLine caretLine(QTextLayout& layout, int position) const;
    Point caretPoint(TextLayout& text, int position) const;
    // Under a point of the view: the caret position between the nearest characters, or
    // the character itself.
    int positionAt(const Point& point, QTextLine::CursorPosition mode = QTextLine::CursorBetweenCharacters) const;
    void moveVertically(int lines, TextBuffer::Extent extent);
    void moveToLineEdge(bool end, TextBuffer::Extent extent);
    void drawSelection(DrawContext& context, TextLayout& text, TextRange range, double top) const;
    void drawMarkedText(DrawContext& context, TextLayout& text, double top) const;

    ReturnKeyType m_returnKeyType = ReturnKeyType::Default;
    std::weak_ptr<TextViewDelegate> m_delegate;
    bool m_editable = true;
    TextEditing m_editor;
    // Follows the caret lazily, so that a change of frame or font is caught as well.
    mutable double m_scroll = 0;
    // The column that Up and Down keep, while the caret stays where they put it.
    std::optional<double> m_column;
    int m_columnCaret = -1;
    // The caret that End put at a line's end where the next line starts with no break between.
    int m_lineEndCaret = -1;
};

} // namespace ui
