#include "platform/ui/TextEditing.h"

#include "platform/ui/View.h"

#include <algorithm>

namespace ui {

TextEditing::TextEditing(View& view, QString& text, DelegateCalls calls)
    : m_view(view)
    , m_text(text)
    , m_calls(std::move(calls))
{
}

bool TextEditing::becomeFirstResponder()
{
    if (m_view.isFirstResponder())
        return true;
    if (!m_view.canBecomeFirstResponder() || !m_view.window())
        return false;
    // The delegate may drop its last reference to the view.
    auto self = m_view.shared_from_this();
    if (!m_calls.shouldBeginEditing())
        return false;
    if (!m_view.View::becomeFirstResponder())
        return false;
    m_editing = true;
    m_view.setNeedsDisplay();
    m_calls.didBeginEditing();
    return true;
}

bool TextEditing::resignFirstResponder()
{
    if (!m_editing)
        return m_view.View::resignFirstResponder();
    auto self = m_view.shared_from_this();
    m_view.View::resignFirstResponder();
    endEditing();
    return true;
}

void TextEditing::didMoveToWindow()
{
    // Leaving its window (for none or another) cost the view its place as first responder,
    // and with it the keys: its editing ends there.
    if (m_editing && !m_view.isFirstResponder())
        endEditing();
}

void TextEditing::endEditing()
{
    auto self = m_view.shared_from_this();
    m_editing = false;
    m_view.setNeedsDisplay();
    m_calls.didEndEditing();
}

void TextEditing::deleteBackward()
{
    if (!m_editing || m_text.isEmpty())
        return;
    replace(TextRange::lastCharacter(m_text), QString());
}

bool TextEditing::replace(TextRange range, const QString& string)
{
    auto self = m_view.shared_from_this();
    if (!m_calls.shouldChangeText(range, string))
        return false;
    // The delegate may have set another text meanwhile; the edit applies to what is there.
    const int location = std::min(range.location, int(m_text.size()));
    const int length = std::min(range.length, int(m_text.size()) - location);
    m_text.replace(location, length, string);
    m_view.setNeedsDisplay();
    return true;
}

} // namespace ui
