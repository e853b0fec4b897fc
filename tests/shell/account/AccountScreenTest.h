#pragma once

#include "components/hud/ProgressHUD.h"
#include "components/sidepanel/SidePanelController.h"
#include "shell/MainViewController.h"
#include "shell/RootViewController.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "tests/support/AppTest.h"

#include "appbase/CommonUtil.h"
#include "shell/account/LoginViewControllerDelegate.h"
#include "tests/support/Keyboard.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <functional>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <memory>

// The home screen's side of the login screen: how often it was told, and a look at that moment.
class RecordingHome : public LoginViewControllerDelegate {
public:
    void loginOk() override
    {
        ++calls;
        if (onLoginOk)
            onLoginOk();
    }
    int calls = 0;
    std::function<void()> onLoginOk;
};

// A screen of the account cluster as a user meets it: presented over a plain root in a key
// window on the desktop window host, so that taps land and keys and the input method reach
// the first responder.
class AccountScreenTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        m_root = ui::ViewController::create();
        m_window->setRootViewController(m_root);
        m_host = std::make_unique<ui::WindowHost>(m_window);
    }

    void TearDown() override
    {
        m_host.reset();
        m_window.reset();
        m_container.reset();
        m_root.reset();
        AppTest::TearDown();
    }

    // The app as start-up arranges it: the container with the home screen, shown.
    std::shared_ptr<MainViewController> startHome()
    {
        m_container = RootViewController::makeContainer();
        auto home = std::dynamic_pointer_cast<MainViewController>(m_container->centerController());
        m_window->setRootViewController(m_container);
        EXPECT_TRUE(pumpUntil([&] { return home->isViewLoaded() && m_container->isAppeared(); }));
        return home;
    }

    // Presents without animation from the root and waits until it shows.
    bool present(const std::shared_ptr<ui::ViewController>& screen)
    {
        m_root->presentViewController(screen, false);
        return settles(screen);
    }
    static bool settles(const std::shared_ptr<ui::ViewController>& screen)
    {
        return pumpUntil([&] { return screen->isAppeared() && !screen->isTransitioning(); });
    }
    // Gone from the screen: nobody presents it any more.
    static bool closes(const std::weak_ptr<ui::ViewController>& screen)
    {
        return pumpUntil([&] {
            auto s = screen.lock();
            return !s || (!s->presentingViewController() && !s->isTransitioning());
        });
    }

    static bool waitForOverlaysGone(const std::shared_ptr<ui::View>& view)
    {
        return pumpUntil([&] { return overlaysGone(view); });
    }

    // The screen of type T once `under` presents it and it has settled.
    template<class T>
    static std::shared_ptr<T> presentedOver(const std::shared_ptr<ui::ViewController>& under)
    {
        std::shared_ptr<T> shown;
        pumpUntil([&] {
            shown = std::dynamic_pointer_cast<T>(under->presentedViewController());
            return shown && shown->isAppeared() && !shown->isTransitioning();
        });
        return shown && shown->isAppeared() ? shown : nullptr;
    }

    bool tap(const std::shared_ptr<ui::View>& root, const QString& label)
    {
        m_window->layoutIfNeeded();
        return tapLabel(root, label);
    }

    // Keys as the desktop sends them to the window host.
    void key(int code, const QString& text = QString()) { keyboard::key(m_host.get(), code, text); }
    void type(const QString& text) { keyboard::type(m_host.get(), text); }
    // Text the input method commits (Chinese, for one).
    void commit(const QString& text) { keyboard::commit(m_host.get(), text); }
    void backspace() { key(Qt::Key_Backspace); }
    void pressReturn() { key(Qt::Key_Return, QStringLiteral("\r")); }

    static QString username() { return CommonUtil::getAccount().value_or(QJsonObject()).value("username").toString(); }
    // Somebody signed in before the screen opened.
    inline static const QJsonObject kOldAccount{{"code", "old1"}, {"username", "olduser"}, {"pwd", "oldpw1"}};

    std::shared_ptr<ui::View> focus() const { return m_window->firstResponder(); }

    static QString lastToast(const std::shared_ptr<ui::View>& view)
    {
        const QStringList toasts = toastTexts(view);
        return toasts.isEmpty() ? QString() : toasts.last();
    }

    // The window as the user sees it, written to /tmp for a person to look at.
    bool screenshot(const QString& name)
    {
        core::RunLoop::main().processPending();
        m_window->layoutIfNeeded();
        const ui::Screen& screen = ui::Screen::main();
        const QImage image = ui::Renderer::render(*m_window->layer(), screen.bounds().size, screen.scale(),
                                                  ui::Color::white());
        return ui::Renderer::writePng(image, QStringLiteral("/tmp/hacct-%1.png").arg(name));
    }

    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<SidePanelController> m_container;
    std::unique_ptr<ui::WindowHost> m_host;
};
