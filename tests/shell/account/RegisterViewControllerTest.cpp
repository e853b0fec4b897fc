#include "shell/account/RegisterViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/LoginViewControllerDelegate.h"
#include "tests/shell/account/AccountScreenTest.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>
#include <functional>

namespace {

const QByteArray kAgreementList = R"([{"pactUrl":"http://127.0.0.1:9/agreement.html"}])";

class RegisterViewControllerTest : public AccountScreenTest {
protected:
    // The login screen over the root, the registration screen over it, as a user gets there.
    void openBoth()
    {
        m_login = LoginViewController::create();
        m_login->setDelegate(m_home);
        ASSERT_TRUE(present(m_login));
        ASSERT_TRUE(tap(m_login->view(), "注册新用户"));
        ASSERT_TRUE(pumpUntil([&] {
            m_registration = std::dynamic_pointer_cast<RegisterViewController>(m_login->presentedViewController());
            return m_registration && m_registration->isAppeared() && !m_registration->isTransitioning();
        }));
        ASSERT_TRUE(pumpUntil([&] { return !m_registration->agreementRequest()->isRunning(); }));
        ASSERT_TRUE(waitForOverlaysGone(m_registration->view()));
    }
    std::shared_ptr<RegisterViewController> openAlone()
    {
        auto registration = RegisterViewController::create();
        registration->setDelegate(std::make_shared<LoginStandIn>());
        EXPECT_TRUE(present(registration));
        EXPECT_TRUE(pumpUntil([&] { return !registration->agreementRequest()->isRunning(); }));
        if (m_clock)
            m_clock->advance(1.0);
        EXPECT_TRUE(waitForOverlaysGone(registration->view()));
        return registration;
    }
    void fill(const std::shared_ptr<RegisterViewController>& r, const QString& name, const QString& pwd,
              const QString& again)
    {
        r->account()->setText(name);
        r->pwd()->setText(pwd);
        r->resPwd()->setText(again);
    }
    bool registrationEnds(const std::shared_ptr<RegisterViewController>& r)
    {
        return pumpUntil([&] { return r->registerRequest() && !r->registerRequest()->isRunning(); });
    }

    class LoginStandIn : public RegisterViewControllerDelegate {
    public:
        void regsiterOk() override { ++calls; }
        int calls = 0;
    };

    std::shared_ptr<RecordingHome> m_home = std::make_shared<RecordingHome>();
    core::ManualClock* m_clock = nullptr;
    std::shared_ptr<LoginViewController> m_login;
    std::shared_ptr<RegisterViewController> m_registration;
};

TEST_F(RegisterViewControllerTest, ChecksSpeakInOrderLeaveTheFocusAndSendNothing)
{
    StubServer server;
    server.setReply("exam/pactUrl_list", 200, kAgreementList);
    useServer(server.baseUrl());
    core::ManualClock clock;
    m_clock = &clock;
    auto r = openAlone();
    struct Case {
        QString name, pwd, again, message;
    };
    const Case cases[] = {
        {"abcde", "123", "123", "用户名不能少于6位？？"},
        {"abcdef", "12345", "12345", "秘密不能少于6位？？"},
        {"abcdef", "Secret", "secret", "两次密码输入不相同？？"},
        // Six characters of any script pass the length check.
        {"张三李四王五", "秘密秘密秘密", "秘密秘密秘密x", "两次密码输入不相同？？"},
    };
    ASSERT_TRUE(tap(r->view(), "请输入确认密码"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        fill(r, c.name, c.pwd, c.again);
        ASSERT_TRUE(tap(r->view(), "立即注册"));
        EXPECT_EQ(toastTexts(r->view()), QStringList{c.message});
        EXPECT_EQ(focus(), r->resPwd());
        if (c.message.startsWith("用户名")) {
            clock.advance(0.5);   // the toast has faded in
            EXPECT_TRUE(screenshot("register-message"));
        }
        clock.advance(2.0);
    }
    core::RunLoop::main().processPending();
    EXPECT_EQ(server.count("user/register"), 0);
    // The agreement list is asked for once, with both (empty) fields.
    ASSERT_EQ(server.count("exam/pactUrl_list"), 1);
    EXPECT_EQ(server.requests().first().body, "account=&pwd=");
}

TEST_F(RegisterViewControllerTest, ReturnKeysWalkTheFieldsAndTheLastOneOnlyClosesTheKeyboard)
{
    StubServer server;
    server.setReply("exam/pactUrl_list", 200, kAgreementList);
    useServer(server.baseUrl());
    auto r = openAlone();
    ASSERT_TRUE(tap(r->view(), "请输入账号"));
    commit("用户");
    type("abcd");
    pressReturn();
    EXPECT_EQ(focus(), r->pwd());
    type("secret");
    pressReturn();
    EXPECT_EQ(focus(), r->resPwd());
    type("secret");
    pressReturn();
    EXPECT_FALSE(focus());
    EXPECT_EQ(r->account()->text(), "用户abcd");
    EXPECT_EQ(r->resPwd()->text(), "secret");
    core::RunLoop::main().processPending();
    EXPECT_EQ(server.count("user/register"), 0);
}

// A password with the body's own separators goes through intact, and logs in again later.
TEST_F(RegisterViewControllerTest, ANewNameSignsInAndTheLoginScreenClosesAfterTheRegistration)
{
    startSampleServer();
    CommonUtil::setAccount(kOldAccount);
    openBoth();
    EXPECT_TRUE(m_registration->xyurl().startsWith("http://"));
    bool registrationGoneWhenTold = false;
    QString heldWhenTold;
    m_home->onLoginOk = [&] {
        registrationGoneWhenTold = !m_login->presentedViewController();
        heldWhenTold = username();
    };
    const QString password = "p&w+d=1";
    ASSERT_TRUE(tap(m_registration->view(), "请输入账号"));
    type("newcomer");
    pressReturn();
    type(password);
    pressReturn();
    type(password);
    ASSERT_TRUE(tap(m_registration->view(), "立即注册"));
    std::weak_ptr<ui::ViewController> registration = m_registration;
    m_registration.reset();
    ASSERT_TRUE(closes(registration));
    ASSERT_TRUE(closes(m_login));
    EXPECT_EQ(m_home->calls, 1);
    EXPECT_TRUE(registrationGoneWhenTold);
    EXPECT_EQ(heldWhenTold, "newcomer");
    EXPECT_EQ(m_login->account()->text(), "newcomer");
    EXPECT_EQ(m_login->pwd()->text(), password);
    EXPECT_TRUE(registration.expired());

    // Signed out, the same name and password sign in again.
    CommonUtil::setAccount(kOldAccount);
    auto again = LoginViewController::create();
    again->setDelegate(m_home);
    ASSERT_TRUE(present(again));
    again->account()->setText("newcomer");
    again->pwd()->setText(password);
    again->loginClick(nullptr);
    ASSERT_TRUE(closes(again));
    EXPECT_EQ(username(), "newcomer");
    EXPECT_EQ(CommonUtil::getAccount()->value("pwd").toString(), password);
}

TEST_F(RegisterViewControllerTest, ATakenNameShowsItsMessageAndKeepsEverything)
{
    startSignedIn();   // "tester" exists
    CommonUtil::setAccount(kOldAccount);
    auto r = openAlone();
    fill(r, "tester", "another1", "another1");
    ASSERT_TRUE(tap(r->view(), "立即注册"));
    ASSERT_TRUE(registrationEnds(r));
    EXPECT_EQ(toastTexts(r->view()), QStringList{"该账号已注册"});
    EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
    EXPECT_TRUE(r->presentingViewController());
}

TEST_F(RegisterViewControllerTest, RepliesThatAreNoAccountKeepTheHeldOne)
{
    struct Case {
        int status;
        QByteArray body;
        QStringList toasts;
    };
    const Case cases[] = {
        {200, "1", {"注册失败"}},
        {500, "<html>Internal Server Error</html>", {"网络不给力，请重试"}},
        {200, "<html>oops</html>", {"注册失败"}},
        {200, "[{\"username\":\"x\"}]", {"注册失败"}},
        {200, "", {"注册失败"}},
    };
    StubServer server;
    server.setReply("exam/pactUrl_list", 200, kAgreementList);
    useServer(server.baseUrl());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        server.setReply("user/register", c.status, c.body);
        CommonUtil::setAccount(kOldAccount);
        auto r = openAlone();
        fill(r, "abcdef", "secret", "secret");
        r->registerClick(nullptr);
        ASSERT_TRUE(registrationEnds(r));
        EXPECT_EQ(toastTexts(r->view()), c.toasts);
        EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
        EXPECT_TRUE(r->presentingViewController());
        EXPECT_FALSE(CommonUtil::waitOverlay());
        r->backClick(nullptr);
        ASSERT_TRUE(closes(r));
    }
}

// The agreement list is still on its way when the registration goes out; each reply is read
// as the answer to its own request.
TEST_F(RegisterViewControllerTest, TheAgreementAndTheRegistrationRepliesCannotMix)
{
    StubServer server;
    server.setReply("exam/pactUrl_list", 200, kAgreementList);
    server.setReply("user/register", 200, R"({"code":"n1","username":"abcdef","pwd":"secret"})");
    useServer(server.baseUrl());
    auto r = RegisterViewController::create();
    auto login = std::make_shared<LoginStandIn>();
    r->setDelegate(login);
    m_root->presentViewController(r, false);
    fill(r, "abcdef", "secret", "secret");
    r->registerClick(nullptr);
    ASSERT_TRUE(r->agreementRequest()->isRunning());
    ASSERT_TRUE(pumpUntil([&] { return login->calls == 1; }));
    EXPECT_EQ(r->xyurl(), "http://127.0.0.1:9/agreement.html");
    EXPECT_EQ(username(), "abcdef");
}

TEST_F(RegisterViewControllerTest, AnAgreementListOfAnotherShapeLeavesNoAddress)
{
    const QByteArray bodies[] = {"[]", "{\"pactUrl\":\"http://x/a\"}", "<html></html>", "[{\"pactUrl\":5}]", "[7]"};
    StubServer server;
    useServer(server.baseUrl());
    for (const QByteArray& body : bodies) {
        SCOPED_TRACE(body.toStdString());
        server.setReply("exam/pactUrl_list", 200, body);
        auto r = openAlone();
        EXPECT_TRUE(r->xyurl().isEmpty());
        r->backClick(nullptr);
        ASSERT_TRUE(closes(r));
    }
}

TEST_F(RegisterViewControllerTest, BackDuringARegistrationLeavesNothingToActOnItsReply)
{
    startSampleServer();
    CommonUtil::setAccount(kOldAccount);
    auto r = openAlone();
    auto login = std::static_pointer_cast<LoginStandIn>(r->delegate());
    fill(r, "latecomer", "secret", "secret");
    r->registerClick(nullptr);
    auto request = r->registerRequest();
    r->backClick(nullptr);
    EXPECT_FALSE(r->delegate());
    std::weak_ptr<RegisterViewController> gone = r;
    r.reset();
    ASSERT_TRUE(closes(gone));
    ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
    EXPECT_EQ(login->calls, 0);
}

} // namespace
