// The server facing unlucky or hostile peers: a second server on its address, bodies that
// lie about their size, forged Host headers, held connections, and who may read its files.
#include "tests/server/ApiClient.h"

#include "server/Database.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include <httplib.h>

#include <vector>

using namespace server;

namespace {

class Hardening : public ServerTest {
protected:
    // Sends raw bytes on a fresh connection and returns the status line of the answer.
    QByteArray exchange(const QByteArray& request)
    {
        QTcpSocket socket;
        socket.connectToHost("127.0.0.1", server.port());
        socket.waitForConnected(5000);
        socket.write(request);
        QByteArray reply;
        while (!reply.contains("\r\n") && socket.waitForReadyRead(5000))
            reply += socket.readAll();
        return reply.left(reply.indexOf("\r\n"));
    }
    int feedbackCount() { return server.database().scalar("SELECT COUNT(*) FROM feedback").toInt(); }
};

TEST_F(Hardening, ASecondServerOnTheSameAddressIsRefused)
{
    ServerInstance second;
    ServerOptions options;
    options.port = server.port();
    QTemporaryDir dir;
    options.database = dir.filePath("other.sqlite");
    QString error;
    EXPECT_FALSE(second.start(options, &error));
    EXPECT_TRUE(error.contains("address already in use")) << qPrintable(error);
    EXPECT_EQ(post("exam/checkyk", {}).status, 200) << "the first server still answers";
}

// A chunked body is bounded by the same mebibyte as one with a length; a length that is not a
// plain number is refused rather than read as its leading digits.
TEST_F(Hardening, BodiesThatLieAboutTheirSizeAreRefusedAndStoreNothing)
{
    const QByteArray head = "POST /PendarWeb/exam/feedback_add HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                            "Content-Type: application/x-www-form-urlencoded\r\n";
    const QByteArray body = "userAccount=u&contact=c&rmark=";
    auto chunked = [&](int total) {
        const QByteArray filler(total - body.size() - 1, 'a');
        return head + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray::number(body.size() + filler.size(), 16) + "\r\n" + body + filler
               + "\r\n1\r\nb\r\n0\r\n\r\n";
    };
    EXPECT_EQ(exchange(chunked(1024 * 1024 + 1)), "HTTP/1.1 413 Payload Too Large");
    for (const QByteArray& length : {QByteArray("30abc"), QByteArray("+30"), QByteArray("-1"), QByteArray("3 0")})
        EXPECT_EQ(exchange(head + "Content-Length: " + length + "\r\n\r\n" + body), "HTTP/1.1 400 Bad Request") << length.constData();
    EXPECT_EQ(feedbackCount(), 0);
    EXPECT_EQ(exchange(chunked(1024 * 1024)), "HTTP/1.1 200 OK");
    EXPECT_EQ(feedbackCount(), 1);
}

// The agreement's address is the server's own, or the published one, never what a Host
// header claims; the page it names is served.
TEST_F(Hardening, TheAgreementAddressIgnoresAForgedHost)
{
    httplib::Client http("127.0.0.1", server.port());
    auto reply = http.Post("/PendarWeb/exam/pactUrl_list", {{"Host", "attacker.example:80"}}, "", "application/x-www-form-urlencoded");
    ASSERT_TRUE(reply);
    const QString url = QJsonDocument::fromJson(QByteArray::fromStdString(reply->body)).array().at(0)["pactUrl"].toString();
    EXPECT_EQ(url, QStringLiteral("http://127.0.0.1:%1/PendarWeb/agreement.html").arg(server.port()));
    const auto page = client->get(QUrl(url).path().toStdString());
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.text().contains("用户协议"));

    ServerInstance published;
    QTemporaryDir dir;
    QString error;
    const auto options = ServerOptions::parse({"--listen", "127.0.0.1:0", "--public-url", "https://bank.example/", "--db", dir.filePath("p.sqlite")}, &error);
    ASSERT_TRUE(published.start(options.value(), &error)) << qPrintable(error);
    EXPECT_EQ(ApiClient(published).post("exam/pactUrl_list", {}).array().at(0)["pactUrl"], "https://bank.example/PendarWeb/agreement.html");
}

TEST_F(Hardening, DatabaseFilesAreTheOwnersAlone)
{
    for (const QString& suffix : {"", "-wal", "-shm"}) {
        const QFileInfo info(server.databaseFile() + suffix);
        ASSERT_TRUE(info.exists()) << qPrintable(info.filePath());
        EXPECT_EQ((info.permissions() & 0x0077).toInt(), 0) << qPrintable(info.filePath());
    }
}

// Opens `count` connections that each hold a worker: kept-alive ones that finished a
// request and idle, or slow ones that never finish their request head.
std::vector<std::unique_ptr<QTcpSocket>> holdConnections(int port, int count, bool slow)
{
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < count; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost("127.0.0.1", port);
        if (!socket->waitForConnected(5000))
            break;
        socket->write(slow ? "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\n"
                           : "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
        socket->waitForBytesWritten(5000);
        if (!slow)
            socket->waitForReadyRead(5000);
        held.push_back(std::move(socket));
    }
    return held;
}

TEST_F(Hardening, HeldConnectionsDoNotStarveANewClient)
{
    const auto idle = holdConnections(server.port(), 150, false);
    const auto slow = holdConnections(server.port(), 150, true);
    ASSERT_EQ(idle.size() + slow.size(), 300u);
    EXPECT_EQ(ApiClient(server).post("user/login", {{"account", "tester01"}, {"pwd", "secret99"}}).object().value("code"), user);
}

TEST(HardeningLimits, BeyondEveryWorkerAndTheQueueANewClientIsRefusedAtOnce)
{
    ServerInstance server;
    server.setWorkerLimits({.minWorkers = 2, .maxWorkers = 2, .maxQueued = 1, .refusalWorkers = 1});
    QString error;
    ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    const auto slow = holdConnections(server.port(), 3, true);   // two served, one queued
    ASSERT_EQ(slow.size(), 3u);
    EXPECT_EQ(ApiClient(server).post("exam/checkyk", {}).status, 503);
}

} // namespace
