#include "shell/brevumAppDelegate.h"

#include "components/sidepanel/SidePanelController.h"
#include "platform/core/Log.h"
#include "platform/core/Settings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"
#include "appbase/CommonUtil.h"
#include "shell/LeftViewController.h"
#include "shell/MainViewController.h"
#include "shell/RootViewController.h"
#include "tests/support/AppTest.h"

#include <QJsonObject>

namespace {

class AppStartTest : public AppTest {
protected:
    // A store from an earlier run: signed in, subject S5, style 3, font 2.
    void storeEarlierRun()
    {
        const QJsonObject account{{"code", "u9"}, {"username", "kim"}, {"pwd", "pw"}};
        auto& store = core::Settings::standard();
        store.set("account", account);
        store.set("sysset", QJsonArray{"10", "20", "1", "0", "0", "3", "2", "1234567890", account, "S5"});
        store.synchronize();
    }
    std::shared_ptr<SidePanelController> launch()
    {
        m_delegate = brevumAppDelegate::create();
        ui::Application::shared().setDelegate(m_delegate);
        EXPECT_TRUE(ui::Application::shared().finishLaunching());
        // The start-up root stands in until the container replaces it.
        const auto window = m_delegate->window();
        EXPECT_TRUE(window && std::dynamic_pointer_cast<RootViewController>(window->rootViewController()));
        std::shared_ptr<SidePanelController> container;
        pumpUntil([&] {
            container = window ? std::dynamic_pointer_cast<SidePanelController>(window->rootViewController()) : nullptr;
            return container && container->centerController()->isViewLoaded();
        });
        return container;
    }

    std::shared_ptr<brevumAppDelegate> m_delegate;
};

TEST_F(AppStartTest, LaunchInstallsTheContainerAfterLoadingTheStore)
{
    storeEarlierRun();
    auto container = launch();
    ASSERT_TRUE(container);
    auto window = m_delegate->window();
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_EQ(window->backgroundColor(), ui::Color::white());
    EXPECT_TRUE(sameRect(window->frame(), ui::Rect(0, 0, 375, 667)));
    auto home = std::dynamic_pointer_cast<MainViewController>(container->centerController());
    auto menu = std::dynamic_pointer_cast<LeftViewController>(container->leftController());
    ASSERT_TRUE(home);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->delegate(), home);
    EXPECT_EQ(container->delegate(), menu);
    EXPECT_EQ(SidePanelController::of(*home), container);
    EXPECT_DOUBLE_EQ(container->leftSize(), RootViewController::leftSize());

    // The home screen saw the stored state, and reset the style as it loaded.
    EXPECT_EQ(CommonUtil::getSubjectCode(), QString("S5"));
    EXPECT_EQ(CommonUtil::getSpecialNum(), 10);
    EXPECT_EQ(CommonUtil::getDeiceId(), 1234567890);
    EXPECT_EQ(CommonUtil::getStyle(), 1);
    // Signed in: the account step sent nothing.
    EXPECT_FALSE(home->accountRequest());
}

TEST_F(AppStartTest, EveryBackgroundStepSaves)
{
    storeEarlierRun();
    ASSERT_TRUE(launch());
    auto& app = ui::Application::shared();

    CommonUtil::setFont(0);
    app.enterBackground();
    EXPECT_EQ(storedSysset()[6].toString(), "0");
    // The home screen's style reset reaches the store at the first save.
    EXPECT_EQ(storedSysset()[5].toString(), "1");

    app.enterForeground();
    CommonUtil::setFont(1);
    app.enterBackground();
    EXPECT_EQ(storedSysset()[6].toString(), "1");

    // Quitting from the foreground passes through the background step.
    app.enterForeground();
    CommonUtil::setSubjectCode(QString("S6"));
    app.terminate();
    EXPECT_EQ(storedSysset()[9].toString(), "S6");
}

TEST_F(AppStartTest, ShowSubjectOnlyLogs)
{
    core::LogCapture log;
    RootViewController::create()->showSubject(nullptr);
    EXPECT_TRUE(log.contains("sdfdfdfff"));
    EXPECT_FALSE(core::Settings::standard().contains("sysset"));
}

} // namespace
