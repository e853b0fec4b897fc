#include "shell/account/LoginViewController.h"

#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/ui/TextField.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/StubServer.h"

namespace {

using LoginViewControllerTest = LaunchedAppTest;

// The checks move the focus to the empty field; Return walks on and signs in; the home screen
// says so and saves the account.
TEST_F(LoginViewControllerTest, TypedKeysSignInFromTheHomeButton)
{
    startSignedIn();   // registers tester / secret1
    CommonUtil::setAccount(QJsonObject{{"code", "old1"}});
    launch();
    auto login = tapTo<LoginViewController>(m_home, "用户登陆");
    ASSERT_TRUE(login);
    EXPECT_TRUE(shoot("login"));
    ASSERT_TRUE(tap(login, "登录"));
    EXPECT_EQ(toastTexts(login->view()), QStringList{"请输入用户名？？"});
    EXPECT_EQ(focus(), login->account());
    type("tester");
    pressReturn();
    EXPECT_EQ(focus(), login->pwd());
    ASSERT_TRUE(toastsGone(login->view()));
    ASSERT_TRUE(tap(login, "登录"));
    EXPECT_EQ(toastTexts(login->view()), QStringList{"请输入密码？？"});
    EXPECT_EQ(focus(), login->pwd());
    EXPECT_FALSE(login->loginRequest());

    type("secret1");
    pressReturn();
    ASSERT_TRUE(closes(login));
    EXPECT_EQ(heldName(), "tester");
    EXPECT_EQ(storedAccount().toObject().value("username").toString(), "tester");
    EXPECT_EQ(toastTexts(m_home->view()), QStringList{"登录成功！"});
}

// Only an account object signs in, and only while the screen is open (after its back action
// it may still be held elsewhere); an error status says so through the network toast alone.
TEST_F(LoginViewControllerTest, RepliesThatAreNoAccountKeepTheHeldOne)
{
    const struct {
        int status;
        QByteArray body;
        const char* toast;   // none: closed before the reply
    } cases[] = {
        {500, "<html>Internal Server Error</html>", "网络不给力，请重试"},
        {404, "{\"username\":\"x\"}", "网络不给力，请重试"},
        {400, "bad", "网络不给力，请重试"},
        {200, "", "用户名或密码错误？？"},
        {200, "[{\"username\":\"x\"}]", "用户名或密码错误？？"},
        {200, "<html>error</html>", "用户名或密码错误？？"},
        {200, "{\"username\":\"x\"}", nullptr},
    };
    StubServer server;
    useServer(server.baseUrl());
    CommonUtil::setAccount(kOldAccount);
    launch();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        server.setReply("user/login", c.status, c.body);
        auto login = tapTo<LoginViewController>(m_home, "用户登陆");
        ASSERT_TRUE(login);
        ASSERT_TRUE(tap(login, "登录"));
        const auto request = login->loginRequest();
        if (!c.toast)
            login->backClick(nullptr);
        ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
        EXPECT_EQ(toastTexts(login->view()), c.toast ? QStringList{c.toast} : QStringList());
        EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
        EXPECT_EQ(bool(login->presentingViewController()), bool(c.toast));
        if (c.toast)
            login->backClick(nullptr);   // the toast still covers the back button
        ASSERT_TRUE(closes(login));
    }
    EXPECT_EQ(core::FormBody::decode(server.requests().last().body),
              (QList<QPair<QString, QString>>{{"account", "olduser"}, {"pwd", "oldpw1"}}));
    EXPECT_TRUE(toastTexts(m_home->view()).isEmpty());
}

// Under the wait overlay the Return that would sign in again is held back, as the overlay holds
// back taps on "登录"; the Return that only moves on to the password field still does.
TEST_F(LoginViewControllerTest, ReturnUnderTheWaitOverlayMovesOnButSignsInOnce)
{
    startSignedIn();   // tester / secret1, held, so the fields come filled
    launch();
    auto login = tapTo<LoginViewController>(m_home, "用户登陆");
    ASSERT_TRUE(login);
    ASSERT_TRUE(tap(login, "请输入账号"));
    ASSERT_TRUE(tap(login, "登录"));
    ASSERT_TRUE(shows(login->view(), "请稍等………"));
    ASSERT_EQ(focus(), login->account());
    pressReturn();
    EXPECT_EQ(focus(), login->pwd());
    pressReturn();
    pressReturn();
    EXPECT_EQ(focus(), login->pwd()) << "no second sign-in";
    ASSERT_TRUE(closes(login));
    // The last request sent has been answered, however many there were.
    ASSERT_TRUE(pumpUntil([&] { return !login->loginRequest()->isRunning(); }));
    EXPECT_EQ(toastTexts(m_home->view()), QStringList{"登录成功！"});
}

} // namespace
