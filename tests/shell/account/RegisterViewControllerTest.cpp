#include "shell/account/RegisterViewController.h"

#include "appbase/ServerRequest.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/TextField.h"
#include "shell/account/LoginViewController.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/HandServer.h"
#include "tests/support/StubServer.h"

namespace {

class RegisterViewControllerTest : public LaunchedAppTest {
protected:
    // Home, login, registration, as a user gets there; the agreement address has arrived.
    std::shared_ptr<RegisterViewController> openRegistration()
    {
        launch();
        m_login = tapTo<LoginViewController>(m_home, "用户登陆");
        return m_login ? tapTo<RegisterViewController>(m_login, "注册新用户") : nullptr;
    }

    // Return never sends here: from the account field it moves to each next field, then closes
    // the keyboard.
    void returnWalksThroughTheForm(const RegisterViewController& r)
    {
        pressReturn();
        EXPECT_EQ(focus(), r.pwd());
        pressReturn();
        EXPECT_EQ(focus(), r.resPwd());
        pressReturn();
        EXPECT_FALSE(focus());
    }

    std::shared_ptr<LoginViewController> m_login;
};

// The checks speak in order and send nothing; of the server's replies only an account
// object signs in ("2" is a taken name), every other one keeps the held account and the screen.
TEST_F(RegisterViewControllerTest, ChecksAndRefusalsKeepTheHeldAccount)
{
    StubServer server;
    server.setReply("exam/pactUrl_list", 200, R"([{"pactUrl":"http://127.0.0.1:9/a.html"}])");
    useServer(server.baseUrl());
    CommonUtil::setAccount(kOldAccount);
    auto r = openRegistration();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->xyurl(), "http://127.0.0.1:9/a.html");
    const struct {
        QString name, pwd, again;
        int status;
        QByteArray reply;
        const char* toast;
    } cases[] = {
        {"abcde", "12345", "12345", 0, "", "用户名不能少于6位？？"},
        {"abcdef", "12345", "12345", 0, "", "秘密不能少于6位？？"},
        {"abcdef", "Secret", "secret", 0, "", "两次密码输入不相同？？"},
        // Six characters of any script pass the length checks.
        {"张三李四王五", "秘密秘密秘密", "秘密秘密秘密x", 0, "", "两次密码输入不相同？？"},
        {"abcdef", "secret", "secret", 200, "2", "该账号已注册"},
        {"abcdef", "secret", "secret", 200, "1", "注册失败"},
        {"abcdef", "secret", "secret", 200, "[{\"username\":\"x\"}]", "注册失败"},
        {"abcdef", "secret", "secret", 200, "<html>oops</html>", "注册失败"},
        {"abcdef", "secret", "secret", 500, "{\"username\":\"x\"}", "网络不给力，请重试"},
    };
    core::ManualClock clock;   // lets each toast go at once
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toast);
        server.setReply("user/register", c.status, c.reply);
        r->account()->setText(c.name);
        r->pwd()->setText(c.pwd);
        r->resPwd()->setText(c.again);
        ASSERT_TRUE(tap(r, "立即注册"));
        EXPECT_EQ(bool(r->registerRequest()), c.status != 0);
        ASSERT_TRUE(pumpUntil([&] { return !r->registerRequest() || !r->registerRequest()->isRunning(); }));
        EXPECT_EQ(toastTexts(r->view()), QStringList{c.toast});
        EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
        EXPECT_TRUE(r->presentingViewController());
        clock.advance(2.0);
    }
    EXPECT_EQ(server.count("user/register"), 5);
}

// Typed by keys; the password carries the body's own separators. Both screens close, the home
// screen says so, and the login screen was filled with the new account.
TEST_F(RegisterViewControllerTest, ANewNameSignsInAndBothScreensClose)
{
    startSampleServer();
    CommonUtil::setAccount(kOldAccount);
    auto r = openRegistration();
    ASSERT_TRUE(r);
    const QString password = "p&w+d=1";
    ASSERT_TRUE(tap(r, "请输入账号"));
    commit("新");
    type("comer");
    pressReturn();
    type(password);
    pressReturn();
    type(password);
    pressReturn();
    EXPECT_FALSE(focus());
    EXPECT_FALSE(r->registerRequest());   // the last Return only closes the keyboard
    ASSERT_TRUE(tap(r, "立即注册"));
    ASSERT_TRUE(closes(r));
    ASSERT_TRUE(closes(m_login));
    EXPECT_EQ(heldName(), "新comer");
    EXPECT_EQ(CommonUtil::getAccount()->value("pwd").toString(), password);
    EXPECT_EQ(m_login->account()->text(), "新comer");
    EXPECT_EQ(toastTexts(m_home->view()), QStringList{"登录成功！"});
}

// Return never registers, so under the wait overlay it still walks through the form and
// closes the keyboard at its end.
TEST_F(RegisterViewControllerTest, ReturnUnderTheWaitOverlayWalksThroughTheForm)
{
    startSampleServer();
    auto r = openRegistration();
    ASSERT_TRUE(r);
    ASSERT_TRUE(tap(r, "请输入确认密码"));
    type("secret9");
    r->account()->setText(QStringLiteral("oncer1"));
    r->pwd()->setText(QStringLiteral("secret9"));
    ASSERT_TRUE(tap(r, "请输入账号"));
    ASSERT_TRUE(tap(r, "立即注册"));
    ASSERT_TRUE(shows(r->view(), "请稍等………"));
    returnWalksThroughTheForm(*r);
    ASSERT_TRUE(closes(r));
    EXPECT_EQ(heldName(), "oncer1");
}

// While the agreement address is still on its way the overlay covers the form; a field that
// has the keys all the same (put there from code) walks on at Return as ever.
TEST_F(RegisterViewControllerTest, ReturnWhileTheAgreementLoadsWalksThroughTheForm)
{
    QTcpSocket* held = nullptr;
    HandServer server([&held](QTcpSocket* socket, const QByteArray& request) {
        if (request.startsWith("POST /PendarWeb/exam/pactUrl_list "))
            held = socket;
    });
    useServer(server.url("/PendarWeb/").toString());
    CommonUtil::setAccount(kOldAccount);
    launch();
    m_login = tapTo<LoginViewController>(m_home, "用户登陆");
    ASSERT_TRUE(m_login);
    ASSERT_TRUE(tap(m_login, "注册新用户"));
    std::shared_ptr<RegisterViewController> r;
    ASSERT_TRUE(pumpUntil([&] {
        r = std::dynamic_pointer_cast<RegisterViewController>(m_login->presentedViewController());
        return r && r->isAppeared() && held;
    }));
    ASSERT_TRUE(shows(r->view(), "请稍等………"));
    ASSERT_TRUE(r->account()->becomeFirstResponder());
    returnWalksThroughTheForm(*r);
    held->write(HandServer::reply("200 OK", R"([{"pactUrl":"http://127.0.0.1:9/a.html"}])", "Connection: close\r\n"));
    ASSERT_TRUE(pumpUntil([&] { return !r->agreementRequest()->isRunning(); }));
    EXPECT_EQ(r->xyurl(), "http://127.0.0.1:9/a.html");
}

// The app quits with the registration screen up over the login screen. The registration
// screen owns the login screen (its delegate) while the login screen presents it; once the
// program lets go of its window both screens go, and the views they built with them.
TEST_F(RegisterViewControllerTest, QuittingWithRegistrationOverLoginLetsBothGo)
{
    startSampleServer();
    auto registration = openRegistration();
    ASSERT_TRUE(registration);
    ASSERT_EQ(registration->delegate(), m_login);
    std::weak_ptr<LoginViewController> login = m_login;
    std::weak_ptr<ui::View> loginView = m_login->view();
    std::weak_ptr<ui::TextField> accountField = m_login->account();
    std::weak_ptr<RegisterViewController> registrationLeft = registration;
    m_login.reset();
    registration.reset();

    // As the program ends: the run loop's work is dropped, then the delegate with its window.
    ui::Application::shared().terminate();
    m_host.reset();
    m_home.reset();
    m_container.reset();
    m_delegate.reset();
    ui::Application::shared().tearDown();
    EXPECT_TRUE(registrationLeft.expired());
    EXPECT_TRUE(login.expired());
    EXPECT_TRUE(loginView.expired() && accountField.expired());
}

} // namespace
