// The HTTP layer's limits as a hostile client meets them, over real sockets: oversized heads,
// trickled and silent connections, short bodies, connection caps, and thousands of held
// connections while a real client signs in.
#include "tests/server/ApiClient.h"
#include "tests/support/HeldConnection.h"

#include "server/storage/Database.h"
#include "server/http/HttpLimits.h"

#include <QElapsedTimer>

#include <algorithm>
#include <fstream>
#include <thread>

#include <unistd.h>

using namespace server;
using namespace std::chrono_literals;

namespace {

const std::string kCheck = "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n";
const std::string kUnfinished = "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\n";
const std::string kLogin = "account=tester01&pwd=secret99";

// A head of exactly `fields` fields (Host and Content-Length among them) and `bytes` bytes
// up to and including the blank line that ends it.
std::string headOf(int fields, std::size_t bytes)
{
    std::string head = "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n";
    for (int i = 2; i < fields - 1; ++i)
        head += "X-F" + std::to_string(i) + ": v\r\n";
    const std::string last = "X-Last: ";
    head += last + std::string(bytes - head.size() - last.size() - 4, 'v') + "\r\n\r\n";
    return head;
}

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Short deadlines, so that tests wait a fraction of a second on the real clock.
HttpLimits shortDeadlines()
{
    HttpLimits limits;
    limits.idleTimeout = 300ms;
    limits.headDeadline = 600ms;
    limits.bodyDeadline = 600ms;
    return limits;
}

} // namespace

class HttpLimitsTest : public ::testing::Test {
protected:
    void start(const HttpLimits& limits = HttpLimits())
    {
        server.setHttpLimits(limits);
        QString error;
        ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
        ASSERT_TRUE(ApiClient(server).registerUser("tester01").contains("code"));
    }
    std::string ask(const std::string& request)
    {
        HeldConnection connection(server.port());
        connection.write(request);
        return connection.statusLine();
    }
    bool signsIn() { return ApiClient(server).postRaw("user/login", kLogin).object().value("username") == "tester01"; }

    ServerInstance server;
};

TEST_F(HttpLimitsTest, HeadsOverTheirSizeOrFieldCountAreRefusedWith431)
{
    start();
    const std::size_t limit = HttpLimits().maxHeadBytes;
    const QList<std::tuple<const char*, std::string, std::string>> cases = {
        {"at the size limit", headOf(20, limit), "HTTP/1.1 200 OK"},
        {"a byte over the size", headOf(20, limit + 1), "HTTP/1.1 431 Request Header Fields Too Large"},
        {"far over the size", headOf(20, 4 * limit), "HTTP/1.1 431 Request Header Fields Too Large"},
        {"at the field count", headOf(100, 4000), "HTTP/1.1 200 OK"},
        {"a field too many", headOf(101, 4000), "HTTP/1.1 431 Request Header Fields Too Large"},
        {"many tiny fields", headOf(1000, 16000), "HTTP/1.1 431 Request Header Fields Too Large"},
    };
    for (const auto& [name, head, status] : cases)
        EXPECT_EQ(ask(head), status) << name;
    EXPECT_TRUE(signsIn());
}

// Eight clients each send endless header lines; the server reads no more than the limit of
// each, refuses it and closes, and keeps none of it.
TEST_F(HttpLimitsTest, EndlessHeadsAreCutOffAndLeaveNoMemoryBehind)
{
    start();
    const std::string line = "X-Filler: " + std::string(1000, 'a') + "\r\n";
    std::string chunk = kUnfinished;
    while (chunk.size() < 64 * 1024)
        chunk += line;
    auto endlessHead = [&] {
        HeldConnection connection(server.port());
        // 64 MiB at most: far beyond any limit, bounded should the server read it all.
        for (int i = 0; i < 1024 && connection.write(chunk, 2000); ++i) {
        }
        return connection.statusLine();
    };
    endlessHead();   // the first one warms the server's allocations
    const long before = residentKiB();
    std::vector<std::thread> clients;
    std::vector<std::string> statuses(8);
    for (int i = 0; i < 8; ++i)
        clients.emplace_back([&, i] { statuses[std::size_t(i)] = endlessHead(); });
    for (auto& client : clients)
        client.join();
    for (const std::string& status : statuses)
        EXPECT_EQ(status, "HTTP/1.1 431 Request Header Fields Too Large");
    EXPECT_LT(residentKiB() - before, 16 * 1024) << "KiB kept after eight endless heads";
    EXPECT_TRUE(signsIn());
}

// Deadlines are for the whole head and the whole body: a byte every 50 ms does not hold a
// connection past them, a silent connection is closed when idle, and neither is answered 413.
TEST_F(HttpLimitsTest, SilentTrickledAndShortConnectionsAreClosedAtTheirDeadlines)
{
    const HttpLimits limits = shortDeadlines();
    start(limits);
    // True when the server cut the trickle off before its last byte.
    const auto trickleUntilClosed = [](HeldConnection& connection, const std::string& bytes) {
        for (char c : bytes) {
            if (!connection.write(std::string_view(&c, 1)))
                return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    };
    struct Case {
        const char* name;
        std::string sent;
        std::string trickle;   // sent a byte every 50 ms after `sent`
        std::chrono::milliseconds deadline;
    };
    const std::string bodyHead = "POST /PendarWeb/exam/feedback_add HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\n";
    const std::vector<Case> cases = {
        {"silent", "", "", 300ms},
        {"idle after a reply", kCheck, "", 300ms},
        {"trickled head", "", kUnfinished + std::string(200, 'x'), 600ms},
        {"trickled body", bodyHead, std::string(100, 'a'), 600ms},
        {"short body", bodyHead + "userAccount=u&contact=c&rmark=", "", 600ms},
    };
    for (const Case& c : cases) {
        HeldConnection connection(server.port());
        QElapsedTimer clock;
        clock.start();
        connection.write(c.sent);
        EXPECT_EQ(trickleUntilClosed(connection, c.trickle), !c.trickle.empty()) << c.name;
        EXPECT_TRUE(connection.waitClosed(5000)) << c.name;
        EXPECT_GE(clock.elapsed(), c.deadline.count() - 20) << c.name;
        EXPECT_EQ(connection.received().find(" 413 "), std::string::npos) << c.name;
        const bool answered = c.sent == kCheck;
        EXPECT_EQ(connection.received().starts_with("HTTP/1.1 200 OK"), answered) << c.name;
    }
    // A body that ends short because the client stopped sending is not a body too large either.
    HeldConnection halfClosed(server.port());
    halfClosed.write(bodyHead + "userAccount=u");
    halfClosed.finishSending();
    EXPECT_TRUE(halfClosed.waitClosed(5000));
    EXPECT_EQ(halfClosed.received().find(" 413 "), std::string::npos);
    EXPECT_EQ(server.database().scalar("SELECT COUNT(*) FROM feedback").toInt(), 0);
}

// Before a request has begun the idle timeout applies, not the head's deadline: a connection
// that never sends a byte, or sends nothing after a reply, is closed when idle; one that has
// begun a head is held until the head's deadline.
TEST_F(HttpLimitsTest, ASilentConnectionIsClosedAtTheIdleTimeoutNotAtTheHeadDeadline)
{
    HttpLimits limits;
    limits.idleTimeout = 300ms;
    limits.headDeadline = 60s;
    start(limits);
    QElapsedTimer clock;
    clock.start();
    HeldConnection silent(server.port());
    HeldConnection afterReply(server.port());
    afterReply.write(kCheck);
    ASSERT_EQ(afterReply.statusLine(), "HTTP/1.1 200 OK");
    HeldConnection begun(server.port());
    begun.write(kUnfinished);
    EXPECT_TRUE(silent.waitClosed(20000)) << "still open " << clock.elapsed() << " ms after it opened";
    EXPECT_GE(clock.elapsed(), 300 - 20);
    EXPECT_TRUE(silent.received().empty()) << silent.received();
    EXPECT_TRUE(afterReply.waitClosed(20000));
    EXPECT_FALSE(begun.waitClosed(1000)) << "a begun head was closed when idle";
}

// Pipelined requests are each answered on a kept-alive connection, whose replies say how long
// it is kept idle; after a request that asks to close, the server closes and answers nothing
// more on that connection.
TEST_F(HttpLimitsTest, ConnectionCloseClosesAfterTheReplyAndKeepAliveServesTheNextRequest)
{
    start();
    const auto replies = [](const HeldConnection& connection) {
        std::size_t count = 0;
        for (auto at = connection.received().find("HTTP/1.1 "); at != std::string::npos; at = connection.received().find("HTTP/1.1 ", at + 1))
            ++count;
        return count;
    };
    HeldConnection kept(server.port());
    kept.write(kCheck + kCheck);
    EXPECT_FALSE(kept.waitClosed(300));
    EXPECT_EQ(replies(kept), 2u) << kept.received();
    EXPECT_NE(kept.received().find("\r\nKeep-Alive: timeout=5\r\n"), std::string::npos) << kept.received();
    HeldConnection closing(server.port());
    closing.write("POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n" + kCheck);
    EXPECT_TRUE(closing.waitClosed(5000));
    EXPECT_TRUE(closing.received().starts_with("HTTP/1.1 200 OK")) << closing.received();
    EXPECT_NE(closing.received().find("Connection: close"), std::string::npos);
    EXPECT_EQ(replies(closing), 1u) << closing.received();
    EXPECT_EQ(closing.received().find("Keep-Alive"), std::string::npos);
}

TEST_F(HttpLimitsTest, BeyondTheServersCapEveryNewConnectionIsRefusedAtOnce)
{
    HttpLimits limits;
    limits.maxConnections = 4;
    start(limits);
    // The server learns of closes, and takes connections, in its own time: the set-up's
    // client may still hold a place, and the refused one must come once all four are held.
    const auto awaitConnections = [this](std::size_t count) {
        QElapsedTimer waited;
        waited.start();
        while (server.connections() != count && waited.elapsed() < 5000)
            std::this_thread::yield();
        return server.connections();
    };
    ASSERT_EQ(awaitConnections(0), 0u);
    std::vector<HeldConnection> held;
    for (int i = 0; i < 4; ++i) {
        held.emplace_back(server.port(), "127.0.2." + std::to_string(i + 1));
        held.back().write(kUnfinished);
    }
    ASSERT_EQ(awaitConnections(4), 4u);
    // It sends nothing first: a request that meets the socket already closed behind the
    // refusal may draw a reset that wipes the 503 before it is read.
    HeldConnection refused(server.port(), "127.0.2.9");
    EXPECT_EQ(refused.statusLine(), "HTTP/1.1 503 Service Unavailable");
    EXPECT_TRUE(refused.waitClosed(5000));
}

// Thousands of connections held from many addresses (each within its cap): idle after a
// reply, trickling a head, and rude ones that send again after "Connection: close". A new
// client still signs in, and the server still holds the polite ones.
TEST_F(HttpLimitsTest, ThousandsOfHeldConnectionsDoNotKeepANewClientFromSigningIn)
{
    // Client and server share this process, so each held connection costs two descriptors;
    // a machine with a low hard limit holds fewer, still in the thousands.
    const long descriptors = HeldConnection::raiseDescriptorLimit();
    start();
    const int kEach = int(std::min<long>(1000, (descriptors - 512) / 6));
    constexpr int kPerAddress = 50;
    std::vector<HeldConnection> held;
    held.reserve(3 * kEach);
    for (int i = 0; i < 3 * kEach; ++i) {
        const std::string source = "127.1." + std::to_string(1 + i / (kPerAddress * 250)) + "." + std::to_string(1 + i / kPerAddress % 250);
        held.emplace_back(server.port(), source);
        ASSERT_TRUE(held.back().isOpen()) << "connection " << i;
        switch (i % 3) {
        case 0:
            held.back().write(kCheck);
            break;
        case 1:
            held.back().write(kUnfinished);
            break;
        default:
            held.back().write("POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n" + kCheck + kCheck);
            break;
        }
    }
    for (int i = 0; i < 3 * kEach; i += 3)
        ASSERT_EQ(held[std::size_t(i)].statusLine(), "HTTP/1.1 200 OK") << "connection " << i;
    EXPECT_TRUE(signsIn());
    EXPECT_GE(server.connections(), std::size_t(2 * kEach));
}
