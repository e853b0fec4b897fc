#include "shell/account/LoginViewController.h"

#include "platform/ui/TextField.h"
#include "shell/account/RegisterViewController.h"
#include "tests/shell/LaunchedAppTest.h"

namespace {

using AccountScreensQuitTest = LaunchedAppTest;

// The app quits with the registration screen up over the login screen. The registration
// screen owns the login screen (its delegate) while the login screen presents it; once the
// program lets go of its window both screens go, and the views they built with them.
TEST_F(AccountScreensQuitTest, QuittingWithRegistrationOverLoginLetsBothGo)
{
    startSampleServer();
    launch();
    auto login = tapTo<LoginViewController>(m_home, "用户登陆");
    ASSERT_TRUE(login);
    auto registration = tapTo<RegisterViewController>(login, "注册新用户");
    ASSERT_TRUE(registration);
    ASSERT_EQ(registration->delegate(), login);
    std::weak_ptr<LoginViewController> loginLeft = login;
    std::weak_ptr<ui::View> loginView = login->view();
    std::weak_ptr<ui::TextField> accountField = login->account();
    std::weak_ptr<RegisterViewController> registrationLeft = registration;
    login.reset();
    registration.reset();

    // As the program ends: the run loop's work is dropped, then the delegate with its window.
    ui::Application::shared().terminate();
    m_host.reset();
    m_home.reset();
    m_container.reset();
    m_delegate.reset();
    ui::Application::shared().tearDown();
    EXPECT_TRUE(registrationLeft.expired());
    EXPECT_TRUE(loginLeft.expired());
    EXPECT_TRUE(loginView.expired() && accountField.expired());
}

} // namespace
