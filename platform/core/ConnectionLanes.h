#pragma once

#include <QString>
#include <QUrl>

namespace core {

// The kept-alive connections that requests with a body travel on, in lanes of one request at
// a time. Qt keeps a pool of connections per origin and TLS peer name, and tells a reply that
// a socket starts connecting only by guessing which queued request will get it; a lane is a
// pool of its own (its name stands for the peer name, so plain http only), so the guess is
// always the lane's one request. A request that hears nothing of a new socket went out on the
// lane's kept connection; that is what lets a close before its reply be answered by sending it
// once more. Qt never follows a lane's request to another address, which would carry the name
// on to a TLS handshake: UrlConnection follows redirects itself (docs/platform.md: URL connection).
class ConnectionLanes {
public:
    struct Lane {
        int id = 0;          // 0: no lane, the request goes on Qt's shared pool
        bool kept = false;   // its last request was answered, so its connection may still be open
    };
    enum class Outcome {
        Answered,    // a whole reply came: the connection stays unless the server closes it
        Failed,      // Qt closed the connection
        Abandoned,   // given up midway: a socket Qt may still be opening must never meet another request
    };

    // A free lane for the address, the one freed last first; a new one when none is free.
    static Lane take(const QUrl& url);
    // `keepAliveSeconds`: how long the server said it keeps an idle connection (0: not said).
    static void giveBack(const QUrl& url, int id, Outcome outcome, int keepAliveSeconds = 0);
    // The name Qt keys the lane's pool with.
    static QString name(int id);
    // Qt's pools are gone (the network manager with them): no lane is kept any more.
    static void forgetAll();
};

} // namespace core
