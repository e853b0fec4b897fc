#include "platform/ui/WindowHost.h"

#include "platform/core/Clock.h"
#include "platform/ui/Application.h"
#include "platform/ui/FrameScheduler.h"
#include "platform/ui/KeyBindings.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace ui {

WindowHost::WindowHost(std::shared_ptr<ui::Window> window)
    : m_window(std::move(window))
    , m_frames(std::make_unique<FrameScheduler>(
          m_window, [this](const QRect& changed) { update(changed); }, [this] { return devicePixelRatio(); }))
{
    const Size size = m_window->bounds().size;
    resize(int(size.width), int(size.height));
    setTitle(QStringLiteral("qbank"));
    m_window->onFirstResponderChanged = [this] { firstResponderChanged(); };
}

WindowHost::~WindowHost()
{
    m_window->onFirstResponderChanged = nullptr;
}

int WindowHost::framesDrawn() const
{
    return m_frames->framesDrawn();
}

// Frames are drawn by the scheduler at this window's own pixel ratio, so a paint copies the
// asked part of the latest pixel for pixel.
void WindowHost::paintEvent(QPaintEvent* event)
{
    m_frames->ensureFrame();
    const QImage& frame = m_frames->image();
    const double scale = frame.devicePixelRatio();
    QPainter painter(this);
    for (const QRect& r : event->region()) {
        painter.fillRect(r, Qt::black);
        painter.drawImage(QRectF(r), frame, QRectF(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale));
    }
}

void WindowHost::sendTouch(int phase, QMouseEvent* event)
{
    const QPointF p = event->position();
    m_window->sendTouch(Touch::Phase(phase), Point(p.x(), p.y()), core::Clock::now());
}

void WindowHost::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    // A word being composed is committed where it was begun, before the finger moves the caret.
    if (QGuiApplication::focusObject() == this)
        QGuiApplication::inputMethod()->commit();
    sendTouch(int(Touch::Phase::Began), event);
}

void WindowHost::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    sendTouch(int(Touch::Phase::Moved), event);
}

void WindowHost::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    sendTouch(int(Touch::Phase::Ended), event);
    caretMoved();
}

void WindowHost::keyPressEvent(QKeyEvent* event)
{
    auto responder = m_window->firstResponder();
    if (!responder)
        return;
    switch (event->key()) {
    case Qt::Key_Backspace: responder->deleteBackward(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: responder->insertText(QStringLiteral("\n")); break;
    default:
        if (const auto command = KeyBindings::command(*event)) {
            responder->performEditingCommand(*command);
            break;
        }
        if (event->text().isEmpty() || !event->text().at(0).isPrint())
            return;
        responder->insertText(event->text());
        break;
    }
    caretMoved();
}

void WindowHost::inputMethodEvent(QInputMethodEvent* event)
{
    auto responder = m_window->firstResponder();
    if (responder) {
        if (!event->commitString().isEmpty())
            responder->insertText(event->commitString());
        responder->setMarkedText(event->preeditString());
        caretMoved();
    }
    event->accept();
}

void WindowHost::answerInputMethodQuery(QInputMethodQueryEvent* query) const
{
    const auto responder = m_window->firstResponder();
    if (query->queries() & Qt::ImEnabled)
        query->setValue(Qt::ImEnabled, responder != nullptr);
    if ((query->queries() & Qt::ImCursorRectangle) && responder) {
        const Rect caret = responder->convertRectTo(responder->caretRect(), m_window.get());
        query->setValue(Qt::ImCursorRectangle, caret.toQRectF());
    }
    if (query->queries() & Qt::ImHints)
        query->setValue(Qt::ImHints, int(inputMethodHints(responder.get())));
    query->accept();
}

// A secret keeps out of the input method's sight: nothing composed in clear beside the dots,
// nothing learnt or suggested from it.
Qt::InputMethodHints WindowHost::inputMethodHints(const View* responder)
{
    const auto* field = dynamic_cast<const TextField*>(responder);
    if (!field || !field->isSecureTextEntry())
        return Qt::ImhNone;
    return Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText;
}

void WindowHost::firstResponderChanged()
{
    if (QGuiApplication::focusObject() != this)
        return;
    // A half-composed word was meant for the field that lost the focus, not the next one.
    QGuiApplication::inputMethod()->reset();
    QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints | Qt::ImCursorRectangle);
}

void WindowHost::caretMoved()
{
    if (QGuiApplication::focusObject() == this)
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

bool WindowHost::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::InputMethodQuery:
        answerInputMethodQuery(static_cast<QInputMethodQueryEvent*>(event));
        return true;
    case QEvent::InputMethod:
        inputMethodEvent(static_cast<QInputMethodEvent*>(event));
        return true;
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange: {
        const bool result = QRasterWindow::event(event);
        updateBackgroundState();
        return result;
    }
    default: return QRasterWindow::event(event);
    }
}

void WindowHost::updateBackgroundState()
{
    const bool hidden = !isVisible() || (windowStates() & Qt::WindowMinimized);
    m_frames->setVisible(!hidden);
    if (hidden)
        Application::shared().enterBackground();
    else
        Application::shared().enterForeground();
}

} // namespace ui
