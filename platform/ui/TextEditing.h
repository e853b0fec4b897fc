#pragma once

#include "platform/ui/TextRange.h"

#include <QString>
#include <functional>

namespace ui {

class View;

// The editing life cycle that a text field and a text view share. The view becomes the first
// responder once its delegate agrees; its editing ends when it resigns or leaves its window,
// the delegate being told once; every edit asks the delegate before it replaces text. The
// owning view keeps the text and says how to reach its own delegate.
class TextEditing {
public:
    struct DelegateCalls {
        std::function<bool()> shouldBeginEditing;
        std::function<void()> didBeginEditing;
        std::function<void()> didEndEditing;
        std::function<bool(TextRange, const QString&)> shouldChangeText;
    };

    // `view` and `text` belong to the view that holds this helper as a member.
    TextEditing(View& view, QString& text, DelegateCalls calls);
    TextEditing(const TextEditing&) = delete;
    TextEditing& operator=(const TextEditing&) = delete;

    bool isEditing() const { return m_editing; }

    // The bodies of the view's own responder methods.
    bool becomeFirstResponder();
    bool resignFirstResponder();
    void didMoveToWindow();
    void deleteBackward();
    // False when the delegate refuses the edit.
    bool replace(TextRange range, const QString& string);

private:
    void endEditing();

    View& m_view;
    QString& m_text;
    DelegateCalls m_calls;
    bool m_editing = false;
};

} // namespace ui
