#include "platform/ui/Application.h"

#include "platform/core/RunLoop.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/NotificationCenter.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

Application& Application::shared()
{
    // Made first so it is destroyed last: views that outlive tearDown() still unregister
    // from it as they go.
    NotificationCenter::defaultCenter();
    static Application application;
    return application;
}

bool Application::finishLaunching()
{
    auto delegate = m_delegate;
    return delegate ? delegate->didFinishLaunching(*this) : true;
}

void Application::enterBackground()
{
    if (m_state == State::Background || m_terminated)
        return;
    auto delegate = m_delegate;
    if (delegate)
        delegate->applicationWillResignActive(*this);
    m_state = State::Background;
    if (delegate)
        delegate->applicationDidEnterBackground(*this);
}

void Application::enterForeground()
{
    if (m_state != State::Background || m_terminated)
        return;
    auto delegate = m_delegate;
    if (delegate)
        delegate->applicationWillEnterForeground(*this);
    m_state = State::Active;
    if (delegate)
        delegate->applicationDidBecomeActive(*this);
}

void Application::terminate()
{
    if (m_terminated)
        return;
    enterBackground();
    m_terminated = true;
    if (auto delegate = m_delegate)
        delegate->applicationWillTerminate(*this);
}

std::vector<std::shared_ptr<Window>> Application::windows() const
{
    std::vector<std::shared_ptr<Window>> alive;
    for (const auto& weak : m_windows) {
        if (auto window = weak.lock())
            alive.push_back(window);
    }
    return alive;
}

void Application::registerWindow(const std::shared_ptr<Window>& window)
{
    m_windows.erase(std::remove_if(m_windows.begin(), m_windows.end(), [](const auto& w) { return w.expired(); }),
                    m_windows.end());
    m_windows.push_back(window);
}

void Application::setStatusBarOrientation(InterfaceOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    NotificationCenter::defaultCenter().post(NotificationCenter::DeviceOrientationDidChange);
}

void Application::tearDown()
{
    core::RunLoop::main().reset();
    auto delegate = std::move(m_delegate);
    m_windows.clear();
    m_keyWindow.reset();
    delegate.reset();
}

void Application::reset()
{
    m_delegate.reset();
    m_windows.clear();
    m_keyWindow.reset();
    m_state = State::Active;
    m_orientation = InterfaceOrientation::Portrait;
    m_statusBar = StatusBar();
    m_terminated = false;
}

} // namespace ui
