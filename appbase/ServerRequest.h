#pragma once

#include "platform/core/UrlConnectionDelegate.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <memory>
#include <optional>

class ProgressHUD;
class ServerRequestDelegate;
namespace core {
class FormBody;
}
namespace ui {
class View;
}

// One POST to the question-bank server in the shared pattern: the body percent-encoded, a
// 30-second time-out, the busy overlay over the screen's view while it runs (unless the
// screen shows none), the network toast on a failure or a status other than 200.
//
// Each request owns its reply buffer and its tag, so two requests of one screen cannot mix
// their replies. A request is never cancelled: it runs to its end even when its screen has
// gone, so a write the user made still reaches the server. The screen is held weakly, so a
// screen dismissed meanwhile is not called back. The request holds the overlay it showed
// weakly and hides only that one (and only while it is still the current one), so a late
// reply cannot hide an overlay that another request showed since.
class ServerRequest : public core::UrlConnectionDelegate, public std::enable_shared_from_this<ServerRequest> {
public:
    // Shown: its own wait overlay and the network toast on failure. None: no overlay, the
    // toast on failure. Quiet: no overlay of its own, no toast, and it touches no overlay,
    // for requests sent behind an overlay their screen shows and hides itself.
    enum class Overlay { Shown, None, Quiet };

    static std::shared_ptr<ServerRequest> send(const QString& path, const core::FormBody& body, int tag,
                                               const std::shared_ptr<ui::View>& view,
                                               const std::shared_ptr<ServerRequestDelegate>& delegate,
                                               Overlay overlay = Overlay::Shown);

    QString path() const { return m_path; }
    // The wait overlay this request showed, while it exists; null for None and Quiet.
    std::shared_ptr<ProgressHUD> overlay() const { return m_shownOverlay.lock(); }
    int tag() const { return m_tag; }
    bool isRunning() const { return m_running; }
    // Whether `request` exists and has not ended: a screen's own request still under way.
    static bool isUnderWay(const std::shared_ptr<ServerRequest>& request) { return request && request->isRunning(); }
    int statusCode() const { return m_statusCode; }
    const QByteArray& receiveData() const { return m_receiveData; }
    QString text() const { return QString::fromUtf8(m_receiveData); }
    // The reply as a JSON object or array; nullopt when it is not JSON.
    std::optional<QJsonValue> json() const;

    void didReceiveResponse(core::UrlConnection&, const core::UrlResponse& response) override;
    void didReceiveData(core::UrlConnection&, const QByteArray& data) override;
    void didFailWithError(core::UrlConnection&, const core::UrlError& error) override;
    void connectionDidFinishLoading(core::UrlConnection&) override;

private:
    struct Private {};
public:
    ServerRequest(Private, QString path, int tag, const std::shared_ptr<ui::View>& view,
                  const std::shared_ptr<ServerRequestDelegate>& delegate, Overlay overlay);

private:
    void fail();
    void showNetworkError();
    void hideOwnOverlay();

    QString m_path;
    int m_tag;
    std::weak_ptr<ui::View> m_view;
    std::weak_ptr<ServerRequestDelegate> m_delegate;
    Overlay m_overlayMode;
    // Weak: the overlay belongs to the screen's view (and to CommonUtil while current).
    std::weak_ptr<ProgressHUD> m_shownOverlay;
    QByteArray m_receiveData;
    int m_statusCode = 0;
    bool m_running = true;
    bool m_failed = false;
};
