#include "shell/MainViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace {

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
        for (const QString caption : {"备考专区", "历年真题", "模拟押题", "专项练习", "错题收藏"}) {
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
    const std::tuple<double, double, double> screens[] = {{480, 854, 1}, {320, 568, 2}, {375, 667, 2}, {414, 736, 3}};
    for (const auto& [w, h, scale] : screens) {
        SCOPED_TRACE(w);
        ui::Screen::setMain({w, h}, scale);
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
        const ui::Rect screen(0, 0, w, h);
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

// A first start asks whether a guest is needed; only a plain "0" with status 200 registers
// one under a generated name, and only an account object becomes the account, saved at once.
TEST_F(HomeScreenTest, OnlyAPlainZeroRegistersAndOnlyAnObjectIsKept)
{
    const QByteArray guest = R"({"code":"g1","username":"yk_AAAAA123456","pwd":"470219"})";
    const struct {
        int status;
        QByteArray check, registered;
        QStringList toasts;
        bool kept;
    } cases[] = {
        {200, "0", guest, {}, true},
        {200, "1", guest, {}, false},
        {200, "0\n", guest, {}, false},
        {200, "", guest, {}, false},
        {404, "0", guest, {"网络不给力，请重试"}, false},
        {200, "0", "2", {}, false},
        {200, "0", "[1,2]", {}, false},
        {200, "0", "<html>ok</html>", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.status << " [" << c.check.toStdString() << "] " << c.registered.toStdString());
        CommonUtil::resetState();
        CommonUtil::saveData();
        StubServer server;
        server.setReply("exam/checkyk", c.status, c.check);
        server.setReply("user/register", 200, c.registered);
        useServer(server.baseUrl());
        auto home = MainViewController::create();
        home->loadViewIfNeeded();
        // The registration, if any, replaces the check as soon as its answer is read.
        ASSERT_TRUE(pumpUntil([&] { return !home->accountRequest()->isRunning(); }));
        EXPECT_EQ(toastTexts(home->view()), c.toasts);
        EXPECT_EQ(CommonUtil::getAccount().has_value(), c.kept);
        EXPECT_EQ(storedAccount().isObject(), c.kept);
        if (server.count("user/register") == 0)
            continue;
        const auto fields = core::FormBody::decode(server.requests().last().body);
        ASSERT_EQ(fields.size(), 2);
        EXPECT_TRUE(QRegularExpression("^yk_[A-Z]{5}[0-9]{6,9}$").match(fields[0].second).hasMatch());
        EXPECT_EQ(fields[1], (QPair<QString, QString>("pwd", "470219")));
    }
}

// Guest names draw from the whole alphabet and the whole number range.
TEST_F(HomeScreenTest, GuestNamesCoverTheirWholeRange)
{
    QSet<QChar> letters;
    QSet<int> numbers;
    for (int i = 0; i < 2000; ++i) {
        for (QChar ch : MainViewController::ret32bitString())
            letters.insert(ch);
        numbers.insert(MainViewController::getRandomNumber(1, 10));
    }
    EXPECT_EQ(letters.size(), 26);
    EXPECT_TRUE(letters.contains('A') && letters.contains('Z'));
    EXPECT_EQ(numbers, (QSet<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

} // namespace
