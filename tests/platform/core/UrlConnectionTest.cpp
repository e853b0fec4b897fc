#include "platform/core/UrlConnection.h"

#include "platform/core/Clock.h"
#include "platform/core/Dispatch.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

using core::FormBody;
using core::RunLoop;
using core::UrlConnection;
using core::UrlConnectionDelegate;
using core::UrlError;
using core::UrlResponse;

namespace {

// What a delegate saw, kept outside the delegate so that it outlives it.
struct Seen {
    std::vector<std::string> events;   // "response", "data", "fail", "finish"
    int status = 0;
    QByteArray body;
    std::vector<QByteArray> chunks;
    UrlError error;
    bool ended = false;
};

class Recorder : public UrlConnectionDelegate {
public:
    explicit Recorder(std::shared_ptr<Seen> seen) : m_seen(std::move(seen)) {}
    void didReceiveResponse(UrlConnection&, const UrlResponse& r) override
    {
        m_seen->events.push_back("response");
        m_seen->status = r.statusCode;
        m_seen->body.clear();
    }
    void didReceiveData(UrlConnection&, const QByteArray& data) override
    {
        m_seen->events.push_back("data");
        m_seen->body += data;
        m_seen->chunks.push_back(data);
        if (onData)
            onData();
    }
    void didFailWithError(UrlConnection&, const UrlError& e) override
    {
        m_seen->events.push_back("fail");
        m_seen->error = e;
        m_seen->ended = true;
    }
    void connectionDidFinishLoading(UrlConnection&) override
    {
        m_seen->events.push_back("finish");
        m_seen->ended = true;
    }
    std::function<void()> onData;

private:
    std::shared_ptr<Seen> m_seen;
};

// The events in order with repeated "data" folded into one, e.g. response,data,finish.
std::string shape(const Seen& seen)
{
    std::string out;
    for (const auto& e : seen.events) {
        if (e == "data" && out.size() >= 4 && out.compare(out.size() - 4, 4, "data") == 0)
            continue;
        out += (out.empty() ? "" : ",") + e;
    }
    return out;
}

class UrlConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.Post("/ok", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content("hello " + req.get_header_value("Content-Type"), "text/plain");
        });
        // Registered before listening: the server thread reads its routes unlocked.
        m_server.Post("/old", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/ok", 307);   // 307 keeps the method and body
        });
        m_server.Post("/error", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("<html><body>boom</body></html>", "text/html");
        });
        m_server.Post("/big", [](const httplib::Request&, httplib::Response& res) {
            std::string text;
            for (int i = 0; i < 5000; ++i)
                text += "line " + std::to_string(i) + " 中文\n";
            res.set_content(text, "text/plain; charset=utf-8");   // gzipped on the wire
        });
        m_server.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
            // The server's own form parsing must see the value whole, and the body must be
            // plain ASCII (every unsafe byte escaped).
            std::string out = req.get_param_value("text") + "\n" + req.get_param_value("n") + "\n";
            out += std::to_string(req.params.size()) + "\n" + req.body;
            res.set_content(out, "text/plain; charset=utf-8");
        });
        m_server.Post("/chunks", [this](const httplib::Request&, httplib::Response& res) {
            // Not a text type: httplib would gzip text for Qt's Accept-Encoding and hold it back.
            res.set_chunked_content_provider("application/octet-stream", [this](size_t offset, httplib::DataSink& sink) {
                if (offset == 0) {
                    sink.write("first;", 6);
                    return true;
                }
                // The second part waits until the client has delivered the first, which shows
                // that data reaches the delegate as it arrives, not at the end.
                std::unique_lock lock(m_mutex);
                m_cv.wait_for(lock, std::chrono::seconds(5), [this] { return m_firstChunkSeen || m_stopping; });
                lock.unlock();
                sink.write("second;", 7);
                sink.write("third", 5);
                sink.done();
                return true;
            });
        });
        m_server.Post("/slow", [this](const httplib::Request&, httplib::Response& res) {
            std::unique_lock lock(m_mutex);
            m_cv.wait_for(lock, std::chrono::seconds(10), [this] { return m_stopping; });
            res.set_content("late", "text/plain");
        });
        // One request per connection, so that stop() need not wait out idle keep-alive connections.
        m_server.set_keep_alive_max_count(1);
        // An idle connection (Qt may open one ahead of need) holds stop() for the read time-out.
        m_server.set_read_timeout(0, 300000);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(m_port, 0);
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }

    void TearDown() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_cv.notify_all();
        m_server.stop();
        m_thread.join();
        RunLoop::main().runUntil([] { return UrlConnection::runningCount() == 0; }, 2);
        RunLoop::main().reset();
    }

    QUrl url(const char* path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)); }

    std::shared_ptr<UrlConnection> post(const char* path, std::shared_ptr<Seen> seen, const FormBody& body = {},
                                        double timeout = core::UrlRequest::DefaultTimeout)
    {
        return UrlConnection::formPost(url(path), body, std::make_shared<Recorder>(std::move(seen)), timeout);
    }

    static bool waitEnded(const std::shared_ptr<Seen>& seen, double seconds = 10)
    {
        return RunLoop::main().runUntil([&] { return seen->ended; }, seconds);
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_firstChunkSeen = false;
    bool m_stopping = false;
};

// A hand-written server for faults that a real one will not commit: `answer` gets each
// connection once its request has been read.
void onEveryRequest(QTcpServer& server, std::function<void(QTcpSocket*)> answer)
{
    QObject::connect(&server, &QTcpServer::newConnection, [&server, answer] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, answer] {
                socket->readAll();
                answer(socket);
            });
        }
    });
}

} // namespace

TEST_F(UrlConnectionTest, Status200DeliversResponseDataFinishAndNeverInsideTheStartingCall)
{
    auto seen = std::make_shared<Seen>();
    auto connection = post("/ok", seen, FormBody{{"a", "1"}});
    EXPECT_TRUE(seen->events.empty()) << "no callback may arrive inside the call that starts the connection";
    EXPECT_TRUE(connection->isRunning());
    ASSERT_TRUE(waitEnded(seen));
    EXPECT_EQ(shape(*seen), "response,data,finish");
    EXPECT_EQ(seen->status, 200);
    EXPECT_TRUE(seen->body.startsWith("hello application/x-www-form-urlencoded")) << seen->body.constData();
    EXPECT_EQ(connection->state(), UrlConnection::State::Finished);
}

// Every status is a response with its body, never a failure; redirects report only the end.
TEST_F(UrlConnectionTest, StatusesAreResponsesWithTheirBodies)
{
    struct Case {
        const char* path;
        int status;
        std::function<bool(const QByteArray&)> bodyOk;
        const char* shape = "response,data,finish";
    };
    const Case cases[] = {
        {"/error", 500, [](const QByteArray& b) { return b == "<html><body>boom</body></html>"; }},
        {"/old", 200, [](const QByteArray& b) { return b.startsWith("hello"); }},
        {"/big", 200, [](const QByteArray& b) { return b.endsWith("line 4999 中文\n") && b.count('\n') == 5000; }},
        {"/nowhere", 404, [](const QByteArray&) { return true; }, nullptr},   // with or without a body
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        auto seen = std::make_shared<Seen>();
        post(c.path, seen, FormBody{{"a", "1"}});
        ASSERT_TRUE(waitEnded(seen));
        if (c.shape)
            EXPECT_EQ(shape(*seen), c.shape);
        EXPECT_EQ(seen->events.front(), "response");
        EXPECT_EQ(seen->events.back(), "finish");
        EXPECT_EQ(seen->status, c.status);
        EXPECT_TRUE(c.bodyOk(seen->body)) << seen->body.left(80).constData();
    }
}

TEST_F(UrlConnectionTest, ChunkedBodyArrivesAsItArrives)
{
    auto seen = std::make_shared<Seen>();
    auto delegate = std::make_shared<Recorder>(seen);
    delegate->onData = [this, seen] {
        if (seen->body.contains("first;")) {
            std::lock_guard lock(m_mutex);
            m_firstChunkSeen = true;
            m_cv.notify_all();
        }
    };
    UrlConnection::formPost(url("/chunks"), FormBody{}, delegate);
    delegate.reset();
    ASSERT_TRUE(waitEnded(seen));
    EXPECT_EQ(shape(*seen), "response,data,finish");
    EXPECT_EQ(seen->body, "first;second;third");
    ASSERT_GE(seen->chunks.size(), 2u);
    EXPECT_EQ(seen->chunks.front(), "first;") << "the first part reached the delegate before the rest was sent";
}

// Refused, hung up on before any response, or not an address at all: one failure, never
// inside the starting call.
TEST_F(UrlConnectionTest, ConnectionsThatNeverGetAResponseFail)
{
    QTcpServer probe;   // a port that was free a moment ago and has no listener now
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const int refusing = probe.serverPort();
    probe.close();
    QTcpServer rude;   // reads the request and hangs up without answering
    ASSERT_TRUE(rude.listen(QHostAddress::LocalHost));
    onEveryRequest(rude, [](QTcpSocket* socket) {
        socket->abort();
        socket->deleteLater();
    });
    const std::pair<QString, UrlError::Code> cases[] = {
        {QStringLiteral("http://127.0.0.1:%1/x").arg(refusing), UrlError::CannotConnect},
        {QStringLiteral("http://127.0.0.1:%1/x").arg(rude.serverPort()), UrlError::ConnectionLost},
        {QStringLiteral("nosuchscheme://host/path"), UrlError::BadUrl},
    };
    for (const auto& [address, code] : cases) {
        SCOPED_TRACE(address.toStdString());
        auto seen = std::make_shared<Seen>();
        UrlConnection::formPost(QUrl(address), FormBody{{"a", "1"}}, std::make_shared<Recorder>(seen));
        EXPECT_TRUE(seen->events.empty());
        ASSERT_TRUE(waitEnded(seen));
        EXPECT_EQ(shape(*seen), "fail");
        EXPECT_EQ(seen->error.code, code) << seen->error.message.toStdString();
    }
}

TEST_F(UrlConnectionTest, ConnectionResetMidBodyFailsAfterTheResponse)
{
    // Headers promise 100 bytes; 10 arrive, then the connection is reset.
    QTcpServer rude;
    ASSERT_TRUE(rude.listen(QHostAddress::LocalHost));
    onEveryRequest(rude, [](QTcpSocket* socket) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789");
        socket->flush();
        core::afterDelay(0.05, [socket] {
            socket->abort();
            socket->deleteLater();
        });
    });
    auto seen = std::make_shared<Seen>();
    UrlConnection::formPost(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(rude.serverPort())),
                            FormBody{}, std::make_shared<Recorder>(seen));
    ASSERT_TRUE(waitEnded(seen));
    EXPECT_EQ(shape(*seen), "response,data,fail");
    EXPECT_EQ(seen->body, "0123456789");
    EXPECT_EQ(seen->error.code, UrlError::ConnectionLost) << seen->error.message.toStdString();
}

TEST_F(UrlConnectionTest, ShortTimeOutFailsWithTimedOut)
{
    auto seen = std::make_shared<Seen>();
    const double start = core::Clock::now();
    post("/slow", seen, FormBody{}, 0.2);
    ASSERT_TRUE(waitEnded(seen, 5));
    EXPECT_EQ(shape(*seen), "fail");
    EXPECT_EQ(seen->error.code, UrlError::TimedOut);
    EXPECT_GE(core::Clock::now() - start, 0.2);   // never early
}

TEST_F(UrlConnectionTest, DefaultThirtySecondTimeOutRunsOnTheManualClock)
{
    core::ManualClock clock;
    auto seen = std::make_shared<Seen>();
    post("/slow", seen);
    // Let the request reach the server for real; no time passes on the manual clock.
    RunLoop::main().runUntil([] { return false; }, 0.1);
    clock.advance(29.9);
    EXPECT_TRUE(seen->events.empty());
    clock.advance(0.1);
    EXPECT_EQ(shape(*seen), "fail");
    EXPECT_EQ(seen->error.code, UrlError::TimedOut);
}

TEST_F(UrlConnectionTest, ValuesWithFormSyntaxAndCjkArriveIntact)
{
    const QString tricky = QStringLiteral("a&b=c+d%20 e%中文");
    auto seen = std::make_shared<Seen>();
    post("/echo", seen, FormBody{}.add("text", tricky).add("n", 42));
    ASSERT_TRUE(waitEnded(seen));
    ASSERT_EQ(seen->status, 200);
    const QStringList lines = QString::fromUtf8(seen->body).split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], tricky);
    EXPECT_EQ(lines[1], "42");
    EXPECT_EQ(lines[2], "2") << "no extra pairs were made from the value";
    for (char c : lines[3].toUtf8())
        EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << "the body is ASCII once encoded";
}

TEST_F(UrlConnectionTest, KeepsItsDelegateAliveUntilItEndsThenReleasesIt)
{
    auto seen = std::make_shared<Seen>();
    std::weak_ptr<Recorder> weakDelegate;
    std::weak_ptr<UrlConnection> weakConnection;
    {
        auto delegate = std::make_shared<Recorder>(seen);
        weakDelegate = delegate;
        weakConnection = UrlConnection::formPost(url("/ok"), FormBody{}, delegate);
    }
    EXPECT_FALSE(weakDelegate.expired()) << "the running connection holds its delegate";
    EXPECT_FALSE(weakConnection.expired()) << "and itself";
    ASSERT_TRUE(waitEnded(seen));
    RunLoop::main().processPending();
    EXPECT_TRUE(weakDelegate.expired());
    EXPECT_TRUE(weakConnection.expired());
    EXPECT_EQ(shape(*seen), "response,data,finish");
}

TEST_F(UrlConnectionTest, CancelStopsEveryFurtherCallback)
{
    auto seen = std::make_shared<Seen>();
    auto connection = post("/ok", seen);
    connection->cancel();
    RunLoop::main().runUntil([] { return false; }, 0.2);
    EXPECT_TRUE(seen->events.empty());
    EXPECT_EQ(connection->state(), UrlConnection::State::Cancelled);

    // Cancelling from inside a callback: the rest never arrives.
    auto seen2 = std::make_shared<Seen>();
    struct Canceller : Recorder {
        using Recorder::Recorder;
        void didReceiveResponse(UrlConnection& c, const UrlResponse& r) override
        {
            Recorder::didReceiveResponse(c, r);
            c.cancel();
        }
    };
    UrlConnection::formPost(url("/chunks"), FormBody{}, std::make_shared<Canceller>(seen2));
    RunLoop::main().runUntil([&] { return !seen2->events.empty(); }, 5);
    RunLoop::main().runUntil([] { return false; }, 0.2);
    EXPECT_EQ(shape(*seen2), "response");
}
