#include "appbase/ServerRequest.h"

#include "components/hud/ProgressHUDDelegate.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/core/UrlConnection.h"
#include "appbase/CommonUtil.h"
#include "appbase/ServerRequestDelegate.h"

#include <QUrl>

std::shared_ptr<ServerRequest> ServerRequest::send(const QString& path, const core::FormBody& body, int tag,
                                                   const std::shared_ptr<ui::View>& view,
                                                   const std::shared_ptr<ServerRequestDelegate>& delegate,
                                                   Overlay overlay)
{
    auto request = std::make_shared<ServerRequest>(Private(), path, tag, view, delegate, overlay);
    const QUrl url(CommonUtil::getServiceUrl() + path);
    // The connection keeps the request alive until it ends; the request keeps nothing else.
    auto connection = core::UrlConnection::formPost(url, body, request);
    if (connection && overlay == Overlay::Shown)
        request->m_shownOverlay = CommonUtil::startHttp(view, std::dynamic_pointer_cast<ProgressHUDDelegate>(delegate));
    return request;
}

ServerRequest::ServerRequest(Private, QString path, int tag, const std::shared_ptr<ui::View>& view,
                             const std::shared_ptr<ServerRequestDelegate>& delegate, Overlay overlay)
    : m_path(std::move(path))
    , m_tag(tag)
    , m_view(view)
    , m_delegate(delegate)
    , m_overlayMode(overlay)
{
}

std::optional<QJsonValue> ServerRequest::json() const
{
    return core::Record::parse(m_receiveData);
}

void ServerRequest::didReceiveResponse(core::UrlConnection&, const core::UrlResponse& response)
{
    m_statusCode = response.statusCode;
    m_receiveData = QByteArray();
    if (m_statusCode == 200)
        return;
    // An error page is not an answer: say so now, and do not hand it on as one later.
    m_failed = true;
    showNetworkError();
    hideOwnOverlay();
}

void ServerRequest::didReceiveData(core::UrlConnection&, const QByteArray& data)
{
    m_receiveData.append(data);
}

void ServerRequest::didFailWithError(core::UrlConnection&, const core::UrlError&)
{
    m_running = false;
    m_failed = true;
    hideOwnOverlay();
    showNetworkError();
    fail();
}

void ServerRequest::connectionDidFinishLoading(core::UrlConnection&)
{
    auto self = shared_from_this();
    m_running = false;
    if (m_failed) {
        fail();
        return;
    }
    if (auto delegate = m_delegate.lock())
        delegate->requestDidFinish(*this);
    hideOwnOverlay();
}

void ServerRequest::fail()
{
    auto self = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->requestDidFail(*this);
}

void ServerRequest::showNetworkError()
{
    if (m_overlayMode == Overlay::Quiet)
        return;
    if (auto view = m_view.lock())
        CommonUtil::httpClientError(view);
}

void ServerRequest::hideOwnOverlay()
{
    CommonUtil::stopHttp(m_shownOverlay.lock());
    m_shownOverlay.reset();
}
