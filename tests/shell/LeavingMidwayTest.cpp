// Screens left in the middle of something, as a user leaves them: by the back button while a
// field is being edited, and while the screen is still sliding in.
#include "appbase/ChromeViewController.h"
#include "practice/ExamSetViewController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TouchInjector.h"
#include "tests/shell/LaunchedAppTest.h"

namespace {

class LeavingMidwayTest : public LaunchedAppTest {
protected:
    // Taps through `path` from the home screen and returns the screen the last tap opened,
    // once it has settled.
    std::shared_ptr<ChromeViewController> openBy(const QStringList& path)
    {
        std::shared_ptr<ui::ViewController> screen = m_home;
        for (const QString& label : path) {
            screen = tapTo<ChromeViewController>(screen, label);
            if (!screen)
                return nullptr;
        }
        return std::dynamic_pointer_cast<ChromeViewController>(screen);
    }
};

// Back while a field is being edited, empty or holding text, closes the screen and lets it go;
// the screen under it shows again.
TEST_F(LeavingMidwayTest, BackWhileAFieldIsEditedClosesTheScreen)
{
    startSampleServer();
    launch();
    const struct {
        QStringList path;
        const char* field;   // its accessibility label, or "" for the practice count field
        const char* text;
    } cases[] = {
        {{"用户登陆"}, "请输入账号", ""},
        {{"用户登陆"}, "请输入账号", "ann中"},
        {{"用户登陆"}, "请输入密码", ""},
        {{"用户登陆"}, "请输入密码", "pw&1"},
        {{"用户登陆", "注册新用户"}, "请输入账号", ""},
        {{"用户登陆", "注册新用户"}, "请输入密码", "secret"},
        {{"用户登陆", "注册新用户"}, "请输入确认密码", ""},
        {{"用户登陆", "注册新用户"}, "请输入确认密码", "密码"},
        {{"系统设置", "试题设置"}, "", ""},
        {{"系统设置", "试题设置"}, "", "12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.join('/').toStdString() + " " + c.field + " " + c.text);
        auto screen = openBy(c.path);
        ASSERT_TRUE(screen);
        auto below = screen->presentingViewController();
        if (*c.field) {
            ASSERT_TRUE(tap(screen, c.field));
        } else {
            m_delegate->window()->layoutIfNeeded();
            auto count = screen->view()->viewWithTag(ExamSetViewController::kSpecialNumFieldTag);
            ASSERT_TRUE(count && ui::TouchInjector::tap(*count));
            // The tap puts the caret among the digits; Backspace deletes before it.
            keyboard::key(m_host.get(), Qt::Key_End);
            while (!std::static_pointer_cast<ui::TextField>(count)->text().isEmpty())
                keyboard::key(m_host.get(), Qt::Key_Backspace);
        }
        commit(c.text);
        ASSERT_TRUE(focus());
        ASSERT_TRUE(tap(screen, "返回"));
        std::weak_ptr<ChromeViewController> gone = screen;
        screen.reset();
        EXPECT_TRUE(pumpUntil([&] { return gone.expired(); }));
        EXPECT_FALSE(focus());
        // Back to the home screen for the next case.
        for (auto open = below; open && open != m_container; open = open->presentingViewController()) {
            ASSERT_TRUE(tap(open, "返回"));
            ASSERT_TRUE(closes(open));
        }
        EXPECT_FALSE(m_container->presentedViewController());
    }
}

// A back tap while a screen still slides in does nothing: the screen arrives whole, and its
// back button then closes it.
TEST_F(LeavingMidwayTest, BackWhileAScreenSlidesInLeavesItWhole)
{
    startSignedIn();
    launch();
    for (const char* opener : {"用户登陆", "系统设置", "历年真题", "专项练习", "错题收藏", "备考专区"}) {
        SCOPED_TRACE(opener);
        ASSERT_TRUE(tap(m_home, opener));
        auto screen = m_container->presentedViewController();
        ASSERT_TRUE(screen && screen->isTransitioning());
        ASSERT_TRUE(tap(screen, "返回"));
        ASSERT_TRUE(pumpUntil([&] { return !screen->isTransitioning() && overlaysGone(screen->view()); }));
        EXPECT_TRUE(screen->presentingViewController());
        ASSERT_TRUE(tap(screen, "返回")) << "the screen kept its back button";
        EXPECT_TRUE(closes(screen));
    }
}

} // namespace
