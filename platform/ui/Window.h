#pragma once

#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

#include <QImage>
#include <functional>

namespace ui {

class GestureRecognizer;
class ViewController;

// The root of a view tree, shown by a WindowHost (or nowhere, in tests).
//
// The root view controller's view fills the window, in the interface's orientation. Replacing
// the root sends the old one will/did-disappear and the new one will-appear at once and
// did-appear on the next run-loop turn; the old root is kept alive until the turn after the
// call that replaced it, so a controller may replace itself from its own callback.
//
// Touches: sendTouch() hit-tests a new touch, hands it to the recognisers of the hit view and
// its ancestors (those that accept it), and delivers it to the hit view until a recogniser
// that cancels touches recognises. A recogniser that must wait for another of the touch to fail
// is let go once the other has failed.
class Window : public View {
public:
    static std::shared_ptr<Window> create(const Rect& frame);
    ~Window() override;

    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;

    std::shared_ptr<ViewController> rootViewController() const { return m_rootViewController; }
    void setRootViewController(const std::shared_ptr<ViewController>& controller);

    std::shared_ptr<View> firstResponder() const { return m_firstResponder.lock(); }
    // Called after the first responder changed (a field began or ended editing), so the window
    // host can switch the input method on or off.
    std::function<void()> onFirstResponderChanged;

    // One finger, as the window host and TouchInjector drive it.
    void sendTouch(Touch::Phase phase, const Point& windowLocation, double timestamp);
    bool isTracking() const { return m_touch != nullptr; }

    // Lays out and draws the window at the main screen's scale.
    QImage renderImage();

private:
    friend class View;
    explicit Window(const Rect& frame);

    void setFirstResponder(const std::shared_ptr<View>& view);
    void showRoot();
    void beginTouch(const Point& location, double timestamp);
    void deliverToView(Touch::Phase phase);
    void endTouch();
    int tapCountAt(const Point& location, double timestamp) const;
    void rememberTap(Touch::Phase phase, const Point& location, double timestamp);
    bool mayLeavePossible(GestureRecognizer& recognizer);
    bool mustWaitForFailure(GestureRecognizer& recognizer);
    void releaseWaiting();
    void recognized(GestureRecognizer& recognizer);

    std::shared_ptr<ViewController> m_rootViewController;
    std::weak_ptr<View> m_firstResponder;
    std::shared_ptr<Touch> m_touch;
    std::vector<std::shared_ptr<GestureRecognizer>> m_touchRecognizers;
    bool m_viewTouchCancelled = false;
    // The last touch that stayed where it began, which a touch soon after beside it continues.
    struct Tap {
        double time = 0;
        Point location;
        int count = 0;
    };
    Tap m_lastTap;
    Point m_touchStart;
};

} // namespace ui
