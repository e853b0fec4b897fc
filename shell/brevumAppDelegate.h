#pragma once

#include "platform/ui/ApplicationDelegate.h"

#include <memory>

namespace ui {
class Window;
}

// The application's life cycle: the window at launch, the shared state saved whenever the
// application leaves the foreground.
class brevumAppDelegate : public ui::ApplicationDelegate {
public:
    static std::shared_ptr<brevumAppDelegate> create();

    bool didFinishLaunching(ui::Application& application) override;
    void applicationDidEnterBackground(ui::Application& application) override;

    std::shared_ptr<ui::Window> window() const { return m_window; }
    void setWindow(const std::shared_ptr<ui::Window>& window) { m_window = window; }

private:
    brevumAppDelegate() = default;

    std::shared_ptr<ui::Window> m_window;
};
