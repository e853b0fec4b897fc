#include "shell/MainViewController.h"

#include "appbase/CommonUtil.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "tests/support/AppTest.h"

#include <QJsonObject>

namespace {

const QStringList kContentButtons{"备考专区", "历年真题", "模拟押题", "专项练习", "错题收藏"};

class HomeScreenTest : public AppTest {
protected:
    // Signed in while the screen loads, so that it sends nothing.
    std::shared_ptr<MainViewController> loadHome()
    {
        CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
        auto home = MainViewController::create();
        m_window = windowWith(home->view());
        return home;
    }
    std::shared_ptr<ui::Window> m_window;
};

// The guard asks for an account first, then for a subject; past it a screen opens.
TEST_F(HomeScreenTest, ContentButtonsAskForAnAccountThenASubject)
{
    useServer(refusingServerUrl());
    auto home = loadHome();
    core::ManualClock clock;   // lets each toast go at once
    const struct {
        bool signedIn;
        std::optional<QString> subject;
        QStringList toasts;
    } cases[] = {
        {false, QString("S1"), {"请先登录"}},
        {true, std::nullopt, {"请选择科目"}},
        {true, QString(""), {"请选择科目"}},
        {true, QString("S1"), {}},
    };
    for (const auto& c : cases) {
        CommonUtil::setAccount(c.signedIn ? std::optional(QJsonObject{{"code", "u1"}}) : std::nullopt);
        CommonUtil::setSubjectCode(c.subject);
        for (const QString& caption : kContentButtons) {
            SCOPED_TRACE(testing::Message() << caption.toStdString() << " " << c.subject.value_or("-").toStdString());
            ASSERT_TRUE(tapLabel(home->view(), caption));
            EXPECT_EQ(toastTexts(home->view()), c.toasts);
            EXPECT_EQ(bool(home->presentedViewController()), c.toasts.isEmpty());
            clock.advance(2.0);
            home->dismissViewController(false);
            ASSERT_TRUE(pumpUntil([&] { return !home->presentedViewController(); }));
        }
    }
}

// On the design screen and the phones around it: every button and its caption on the
// screen, each caption just under its own button, nothing on top of anything else.
TEST_F(HomeScreenTest, ButtonsAndCaptionsFitEveryScreen)
{
    const struct {
        double w, h, scale;
    } screens[] = {{480, 854, 1}, {320, 568, 2}, {375, 667, 2}, {414, 736, 3}};
    for (const auto& s : screens) {
        SCOPED_TRACE(s.w);
        ui::Screen::setMain({s.w, s.h}, s.scale);
        auto home = loadHome();
        std::map<QString, ui::Rect> captions;
        std::vector<std::shared_ptr<ui::View>> buttons;
        for (const auto& v : home->view()->subviews()) {
            if (auto label = std::dynamic_pointer_cast<ui::Label>(v))
                captions[label->text()] = v->frame();
            else if (std::dynamic_pointer_cast<ui::Button>(v))
                buttons.push_back(v);
        }
        ASSERT_EQ(buttons.size(), 8u);
        const ui::Rect screen(0, 0, s.w, s.h);
        for (const auto& b : buttons) {
            const ui::Rect button = b->frame();
            const ui::Rect caption = captions[b->accessibilityLabel()];
            EXPECT_TRUE(screen.contains(button) && screen.contains(caption)) << b->accessibilityLabel().toStdString();
            EXPECT_NEAR(caption.y() - button.maxY(), 2, 0.5);
            EXPECT_NEAR(caption.midX(), button.midX(), 0.5);
            for (const auto& other : buttons)
                EXPECT_TRUE(other == b || !(button.intersects(other->frame()) || caption.intersects(other->frame())));
        }
    }
}

} // namespace
