#include "platform/core/UrlConnection.h"

#include "platform/core/Dispatch.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "tests/support/HandServer.h"
#include "tests/support/TestCertificate.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QSet>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <optional>

using core::FormBody;
using core::RunLoop;
using core::UrlConnection;

namespace {

// What the delegate saw. `shape` lists the calls in order with repeated data folded into
// one: "response,data,finish".
struct Recorder : core::UrlConnectionDelegate {
    std::string shape;   // with the status or the failure: "response 200,data,fail ConnectionLost"
    QByteArray body;
    bool ended = false;
    void add(const std::string& event)
    {
        if (!(event == "data" && shape.ends_with("data")))
            shape += (shape.empty() ? "" : ",") + event;
        ended = event.starts_with("fail") || event == "finish";
    }
    void didReceiveResponse(UrlConnection&, const core::UrlResponse& r) override
    {
        add("response " + std::to_string(r.statusCode));
    }
    void didReceiveData(UrlConnection&, const QByteArray& data) override
    {
        body += data;
        add("data");
    }
    void didFailWithError(UrlConnection&, const core::UrlError& e) override
    {
        const char* codes[] = {"TimedOut", "CannotConnect", "ConnectionLost", "BadUrl", "HostNotFound", "Cancelled", "Other"};
        add(std::string("fail ") + codes[e.code]);
    }
    void connectionDidFinishLoading(UrlConnection&) override { add("finish"); }
};

bool pumpUntil(const std::function<bool()>& done) { return RunLoop::main().runUntil(done, 10); }

std::shared_ptr<Recorder> post(const QUrl& url, double timeout = core::UrlRequest::DefaultTimeout)
{
    auto seen = std::make_shared<Recorder>();
    UrlConnection::formPost(url, FormBody{{"text", "a&b=c"}, {"n", "1"}}, seen, timeout);
    return seen;
}

class UrlConnectionTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        RunLoop::main().runUntil([] { return UrlConnection::runningCount() == 0; }, 2);
        RunLoop::main().reset();
    }
};

} // namespace

// The form body goes out encoded, under its content type; every status is a response with its
// body, never a failure, and never inside the starting call; a redirect reports only its end.
TEST_F(UrlConnectionTest, StatusesAreResponsesWithTheirBodies)
{
    QByteArray request;
    HandServer server([&](QTcpSocket* socket, const QByteArray& bytes) {
        request = bytes;
        if (bytes.startsWith("POST /old"))
            socket->write(HandServer::reply("307 Temporary Redirect", "", "Location: /ok\r\nConnection: close\r\n"));
        else if (bytes.startsWith("POST /ok"))
            socket->write(HandServer::reply("200 OK", "hello"));
        else if (bytes.startsWith("POST /bad"))
            socket->write(HandServer::reply("400 Bad Request", "bad"));
        else
            socket->write(bytes.startsWith("POST /error") ? HandServer::reply("500 Internal Server Error", "<html>boom</html>") : HandServer::reply("404 Not Found", ""));
    });
    const std::tuple<QString, std::string, QByteArray> cases[] = {{"/ok", "response 200,data,finish", "hello"},
                                                                  {"/error", "response 500,data,finish", "<html>boom</html>"},
                                                                  {"/old", "response 200,data,finish", "hello"},
                                                                  {"/nowhere", "response 404,finish", ""},
                                                                  {"/bad", "response 400,data,finish", "bad"}};
    for (const auto& [path, shape, body] : cases) {
        auto seen = post(server.url(path));
        EXPECT_EQ(seen->shape, "");
        ASSERT_TRUE(pumpUntil([&] { return seen->ended; }));
        EXPECT_EQ(seen->shape, shape) << path.toStdString();
        EXPECT_EQ(seen->body, body);
        EXPECT_TRUE(request.contains("\r\nContent-Type: application/x-www-form-urlencoded; charset=utf-8\r\n"));
        EXPECT_TRUE(request.endsWith("\r\n\r\ntext=a%26b%3Dc&n=1")) << request.constData();
    }
}

// Refused, hung up on before any response, or not an address at all: one failure.
TEST_F(UrlConnectionTest, ConnectionsThatNeverGetAResponseFail)
{
    HandServer rude([](QTcpSocket* socket, const QByteArray&) { socket->abort(); });
    const std::pair<QUrl, std::string> cases[] = {{QUrl("http://127.0.0.1:1/x"), "fail CannotConnect"},
                                                  {rude.url(), "fail ConnectionLost"},
                                                  {QUrl("nosuchscheme://host/x"), "fail BadUrl"}};
    for (const auto& [address, shape] : cases) {
        auto seen = post(address);
        ASSERT_TRUE(pumpUntil([&] { return seen->ended; }));
        EXPECT_EQ(seen->shape, shape);
    }
}

// Data reaches the delegate as it arrives; the promised length decides how the body ends:
// all of it finishes, one byte short fails once the peer resets.
TEST_F(UrlConnectionTest, ABodyArrivesAsItComesAndEndsCleanOnlyAtItsPromisedLength)
{
    for (const int promised : {10, 11}) {
        QPointer<QTcpSocket> peer;
        HandServer server([&](QTcpSocket* socket, const QByteArray&) {
            peer = socket;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(promised) + "\r\n\r\n01234");
        });
        auto seen = post(server.url());
        ASSERT_TRUE(pumpUntil([&] { return seen->body == "01234"; }));
        peer->write("56789");
        ASSERT_TRUE(pumpUntil([&] { return seen->body == "0123456789"; }));
        core::afterDelay(0.05, [peer] {
            if (peer)
                peer->abort();
        });
        ASSERT_TRUE(pumpUntil([&] { return seen->ended; }));
        EXPECT_EQ(seen->shape, promised == 10 ? "response 200,data,finish" : "response 200,data,fail ConnectionLost");
    }
}

// The time-out counts on the run loop's clock from the last bytes received, over the whole
// life of a request: 30 seconds unless the request says otherwise.
TEST_F(UrlConnectionTest, TheTimeOutIsAnIdleTimeRestartedByEveryArrival)
{
    core::ManualClock clock;
    QPointer<QTcpSocket> peer;
    HandServer trickle([&](QTcpSocket* socket, const QByteArray&) {
        peer = socket;
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\na");
    });
    HandServer silent([](QTcpSocket*, const QByteArray&) {});
    auto trickled = post(trickle.url(), 10);
    auto unanswered = post(silent.url());
    ASSERT_TRUE(pumpUntil([&] { return trickled->body == "a"; }));   // real I/O, no clock time
    clock.advance(9.9);
    peer->write("b");
    ASSERT_TRUE(pumpUntil([&] { return trickled->body == "ab"; }));
    clock.advance(9.9);
    EXPECT_EQ(trickled->shape, "response 200,data") << "bytes 9.9 s apart never time out";
    clock.advance(0.1);
    EXPECT_EQ(trickled->shape, "response 200,data,fail TimedOut");
    clock.advance(10);   // 29.9 s after it was sent
    EXPECT_EQ(unanswered->shape, "");
    clock.advance(0.1);
    EXPECT_EQ(unanswered->shape, "fail TimedOut");
}

// A running connection holds itself and its delegate until it ends, and calls nothing after
// a cancel, even one from inside a callback.
TEST_F(UrlConnectionTest, LivesUntilItEndsAndIsSilentOnceCancelled)
{
    HandServer server([](QTcpSocket* socket, const QByteArray&) { socket->write(HandServer::reply("200 OK", "body")); });
    auto seen = std::make_shared<Recorder>();
    std::weak_ptr<Recorder> delegate = seen;
    std::weak_ptr<UrlConnection> connection = UrlConnection::formPost(server.url(), FormBody{}, std::move(seen));
    EXPECT_FALSE(delegate.expired() || connection.expired());
    EXPECT_TRUE(pumpUntil([&] { return delegate.expired() && connection.expired(); }));

    auto cancelled = std::make_shared<Recorder>();
    UrlConnection::formPost(server.url(), FormBody{}, cancelled)->cancel();
    struct Canceller : Recorder {
        void didReceiveResponse(UrlConnection& c, const core::UrlResponse& r) override
        {
            Recorder::didReceiveResponse(c, r);
            c.cancel();
        }
    };
    auto canceller = std::make_shared<Canceller>();
    UrlConnection::formPost(server.url(), FormBody{}, canceller);
    RunLoop::main().runUntil([] { return false; }, 0.3);
    EXPECT_EQ(cancelled->shape, "");
    EXPECT_EQ(canceller->shape, "response 200");
}

// A request reaches the server once, with a body or without: a connection reset before any
// response, a close without one or in the middle of its head, or a reply that is not HTTP is
// the request's one failure, never a reason to send it again.
TEST_F(UrlConnectionTest, ARequestIsSentOnceWhateverBecomesOfIt)
{
    const std::pair<const char*, std::function<void(QTcpSocket*)>> answers[] = {
        {"reset", [](QTcpSocket* socket) { socket->abort(); }},
        {"closed", [](QTcpSocket* socket) { socket->disconnectFromHost(); }},
        {"garbage", [](QTcpSocket* socket) {
             socket->write("garbage\r\n\r\n");
             socket->disconnectFromHost();
         }},
        {"closed mid-head", [](QTcpSocket* socket) {
             socket->write("HTTP/1.1 200 OK\r\nContent-");
             socket->disconnectFromHost();
         }},
    };
    const std::pair<const char*, FormBody> bodies[] = {{"form", FormBody{{"text", "a&b=c"}}}, {"empty", FormBody{}}};
    for (const auto& [body, form] : bodies) {
        for (const auto& [name, answer] : answers) {
            SCOPED_TRACE(std::string(body) + " body, " + name);
            int received = 0;
            HandServer server([&received, &answer](QTcpSocket* socket, const QByteArray&) {
                ++received;
                answer(socket);
            });
            auto seen = std::make_shared<Recorder>();
            UrlConnection::formPost(server.url(), form, seen);
            // Qt sends a request again before it reports the failure, so by now the server has
            // seen every request it will.
            ASSERT_TRUE(pumpUntil([&] { return seen->ended; }));
            EXPECT_EQ(seen->shape, "fail ConnectionLost");
            EXPECT_EQ(received, 1);
        }
    }
}

// Giving up on a request hangs up on the server, by a cancel or by the time-out: the request's
// socket closes at once instead of lingering, with what Qt keeps for it, to the end of the
// process.
TEST_F(UrlConnectionTest, GivingUpOnARequestClosesItsSocket)
{
    core::ManualClock clock;
    std::vector<QPointer<QTcpSocket>> sockets;
    HandServer silent([&](QTcpSocket* socket, const QByteArray&) { sockets.push_back(socket); });
    const auto closed = [&](std::size_t i) {
        return sockets.size() > i && (!sockets[i] || sockets[i]->state() == QAbstractSocket::UnconnectedState);
    };
    auto cancelled = UrlConnection::formPost(silent.url(), FormBody{}, std::make_shared<Recorder>());
    ASSERT_TRUE(pumpUntil([&] { return sockets.size() == 1; }));
    cancelled->cancel();
    EXPECT_TRUE(pumpUntil([&] { return closed(0); }));

    auto timedOut = post(silent.url(), 5);
    ASSERT_TRUE(pumpUntil([&] { return sockets.size() == 2; }));
    clock.advance(5);
    EXPECT_EQ(timedOut->shape, "fail TimedOut");
    EXPECT_TRUE(pumpUntil([&] { return closed(1); }));
}

// What runs as the application object goes: a request still running is cancelled (its
// delegate let go, the server sees the hang-up), and no network object is left under the
// application object; a request made afterwards works as before.
TEST_F(UrlConnectionTest, TheEndOfNetworkingLeavesNothingRunning)
{
    QPointer<QTcpSocket> peer;
    HandServer silent([&](QTcpSocket* socket, const QByteArray&) { peer = socket; });
    auto seen = std::make_shared<Recorder>();
    std::weak_ptr<Recorder> delegate = seen;
    UrlConnection::formPost(silent.url(), FormBody{}, std::move(seen));
    ASSERT_TRUE(pumpUntil([&] { return bool(peer); }));

    UrlConnection::endAll();
    EXPECT_TRUE(delegate.expired());
    EXPECT_EQ(UrlConnection::runningCount(), 0u);
    EXPECT_TRUE(QCoreApplication::instance()->findChildren<QNetworkAccessManager*>().isEmpty());
    EXPECT_TRUE(pumpUntil([&] { return !peer || peer->state() == QAbstractSocket::UnconnectedState; }));

    HandServer again(HandServer::page(200, "again"));
    auto after = post(again.url());
    ASSERT_TRUE(pumpUntil([&] { return after->ended; }));
    EXPECT_EQ(after->body, "again");
}

namespace {

// A loopback server whose connections each answer their first request (kept alive, with the
// request's number as its body) and meet any later one with `later`; from the `answerUpTo`th
// request on, a new connection's first request meets `later` too.
struct KeptOnceServer {
    using Answer = std::function<void(QTcpSocket*)>;
    explicit KeptOnceServer(Answer later, int answerUpTo = 1000)
        : server([=, this](QTcpSocket* socket, const QByteArray& request) {
            arrivals.append(request);
            if (answered.contains(socket) || arrivals.size() >= answerUpTo)
                return later(socket);
            answered.insert(socket);
            socket->write(HandServer::reply("200 OK", "reply " + QByteArray::number(arrivals.size())));
        })
    {
    }
    int arrivalsOf(const QByteArray& firstLine) const
    {
        return int(std::count_if(arrivals.begin(), arrivals.end(), [&](const QByteArray& r) { return r.startsWith(firstLine); }));
    }
    QList<QByteArray> arrivals;      // every request that came, whole
    QSet<QTcpSocket*> answered;      // the connections that answered one
    HandServer server;
};

const std::pair<const char*, KeptOnceServer::Answer> kLosses[] = {
    {"reset", [](QTcpSocket* socket) { HandServer::reset(socket); }},
    {"closed", [](QTcpSocket* socket) { socket->disconnectFromHost(); }},
};

std::shared_ptr<Recorder> send(const QUrl& url, const char* method, const FormBody& body, double timeout = 30)
{
    auto seen = std::make_shared<Recorder>();
    core::UrlRequest request = core::UrlRequest::formPost(url, body, timeout);
    request.method = method;
    if (request.method == "GET")
        request.headers.clear();
    UrlConnection::create(request, seen);
    return seen;
}

} // namespace

// The server (or a proxy) lets go of a kept-alive connection just as the next request goes out
// on it, by a reset or a close, before reading it: the request goes once more, on a new
// connection, and the delegate sees only its answer. With a body, without one, and a GET.
TEST_F(UrlConnectionTest, ARequestAKeptConnectionLostBeforeItsReplyGoesOnceMoreOnANewOne)
{
    const std::tuple<const char*, const char*, FormBody> requests[] = {
        {"form", "POST", FormBody{{"text", "a&b=c"}}}, {"empty", "POST", FormBody{}}, {"page", "GET", FormBody{}}};
    for (const auto& [loss, answer] : kLosses) {
        for (const auto& [body, method, form] : requests) {
            SCOPED_TRACE(std::string(loss) + ", " + body);
            KeptOnceServer kept(answer);
            auto first = send(kept.server.url("/first"), method, form);
            ASSERT_TRUE(pumpUntil([&] { return first->ended; }));
            auto second = send(kept.server.url("/second"), method, form);
            ASSERT_TRUE(pumpUntil([&] { return second->ended; }));
            EXPECT_EQ(second->shape, "response 200,data,finish");
            EXPECT_EQ(second->body, "reply 3");
            ASSERT_EQ(kept.arrivals.size(), 3);
            EXPECT_EQ(kept.arrivals[2], kept.arrivals[1]) << "the same request again";
            EXPECT_EQ(kept.answered.size(), 2) << "on a new connection";
        }
    }
}

// Nothing else goes again: a body cut short once the reply has begun on a kept connection, a
// request sent again that is lost again, and requests that meet a reset on connections new to
// them even though earlier ones were answered.
TEST_F(UrlConnectionTest, OnlyTheFirstLossOfAKeptConnectionBeforeItsReplySendsARequestAgain)
{
    const std::pair<const char*, FormBody> bodies[] = {{"form", FormBody{{"text", "a&b=c"}}}, {"empty", FormBody{}}};
    for (const auto& [body, form] : bodies) {
        SCOPED_TRACE(body);
        KeptOnceServer cut([](QTcpSocket* socket) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n01234");
            socket->disconnectFromHost();
        });
        KeptOnceServer lostTwice([](QTcpSocket* socket) { HandServer::reset(socket); }, 2);
        for (KeptOnceServer* server : {&cut, &lostTwice}) {
            auto first = send(server->server.url("/first"), "POST", form);
            ASSERT_TRUE(pumpUntil([&] { return first->ended; }));
            auto second = send(server->server.url("/second"), "POST", form);
            ASSERT_TRUE(pumpUntil([&] { return second->ended; }));
            EXPECT_EQ(second->shape, server == &cut ? "response 200,data,fail ConnectionLost" : "fail ConnectionLost");
            EXPECT_EQ(server->arrivalsOf("POST /second"), server == &cut ? 1 : 2);
        }
    }
}

// Requests made together, each on a connection opened for it, after earlier ones to the same
// address were answered: a reset of each is reported once, and each was sent once. (Qt tells
// only one request of a batch that it opens a socket, unless each travels alone.)
TEST_F(UrlConnectionTest, RequestsOnConnectionsNewToThemAreNeverSentAgain)
{
    constexpr int kTogether = 4;
    QList<QTcpSocket*> held;
    int arrivals = 0;
    HandServer server([&](QTcpSocket* socket, const QByteArray&) {
        if (++arrivals > kTogether)
            return HandServer::reset(socket);
        // The first ones are answered together, so that each had a connection of its own,
        // which the answer closes.
        held.append(socket);
        if (held.size() == kTogether)
            for (QTcpSocket* s : held)
                s->write(HandServer::reply("200 OK", "ok", "Connection: close\r\n"));
    });
    const auto together = [&] {
        std::vector<std::shared_ptr<Recorder>> seen;
        for (int i = 0; i < kTogether; ++i)
            seen.push_back(post(server.url()));
        EXPECT_TRUE(pumpUntil([&] { return std::all_of(seen.begin(), seen.end(), [](const auto& r) { return r->ended; }); }));
        return seen;
    };
    for (const auto& answered : together())
        ASSERT_EQ(answered->shape, "response 200,data,finish");
    for (const auto& reset : together())
        EXPECT_EQ(reset->shape, "fail ConnectionLost");
    EXPECT_EQ(arrivals, 2 * kTogether);
}

// A request sent again keeps the time-out it had: 30 seconds of silence from when it was made,
// however late the kept connection failed it; a cancel after the loss ends it silently, and
// the server sees the hang-up.
TEST_F(UrlConnectionTest, ARequestSentAgainKeepsItsTimeOutAndItsCancel)
{
    core::ManualClock clock;
    std::vector<QPointer<QTcpSocket>> kept, fresh;
    KeptOnceServer server([&](QTcpSocket* socket) { (server.answered.contains(socket) ? kept : fresh).push_back(socket); }, 3);
    std::shared_ptr<Recorder> firsts[] = {post(server.server.url("/a")), post(server.server.url("/b"))};
    ASSERT_TRUE(pumpUntil([&] { return firsts[0]->ended && firsts[1]->ended; }));
    auto timing = post(server.server.url("/timing"));
    auto cancelled = std::make_shared<Recorder>();
    auto cancelling = UrlConnection::formPost(server.server.url("/cancel"), FormBody{}, cancelled);
    ASSERT_TRUE(pumpUntil([&] { return kept.size() == 2; }));
    clock.advance(10);
    for (const auto& socket : kept)
        HandServer::reset(socket);
    ASSERT_TRUE(pumpUntil([&] { return fresh.size() == 2; }));   // both sent again, to silence
    cancelling->cancel();
    clock.advance(19.9);
    EXPECT_EQ(timing->shape, "");
    clock.advance(0.1);
    EXPECT_EQ(timing->shape, "fail TimedOut");
    EXPECT_EQ(cancelled->shape, "");
    EXPECT_TRUE(pumpUntil([&] { return std::all_of(fresh.begin(), fresh.end(), [](const QPointer<QTcpSocket>& s) {
        return !s || s->state() == QAbstractSocket::UnconnectedState;
    }); }));
    EXPECT_EQ(server.arrivals.size(), 6);
}

// A server that says how long it keeps an idle connection is not raced: from a second before
// that, the next request goes on a new connection; until then, or when the server does not
// say, on the kept one.
TEST_F(UrlConnectionTest, AConnectionTheServerIsAboutToCloseIsNotUsedAgain)
{
    core::ManualClock clock;
    const std::tuple<QByteArray, double, bool> cases[] = {
        {"Keep-Alive: timeout=5\r\n", 3.9, true},
        {"Keep-Alive: timeout=5\r\n", 4.0, false},
        {"Keep-Alive: max=100, Timeout=3\r\n", 1.9, true},
        {"Keep-Alive: max=100, Timeout=3\r\n", 2.0, false},
        {"", 100, true},
    };
    for (const auto& [header, idle, same] : cases) {
        SCOPED_TRACE(header.constData() + std::to_string(idle));
        QList<QTcpSocket*> sockets;
        HandServer server([&, header = header](QTcpSocket* socket, const QByteArray&) {
            sockets.append(socket);
            socket->write(HandServer::reply("200 OK", "ok", header));
        });
        auto first = post(server.url());
        ASSERT_TRUE(pumpUntil([&] { return first->ended; }));
        clock.advance(idle);
        auto second = post(server.url());
        ASSERT_TRUE(pumpUntil([&] { return second->ended; }));
        ASSERT_EQ(sockets.size(), 2);
        EXPECT_EQ(sockets[0] == sockets[1], same);
    }
}

namespace {

HandServer::Answer redirecting(int status, const QUrl& to)
{
    return [=](QTcpSocket* socket, const QByteArray&) {
        socket->write(HandServer::reply(QByteArray::number(status) + " Moved", "", "Location: " + to.toEncoded() + "\r\n"));
    };
}

} // namespace

// A form sent over http and redirected to https (same host, or under another name) reaches the
// https server once, its certificate verified under that server's own name, and only its answer
// reaches the delegate: a 307 or 308 sends the POST with its body, the others a GET, as
// browsers do. Without the test's trust in the certificate it fails, and nothing arrives.
TEST_F(UrlConnectionTest, AFormRedirectedToHttpsReachesItOnceUnderItsOwnName)
{
    std::optional<TestCertificate::Trust> trust(std::in_place);
    QList<QByteArray> arrivals;
    HandServer secure([&](QTcpSocket* socket, const QByteArray& request) {
        arrivals.append(request);
        socket->write(HandServer::reply("200 OK", request.left(request.indexOf(' ')) + " " + request.mid(request.indexOf("\r\n\r\n") + 4)));
    }, TestCertificate::shared().serverConfiguration());
    const std::pair<int, QByteArray> kinds[] = {{301, "GET "}, {302, "GET "}, {303, "GET "}, {307, "POST text=a%26b%3Dc&n=1"}, {308, "POST text=a%26b%3Dc&n=1"}};
    for (const char* host : {"127.0.0.1", "localhost"}) {
        for (const auto& [status, answer] : kinds) {
            SCOPED_TRACE(host + std::to_string(status));
            QUrl to = secure.url("/target");
            to.setHost(host);
            arrivals.clear();
            int sent = 0;
            HandServer plain([&, redirect = redirecting(status, to)](QTcpSocket* s, const QByteArray& r) { ++sent, redirect(s, r); });
            auto seen = post(plain.url("/form"));
            ASSERT_TRUE(pumpUntil([&] { return seen->ended; }));
            EXPECT_EQ(seen->shape, "response 200,data,finish");
            EXPECT_EQ(seen->body, answer);
            EXPECT_EQ(sent, 1);
            ASSERT_EQ(arrivals.size(), 1);
            EXPECT_EQ(arrivals[0].contains("\r\nContent-Type: application/x-www-form-urlencoded; charset=utf-8\r\n"), status >= 307);
        }
    }
    trust.reset();
    bool arrived = false;
    HandServer unknown([&](QTcpSocket*, const QByteArray&) { arrived = true; }, TestCertificate::shared().serverConfiguration());
    HandServer plain(redirecting(307, unknown.url("/target")));
    auto untrusted = post(plain.url("/form"));
    ASSERT_TRUE(pumpUntil([&] { return untrusted->ended; }));
    EXPECT_EQ(untrusted->shape, "fail Other");
    EXPECT_FALSE(arrived);
}

// A request that a redirect sent on (http to https, within http, within https) and that then
// fails is that failure, never the redirect answered: reset, closed before the reply, or 30 s
// of silence from the redirect on. A cancel in the silence is quiet and hangs up.
TEST_F(UrlConnectionTest, ARequestARedirectSentOnThatFailsIsThatFailure)
{
    core::ManualClock clock;
    TestCertificate::Trust trust;
    QUrl to;
    std::function<void(QTcpSocket*)> fail;
    QList<QPointer<QTcpSocket>> reached;
    const auto answer = [&](QTcpSocket* socket, const QByteArray& request) {
        if (!request.startsWith("POST /target"))
            return redirecting(307, to)(socket, request);
        reached.append(socket);
        fail(socket);
    };
    HandServer secure(answer, TestCertificate::shared().serverConfiguration());
    HandServer plain(answer);
    const std::pair<std::string, std::function<void(QTcpSocket*)>> failures[] = {
        {"fail ConnectionLost", [](QTcpSocket* socket) { HandServer::reset(socket); }},
        {"fail ConnectionLost", [](QTcpSocket* socket) { socket->disconnectFromHost(); }},
        {"fail TimedOut", [](QTcpSocket*) {}},
        {"", [](QTcpSocket*) {}},   // cancelled
    };
    const std::pair<QUrl, QUrl> routes[] = {{plain.url("/form"), secure.url("/target")},
                                            {plain.url("/form"), plain.url("/target")},
                                            {secure.url("/form"), secure.url("/target")}};
    for (const auto& [from, target] : routes) {
        for (const auto& [shape, failure] : failures) {
            SCOPED_TRACE(from.scheme().toStdString() + " to " + target.scheme().toStdString() + ": " + shape);
            to = target;
            fail = failure;
            reached.clear();
            auto seen = std::make_shared<Recorder>();
            auto connection = UrlConnection::formPost(from, FormBody{{"n", "1"}}, seen);
            ASSERT_TRUE(pumpUntil([&] { return reached.size() == 1; }));
            if (shape == "fail TimedOut") {
                clock.advance(29.9);
                EXPECT_EQ(seen->shape, "");
                clock.advance(0.1);
            } else if (shape.empty()) {
                connection->cancel();
                EXPECT_TRUE(pumpUntil([&] { return !reached[0] || reached[0]->state() == QAbstractSocket::UnconnectedState; }));
            }
            ASSERT_TRUE(pumpUntil([&] { return seen->ended || shape.empty(); }));
            EXPECT_EQ(seen->shape, shape);
            EXPECT_EQ(reached.size(), 1);
        }
    }
}

// A form that a redirect sent on goes out at most twice: when it meets a kept connection, lost
// before its reply, it fails and is not sent a third time.
TEST_F(UrlConnectionTest, ARedirectedFormLostOnAKeptConnectionIsNotSentAThirdTime)
{
    for (const auto& [loss, lose] : kLosses) {
        SCOPED_TRACE(loss);
        QTcpSocket* kept = nullptr;
        QList<QTcpSocket*> targets;
        HandServer origin([&](QTcpSocket* socket, const QByteArray& request) {
            if (!request.startsWith("POST /target"))
                return kept = socket, void(socket->write(HandServer::reply("200 OK", "first")));
            targets.append(socket);
            lose(socket);
        });
        HandServer elsewhere(redirecting(307, origin.url("/target")));
        auto first = post(origin.url("/first"));
        ASSERT_TRUE(pumpUntil([&] { return first->ended; }));
        auto seen = post(elsewhere.url("/old"));
        ASSERT_TRUE(pumpUntil([&] { return seen->ended; }));
        EXPECT_EQ(seen->shape, "fail ConnectionLost");
        ASSERT_EQ(targets.size(), 1);
        EXPECT_EQ(targets[0], kept) << "lost on the connection kept from the first request";
    }
}

// Redirects that go round in circles fail, and so does one from https down to http, which
// never reaches the http server.
TEST_F(UrlConnectionTest, RedirectsInCirclesOrDownToHttpFail)
{
    TestCertificate::Trust trust;
    QUrl back;
    int plainArrivals = 0;
    HandServer there([&](QTcpSocket* socket, const QByteArray& request) { ++plainArrivals, redirecting(307, back)(socket, request); });
    HandServer here(redirecting(307, there.url()));
    HandServer secure(redirecting(307, there.url()), TestCertificate::shared().serverConfiguration());
    for (const QUrl& from : {here.url(), secure.url()}) {
        back = from;
        plainArrivals = 0;
        auto seen = post(from);
        ASSERT_TRUE(pumpUntil([&] { return seen->ended; }));
        EXPECT_EQ(seen->shape, "fail Other");
        EXPECT_EQ(plainArrivals > 0, from == here.url());
    }
}
