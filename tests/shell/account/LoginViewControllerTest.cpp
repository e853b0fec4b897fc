#include "shell/account/LoginViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "shell/MainViewController.h"
#include "shell/RootViewController.h"
#include "shell/account/LoginViewControllerDelegate.h"
#include "shell/account/RegisterViewController.h"
#include "tests/shell/account/AccountScreenTest.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>
#include <functional>

namespace {


class LoginViewControllerTest : public AccountScreenTest {
protected:
    std::shared_ptr<LoginViewController> open()
    {
        auto login = LoginViewController::create();
        login->setDelegate(m_home);
        EXPECT_TRUE(present(login));
        return login;
    }
    // Types into a field the way a user does: tap it, then keys.
    void fill(const std::shared_ptr<ui::TextField>& field, const QString& text)
    {
        ASSERT_TRUE(tap(field, field->placeholder()));
        ASSERT_EQ(focus(), field);
        type(text);
    }

    std::shared_ptr<RecordingHome> m_home = std::make_shared<RecordingHome>();
};

TEST_F(LoginViewControllerTest, FieldsStartFromTheStoredAccount)
{
    struct Case {
        std::optional<QJsonObject> account;
        QString name;
        QString pwd;
    };
    const Case cases[] = {
        {std::nullopt, "", ""},
        {QJsonObject{{"code", "c"}, {"username", "ann"}}, "ann", ""},
        {QJsonObject{{"code", "c"}, {"username", "ann"}, {"pwd", "s3cret"}}, "ann", "s3cret"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString() + "/" + c.pwd.toStdString());
        CommonUtil::setAccount(c.account);
        auto login = open();
        EXPECT_EQ(login->account()->text(), c.name);
        EXPECT_EQ(login->pwd()->text(), c.pwd);
        EXPECT_EQ(login->pwd()->displayedText(), QString(c.pwd.size(), QChar(0x2022)));
        EXPECT_EQ(login->account()->placeholder(), "请输入账号");
        EXPECT_EQ(login->pwd()->placeholder(), "请输入密码");
        if (c.account && !c.pwd.isEmpty()) {
            EXPECT_TRUE(screenshot("login-prefilled"));
        }
        login->backClick(nullptr);
        ASSERT_TRUE(closes(login));
    }
}

TEST_F(LoginViewControllerTest, KeysAndTheInputMethodFillTheFieldsAndReturnMovesOn)
{
    StubServer server;
    server.setReply("user/login", 200, "");
    useServer(server.baseUrl());
    auto login = open();
    fill(login->account(), "ab");
    commit("张三");
    backspace();
    EXPECT_EQ(login->account()->text(), "ab张");
    pressReturn();
    EXPECT_EQ(focus(), login->pwd());
    type("p&=+1");
    EXPECT_EQ(login->account()->text(), "ab张");
    // Return in the password field logs in and closes the keyboard.
    pressReturn();
    EXPECT_FALSE(focus());
    ASSERT_TRUE(pumpUntil([&] { return login->loginRequest() && !login->loginRequest()->isRunning(); }));
    ASSERT_EQ(server.count("user/login"), 1);
    const auto pairs = core::FormBody::decode(server.requests().last().body);
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[0], qMakePair(QString("account"), QString("ab张")));
    EXPECT_EQ(pairs[1], qMakePair(QString("pwd"), QString("p&=+1")));
    EXPECT_EQ(lastToast(login->view()), "用户名或密码错误？？");
}

TEST_F(LoginViewControllerTest, ChecksMoveTheFocusToTheEmptyFieldAndSendNothing)
{
    StubServer server;
    useServer(server.baseUrl());
    core::ManualClock clock;
    auto login = open();
    ASSERT_TRUE(tap(login->view(), "登录"));
    EXPECT_EQ(lastToast(login->view()), "请输入用户名？？");
    EXPECT_EQ(focus(), login->account());

    type(" ");   // one blank passes: only emptiness is checked
    clock.advance(2.0);   // the toast covers the screen until it has gone
    ASSERT_TRUE(tap(login->view(), "登录"));
    EXPECT_EQ(lastToast(login->view()), "请输入密码？？");
    EXPECT_EQ(focus(), login->pwd());
    core::RunLoop::main().processPending();
    EXPECT_EQ(server.requests().size(), 0);
    EXPECT_TRUE(login->presentingViewController());
}

TEST_F(LoginViewControllerTest, ARightLoginReplacesTheAccountAndTellsTheHomeBeforeClosing)
{
    startSignedIn();   // registers tester / secret1
    CommonUtil::setAccount(kOldAccount);
    auto login = open();
    bool openWhenTold = false;
    QString heldWhenTold;
    m_home->onLoginOk = [&] {
        openWhenTold = login->presentingViewController() && !login->isTransitioning();
        heldWhenTold = username();
    };
    login->account()->setText(QString());
    login->pwd()->setText(QString());
    fill(login->account(), "tester");
    fill(login->pwd(), "secret1");
    ASSERT_TRUE(tap(login->view(), "登录"));
    std::weak_ptr<ui::ViewController> weak = login;
    ASSERT_TRUE(closes(weak));
    EXPECT_EQ(m_home->calls, 1);
    EXPECT_TRUE(openWhenTold);
    EXPECT_EQ(heldWhenTold, "tester");
    EXPECT_EQ(CommonUtil::getAccount()->value("pwd").toString(), "secret1");
    EXPECT_FALSE(CommonUtil::getAccount()->value("code").toString().isEmpty());
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

TEST_F(LoginViewControllerTest, AWrongPasswordKeepsTheAccountAndTheScreen)
{
    startSignedIn();
    CommonUtil::setAccount(kOldAccount);
    auto login = open();
    login->account()->setText("tester");
    login->pwd()->setText("wrong99");
    ASSERT_TRUE(tap(login->view(), "登录"));
    ASSERT_TRUE(pumpUntil([&] { return !login->loginRequest()->isRunning(); }));
    EXPECT_EQ(lastToast(login->view()), "用户名或密码错误？？");
    EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
    EXPECT_EQ(m_home->calls, 0);
    EXPECT_TRUE(login->presentingViewController());
    EXPECT_EQ(login->account()->text(), "tester");
}

// Only an account object signs in; an error status says so through the network toast alone.
TEST_F(LoginViewControllerTest, RepliesThatAreNoAccountKeepTheHeldOne)
{
    struct Case {
        int status;
        QByteArray body;
        QStringList toasts;
    };
    const Case cases[] = {
        {500, "<html>Internal Server Error</html>", {"网络不给力，请重试"}},
        {200, "[{\"username\":\"x\"}]", {"用户名或密码错误？？"}},
        {200, "<html>error</html>", {"用户名或密码错误？？"}},
        {200, "\"tester\"", {"用户名或密码错误？？"}},
    };
    StubServer server;
    useServer(server.baseUrl());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        server.setReply("user/login", c.status, c.body);
        CommonUtil::setAccount(kOldAccount);
        auto login = open();
        login->loginClick(nullptr);
        ASSERT_TRUE(pumpUntil([&] { return !login->loginRequest()->isRunning(); }));
        EXPECT_EQ(toastTexts(login->view()), c.toasts);
        EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
        EXPECT_EQ(m_home->calls, 0);
        EXPECT_FALSE(CommonUtil::waitOverlay());
        login->backClick(nullptr);
        ASSERT_TRUE(closes(login));
    }
}

TEST_F(LoginViewControllerTest, BackClosesAtOnceAndALateReplyDoesNothing)
{
    startSignedIn();
    CommonUtil::setAccount(kOldAccount);
    auto login = open();
    login->account()->setText("tester");
    login->pwd()->setText("secret1");
    login->loginClick(nullptr);
    auto request = login->loginRequest();
    ASSERT_TRUE(request && request->isRunning());
    login->backClick(nullptr);
    core::RunLoop::main().processPending();
    EXPECT_FALSE(m_root->presentedViewController());   // not animated
    EXPECT_TRUE(login->view()->subviews().empty());
    std::weak_ptr<LoginViewController> gone = login;
    login.reset();
    ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(CommonUtil::getAccount(), kOldAccount);
    EXPECT_EQ(m_home->calls, 0);
}

// From the home screen's button, as the app is put together at start-up.
TEST_F(LoginViewControllerTest, TheHomeButtonOpensItAndItsRegisterButtonOpensTheRegistrationOverIt)
{
    startSignedIn();
    CommonUtil::setAccount(kOldAccount);
    auto container = RootViewController::makeContainer();
    auto home = std::dynamic_pointer_cast<MainViewController>(container->centerController());
    m_window->setRootViewController(container);
    ASSERT_TRUE(pumpUntil([&] { return home->isViewLoaded() && container->isAppeared(); }));

    ASSERT_TRUE(tap(home->view(), "用户登陆"));
    std::shared_ptr<LoginViewController> login;
    ASSERT_TRUE(pumpUntil([&] {
        login = std::dynamic_pointer_cast<LoginViewController>(container->presentedViewController());
        return login && login->isAppeared() && !login->isTransitioning();
    }));
    EXPECT_EQ(login->delegate(), home);
    login->account()->setText(QString());
    fill(login->account(), "tester");
    EXPECT_EQ(login->account()->text(), "tester");

    ASSERT_TRUE(tap(login->view(), "注册新用户"));
    std::shared_ptr<RegisterViewController> registration;
    ASSERT_TRUE(pumpUntil([&] {
        registration = std::dynamic_pointer_cast<RegisterViewController>(login->presentedViewController());
        return registration && registration->isAppeared() && !registration->isTransitioning();
    }));
    EXPECT_EQ(registration->delegate(), login);
    registration->backClick(nullptr);
    ASSERT_TRUE(closes(registration));

    // A login from here ends on the home screen: saved, and its toast.
    login->pwd()->setText("secret1");
    ASSERT_TRUE(tap(login->view(), "登录"));
    ASSERT_TRUE(closes(login));
    EXPECT_EQ(storedAccount().toObject().value("username").toString(), "tester");
    EXPECT_EQ(toastTexts(home->view()), QStringList{"登录成功！"});
}

} // namespace
