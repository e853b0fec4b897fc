#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace core {

class UrlConnection;

// NSHTTPURLResponse: what a response said before its body.
struct UrlResponse {
    QUrl url;
    int statusCode = 0;                 // the HTTP status, e.g. 200 or 500
    QByteArray contentType;
    qint64 expectedContentLength = -1;  // -1 when the server did not say
};

// NSError of a failed connection: only transport faults fail; an HTTP error status is a response.
struct UrlError {
    enum Code { TimedOut, CannotConnect, ConnectionLost, BadUrl, HostNotFound, Cancelled, Other };
    Code code = Other;
    QString message;
};

// NSURLConnectionDataDelegate. Every method has a do-nothing default. Exactly one of
// connectionDidFinishLoading and didFailWithError ends a connection; a response precedes
// any data. All calls arrive from the main run loop, never inside UrlConnection::create().
class UrlConnectionDelegate {
public:
    virtual ~UrlConnectionDelegate() = default;
    virtual void didReceiveResponse(UrlConnection&, const UrlResponse&) {}
    virtual void didReceiveData(UrlConnection&, const QByteArray&) {}
    virtual void didFailWithError(UrlConnection&, const UrlError&) {}
    virtual void connectionDidFinishLoading(UrlConnection&) {}
};

} // namespace core
