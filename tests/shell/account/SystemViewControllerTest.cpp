#include "shell/account/SystemViewController.h"

#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "shell/account/StyleViewController.h"
#include "tests/shell/LaunchedAppTest.h"

namespace {

const QJsonObject kAccount{{"code", "u1"}, {"username", "tester"}, {"pwd", "se cret密码"}};

class SystemViewControllerTest : public LaunchedAppTest {
protected:
    void SetUp() override
    {
        LaunchedAppTest::SetUp();
        startSampleServer();
        CommonUtil::setAccount(kAccount);
        CommonUtil::setSubjectCode(QString("CB"));
        launch();
    }
};

// Each entry opens the screen of its title and shows what it is about; back returns to the menu.
TEST_F(SystemViewControllerTest, EachEntryOpensItsScreenAndSignOutForgetsTheAccount)
{
    auto menu = tapTo<SystemViewController>(m_home, "系统设置");
    ASSERT_TRUE(menu);
    EXPECT_TRUE(shows(menu->view(), "版本号：" + CommonUtil::getVersion()));
    EXPECT_TRUE(shoot("settings-menu"));
    const struct {
        const char* entry;
        QStringList shown;
    } entries[] = {
        {"账号信息", {"账号信息", "账号:  tester", "密码:  se cret密码"}},
        {"试题设置", {"试题设置"}},
        {"风格设置", {"风格设置", "风格一", "风格四"}},
        {"反馈与评分", {"反馈与评分", "用户反馈", "给我们评分"}},
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.entry);
        auto screen = tapTo<ChromeViewController>(menu, e.entry);
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->titleLabel()->text(), e.shown.first());
        for (const QString& text : e.shown)
            EXPECT_TRUE(shows(screen->view(), text)) << text.toStdString();
        ASSERT_TRUE(tap(screen, "返回"));
        ASSERT_TRUE(closes(screen));
    }

    // Signed out, the home screen's content buttons ask for a login again; nothing is saved.
    const QJsonValue saved = storedAccount();
    ASSERT_TRUE(tap(menu, "退出登录"));
    ASSERT_TRUE(closes(menu));
    EXPECT_FALSE(CommonUtil::getAccount());
    EXPECT_EQ(storedAccount(), saved);
    ASSERT_TRUE(tap(m_home, "历年真题"));
    EXPECT_EQ(toastTexts(m_home->view()), QStringList{"请先登录"});
    EXPECT_FALSE(m_container->presentedViewController());
}

// The thumbnail chosen shows as the home screen's background at once, under the menu; the
// choice is not saved.
TEST_F(SystemViewControllerTest, AChosenStyleShowsOnTheHomeScreen)
{
    const QJsonArray saved = storedSysset();
    auto menu = tapTo<SystemViewController>(m_home, "系统设置");
    ASSERT_TRUE(menu);
    const std::pair<const char*, const char*> choices[] = {
        {"风格四", "main_bg04.png"}, {"风格二", "main_bg02.png"}, {"风格三", "main_bg03.png"}, {"风格一", "main_bg01.png"}};
    for (const auto& [thumbnail, background] : choices) {
        SCOPED_TRACE(thumbnail);
        auto style = tapTo<StyleViewController>(menu, "风格设置");
        ASSERT_TRUE(style);
        ASSERT_TRUE(tap(style, thumbnail));
        ASSERT_TRUE(closes(style));
        EXPECT_EQ(m_home->bgView()->image(), ui::Image::named(background));
        EXPECT_EQ(m_container->presentedViewController(), menu);
    }
    EXPECT_EQ(storedSysset(), saved);
}

} // namespace
