#include "platform/ui/WebPageLoader.h"

namespace ui {

void WebPageLoader::didReceiveResponse(core::UrlConnection&, const core::UrlResponse& response)
{
    m_response = response;
    m_body.clear();
}

void WebPageLoader::didReceiveData(core::UrlConnection&, const QByteArray& data)
{
    m_body += data;
}

void WebPageLoader::didFailWithError(core::UrlConnection&, const core::UrlError& error)
{
    if (onFailed)
        onFailed(error);
}

void WebPageLoader::connectionDidFinishLoading(core::UrlConnection&)
{
    if (onLoaded)
        onLoaded(m_body, m_response);
}

} // namespace ui
