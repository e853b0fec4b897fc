#pragma once

#include "appbase/CommonUtil.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "shell/MainViewController.h"
#include "shell/account/FeedAndScroooViewController.h"
#include "shell/account/FeedViewController.h"
#include "shell/account/SystemViewController.h"
#include "shell/brevumAppDelegate.h"
#include "tests/support/AppTest.h"
#include "tests/support/Keyboard.h"
#include "tests/support/Screenshot.h"

#include <QJsonObject>

// The app started as the program starts it: the real application delegate loads what an
// earlier run saved (the state held when launch() is called), and the container with the
// home screen and the subject menu fills a window on the desktop host, so that taps land and
// keys and the input method reach the first responder.
class LaunchedAppTest : public AppTest {
protected:
    void launch()
    {
        CommonUtil::saveData();
        m_delegate = brevumAppDelegate::create();
        ui::Application::shared().setDelegate(m_delegate);
        ASSERT_TRUE(ui::Application::shared().finishLaunching());
        ASSERT_TRUE(pumpUntil([&] {
            m_container = std::dynamic_pointer_cast<SidePanelController>(m_delegate->window()->rootViewController());
            return m_container && m_container->centerController()->isViewLoaded() && m_container->isAppeared();
        }));
        m_home = std::dynamic_pointer_cast<MainViewController>(m_container->centerController());
        ASSERT_TRUE(m_home);
        m_host = std::make_unique<ui::WindowHost>(m_delegate->window());
    }

    // Taps `label` on `from` and returns the screen that opens over it (over the container,
    // for the screens inside it), once it has settled.
    template<class Screen>
    std::shared_ptr<Screen> tapTo(std::shared_ptr<ui::ViewController> from, const QString& label)
    {
        if (!tap(from, label))
            return nullptr;
        while (from->parentViewController())
            from = from->parentViewController();
        return onTop<Screen>(from);
    }
    // The feedback form, from the home screen through the settings menu and the feedback menu
    // (kept in m_feedMenu).
    std::shared_ptr<FeedViewController> openFeedbackForm()
    {
        auto settings = tapTo<SystemViewController>(m_home, "系统设置");
        m_feedMenu = settings ? tapTo<FeedAndScroooViewController>(settings, "反馈与评分") : nullptr;
        return m_feedMenu ? tapTo<FeedViewController>(m_feedMenu, "用户反馈") : nullptr;
    }
    bool tap(const std::shared_ptr<ui::ViewController>& screen, const QString& label)
    {
        m_delegate->window()->layoutIfNeeded();
        return tapLabel(screen->view(), label);
    }

    std::shared_ptr<ui::View> focus() const { return m_delegate->window()->firstResponder(); }
    void type(const QString& text) { keyboard::type(m_host.get(), text); }
    // Text the input method commits (Chinese, for one).
    void commit(const QString& text) { keyboard::commit(m_host.get(), text); }
    void pressReturn() { keyboard::key(m_host.get(), Qt::Key_Return, QStringLiteral("\r")); }

    // Somebody signed in before.
    inline static const QJsonObject kOldAccount{{"code", "old1"}, {"username", "olduser"}, {"pwd", "oldpw1"}};

    static QString heldName()
    {
        return CommonUtil::getAccount().value_or(QJsonObject()).value("username").toString();
    }
    // Waits for the toasts to go: until then they take the screen's touches.
    static bool toastsGone(const std::shared_ptr<ui::View>& view)
    {
        return pumpUntil([&] { return toastTexts(view).isEmpty(); });
    }

    // The window as the user sees it, for a person to look at.
    bool shoot(const QString& name)
    {
        m_delegate->window()->layoutIfNeeded();
        return screenshot::save(m_delegate->window()->renderImage(), name);
    }

    std::shared_ptr<brevumAppDelegate> m_delegate;
    std::shared_ptr<SidePanelController> m_container;
    std::shared_ptr<MainViewController> m_home;
    std::unique_ptr<ui::WindowHost> m_host;
    std::shared_ptr<FeedAndScroooViewController> m_feedMenu;
};
