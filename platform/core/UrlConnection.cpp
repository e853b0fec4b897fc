#include "platform/core/UrlConnection.h"

#include "platform/core/ConnectionLanes.h"
#include "platform/core/FormBody.h"
#include "platform/core/OnceReadBody.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <algorithm>
#include <set>

namespace core {

namespace {

// The run loop's strong references to running connections: a connection lives until it ends
// even when nobody else holds it, as NSURLConnection did.
std::set<std::shared_ptr<UrlConnection>>& running()
{
    static auto* set = new std::set<std::shared_ptr<UrlConnection>>;
    return *set;
}

QPointer<QNetworkAccessManager>& managerInstance()
{
    static QPointer<QNetworkAccessManager> instance;
    return instance;
}

QNetworkAccessManager* manager()
{
    // One manager for the process, a child of the application object. Qt runs endAll() as that
    // object begins to go, while its event dispatcher still stands; left to the application
    // object's deletion of its children, the manager went after the dispatcher, and what Qt had
    // made for a request just started was lost with the HTTP thread.
    auto& instance = managerInstance();
    if (!instance) {
        instance = new QNetworkAccessManager(QCoreApplication::instance());
        qAddPostRoutine(UrlConnection::endAll);
    }
    return instance;
}

UrlError::Code codeFor(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return UrlError::CannotConnect;
    case QNetworkReply::RemoteHostClosedError:
    // Qt's word for a request it would have sent again after losing the connection.
    case QNetworkReply::ContentReSendError:
        return UrlError::ConnectionLost;
    case QNetworkReply::HostNotFoundError:
        return UrlError::HostNotFound;
    case QNetworkReply::TimeoutError:
        return UrlError::TimedOut;
    case QNetworkReply::OperationCanceledError:
        return UrlError::Cancelled;
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
        return UrlError::BadUrl;
    default:
        return UrlError::Other;
    }
}

// Qt reports HTTP error statuses as content (2xx codes) and server (4xx codes) errors; those
// are normal responses here. Network (1-99), proxy (1xx) and protocol (3xx) errors are faults.
bool isTransportFault(QNetworkReply::NetworkError error)
{
    const int code = static_cast<int>(error);
    // Qt files a 400 answer under the protocol errors; it is an answer all the same.
    if (code == 0 || error == QNetworkReply::ProtocolInvalidOperationError)
        return false;
    return !((code >= 200 && code < 300) || (code >= 400 && code < 500));
}

// "timeout=5, max=100": how long the server keeps the connection idle; 0 when it does not say.
int keepAliveSeconds(const QNetworkReply* reply)
{
    for (const QByteArray& part : reply->rawHeader("Keep-Alive").split(',')) {
        const QByteArray item = part.trimmed().toLower();
        if (item.startsWith("timeout="))
            return std::max(0, item.mid(8).toInt());
    }
    return 0;
}

// Qt's own limit for the redirects it follows; here it counts them over every hop.
constexpr int kMaxRedirects = 50;

// The request a redirect sends on, as browsers make it: a 303, and a 301 or 302 answering a
// POST, turn it into a GET without a body; a 307 or 308 keeps method and body.
UrlRequest redirectedRequest(const UrlRequest& from, const QUrl& to, int status)
{
    UrlRequest next = from;
    next.url = to;
    if ((status == 303 && from.method != "HEAD") || ((status == 301 || status == 302) && from.method == "POST")) {
        next.method = "GET";
        next.body.clear();
        next.headers.removeIf([](const QPair<QByteArray, QByteArray>& header) {
            return header.first.compare("content-type", Qt::CaseInsensitive) == 0
                || header.first.compare("content-length", Qt::CaseInsensitive) == 0;
        });
    }
    return next;
}

} // namespace

UrlRequest UrlRequest::formPost(const QUrl& url, const FormBody& body, double timeout)
{
    UrlRequest request;
    request.url = url;
    request.method = "POST";
    request.body = body.encoded();
    request.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray(FormBody::ContentType)));
    request.timeoutInterval = timeout;
    return request;
}

std::shared_ptr<UrlConnection> UrlConnection::create(const UrlRequest& request,
                                                     std::shared_ptr<UrlConnectionDelegate> delegate)
{
    auto connection = std::make_shared<UrlConnection>(Private{}, request, std::move(delegate));
    running().insert(connection);
    connection->start();
    return connection;
}

std::shared_ptr<UrlConnection> UrlConnection::formPost(const QUrl& url, const FormBody& body,
                                                       std::shared_ptr<UrlConnectionDelegate> delegate, double timeout)
{
    return create(UrlRequest::formPost(url, body, timeout), std::move(delegate));
}

std::size_t UrlConnection::runningCount()
{
    return running().size();
}

void UrlConnection::endAll()
{
    const auto connections = running();
    for (const auto& connection : connections)
        connection->cancel();
    delete managerInstance().data();
    ConnectionLanes::forgetAll();
}

UrlConnection::UrlConnection(Private, const UrlRequest& request, std::shared_ptr<UrlConnectionDelegate> delegate)
    : m_request(request)
    , m_delegate(std::move(delegate))
{
}

UrlConnection::~UrlConnection()
{
    if (m_timeoutTask)
        RunLoop::main().cancel(m_timeoutTask);
    releaseReply(ReplyRelease::Abort);
}

QNetworkReply* UrlConnection::releaseReply(ReplyRelease how)
{
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return nullptr;
    if (how == ReplyRelease::Abort)
        giveBackLane(ConnectionLanes::Outcome::Abandoned);
    if (m_body)
        m_body->refuseRewind();
    // Our handlers (connected with the reply as their context) go first, so that nothing the
    // reply emits on its way out (abort finishes it) reaches a connection that has let go of
    // it. Qt's own connections stay: the abort reaches the HTTP thread through them, which
    // closes the socket and frees the request's objects there.
    QObject::disconnect(reply, nullptr, reply, nullptr);
    if (how == ReplyRelease::Abort)
        reply->abort();
    // Deleted later: the caller may still read a finished reply, and Qt may be inside one of
    // its signals.
    reply->deleteLater();
    return reply;
}

void UrlConnection::start()
{
    send(m_request);
    armTimeout();
}

void UrlConnection::send(const UrlRequest& sent)
{
    m_sent = sent;
    QNetworkRequest request(sent.url);
    bool hasContentType = false;
    for (const auto& [name, value] : sent.headers) {
        request.setRawHeader(name, value);
        hasContentType = hasContentType || name.compare("content-type", Qt::CaseInsensitive) == 0;
    }
    // The phone's default for a POST body, which the app relies on without setting it.
    if (!hasContentType && !sent.body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/x-www-form-urlencoded"));
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    if (sent.body.isEmpty() && (sent.method == "GET" || sent.method == "HEAD")) {
        m_reply = manager()->sendCustomRequest(request, sent.method);
    } else {
        const ConnectionLanes::Lane lane = ConnectionLanes::take(sent.url);
        m_lane = lane.id;
        if (m_lane)
            request.setPeerVerifyName(ConnectionLanes::name(m_lane));
        // Its redirects are onRedirected's to follow, each as a request of its own.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
        auto* body = new OnceReadBody(sent.body, nullptr);
        // Sent on the lane's kept connection unless Qt opens a socket for it, which it says
        // before it sends: a close before the reply may then send it once more. Not after a
        // redirect: it has gone out once already, and goes out at most twice.
        if (lane.kept && m_redirects == 0)
            body->allowRewind();
        m_body = body;
        m_reply = manager()->sendCustomRequest(request, sent.method, body);
        // Qt reads the body until the reply has finished; the reply owns it from here.
        body->setParent(m_reply);
        QObject::connect(m_reply, &QNetworkReply::socketStartedConnecting, body, &OnceReadBody::refuseRewind);
        QObject::connect(m_reply, &QNetworkReply::redirected, m_reply, [this](const QUrl& url) { onRedirected(url); });
    }
    QObject::connect(m_reply, &QNetworkReply::metaDataChanged, m_reply, [this] { onMetaData(); });
    QObject::connect(m_reply, &QNetworkReply::readyRead, m_reply, [this] { onReadyRead(); });
    QObject::connect(m_reply, &QNetworkReply::finished, m_reply, [this] { onFinished(); });
}

void UrlConnection::armTimeout()
{
    if (m_timeoutTask)
        RunLoop::main().cancel(m_timeoutTask);
    m_timeoutTask = 0;
    if (!(m_request.timeoutInterval > 0))
        return;
    // A weak capture: a pending time-out must not keep an abandoned connection alive.
    m_timeoutTask = RunLoop::main().schedule(m_request.timeoutInterval, [weak = weak_from_this()] {
        if (auto self = weak.lock()) {
            self->m_timeoutTask = 0;
            self->onTimeout();
        }
    });
}

void UrlConnection::deliver(std::function<void(UrlConnectionDelegate&, UrlConnection&)> call)
{
    // Every delegate call goes through the run loop, so none can happen inside create()
    // or inside a Qt signal, and they keep the order in which the network produced them.
    RunLoop::main().post([self = shared_from_this(), call = std::move(call)] {
        if (self->m_state != State::Running)
            return;   // cancelled in the meantime
        auto delegate = self->m_delegate;   // kept alive for the call even if it cancels us
        if (delegate)
            call(*delegate, *self);
    });
}

void UrlConnection::deliverResponse(bool final)
{
    if (m_responseSent || !m_reply)
        return;
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return;
    // A redirect that Qt is about to follow is not the response (NSURLConnection reports only
    // the final one); at the end, a redirect that was not followed is.
    const int code = status.toInt();
    if (!final && code >= 300 && code < 400 && !m_reply->rawHeader("Location").isEmpty())
        return;
    m_responseSent = true;
    UrlResponse response;
    response.url = m_reply->url();
    response.statusCode = status.toInt();
    response.contentType = m_reply->rawHeader("Content-Type");
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    response.expectedContentLength = length.isValid() ? length.toLongLong() : -1;
    deliver([response](UrlConnectionDelegate& d, UrlConnection& c) { d.didReceiveResponse(c, response); });
}

void UrlConnection::onMetaData()
{
    // The reply has begun: from here a lost connection is the request's failure, except for a
    // redirect: Qt rewinds the body of a 307 or 308 after its head, although onRedirected
    // then sends it as a request of its own.
    if (m_body && m_reply) {
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400 && m_reply->hasRawHeader("Location"))
            m_body->allowRewind();
        else
            m_body->refuseRewind();
    }
    armTimeout();
    deliverResponse();
}

void UrlConnection::onRedirected(const QUrl& location)
{
    if (!m_reply)
        return;
    // A request with a body is not followed inside Qt. Qt would carry a lane's name on as the
    // peer name and check an https certificate against it, and it reports a reset after its
    // own follow as an unknown error. The redirect goes as an ordinary request of its own
    // instead, to an https address verified under its own host name. Qt's rule stays: never
    // from https down to http. The time-out keeps counting from the redirect's arrival.
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl target = m_sent.url.resolved(location);
    releaseReply(ReplyRelease::Abort);
    if (++m_redirects > kMaxRedirects) {
        failLater({UrlError::Other, QStringLiteral("Too many redirects.")});
        return;
    }
    if (m_sent.url.scheme() == QLatin1String("https") && target.scheme() != QLatin1String("https")) {
        failLater({UrlError::Other, QStringLiteral("Refused a redirect from https to %1.").arg(target.scheme())});
        return;
    }
    send(redirectedRequest(m_sent, target, status));
}

void UrlConnection::onReadyRead()
{
    if (!m_reply)
        return;
    armTimeout();
    deliverResponse();
    if (!m_responseSent)
        return;   // bytes before a status line cannot happen over HTTP; keep them for finish
    const QByteArray data = m_reply->readAll();
    if (data.isEmpty())
        return;
    m_bytesReceived += data.size();
    deliver([data](UrlConnectionDelegate& d, UrlConnection& c) { d.didReceiveData(c, data); });
}

void UrlConnection::onFinished()
{
    if (!m_reply)
        return;
    if (m_timeoutTask) {
        RunLoop::main().cancel(m_timeoutTask);
        m_timeoutTask = 0;
    }
    QNetworkReply* reply = releaseReply(ReplyRelease::KeepFinished);

    const QNetworkReply::NetworkError error = reply->error();
    const bool hasStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (!hasStatus || isTransportFault(error)) {
        giveBackLane(ConnectionLanes::Outcome::Failed);
        failLater({codeFor(error), reply->errorString()});
        return;
    }
    m_reply = reply;   // deliverResponse reads the headers
    deliverResponse(true);
    m_reply = nullptr;
    const QByteArray rest = reply->readAll();
    m_bytesReceived += rest.size();
    if (!rest.isEmpty())
        deliver([rest](UrlConnectionDelegate& d, UrlConnection& c) { d.didReceiveData(c, rest); });
    if (isTruncated(reply)) {
        giveBackLane(ConnectionLanes::Outcome::Failed);
        failLater({UrlError::ConnectionLost, QStringLiteral("The network connection was lost.")});
        return;
    }
    giveBackLane(ConnectionLanes::Outcome::Answered, keepAliveSeconds(reply));
    RunLoop::main().post([self = shared_from_this()] {
        if (self->m_state != State::Running)
            return;
        auto delegate = self->m_delegate;
        self->end(State::Finished);
        if (delegate)
            delegate->connectionDidFinishLoading(*self);
    });
}

void UrlConnection::giveBackLane(ConnectionLanes::Outcome outcome, int idleSeconds)
{
    if (m_lane)
        ConnectionLanes::giveBack(m_sent.url, std::exchange(m_lane, 0), outcome, idleSeconds);
}

bool UrlConnection::isTruncated(QNetworkReply* reply) const
{
    // Qt sometimes reports a connection reset in the middle of a body as a clean finish, so
    // the promised length is checked here. Only for identity bodies: Qt decodes gzip, and
    // then Content-Length counts the compressed bytes.
    if (m_sent.method == "HEAD")
        return false;
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return false;
    bool ok = false;
    const qint64 promised = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && m_bytesReceived < promised;
}

void UrlConnection::failLater(const UrlError& failure)
{
    RunLoop::main().post([self = shared_from_this(), failure] {
        if (self->m_state != State::Running)
            return;
        auto delegate = self->m_delegate;
        self->end(State::Failed);
        if (delegate)
            delegate->didFailWithError(*self, failure);
    });
}

void UrlConnection::onTimeout()
{
    if (!m_reply || m_state != State::Running)
        return;
    releaseReply(ReplyRelease::Abort);
    failLater({UrlError::TimedOut, QStringLiteral("The request timed out.")});
}

void UrlConnection::end(State state)
{
    m_state = state;
    if (m_timeoutTask) {
        RunLoop::main().cancel(m_timeoutTask);
        m_timeoutTask = 0;
    }
    releaseReply(ReplyRelease::Abort);
    // The delegate is released once it has been told (the callers hold it for the last call),
    // and the run loop lets go of us; whoever still holds a pointer keeps an ended connection.
    m_delegate.reset();
    auto self = shared_from_this();
    running().erase(self);
}

void UrlConnection::cancel()
{
    if (m_state != State::Running)
        return;
    end(State::Cancelled);
}

} // namespace core
