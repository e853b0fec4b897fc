#pragma once

#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "shell/MainViewController.h"
#include "shell/brevumAppDelegate.h"
#include "tests/support/AppTest.h"

// The app started as the program starts it: the real application delegate, the container
// with the home screen and the subject menu, in a window that takes taps.
class LaunchedAppTest : public AppTest {
protected:
    void launch()
    {
        m_delegate = brevumAppDelegate::create();
        ui::Application::shared().setDelegate(m_delegate);
        ASSERT_TRUE(ui::Application::shared().finishLaunching());
        ASSERT_TRUE(pumpUntil([&] {
            m_container = std::dynamic_pointer_cast<SidePanelController>(m_delegate->window()->rootViewController());
            return m_container && m_container->centerController()->isViewLoaded();
        }));
        m_home = std::dynamic_pointer_cast<MainViewController>(m_container->centerController());
        ASSERT_TRUE(m_home);
        m_delegate->window()->layoutIfNeeded();
    }

    // The screen presented over `below` once it has appeared as `Screen` and its wait
    // overlay has gone; null if it does not come.
    template<class Screen>
    std::shared_ptr<Screen> onTop(const std::shared_ptr<ui::ViewController>& below)
    {
        std::shared_ptr<Screen> screen;
        pumpUntil([&] {
            screen = std::dynamic_pointer_cast<Screen>(below->presentedViewController());
            return screen && screen->isAppeared() && overlaysGone(screen->view());
        });
        return screen;
    }

    std::shared_ptr<brevumAppDelegate> m_delegate;
    std::shared_ptr<SidePanelController> m_container;
    std::shared_ptr<MainViewController> m_home;
};
