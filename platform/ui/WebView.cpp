#include "platform/ui/WebView.h"

#include "platform/core/Bundle.h"
#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/HtmlDocument.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebPageLoader.h"
#include "platform/ui/WebViewDelegate.h"

#include <QFile>
#include <QPainter>
#include <QStringDecoder>
#include <cmath>
#include <deque>

namespace ui {

namespace {

QString decodePage(const QByteArray& body)
{
    const auto encoding = QStringConverter::encodingForHtml(body);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return decoder(body);
}

bool isWebAddress(const QUrl& url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

} // namespace

std::shared_ptr<WebView> WebView::create(const Rect& frame)
{
    auto view = std::shared_ptr<WebView>(new WebView(frame));
    view->m_scrollView = ScrollView::create(Rect(Point(), frame.size));
    view->m_scrollView->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    view->m_scrollView->setBackgroundColor(Color::clear());
    view->m_contentView = View::create(Rect(0, 0, frame.width(), 0));
    view->m_contentView->setBackgroundColor(Color::clear());
    view->m_contentView->setOpaque(false);
    std::weak_ptr<View> weak = view;
    view->m_contentView->layer()->setDrawCallback([weak](DrawContext& context) {
        if (auto self = std::static_pointer_cast<WebView>(weak.lock()))
            self->drawPage(context);
    });
    view->m_scrollView->addSubview(view->m_contentView);
    view->addSubview(view->m_scrollView);
    return view;
}

WebView::WebView(const Rect& frame)
    : View(frame)
{
    setBackgroundColor(Color::white());
}

WebView::~WebView()
{
    if (m_connection)
        m_connection->cancel();
}

QString WebView::text() const
{
    return m_document ? m_document->text() : QString();
}

void WebView::loadHTMLString(const QString& html, const QUrl& baseUrl)
{
    const auto id = beginLoad();
    post([id, html, baseUrl](WebView& view) {
        if (view.m_loadId != id)
            return;
        view.showPage(html, baseUrl);
        view.finishWhenImagesSettle(id);
    });
}

void WebView::loadRequest(const core::UrlRequest& request)
{
    const auto id = beginLoad();
    post([id, request](WebView& view) {
        if (view.m_loadId != id)
            return;
        if (isWebAddress(request.url))
            view.fetch(id, request);
        else if (request.url.isLocalFile())
            view.readFile(id, request.url);
        else
            view.failLoad(id, {core::UrlError::BadUrl, QStringLiteral("cannot load \"%1\"").arg(request.url.toString())});
    });
}

std::uint64_t WebView::beginLoad()
{
    cancelRunningLoad();
    m_loading = true;
    const auto id = ++m_loadId;
    post([](WebView& view) { view.reportStart(); });
    return id;
}

void WebView::cancelRunningLoad()
{
    if (!m_loading)
        return;
    m_loading = false;
    m_awaitingImages = false;
    if (m_connection) {
        m_connection->cancel();
        m_connection.reset();
    }
    // Posted after the replaced load's start, so its delegate still hears start, then the end.
    post([](WebView& view) { view.reportFailure({core::UrlError::Cancelled, QStringLiteral("replaced by a newer load")}); });
}

namespace {

// The work that every web view has posted, in order. One run-loop turn runs it and goes on
// with the work its own callbacks post (a delegate that starts the next page's load when one
// finishes), within a time budget: a chain of a few hundred pages takes a few turns, not a
// turn (and a layout pass of the whole window) per page. Each load still reports from the
// run loop, never inside the call that started it, and in the order the views posted.
struct PostedWork {
    std::deque<std::function<void()>> queue;
    std::weak_ptr<void> pendingDrain;
};

constexpr double kTurnBudgetSeconds = 0.008;

PostedWork& postedWork()
{
    // Never destroyed: a drain dropped late in shutdown still finds it.
    static auto* work = new PostedWork;
    return *work;
}

// Dropped unrun (the run loop was reset), a drain takes the work that waited for it along.
struct DrainTicket {
    bool ran = false;
    ~DrainTicket()
    {
        if (!ran)
            postedWork().queue.clear();
    }
};

void drainPostedWork();

void postDrain()
{
    auto ticket = std::make_shared<DrainTicket>();
    postedWork().pendingDrain = ticket;
    core::RunLoop::main().post([ticket] {
        ticket->ran = true;
        drainPostedWork();
    });
}

void drainPostedWork()
{
    auto& work = postedWork();
    const double deadline = core::Clock::steadyNow() + kTurnBudgetSeconds;
    while (!work.queue.empty()) {
        if (core::Clock::steadyNow() >= deadline) {
            postDrain();
            return;
        }
        auto fn = std::move(work.queue.front());
        work.queue.pop_front();
        fn();
    }
}

} // namespace

void WebView::post(std::function<void(WebView&)> fn)
{
    auto& work = postedWork();
    work.queue.push_back([weak = weak_from_this(), fn = std::move(fn)] {
        if (auto view = std::static_pointer_cast<WebView>(weak.lock()))
            fn(*view);
    });
    if (work.pendingDrain.expired())
        postDrain();
}

void WebView::fetch(std::uint64_t id, const core::UrlRequest& request)
{
    auto loader = std::make_shared<WebPageLoader>();
    std::weak_ptr<View> weak = weak_from_this();
    auto current = [weak, id]() -> std::shared_ptr<WebView> {
        auto view = std::static_pointer_cast<WebView>(weak.lock());
        return view && view->m_loadId == id ? view : nullptr;
    };
    const QUrl address = request.url;
    loader->onLoaded = [current, address, id](const QByteArray& body, const core::UrlResponse& response) {
        auto view = current();
        if (!view)
            return;
        // An error status still has a page to show, as in a browser; only transport faults fail.
        view->showPage(decodePage(body), response.url.isValid() ? response.url : address);
        view->finishWhenImagesSettle(id);
    };
    loader->onFailed = [current, id](const core::UrlError& error) {
        if (auto view = current())
            view->failLoad(id, error);
    };
    m_connection = core::UrlConnection::create(request, loader);
}

void WebView::readFile(std::uint64_t id, const QUrl& url)
{
    const QString path = url.toLocalFile();
    if (!HtmlDocument::isInside(path, core::Bundle::resourcePath())) {
        failLoad(id, {core::UrlError::Other, QStringLiteral("refused %1: not inside the resource folder").arg(path)});
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failLoad(id, {core::UrlError::Other, QStringLiteral("cannot read %1").arg(path)});
        return;
    }
    showPage(decodePage(file.readAll()), url);
    finishWhenImagesSettle(id);
}

void WebView::showPage(const QString& html, const QUrl& baseUrl)
{
    m_awaitingImages = false;
    m_document = std::make_unique<HtmlDocument>(core::Bundle::resourcePath());
    std::weak_ptr<View> weak = weak_from_this();
    m_document->onImageSettled = [weak] {
        if (auto self = std::static_pointer_cast<WebView>(weak.lock()))
            self->imageSettled();
    };
    // Laid out at the view's width straight away, not unwrapped first.
    m_document->setPage(html, baseUrl, bounds().width());
    updateContentSize();
}

void WebView::finishWhenImagesSettle(std::uint64_t id)
{
    // As a phone's web view, the load ends once its remote images have come or failed; the
    // page shows meanwhile, with placeholders.
    if (m_document && m_document->pendingImageCount() > 0) {
        m_awaitingImages = true;
        return;
    }
    finishLoad(id);
}

void WebView::imageSettled()
{
    updateContentSize();
    if (m_awaitingImages && m_document->pendingImageCount() == 0) {
        m_awaitingImages = false;
        finishLoad(m_loadId);
    }
}

void WebView::finishLoad(std::uint64_t id)
{
    if (id != m_loadId || !m_loading)
        return;
    m_loading = false;
    m_connection.reset();
    auto self = shared_from_this();
    if (auto d = delegate())
        d->webViewDidFinishLoad(*this);
}

void WebView::failLoad(std::uint64_t id, const core::UrlError& error)
{
    if (id != m_loadId || !m_loading)
        return;
    m_loading = false;
    m_connection.reset();
    reportFailure(error);
}

void WebView::reportStart()
{
    auto self = shared_from_this();
    if (auto d = delegate())
        d->webViewDidStartLoad(*this);
}

void WebView::reportFailure(const core::UrlError& error)
{
    auto self = shared_from_this();
    if (auto d = delegate())
        d->didFailLoadWithError(*this, error);
}

void WebView::layoutSubviews()
{
    m_scrollView->setFrame(Rect(Point(), bounds().size));
    if (m_document && bounds().width() != m_layoutWidth)
        updateContentSize();
}

void WebView::updateContentSize()
{
    const double width = bounds().width();
    const double height = m_document ? std::ceil(m_document->layOut(width)) : 0;
    m_layoutWidth = width;
    m_contentView->setFrame(Rect(0, 0, width, height));
    m_scrollView->setContentSize(Size(width, height));
    m_contentView->layer()->setNeedsDisplay();
}

void WebView::drawPage(DrawContext& context)
{
    if (!m_document)
        return;
    m_document->drawContents(&context.painter());
}

} // namespace ui
