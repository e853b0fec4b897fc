#include "shell/account/SystemViewController.h"

#include "appbase/CommonUtil.h"
#include "platform/core/ManualClock.h"
#include "platform/core/Settings.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TouchInjector.h"
#include "practice/ExamSetViewController.h"
#include "shell/account/AccountInfoViewController.h"
#include "shell/account/FeedAndScroooViewController.h"
#include "shell/account/StyleViewController.h"
#include "shell/account/StyleViewControllerDelegate.h"
#include "tests/shell/account/AccountScreenTest.h"

#include <QFile>
#include <QJsonObject>
#include <cmath>

namespace {

const QJsonObject kAccount{{"code", "u1"}, {"username", "tester"}, {"pwd", "se cret密码"}};

class RecordingHome : public StyleViewControllerDelegate {
public:
    void showMainStyle() override { styles.push_back(CommonUtil::getStyle()); }
    std::vector<int> styles;
};

class SystemViewControllerTest : public AccountScreenTest {
protected:
    static ui::Rect frameOf(const std::shared_ptr<ui::ViewController>& screen, const QString& label)
    {
        auto view = findByLabel(screen->view(), label);
        EXPECT_TRUE(view) << label.toStdString();
        return view ? view->frame() : ui::Rect();
    }
    static ui::Size artwork(const char* name)
    {
        return CommonUtil::scaledSize(ui::Image::named(CommonUtil::getImageName(name, ".png")), CommonUtil::getScale());
    }
    static QByteArray settingsFile()
    {
        QFile file(core::Settings::standard().filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(SystemViewControllerTest, MenuStacksItsButtonsFromTheArtworkSizes)
{
    auto menu = SystemViewController::create();
    ASSERT_TRUE(present(menu));
    const double W = CommonUtil::getSysWidth();
    const double H = CommonUtil::getSysHeight();
    const ui::Rect account = frameOf(menu, "账号信息");
    const ui::Rect notice = frameOf(menu, "试题设置");
    const ui::Rect style = frameOf(menu, "风格设置");
    const ui::Rect feedback = frameOf(menu, "反馈与评分");
    const ui::Rect signOut = frameOf(menu, "退出登录");
    EXPECT_EQ(account.size, artwork("accountInfobtn"));
    EXPECT_EQ(signOut.size, artwork("login_out"));
    EXPECT_DOUBLE_EQ(account.y(), 100);
    EXPECT_DOUBLE_EQ(notice.y(), account.maxY());
    EXPECT_DOUBLE_EQ(style.y(), notice.maxY() + 20);
    EXPECT_DOUBLE_EQ(feedback.y(), style.maxY() + 20);
    EXPECT_DOUBLE_EQ(signOut.y(), H - 15 - signOut.height());
    for (const ui::Rect& r : {account, notice, style, feedback, signOut})
        EXPECT_DOUBLE_EQ(r.x(), (W - r.width()) / 2);

    // The version band sits flush under the last button, its line inside it.
    const ui::Rect line = menu->versionLabel()->frame();
    EXPECT_DOUBLE_EQ(line.y() - (artwork("versionbg").height - 20) / 2, feedback.maxY());
    EXPECT_DOUBLE_EQ(line.x(), (W - artwork("versionbg").width) / 2 + 10);
    EXPECT_EQ(menu->versionLabel()->text(), "版本号：" + CommonUtil::getVersion());
    EXPECT_FALSE(CommonUtil::getVersion().isEmpty());
    EXPECT_TRUE(screenshot("settings-menu"));
}

TEST_F(SystemViewControllerTest, SignOutForgetsTheAccountButNotTheSettingsFile)
{
    for (bool signedIn : {true, false}) {
        SCOPED_TRACE(signedIn);
        CommonUtil::setAccount(signedIn ? std::optional(kAccount) : std::nullopt);
        CommonUtil::saveData();
        const QByteArray before = settingsFile();
        auto menu = SystemViewController::create();
        ASSERT_TRUE(present(menu));
        ASSERT_TRUE(tap(menu->view(), "退出登录"));
        EXPECT_FALSE(CommonUtil::getAccount());
        ASSERT_TRUE(closes(menu));
        EXPECT_EQ(settingsFile(), before);
    }
}

TEST_F(SystemViewControllerTest, EachEntryOpensItsScreenOverTheMenuSignedInOrNot)
{
    for (bool signedIn : {true, false}) {
        SCOPED_TRACE(signedIn);
        CommonUtil::setAccount(signedIn ? std::optional(kAccount) : std::nullopt);
        auto menu = SystemViewController::create();
        ASSERT_TRUE(present(menu));
        const std::pair<const char*, std::function<bool(const std::shared_ptr<ui::ViewController>&)>> entries[] = {
            {"账号信息", [](auto& s) { return bool(std::dynamic_pointer_cast<AccountInfoViewController>(s)); }},
            {"试题设置", [](auto& s) { return bool(std::dynamic_pointer_cast<ExamSetViewController>(s)); }},
            {"风格设置", [](auto& s) { return bool(std::dynamic_pointer_cast<StyleViewController>(s)); }},
            {"反馈与评分", [](auto& s) { return bool(std::dynamic_pointer_cast<FeedAndScroooViewController>(s)); }},
        };
        for (const auto& [label, isExpected] : entries) {
            SCOPED_TRACE(label);
            ASSERT_TRUE(tap(menu->view(), label));
            auto opened = presentedOver<ChromeViewController>(menu);
            ASSERT_TRUE(opened);
            EXPECT_TRUE(isExpected(opened));
            opened->backClick(nullptr);
            ASSERT_TRUE(closes(opened));
        }
        menu->backClick(nullptr);
        ASSERT_TRUE(closes(menu));
    }
}

// A panel 101 points high puts the lines at q = (50 − 20) ÷ 3 = 10 and 10 + 33 = 43.
TEST_F(SystemViewControllerTest, AccountLinesSitAtWholeNumberPlaces)
{
    ui::Screen::setMain(ui::Size(240, 322), 1);
    ASSERT_EQ(artwork("accountbg").height, 101);
    struct Case {
        std::optional<QJsonObject> account;
        QString name, pwd;
    };
    const Case cases[] = {
        {kAccount, "账号:  tester", "密码:  se cret密码"},
        {std::nullopt, "", ""},
        {QJsonObject{{"code", "g1"}}, "账号:  ", "密码:  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        CommonUtil::setAccount(c.account);
        auto info = AccountInfoViewController::create();
        info->loadViewIfNeeded();
        const ui::Rect name = info->nameLabel()->frame();
        const ui::Rect pwd = info->pwdLabel()->frame();
        EXPECT_DOUBLE_EQ(pwd.x(), name.x());
        EXPECT_DOUBLE_EQ(pwd.y() - name.y(), 33);
        EXPECT_DOUBLE_EQ(name.y(), 100 + 10);
        EXPECT_DOUBLE_EQ(name.x(), (240 - artwork("accountbg").width) / 2 + 15);
        EXPECT_EQ(info->nameLabel()->text(), c.name);
        EXPECT_EQ(info->pwdLabel()->text(), c.pwd);
        EXPECT_TRUE(toastTexts(info->view()).isEmpty());
    }
}

TEST_F(SystemViewControllerTest, AccountInformationScreenshot)
{
    CommonUtil::setAccount(kAccount);
    auto info = AccountInfoViewController::create();
    ASSERT_TRUE(present(info));
    EXPECT_TRUE(screenshot("account-info"));
}

TEST_F(SystemViewControllerTest, EachThumbnailSetsItsStyleAndTellsTheHomeOnceAndBackChangesNothing)
{
    auto home = std::make_shared<RecordingHome>();
    const char* const thumbnails[] = {"风格一", "风格二", "风格三", "风格四"};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        CommonUtil::setStyle(n == 1 ? 1 : 7);
        home->styles.clear();
        auto style = StyleViewController::create();
        style->setDelegate(home);
        ASSERT_TRUE(present(style));
        if (n == 1) {
            EXPECT_TRUE(screenshot("style-grid"));
        }
        ASSERT_TRUE(tap(style->view(), thumbnails[n - 1]));
        EXPECT_EQ(home->styles, std::vector<int>{n});
        ASSERT_TRUE(closes(style));
    }
    CommonUtil::setStyle(2);
    home->styles.clear();
    auto style = StyleViewController::create();
    style->setDelegate(home);
    ASSERT_TRUE(present(style));
    m_window->layoutIfNeeded();
    ASSERT_TRUE(ui::TouchInjector::tap(*style->backButton()));
    ASSERT_TRUE(closes(style));
    EXPECT_EQ(CommonUtil::getStyle(), 2);
    EXPECT_TRUE(home->styles.empty());
    // Nothing is saved on the way.
    EXPECT_TRUE(storedSysset().isEmpty());
}

// On a phone the grid starts 90 points down and ends 10 above the bottom; on a pad 180 and 30.
TEST_F(SystemViewControllerTest, GridFollowsTheScreenAtTwoScales)
{
    struct Case {
        ui::Size size;
        double scale;
        ui::Screen::Idiom idiom;
        double top, bottomGap, margin;
    };
    const Case cases[] = {
        {ui::Size(375, 667), 2, ui::Screen::Idiom::Phone, 90, 10, 10},
        {ui::Size(768, 1024), 2, ui::Screen::Idiom::Pad, 180, 30, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.top);
        ui::Screen::setMain(c.size, c.scale, c.idiom);
        auto style = StyleViewController::create();
        style->loadViewIfNeeded();
        const ui::Rect one = frameOf(style, "风格一");
        const ui::Rect two = frameOf(style, "风格二");
        const ui::Rect three = frameOf(style, "风格三");
        const ui::Rect four = frameOf(style, "风格四");
        EXPECT_DOUBLE_EQ(one.x(), c.margin);
        EXPECT_DOUBLE_EQ(one.y(), c.top);
        EXPECT_DOUBLE_EQ(two.x() - one.maxX(), c.margin);
        EXPECT_NEAR(c.size.width - two.maxX(), c.margin, 1);
        EXPECT_DOUBLE_EQ(three.y() - one.maxY(), 10);
        EXPECT_DOUBLE_EQ(four.y() - two.maxY(), 10);
        EXPECT_NEAR(c.size.height - four.maxY(), c.bottomGap, 1);
        EXPECT_EQ(one.width(), std::trunc(one.width()));
        EXPECT_EQ(three.size, one.size);
    }
}

// Through the container as the app runs: the style notice reaches the home screen under the
// menu, which shows the new background before the menu closes.
TEST_F(SystemViewControllerTest, FromTheHomeScreenSettingsStyleThirdBackground)
{
    startSampleServer();
    CommonUtil::setAccount(kAccount);
    auto home = startHome();
    ASSERT_EQ(home->bgView()->image(), ui::Image::named("main_bg01.png"));
    ASSERT_TRUE(tap(home->view(), "系统设置"));
    auto menu = presentedOver<SystemViewController>(m_container);
    ASSERT_TRUE(menu);
    ASSERT_TRUE(tap(menu->view(), "风格设置"));
    auto style = presentedOver<StyleViewController>(menu);
    ASSERT_TRUE(style);
    EXPECT_EQ(style->delegate(), home);
    ASSERT_TRUE(tap(style->view(), "风格三"));
    EXPECT_EQ(home->bgView()->image(), ui::Image::named("main_bg03.png"));
    EXPECT_EQ(m_container->presentedViewController(), menu);
    ASSERT_TRUE(closes(style));
    EXPECT_EQ(CommonUtil::getStyle(), 3);
}

} // namespace
