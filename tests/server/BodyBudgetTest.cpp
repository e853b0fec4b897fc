// The budget that all bodies being received at once share, as clients meet it over real
// sockets: a body that fits is served, one that does not is refused with 503 to the byte,
// with a length or in chunks; small bodies never wait for it; what a body held comes back
// when its connection goes.
#include "server/http/BodyBudget.h"

#include "tests/support/HeldConnection.h"

#include "server/http/HttpLimits.h"
#include "server/ServerInstance.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

using namespace server;

namespace {

constexpr std::size_t kBudget = 256 * 1024;
constexpr std::size_t kSmall = 4 * 1024;
const std::string kServed = "HTTP/1.1 200 OK";
const std::string kRefused = "HTTP/1.1 503 Service Unavailable";

std::string formOf(std::size_t bytes)
{
    return "a=" + std::string(bytes - 2, 'x');
}

std::string headFor(std::size_t length)
{
    return "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}

// The same form in chunks of 16 KiB.
std::string chunked(std::size_t bytes)
{
    std::string request = "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string body = formOf(bytes);
    for (std::size_t at = 0; at < body.size(); at += 16 * 1024) {
        const std::string piece = body.substr(at, 16 * 1024);
        char size[16];
        std::snprintf(size, sizeof(size), "%zx\r\n", piece.size());
        request += size + piece + "\r\n";
    }
    return request + "0\r\n\r\n";
}

} // namespace

class BodyBudgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HttpLimits limits;
        limits.bodyBudgetBytes = kBudget;
        limits.smallBodyBytes = kSmall;
        server.setHttpLimits(limits);
        QString error;
        ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    }
    // The status the server answers a whole request with; a refusal also closes.
    std::string ask(const std::string& request)
    {
        HeldConnection connection(server.port());
        connection.write(request);
        const std::string status = connection.statusLine();
        if (status == kRefused) {
            EXPECT_NE(connection.received().find("Retry-After: 1"), std::string::npos);
            EXPECT_TRUE(connection.waitClosed(5000));
        }
        return status;
    }
    std::string askWithLength(std::size_t bytes) { return ask(headFor(bytes) + formOf(bytes)); }
    // A body of `length` announced and all but its last byte sent, held until the server
    // holds at least what was sent.
    HeldConnection holdUnfinished(std::size_t length)
    {
        HeldConnection connection(server.port());
        connection.write(headFor(length) + formOf(length).substr(0, length - 1));
        EXPECT_TRUE(awaitBodyBytes([&](std::size_t held) { return held >= length - 1; }));
        return connection;
    }
    // The server learns of bytes and closes in its own time.
    bool awaitBodyBytes(const std::function<bool(std::size_t)>& wanted)
    {
        QElapsedTimer waited;
        waited.start();
        while (!wanted(server.bodyBytes()) && waited.elapsed() < 5000)
            std::this_thread::yield();
        return wanted(server.bodyBytes());
    }

    ServerInstance server;
};

TEST_F(BodyBudgetTest, ABodyIsServedUpToTheBudgetAndRefusedAByteBeyondWithOrWithoutALength)
{
    EXPECT_EQ(askWithLength(kBudget), kServed);
    EXPECT_EQ(askWithLength(kBudget + 1), kRefused);
    EXPECT_EQ(ask(chunked(kBudget)), kServed);
    EXPECT_EQ(ask(chunked(kBudget + 1)), kRefused);
    EXPECT_TRUE(awaitBodyBytes([](std::size_t held) { return held == 0; }));
}

// While one connection holds a body, another gets what is left to the byte; small bodies are
// served even with the budget spent; once the holder goes, the whole budget is there again.
TEST_F(BodyBudgetTest, BodiesShareTheBudgetAndGiveItBackWhenTheirConnectionsGo)
{
    constexpr std::size_t kHeld = 64 * 1024;
    std::optional<HeldConnection> holder = holdUnfinished(kHeld);
    // The holder's buffer is at most its announced length and at least what it sent.
    EXPECT_EQ(askWithLength(kBudget - kHeld), kServed);
    EXPECT_EQ(askWithLength(kBudget - kHeld + 2), kRefused);
    EXPECT_EQ(ask(chunked(kBudget - kHeld + 2)), kRefused);

    std::optional<HeldConnection> second = holdUnfinished(kBudget - kHeld);
    EXPECT_EQ(askWithLength(kSmall), kServed) << "a small body needs none of the budget";
    EXPECT_EQ(askWithLength(kSmall + 1), kRefused);

    holder.reset();
    second.reset();
    ASSERT_TRUE(awaitBodyBytes([](std::size_t held) { return held == 0; }));
    EXPECT_EQ(askWithLength(kBudget), kServed);
    EXPECT_EQ(ask(chunked(kBudget)), kServed);
}
