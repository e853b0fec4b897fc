#include "shell/MainViewController.h"

#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "appbase/CommonUtil.h"
#include "browse/NoteDirView.h"
#include "browse/RecordViewController.h"
#include "browse/SpecialViewController.h"
#include "practice/ExamStartViewController.h"
#include "practice/PaperViewController.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/SystemViewController.h"
#include "tests/support/AppTest.h"

#include <QJsonObject>

namespace {

class HomeScreenTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // Signed in while the screen loads, so that it sends nothing.
        CommonUtil::setAccount(QJsonObject{{"code", "u1"}, {"username", "ann"}, {"pwd", "pw"}});
        m_home = MainViewController::create();
        m_window = windowWith(m_home->view());
    }

    std::shared_ptr<ui::Button> button(const QString& caption) const
    {
        for (const auto& v : m_home->view()->subviews()) {
            if (v->accessibilityLabel() == caption)
                return std::dynamic_pointer_cast<ui::Button>(v);
        }
        return nullptr;
    }

    // The toasts one tap leaves, then a clock step that lets them go.
    QStringList tapAndCollect(const QString& caption)
    {
        auto b = button(caption);
        EXPECT_TRUE(b) << caption.toStdString();
        if (!b)
            return {};
        EXPECT_TRUE(ui::TouchInjector::tap(*b));
        const QStringList toasts = toastTexts(m_home->view());
        m_clock.advance(2.0);
        EXPECT_TRUE(toastTexts(m_home->view()).isEmpty());
        return toasts;
    }

    core::ManualClock m_clock;
    std::shared_ptr<MainViewController> m_home;
    std::shared_ptr<ui::Window> m_window;
};

// What each button opens once its guard lets it through.
template<class Screen>
bool opens(const std::shared_ptr<ui::ViewController>& presented)
{
    return std::dynamic_pointer_cast<Screen>(presented) != nullptr;
}

TEST_F(HomeScreenTest, ContentButtonsNeedAnAccountAndASubjectThenOpenTheirScreens)
{
    useServer(refusingServerUrl());
    struct Case {
        bool signedIn;
        std::optional<QString> subject;
        QStringList toast;
    };
    const Case cases[] = {
        {false, std::nullopt, {"请先登录"}},
        {false, QString("S1"), {"请先登录"}},
        {true, std::nullopt, {"请选择科目"}},
        {true, QString(""), {"请选择科目"}},
        {true, QString("S1"), {}},
    };
    using Check = bool (*)(const std::shared_ptr<ui::ViewController>&);
    const QList<QPair<QString, Check>> guarded{
        {"备考专区", &opens<NoteDirView>},
        {"历年真题",
         [](const std::shared_ptr<ui::ViewController>& vc) {
             auto list = std::dynamic_pointer_cast<PaperViewController>(vc);
             return list && list->type() == 0;
         }},
        {"模拟押题",
         [](const std::shared_ptr<ui::ViewController>& vc) {
             auto list = std::dynamic_pointer_cast<PaperViewController>(vc);
             return list && list->type() == 1;
         }},
        {"专项练习", &opens<SpecialViewController>},
        {"错题收藏", &opens<RecordViewController>},
    };
    auto closePresented = [&] {
        m_home->dismissViewController(false);
        return pumpUntil([&] { return !m_home->presentedViewController(); });
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.signedIn << " " << c.subject.value_or("<none>").toStdString());
        CommonUtil::setAccount(c.signedIn ? std::optional(QJsonObject{{"code", "u1"}}) : std::nullopt);
        CommonUtil::setSubjectCode(c.subject);
        for (const auto& [caption, check] : guarded) {
            EXPECT_EQ(tapAndCollect(caption), c.toast) << caption.toStdString();
            if (!c.toast.isEmpty()) {
                EXPECT_FALSE(m_home->presentedViewController()) << caption.toStdString();
                continue;
            }
            EXPECT_TRUE(check(m_home->presentedViewController())) << caption.toStdString();
            ASSERT_TRUE(closePresented());
        }
        // The two actions no control is wired to guard the same way, then start a run.
        for (const auto& [action, kind] : {std::pair{&MainViewController::ksClick, 4}, std::pair{&MainViewController::zjClick, 5}}) {
            (m_home.get()->*action)(nullptr);
            EXPECT_EQ(toastTexts(m_home->view()), c.toast);
            m_clock.advance(2.0);
            auto run = std::dynamic_pointer_cast<ExamStartViewController>(m_home->presentedViewController());
            EXPECT_EQ(run ? run->type() : -1, c.toast.isEmpty() ? kind : -1);
            if (run)
                ASSERT_TRUE(closePresented());
        }
        // Settings and login always act, whoever is signed in.
        EXPECT_TRUE(tapAndCollect("系统设置").isEmpty());
        EXPECT_TRUE(opens<SystemViewController>(m_home->presentedViewController()));
        ASSERT_TRUE(closePresented());
        EXPECT_TRUE(tapAndCollect("用户登陆").isEmpty());
        EXPECT_TRUE(opens<LoginViewController>(m_home->presentedViewController()));
        ASSERT_TRUE(closePresented());
    }
}

TEST_F(HomeScreenTest, EveryLaunchStartsWithTheFirstStyle)
{
    CommonUtil::setStyle(3);
    auto home = MainViewController::create();
    home->loadViewIfNeeded();
    EXPECT_EQ(CommonUtil::getStyle(), 1);
    EXPECT_EQ(home->bgView()->image(), ui::Image::named("main_bg01.png"));
    EXPECT_EQ(home->bgView()->frame(), ui::Rect(0, 0, 375, 667));

    CommonUtil::setStyle(3);
    home->showMainStyle();
    EXPECT_EQ(home->bgView()->image(), ui::Image::named("main_bg03.png"));
    CommonUtil::setStyle(5);
    home->showMainStyle();
    EXPECT_EQ(home->bgView()->image(), ui::Image::named("main_bg03.png"));
}

TEST_F(HomeScreenTest, ReportsFromOtherScreensSaveTheState)
{
    CommonUtil::setSubjectCode(QString("S7"));
    m_home->selectSubject();
    EXPECT_EQ(storedSysset().size(), 10);
    EXPECT_TRUE(toastTexts(m_home->view()).isEmpty());

    CommonUtil::setAccount(QJsonObject{{"code", "u2"}, {"username", "bob"}});
    m_home->loginOk();
    EXPECT_EQ(storedAccount().toObject().value("username").toString(), "bob");
    EXPECT_EQ(toastTexts(m_home->view()), QStringList{"登录成功！"});
}

TEST_F(HomeScreenTest, GuestNamesAreFiveCapitalsAndANumberInRange)
{
    for (int i = 0; i < 200; ++i) {
        const QString letters = MainViewController::ret32bitString();
        ASSERT_EQ(letters.size(), 5);
        for (QChar ch : letters)
            ASSERT_TRUE(ch >= 'A' && ch <= 'Z') << letters.toStdString();
        const int n = MainViewController::getRandomNumber(100000, 100000000);
        ASSERT_GE(n, 100000);
        ASSERT_LE(n, 100000000);
    }
    EXPECT_EQ(MainViewController::getRandomNumber(7, 7), 7);
}

} // namespace
