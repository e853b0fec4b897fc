#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/InterfaceOrientation.h"
#include "platform/ui/StatusBar.h"

#include <functional>
#include <memory>
#include <vector>

namespace ui {

class ApplicationDelegate;
class Window;

// The process's application object: its delegate, its windows and its state.
//
// On a desktop "entering the background" is the window being hidden or minimised, or the
// application quitting; the delegate hears of each step once (a second background while in
// the background says nothing).
class Application {
public:
    enum class State { Active, Inactive, Background };

    static Application& shared();

    std::shared_ptr<ApplicationDelegate> delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { m_delegate = std::move(delegate); }

    // Sends didFinishLaunching to the delegate and returns its answer.
    bool finishLaunching();

    State state() const { return m_state; }
    void enterBackground();    // will-resign-active, did-enter-background
    void enterForeground();    // will-enter-foreground, did-become-active
    // Quitting: the background step when still in the foreground, then will-terminate.
    void terminate();
    bool isTerminated() const { return m_terminated; }

    std::shared_ptr<Window> keyWindow() const { return m_keyWindow.lock(); }
    std::vector<std::shared_ptr<Window>> windows() const;

    // The status bar: its orientation and its frame in screen coordinates (20 points along
    // the interface's top, turned with the orientation; empty while hidden; StatusBar.h).
    // Setting the orientation posts the device-orientation notification. Our platform draws
    // no bar and lays nothing out below it: a window's root keeps the whole screen.
    InterfaceOrientation statusBarOrientation() const { return m_orientation; }
    void setStatusBarOrientation(InterfaceOrientation orientation);
    Rect statusBarFrame() const { return m_statusBar.frame(m_orientation); }
    bool isStatusBarHidden() const { return m_statusBar.isHidden(); }
    void setStatusBarHidden(bool hidden) { m_statusBar.setHidden(hidden); }
    StatusBar& statusBar() { return m_statusBar; }

    // Back to a fresh state (tests): no delegate, no windows, active, portrait, a shown
    // status bar of the default height.
    void reset();
    // The end of the program: drops work still queued on the run loop and the delegate
    // (and with it every window, view and overlay) while the platform's singletons still
    // stand, instead of leaving them to static destruction in an unknown order.
    void tearDown();

private:
    friend class Window;
    Application() = default;

    void registerWindow(const std::shared_ptr<Window>& window);
    void setKeyWindow(const std::shared_ptr<Window>& window) { m_keyWindow = window; }

    std::shared_ptr<ApplicationDelegate> m_delegate;
    std::vector<std::weak_ptr<Window>> m_windows;
    std::weak_ptr<Window> m_keyWindow;
    State m_state = State::Active;
    InterfaceOrientation m_orientation = InterfaceOrientation::Portrait;
    StatusBar m_statusBar;
    bool m_terminated = false;
};

} // namespace ui
