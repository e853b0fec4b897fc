#include "platform/ui/TextView.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/TextViewDelegate.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace ui {

namespace {

// The phone's text container: 8 points above and below the text, 5 beside it.
const EdgeInsets kTextInsets{8, 5, 8, 5};

} // namespace

std::shared_ptr<TextView> TextView::create(const Rect& frame)
{
    return std::shared_ptr<TextView>(new TextView(frame));
}

TextView::TextView(const Rect& frame)
    : View(frame)
{
    setBackgroundColor(Color::white());
}

void TextView::setText(const QString& text)
{
    m_text = text;
    setNeedsDisplay();
}

void TextView::setFont(const Font& font)
{
    m_font = font;
    setNeedsDisplay();
}

void TextView::setTextColor(const Color& color)
{
    m_textColor = color;
    setNeedsDisplay();
}

void TextView::setTextAlignment(TextAlignment alignment)
{
    m_alignment = alignment;
    setNeedsDisplay();
}

void TextView::setEditable(bool editable)
{
    m_editable = editable;
    if (!editable && m_editing)
        resignFirstResponder();
}

bool TextView::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder() || !window())
        return false;
    auto self = shared_from_this();
    if (auto d = delegate(); d && !d->textViewShouldBeginEditing(*this))
        return false;
    if (!View::becomeFirstResponder())
        return false;
    m_editing = true;
    setNeedsDisplay();
    if (auto d = delegate())
        d->textViewDidBeginEditing(*this);
    return true;
}

bool TextView::resignFirstResponder()
{
    if (!m_editing)
        return View::resignFirstResponder();
    auto self = shared_from_this();
    View::resignFirstResponder();
    endEditing();
    return true;
}

void TextView::didMoveToWindow()
{
    // A view taken out of its window can no longer receive keys: its editing ends there.
    if (m_editing && !window())
        endEditing();
}

void TextView::endEditing()
{
    auto self = shared_from_this();
    m_editing = false;
    setNeedsDisplay();
    if (auto d = delegate())
        d->textViewDidEndEditing(*this);
}

void TextView::insertText(const QString& text)
{
    if (!m_editing || text.isEmpty())
        return;
    replace(TextRange::atEnd(m_text), text);
}

void TextView::deleteBackward()
{
    if (!m_editing || m_text.isEmpty())
        return;
    replace(TextRange::lastCharacter(m_text), QString());
}

void TextView::replace(TextRange range, const QString& text)
{
    auto self = shared_from_this();
    if (auto d = delegate(); d && !d->shouldChangeTextInRange(*this, range, text))
        return;
    // The delegate may have set another text meanwhile; the edit applies to what is there.
    const int location = std::min(range.location, int(m_text.size()));
    const int length = std::min(range.length, int(m_text.size()) - location);
    m_text.replace(location, length, text);
    setNeedsDisplay();
}

void TextView::draw(DrawContext& context)
{
    if (m_text.isEmpty())
        return;
    const Rect area = bounds().inset(kTextInsets);
    QString shown = m_text;
    shown.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    const double height = m_font.sizeOfText(shown, area.width(), 0).height;
    // While editing, the last lines (where typing goes on) stay in view.
    const double scrolled = m_editing ? std::max(0.0, height - area.height()) : 0;
    const auto align = m_alignment == TextAlignment::Center  ? DrawContext::TextAlignment::Center
                       : m_alignment == TextAlignment::Right ? DrawContext::TextAlignment::Right
                                                             : DrawContext::TextAlignment::Left;
    context.saveState();
    context.clipToRect(bounds());
    context.drawText(shown, Rect(area.x(), area.y() - scrolled, area.width(), height), m_font, m_textColor, align, 0);
    context.restoreState();
}

void TextView::touchesBegan(const TouchSet&, const Event&) {}

void TextView::touchesMoved(const TouchSet&, const Event&) {}

void TextView::touchesEnded(const TouchSet& touches, const Event&)
{
    if (touches.empty() || !bounds().contains(touches.front()->locationInView(this)))
        return;
    becomeFirstResponder();
}

void TextView::touchesCancelled(const TouchSet&, const Event&) {}

} // namespace ui
