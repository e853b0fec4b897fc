#pragma once

#include "appbase/ChromeViewController.h"

#include <QString>
#include <memory>

namespace ui {
class WebView;
}

// One web page, the user agreement, under the title "用户协议". Only an http or https address
// is loaded; anything else (none at all, a file address) leaves the page empty.
class WebViewController : public ChromeViewController {
public:
    static std::shared_ptr<WebViewController> create();

    QString url() const { return m_url; }
    void setUrl(const QString& url) { m_url = url; }

    // The page's web view while the screen shows it (the view hierarchy owns it).
    std::shared_ptr<ui::WebView> webView() const { return m_webView.lock(); }

    static bool isWebAddress(const QString& url);

protected:
    WebViewController();

    void viewDidLoad() override;
    void releaseReferences() override;

private:
    QString m_url;
    std::weak_ptr<ui::WebView> m_webView;
};
