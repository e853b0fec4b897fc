#pragma once

#include "platform/ui/View.h"

#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <memory>

namespace core {
class UrlConnection;
struct UrlError;
struct UrlRequest;
}

namespace ui {

class HtmlDocument;
class ScrollView;
class WebViewDelegate;

// Shows one HTML page, laid out by QTextDocument at the view's width, inside its own scroll
// view; the scroll view's content size is the page's size.
//
// A load is an HTML string with a base URL (the screens pass the resource folder), or an
// address: http(s) is fetched with core::UrlConnection, a file URL is read only when it lies
// inside the resource folder. Every load is reported once as started and once as finished or
// failed, from the run loop; a load replaced by a newer one before it ended fails as
// cancelled. Web views share one queue of posted work: a run-loop turn that drains it also
// runs the loads its own callbacks start (a chain of pages), for up to 8 ms. A page with
// http(s) images shows at once with placeholders and finishes when the images have come or
// failed, laid out again (its content size set anew) as each arrives. No script runs, and
// the page reads no file outside the resource folder (see HtmlDocument).
class WebView : public View {
public:
    static std::shared_ptr<WebView> create(const Rect& frame = Rect());
    ~WebView() override;

    std::shared_ptr<WebViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<WebViewDelegate>& delegate) { m_delegate = delegate; }

    std::shared_ptr<ScrollView> scrollView() const { return m_scrollView; }

    void loadHTMLString(const QString& html, const QUrl& baseUrl);
    void loadRequest(const core::UrlRequest& request);
    bool isLoading() const { return m_loading; }

    // The page's text as laid out (what a reader would see).
    QString text() const;

protected:
    explicit WebView(const Rect& frame);
    void layoutSubviews() override;

private:
    std::uint64_t beginLoad();
    void cancelRunningLoad();
    void post(std::function<void(WebView&)> fn);
    void fetch(std::uint64_t id, const core::UrlRequest& request);
    void readFile(std::uint64_t id, const QUrl& url);
    void showPage(const QString& html, const QUrl& baseUrl);
    void finishWhenImagesSettle(std::uint64_t id);
    void imageSettled();
    void finishLoad(std::uint64_t id);
    void failLoad(std::uint64_t id, const core::UrlError& error);
    void reportStart();
    void reportFailure(const core::UrlError& error);
    void updateContentSize();
    void drawPage(DrawContext& context);

    std::shared_ptr<ScrollView> m_scrollView;
    std::shared_ptr<View> m_contentView;
    std::unique_ptr<HtmlDocument> m_document;
    std::shared_ptr<core::UrlConnection> m_connection;
    std::weak_ptr<WebViewDelegate> m_delegate;
    std::uint64_t m_loadId = 0;
    bool m_loading = false;
    bool m_awaitingImages = false;   // the page shows; its remote images are still coming
    double m_layoutWidth = -1;
};

} // namespace ui
