#include "shell/account/WebViewController.h"

#include "platform/core/Bundle.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebView.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/RegisterViewController.h"
#include "tests/shell/LaunchedAppTest.h"

namespace {

using WebViewControllerTest = LaunchedAppTest;

// The registration screen's agreement line opens the server's page below the chrome, down to
// the screen's bottom edge so that its end can be scrolled into view.
TEST_F(WebViewControllerTest, TheServersAgreementFillsTheScreenBelowTheChrome)
{
    startSignedIn();
    launch();
    auto login = tapTo<LoginViewController>(m_home, "用户登陆");
    auto registration = login ? tapTo<RegisterViewController>(login, "注册新用户") : nullptr;
    ASSERT_TRUE(registration);
    auto page = tapTo<WebViewController>(registration, RegisterViewController::kAgreementTitle);
    ASSERT_TRUE(page);
    auto web = page->webView();
    ASSERT_TRUE(pumpUntil([&] { return !web->isLoading(); }));
    EXPECT_FALSE(web->text().isEmpty());
    const double H = CommonUtil::getSysHeight();
    EXPECT_GE(web->frame().y(), page->backButton()->frame().maxY());
    EXPECT_DOUBLE_EQ(web->frame().maxY(), H);
    EXPECT_GT(web->scrollView()->contentSize().height, web->frame().height());
    EXPECT_TRUE(shoot("agreement"));
    ASSERT_TRUE(tap(page, "返回"));
    ASSERT_TRUE(closes(page));
}

// Anything but an http(s) address with a host is not followed, even a file of the app's own.
TEST(WebViewController, OnlyWebAddressesAreLoaded)
{
    EXPECT_TRUE(WebViewController::isWebAddress("https://127.0.0.1:8080/PendarWeb/agreement.html"));
    for (const QString& address : {QString(), QString("file:///etc/passwd"), "file://" + core::Bundle::resourcePath() + "/back_btn.png",
                                   QString("ftp://127.0.0.1/agreement.html"), QString("http:agreement.html")})
        EXPECT_FALSE(WebViewController::isWebAddress(address)) << address.toStdString();
}

} // namespace
