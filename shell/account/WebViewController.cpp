#include "shell/account/WebViewController.h"

#include "appbase/CommonUtil.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/View.h"
#include "platform/ui/WebView.h"

#include <QUrl>

std::shared_ptr<WebViewController> WebViewController::create()
{
    return std::shared_ptr<WebViewController>(new WebViewController());
}

WebViewController::WebViewController()
    : ChromeViewController(QStringLiteral("用户协议"))
{
}

bool WebViewController::isWebAddress(const QString& url)
{
    const QUrl address(url, QUrl::StrictMode);
    return address.isValid() && !address.host().isEmpty()
        && (address.scheme() == QLatin1String("http") || address.scheme() == QLatin1String("https"));
}

void WebViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const double W = CommonUtil::getSysWidth();
    const double H = CommonUtil::getSysHeight();
    // It ends at the screen's bottom edge, so the end of the page can be scrolled into view.
    auto web = ui::WebView::create(ui::Rect(0, contentTop(), W, H - contentTop()));
    if (isWebAddress(m_url)) {
        core::UrlRequest request;
        request.url = QUrl(m_url);
        web->loadRequest(request);
    }
    view()->addSubview(web);
    m_webView = web;
}

void WebViewController::releaseReferences()
{
    // The web view goes with the subviews, and its running load with it.
    m_url.clear();
}
