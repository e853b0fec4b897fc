#pragma once

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QObject>
#include <QString>

// Typing as the desktop delivers it to a window host: key presses, and text an input
// method commits (Chinese, for one).
namespace keyboard {

inline void key(QObject* host, int code, const QString& text = QString())
{
    QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier, text);
    QCoreApplication::sendEvent(host, &event);
}

// A key with modifiers, as the desktop sends it (Shift+Left, Ctrl+C), `times` over.
inline void press(QObject* host, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        QKeyEvent event(QEvent::KeyPress, code, modifiers);
        QCoreApplication::sendEvent(host, &event);
    }
}

inline void type(QObject* host, const QString& text)
{
    for (QChar c : text)
        key(host, Qt::Key_unknown, QString(c));
}

inline void commit(QObject* host, const QString& text)
{
    QInputMethodEvent event(QString(), {});
    event.setCommitString(text);
    QCoreApplication::sendEvent(host, &event);
}

// What an input method shows while the user composes (pinyin, say), not yet committed.
inline void compose(QObject* host, const QString& preedit)
{
    QInputMethodEvent event(preedit, {});
    QCoreApplication::sendEvent(host, &event);
}

} // namespace keyboard
