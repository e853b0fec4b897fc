#include "platform/ui/TextView.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/TextLayout.h"
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
    : TextProperties(frame, Font::systemFont(12))
    , m_editor(*this, m_text,
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

void TextView::insertText(const QString& text)
{
    if (!isEditing() || text.isEmpty())
        return;
    m_editor.replace(TextRange::atEnd(m_text), text);
}

void TextView::deleteBackward()
{
    m_editor.deleteBackward();
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
    const double scrolled = isEditing() ? std::max(0.0, height - area.height()) : 0;
    const auto align = m_alignment == TextAlignment::Center  ? DrawContext::TextAlignment::Center
                       : m_alignment == TextAlignment::Right ? DrawContext::TextAlignment::Right
                                                             : DrawContext::TextAlignment::Left;
    context.saveState();
    context.clipToRect(bounds());
    context.drawText(shown, Rect(area.x(), area.y() - scrolled, area.width(), height), m_font, m_textColor, align, 0);
    context.restoreState();
}

Rect TextView::caretRect() const
{
    const Rect area = bounds().inset(kTextInsets);
    QString shown = m_text;
    shown.replace(QLatin1Char('\n'), QChar(QChar::LineSeparator));
    TextLayout text(shown, m_font, area.width(), 0);
    QTextLayout& layout = text.layout();
    if (shown.isEmpty() || layout.lineCount() == 0)
        return Rect(area.x(), area.y(), 1.5, m_font.lineHeight());
    const QTextLine last = layout.lineAt(layout.lineCount() - 1);
    const double scrolled = isEditing() ? std::max(0.0, text.size().height - area.height()) : 0;
    return Rect(area.x() + last.cursorToX(int(shown.size())), area.y() + last.y() - scrolled, 1.5, last.height());
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
