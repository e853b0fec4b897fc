#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/TextEditing.h"
#include "platform/ui/TextInputTraits.h"
#include "platform/ui/TextProperties.h"
#include "platform/ui/TextRange.h"

#include <QString>
#include <memory>

namespace ui {

class TextFieldDelegate;

// Border styles, with the phone's values.
enum class TextBorderStyle { None = 0, Line = 1, Bezel = 2, RoundedRect = 3 };

// One line of editable text.
//
// A tap makes the field the first responder (asking the delegate first) with the caret
// between the characters nearest to the finger; the window host then sends it the keyboard's
// text and editing keys. A drag selects, a double tap selects a word. Every edit goes through
// the delegate's shouldChangeCharactersInRange with the range it replaces: typed text (an
// input method's commit is one edit), "" for a deletion, and "\n" for the return key, which a
// one-line field never inserts; when the delegate lets the return key through and the field is
// still editing, it is asked textFieldShouldReturn. Text set from code does not ask the
// delegate and puts the caret at its end. A text wider than the field scrolls with the caret.
class TextField : public TextProperties<Control> {
public:
    static std::shared_ptr<TextField> create(const Rect& frame = Rect());

    QString placeholder() const { return m_placeholder; }
    void setPlaceholder(const QString& placeholder);
    bool isSecureTextEntry() const { return m_secure; }
    void setSecureTextEntry(bool secure);
    TextBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TextBorderStyle style);
    ReturnKeyType returnKeyType() const { return m_returnKeyType; }
    void setReturnKeyType(ReturnKeyType type) { m_returnKeyType = type; }

    std::shared_ptr<TextFieldDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TextFieldDelegate>& delegate) { m_delegate = delegate; }

    bool isEditing() const { return m_editor.isEditing(); }
    // The selection, empty at the caret, in UTF-16 units of the text.
    TextRange selectedRange() const { return m_editor.buffer().selectedRange(); }
    // The text as drawn: one dot per character under secure entry.
    QString displayedText() const;

    bool canBecomeFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void insertText(const QString& text) override;
    void deleteBackward() override;
    bool performEditingCommand(EditingCommand command) override;
    void setMarkedText(const QString& text) override;
    Rect caretRect() const override;

protected:
    explicit TextField(const Rect& frame);

    void draw(DrawContext& context) override;
    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void didMoveToWindow() override;
    void didSetText() override;

private:
    void pressReturn();
    Rect textRect() const;
    // The composed text as drawn, and the offset in it of a position of the composed text.
    QString shownText() const;
    int shownIndex(int position) const;
    int positionOfShownIndex(int index) const;
    // Where the shown text starts: aligned, or scrolled so that the caret stays in view.
    double textStartX() const;
    double alignedX(const Rect& area, double width) const;
    double offsetOf(int position) const;
    // Under a point of the field: the caret position between the nearest characters, and
    // the character itself.
    int positionAt(const Point& point) const;
    int characterAt(const Point& point) const;
    void drawBorder(DrawContext& context) const;
    void drawEditing(DrawContext& context, double x, double y) const;

    QString m_placeholder;
    TextBorderStyle m_borderStyle = TextBorderStyle::None;
    ReturnKeyType m_returnKeyType = ReturnKeyType::Default;
    std::weak_ptr<TextFieldDelegate> m_delegate;
    bool m_secure = false;
    TextEditing m_editor;
    // Follows the caret lazily, so that a change of frame or font is caught as well.
    mutable double m_scroll = 0;
};

} // namespace ui
