#include "shell/account/WebViewController.h"

#include "platform/core/Bundle.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebView.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/RegisterViewController.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/HandServer.h"

#include <QPointer>

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
    EXPECT_DOUBLE_EQ(web->frame().maxY(), H);
    EXPECT_GT(web->scrollView()->contentSize().height, web->frame().height());
    EXPECT_TRUE(shoot("agreement"));
    ASSERT_TRUE(tap(page, "返回"));
    ASSERT_TRUE(closes(page));
}

// Anything but an http(s) address with a host shows an empty page, even a file of the app's own.
TEST_F(WebViewControllerTest, OnlyWebAddressesAreLoaded)
{
    CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
    launch();
    for (const QString& address : {QString("file:///etc/passwd"), "file://" + core::Bundle::resourcePath() + "/back_btn.png",
                                   QString("ftp://127.0.0.1/agreement.html"), QString("http:agreement.html")}) {
        SCOPED_TRACE(address.toStdString());
        auto page = WebViewController::create();
        page->setUrl(address);
        m_home->presentViewController(page, false);
        ASSERT_TRUE(onTop<WebViewController>(m_container));
        EXPECT_TRUE(!page->webView()->isLoading() && page->webView()->text().isEmpty());
        page->dismissViewController(false);
        ASSERT_TRUE(closes(page));
    }
}

// Back while the page still loads: the screen goes. A page sent while the screen slides out
// lands nowhere; once the screen is freed its load has been given up (the server sees the
// hang-up). Either way the load ends and the screen and its web view are freed.
TEST_F(WebViewControllerTest, BackWhileThePageLoadsLetsTheScreenGo)
{
    CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
    launch();
    QList<QPointer<QTcpSocket>> held;
    HandServer server([&](QTcpSocket* socket, const QByteArray&) { held.append(socket); });
    for (bool afterFreed : {false, true}) {
        SCOPED_TRACE(afterFreed ? "after freed" : "while sliding out");
        held.clear();
        auto page = WebViewController::create();
        page->setUrl(server.url("/agreement.html").toString());
        m_home->presentViewController(page, true);
        ASSERT_TRUE(onTop<WebViewController>(m_container));
        ASSERT_TRUE(pumpUntil([&] { return !held.isEmpty(); }));
        ASSERT_TRUE(page->webView()->isLoading());
        std::weak_ptr<ui::WebView> web = page->webView();
        ASSERT_TRUE(tap(page, "返回"));
        std::weak_ptr<WebViewController> gone = page;
        page.reset();
        if (afterFreed) {
            ASSERT_TRUE(pumpUntil([&] { return gone.expired() && web.expired(); }));
            EXPECT_TRUE(pumpUntil([&] { return !held.first() || held.first()->state() == QAbstractSocket::UnconnectedState; }));
            EXPECT_EQ(core::UrlConnection::runningCount(), 0);
        }
        if (held.first() && held.first()->state() == QAbstractSocket::ConnectedState) {
            held.first()->write(HandServer::reply("200 OK", "<p>用户协议</p>", "Content-Type: text/html; charset=utf-8\r\nConnection: close\r\n"));
            held.first()->disconnectFromHost();
        }
        EXPECT_TRUE(pumpUntil([&] { return gone.expired() && web.expired(); }));
        EXPECT_TRUE(pumpUntil([] { return core::UrlConnection::runningCount() == 0; }));
        EXPECT_FALSE(m_container->presentedViewController());
    }
}

} // namespace
