#include "shell/account/WebViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/Bundle.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebView.h"
#include "shell/account/RegisterViewController.h"
#include "shell/account/RegisterViewControllerDelegate.h"
#include "tests/shell/account/AccountScreenTest.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

class NobodyListens : public RegisterViewControllerDelegate {
public:
    void regsiterOk() override {}
};

class WebViewControllerTest : public AccountScreenTest {
protected:
    std::shared_ptr<WebViewController> openPage(const QString& url)
    {
        auto page = WebViewController::create();
        page->setUrl(url);
        EXPECT_TRUE(present(page));
        return page;
    }
};

// The whole way a user takes: the registration screen asks the server for the address, the
// agreement line opens the page, the server's page is laid out under the chrome.
TEST_F(WebViewControllerTest, TheServersAgreementIsLaidOutBelowTheChromeToTheScreensEnd)
{
    startSampleServer();
    auto registration = RegisterViewController::create();
    registration->setDelegate(std::make_shared<NobodyListens>());
    ASSERT_TRUE(present(registration));
    ASSERT_TRUE(pumpUntil([&] { return !registration->agreementRequest()->isRunning(); }));
    ASSERT_TRUE(waitForOverlaysGone(registration->view()));
    ASSERT_TRUE(tap(registration->view(), RegisterViewController::kAgreementTitle));
    std::shared_ptr<WebViewController> page;
    ASSERT_TRUE(pumpUntil([&] {
        page = std::dynamic_pointer_cast<WebViewController>(registration->presentedViewController());
        return page && page->isAppeared() && !page->isTransitioning();
    }));
    EXPECT_EQ(page->url(), registration->xyurl());
    auto web = page->webView();
    ASSERT_TRUE(web);
    ASSERT_TRUE(pumpUntil([&] { return !web->isLoading(); }));
    EXPECT_FALSE(web->text().isEmpty());
    const double W = CommonUtil::getSysWidth();
    const double H = CommonUtil::getSysHeight();
    EXPECT_TRUE(sameRect(web->frame(), ui::Rect(0, H / 7, W, H - H / 7)));
    EXPECT_GT(web->scrollView()->contentSize().height, H);
    EXPECT_EQ(page->titleLabel()->text(), "用户协议");
    EXPECT_TRUE(screenshot("agreement"));

    page->backClick(nullptr);
    ASSERT_TRUE(closes(page));
    EXPECT_EQ(registration->presentedViewController(), nullptr);
}

// A server's address other than http(s) is not followed, even one inside the resource folder.
TEST_F(WebViewControllerTest, OnlyWebAddressesAreLoaded)
{
    const QString addresses[] = {
        "",
        "file:///etc/passwd",
        "file://" + core::Bundle::resourcePath() + "/back_btn.png",
        "ftp://127.0.0.1/agreement.html",
        "http:agreement.html",
    };
    for (const QString& address : addresses) {
        SCOPED_TRACE(address.toStdString());
        auto page = openPage(address);
        auto web = page->webView();
        ASSERT_TRUE(web);
        core::RunLoop::main().processPending();
        EXPECT_FALSE(web->isLoading());
        EXPECT_TRUE(web->text().isEmpty());
        page->backClick(nullptr);
        ASSERT_TRUE(closes(page));
    }
}

TEST_F(WebViewControllerTest, BackDuringASlowLoadCancelsItAndFreesThePage)
{
    QTcpServer slow;   // accepts and never answers
    ASSERT_TRUE(slow.listen(QHostAddress::LocalHost, 0));
    auto page = openPage(QStringLiteral("http://127.0.0.1:%1/agreement.html").arg(slow.serverPort()));
    QTcpSocket* socket = nullptr;
    ASSERT_TRUE(pumpUntil([&] {
        if (!socket && slow.hasPendingConnections())
            socket = slow.nextPendingConnection();
        return socket && socket->bytesAvailable() > 0;
    }));
    std::weak_ptr<ui::WebView> web = page->webView();
    ASSERT_TRUE(web.lock()->isLoading());
    ASSERT_EQ(core::UrlConnection::runningCount(), 1u);

    page->backClick(nullptr);
    std::weak_ptr<WebViewController> gone = page;
    page.reset();
    ASSERT_TRUE(closes(gone));
    EXPECT_TRUE(gone.expired());
    EXPECT_TRUE(web.expired());
    EXPECT_EQ(core::UrlConnection::runningCount(), 0u);
    // A page that arrives after all finds nobody to show it to.
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 11\r\n\r\n<p>late</p>");
    socket->flush();
    core::RunLoop::main().processPending();
    EXPECT_FALSE(m_root->presentedViewController());
}

} // namespace
