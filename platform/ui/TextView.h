#pragma once

#include "platform/ui/TextEditing.h"
#include "platform/ui/TextInputTraits.h"
#include "platform/ui/TextProperties.h"
#include "platform/ui/View.h"

#include <QString>
#include <memory>

namespace ui {

class TextViewDelegate;

// Several lines of editable text, wrapped at the view's width.
//
// Like a text field it edits as the first responder after a tap (asking the delegate), and
// every edit goes through the delegate's shouldChangeTextInRange; here the return key's "\n"
// is inserted when the delegate allows it. While editing, text taller than the view shows
// its last lines. Text set from code does not ask the delegate.
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

    bool canBecomeFirstResponder() const override { return m_editable; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void insertText(const QString& text) override;
    void deleteBackward() override;
    // At the end of the text, where typing goes on.
    Rect caretRect() const override;

protected:
    explicit TextView(const Rect& frame);

    void draw(DrawContext& context) override;
    // A text view keeps its touches: a tap starts editing, nothing travels up.
    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;
    void didMoveToWindow() override;

private:
    ReturnKeyType m_returnKeyType = ReturnKeyType::Default;
    std::weak_ptr<TextViewDelegate> m_delegate;
    bool m_editable = true;
    TextEditing m_editor;
};

} // namespace ui
