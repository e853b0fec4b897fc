#pragma once

#include <QRasterWindow>
#include <memory>

class QInputMethodEvent;
class QInputMethodQueryEvent;

namespace ui {

class FrameScheduler;
class View;
class Window;

// Shows a Window on the desktop: draws it when something in it changed (FrameScheduler; an
// idle window draws nothing) at the host window's own device pixel ratio, whatever the main
// screen's scale (one pixel per point on most desktops: a frame drawn at the phone's scale
// and shrunk into the window would keep only every second line of pixels, a thin border's
// among them); turns the left mouse button into touches and the keyboard and input method
// into the first responder's text input (typed and composing text, editing keys by the
// desktop's key bindings); and reports the window being hidden or minimised (and shown
// again) to the application as entering the background (and the foreground).
//
// The input method is on exactly while some view is the first responder: Qt asks only when
// the focus moves between its own windows, so the host tells it again whenever the first
// responder changes inside the window, and after every edit (the caret moved).
class WindowHost : public QRasterWindow {
public:
    explicit WindowHost(std::shared_ptr<ui::Window> window);
    ~WindowHost() override;

    // Frames drawn since the host was made.
    int framesDrawn() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void sendTouch(int phase, QMouseEvent* event);
    void inputMethodEvent(QInputMethodEvent* event);
    void answerInputMethodQuery(QInputMethodQueryEvent* query) const;
    static Qt::InputMethodHints inputMethodHints(const View* responder);
    void firstResponderChanged();
    void caretMoved();
    void updateBackgroundState();

    std::shared_ptr<ui::Window> m_window;
    std::unique_ptr<FrameScheduler> m_frames;
    bool m_pressed = false;
};

} // namespace ui
