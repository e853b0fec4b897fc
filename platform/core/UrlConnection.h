#pragma once

#include "platform/core/ConnectionLanes.h"
#include "platform/core/RunLoop.h"
#include "platform/core/UrlConnectionDelegate.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QUrl>
#include <memory>

class QNetworkReply;

namespace core {

class FormBody;
class OnceReadBody;

// NSMutableURLRequest.
struct UrlRequest {
    static constexpr double DefaultTimeout = 30.0;

    QUrl url;
    QByteArray method = "GET";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    double timeoutInterval = DefaultTimeout;   // idle time-out in Clock seconds

    // The app's request: POST, 30-second time-out, form-encoded UTF-8 body.
    static UrlRequest formPost(const QUrl& url, const FormBody& body, double timeout = DefaultTimeout);
};

// NSURLConnection over QNetworkAccessManager. It starts at once; its callbacks come later
// from the main run loop. While it runs the connection keeps itself and its delegate alive
// (NSURLConnection retained its delegate until the end), so the caller may drop both pointers.
// The time-out is an idle time-out on the run loop's Clock: it restarts when bytes arrive,
// and a test with a ManualClock can step it. A request reaches the server once: it is sent
// again (once, on a new connection) only when a kept-alive connection was closed under it
// before any byte of its reply came. Redirects are followed and only the final response is
// reported; a request with a body goes on at each redirect as a request of its own
// (docs/platform.md: URL connection).
class UrlConnection : public std::enable_shared_from_this<UrlConnection> {
public:
    enum class State { Running, Finished, Failed, Cancelled };

    static std::shared_ptr<UrlConnection> create(const UrlRequest& request,
                                                 std::shared_ptr<UrlConnectionDelegate> delegate);
    static std::shared_ptr<UrlConnection> formPost(const QUrl& url, const FormBody& body,
                                                   std::shared_ptr<UrlConnectionDelegate> delegate,
                                                   double timeout = UrlRequest::DefaultTimeout);
    ~UrlConnection();
    UrlConnection(const UrlConnection&) = delete;
    UrlConnection& operator=(const UrlConnection&) = delete;

    // Stops the transfer; no further delegate calls; the delegate is released.
    void cancel();

    const UrlRequest& request() const { return m_request; }
    State state() const { return m_state; }
    bool isRunning() const { return m_state == State::Running; }
    // Connections that have not ended yet (tests).
    static std::size_t runningCount();
    // The end of the process's networking: every running connection is cancelled, and the
    // network manager goes with its replies and its HTTP thread. Qt runs it as the application
    // object begins to go; a later request makes a new manager.
    static void endAll();

private:
    struct Private {};
public:
    UrlConnection(Private, const UrlRequest& request, std::shared_ptr<UrlConnectionDelegate> delegate);

private:
    void start();
    // Puts `request` on the wire: the caller's, or where a redirect sent it.
    void send(const UrlRequest& request);
    void onMetaData();
    void onRedirected(const QUrl& location);
    void onReadyRead();
    void onFinished();
    void onTimeout();
    void armTimeout();
    void deliverResponse(bool final = false);
    void end(State state);
    void deliver(std::function<void(UrlConnectionDelegate&, UrlConnection&)> call);
    void failLater(const UrlError& failure);
    bool isTruncated(QNetworkReply* reply) const;
    void giveBackLane(ConnectionLanes::Outcome outcome, int idleSeconds = 0);
    // Lets go of the reply (aborting it unless it has finished) and answers it; it stays
    // readable until the run loop next deletes deferred objects.
    enum class ReplyRelease { Abort, KeepFinished };
    QNetworkReply* releaseReply(ReplyRelease how);

    UrlRequest m_request;
    UrlRequest m_sent;               // what is on the wire now: m_request, or where a redirect sent it
    int m_redirects = 0;             // followed by onRedirected so far
    std::shared_ptr<UrlConnectionDelegate> m_delegate;
    QNetworkReply* m_reply = nullptr;
    State m_state = State::Running;
    bool m_responseSent = false;
    qint64 m_bytesReceived = 0;
    RunLoop::TaskId m_timeoutTask = 0;
    int m_lane = 0;                  // ConnectionLanes id while the request holds it
    QPointer<OnceReadBody> m_body;   // owned by the reply
};

} // namespace core
