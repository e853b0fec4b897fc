#pragma once

#include "platform/core/UrlConnectionDelegate.h"

#include <QByteArray>
#include <functional>

namespace ui {

// Collects a remote page for a web view. The connection keeps its delegate alive while it
// runs, so the page's receiver is this small object, not the view: a view that goes away
// cancels the connection instead of being kept alive by it.
class WebPageLoader : public core::UrlConnectionDelegate {
public:
    // The body, the address it came from and its content type.
    std::function<void(const QByteArray& body, const core::UrlResponse& response)> onLoaded;
    std::function<void(const core::UrlError& error)> onFailed;

    void didReceiveResponse(core::UrlConnection&, const core::UrlResponse& response) override;
    void didReceiveData(core::UrlConnection&, const QByteArray& data) override;
    void didFailWithError(core::UrlConnection&, const core::UrlError& error) override;
    void connectionDidFinishLoading(core::UrlConnection&) override;

private:
    core::UrlResponse m_response;
    QByteArray m_body;
};

} // namespace ui
