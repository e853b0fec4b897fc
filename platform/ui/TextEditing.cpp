#include "platform/ui/TextEditing.h"

#include "platform/core/Timer.h"
#include "platform/ui/View.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

namespace ui {

namespace {

// Half of the caret's blink: shown, then hidden, for as long each.
constexpr double kBlinkHalfPeriod = 0.5;

QString withoutLineBreaks(QString text)
{
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QClipboard* clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

TextEditing::TextEditing(View& view, QString& text, LineBreaks lineBreaks, DelegateCalls calls)
    : m_view(view)
    , m_text(text)
    , m_buffer(text)
    , m_lineBreaks(lineBreaks)
    , m_calls(std::move(calls))
{
}

TextEditing::~TextEditing()
{
    stopBlinking();
}

bool TextEditing::showsCaret() const
{
    return m_editing && m_caretOn && !m_buffer.hasSelection();
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
    m_buffer.moveTo(int(m_text.size()));
    caretChanged();
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
    // A word half composed is given up with the focus, as the input method is reset.
    m_buffer.setMarkedText(QString());
    stopBlinking();
    m_view.setNeedsDisplay();
    m_calls.didEndEditing();
}

void TextEditing::textWasSet()
{
    m_buffer.setMarkedText(QString());
    m_buffer.moveTo(int(m_text.size()));
    if (m_editing)
        caretChanged();
}

void TextEditing::insertText(const QString& text)
{
    if (!m_editing)
        return;
    const QString string = m_lineBreaks == LineBreaks::Dropped ? withoutLineBreaks(text) : text;
    const TextRange range = m_buffer.selectedRange();
    if (string.isEmpty()) {
        setMarkedText(QString());
        return;
    }
    // The commit ends the composition, whether the delegate takes it or not.
    m_buffer.setMarkedText(QString());
    if (!replace(range, string))
        m_view.setNeedsDisplay();
}

void TextEditing::deleteBackward()
{
    if (!m_editing)
        return;
    const int caret = m_buffer.caret();
    const TextRange range = m_buffer.hasSelection() ? m_buffer.selectedRange()
                                                    : TextRange{m_buffer.previousCharacter(caret),
                                                                caret - m_buffer.previousCharacter(caret)};
    if (range.length > 0)
        replace(range, QString());
}

void TextEditing::deleteForward()
{
    const int caret = m_buffer.caret();
    const TextRange range = m_buffer.hasSelection() ? m_buffer.selectedRange()
                                                    : TextRange{caret, m_buffer.nextCharacter(caret) - caret};
    if (range.length > 0)
        replace(range, QString());
}

void TextEditing::setMarkedText(const QString& text)
{
    if (!m_editing || text == m_buffer.markedText())
        return;
    m_buffer.setMarkedText(text);
    caretChanged();
}

bool TextEditing::perform(EditingCommand command)
{
    if (!m_editing)
        return false;
    // An input method keeps the keys while it composes; one that let a key through has given up.
    m_buffer.setMarkedText(QString());
    using E = TextBuffer::Extent;
    switch (command) {
    case EditingCommand::MoveLeft: moveHorizontally(false, E::Collapse); return true;
    case EditingCommand::MoveRight: moveHorizontally(true, E::Collapse); return true;
    case EditingCommand::SelectLeft: moveHorizontally(false, E::Extend); return true;
    case EditingCommand::SelectRight: moveHorizontally(true, E::Extend); return true;
    case EditingCommand::DeleteForward: deleteForward(); return true;
    case EditingCommand::SelectAll: selectAll(); return true;
    case EditingCommand::Cut: cut(); return true;
    case EditingCommand::Copy: copy(); return true;
    case EditingCommand::Paste: paste(); return true;
    default: return false;
    }
}

void TextEditing::moveHorizontally(bool forward, TextBuffer::Extent extent)
{
    const TextRange selection = m_buffer.selectedRange();
    int target = 0;
    if (extent == TextBuffer::Extent::Collapse && selection.length > 0)
        target = forward ? selection.location + selection.length : selection.location;
    else
        target = forward ? m_buffer.nextCharacter(m_buffer.caret()) : m_buffer.previousCharacter(m_buffer.caret());
    moveCaret(target, extent);
}

void TextEditing::moveCaret(int position, TextBuffer::Extent extent)
{
    if (!m_editing)
        return;
    m_buffer.setMarkedText(QString());
    m_buffer.moveTo(position, extent);
    caretChanged();
}

void TextEditing::selectWordAt(int position)
{
    if (!m_editing)
        return;
    m_buffer.setMarkedText(QString());
    // Words would tell where a hidden text has its spaces: all of it is one.
    m_buffer.select(m_secure ? TextRange{0, int(m_text.size())} : m_buffer.wordAt(position));
    caretChanged();
}

void TextEditing::selectAll()
{
    m_buffer.selectAll();
    caretChanged();
}

void TextEditing::cut()
{
    if (m_secure || !m_buffer.hasSelection())
        return;
    const QString removed = m_buffer.selectedText();
    // A refused cut leaves the text, and the clipboard, as they were.
    if (!replace(m_buffer.selectedRange(), QString()))
        return;
    if (QClipboard* board = clipboard())
        board->setText(removed);
}

void TextEditing::copy() const
{
    if (m_secure || !m_buffer.hasSelection())
        return;
    if (QClipboard* board = clipboard())
        board->setText(m_buffer.selectedText());
}

void TextEditing::paste()
{
    QClipboard* board = clipboard();
    if (!board)
        return;
    insertText(board->text());
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
    m_buffer.didReplace({location, length}, int(string.size()));
    m_view.setNeedsDisplay();
    if (m_editing)
        caretChanged();
    return true;
}

void TextEditing::caretChanged()
{
    m_caretOn = true;
    m_view.setNeedsDisplay();
    startBlinking();
}

void TextEditing::startBlinking()
{
    stopBlinking();
    // Tied to the view: a view that has gone is not blinked.
    m_blink = core::Timer::scheduledTimer(kBlinkHalfPeriod, true, m_view.shared_from_this(), [this](core::Timer&) {
        // A window that goes tells its views nothing: the editing it held ends here.
        if (!m_view.isFirstResponder()) {
            endEditing();
            return;
        }
        // Only the caret's own pixels change: the view's drawing runs clipped to them, and the
        // frame copies only them to the screen.
        m_caretOn = !m_caretOn;
        m_view.setNeedsDisplayInRect(m_view.caretRect());
    });
}

void TextEditing::stopBlinking()
{
    if (m_blink)
        m_blink->invalidate();
    m_blink.reset();
}

double TextEditing::scrolledToShow(double offset, double from, double to, double visible, double content)
{
    offset = std::clamp(offset, to - visible, std::max(to - visible, from));
    return std::clamp(offset, 0.0, std::max(0.0, content - visible));
}

} // namespace ui
