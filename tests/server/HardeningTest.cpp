// The server facing unlucky or hostile peers: a second server on its address, bodies
// that lie about their size, forged Host headers, and who may read its files.
#include "tests/server/ApiClient.h"

#include "server/Api.h"
#include "server/Database.h"
#include "server/ServerInstance.h"

#include <QFileInfo>
#include <QTcpSocket>

#include <memory>
#include <vector>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>

using namespace server;

namespace {

class Hardening : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_server.startTemporary(ServerOptions::Seed::Sample, &error)) << qPrintable(error);
        m_client = std::make_unique<ApiClient>(m_server);
    }

    int feedbackCount() { return m_server.database().scalar(QStringLiteral("SELECT COUNT(*) FROM feedback")).toInt(); }

    // Sends raw bytes on a fresh connection and returns the status line of the answer.
    QByteArray rawExchange(const QByteArray& request)
    {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), m_server.port());
        if (!socket.waitForConnected(5000))
            return {};
        socket.write(request);
        socket.waitForBytesWritten(5000);
        QByteArray reply;
        while (!reply.contains("\r\n") && socket.waitForReadyRead(5000))
            reply += socket.readAll();
        return reply.left(reply.indexOf("\r\n"));
    }

    QTemporaryDir m_dir;
    ServerInstance m_server;
    std::unique_ptr<ApiClient> m_client;
};

TEST_F(Hardening, ASecondServerOnTheSameAddressIsRefused)
{
    ServerInstance second;
    ServerOptions options;
    options.host = QStringLiteral("127.0.0.1");
    options.port = m_server.port();
    QTemporaryDir dir;
    options.database = dir.filePath(QStringLiteral("other.sqlite"));
    QString error;
    EXPECT_FALSE(second.start(options, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("address already in use"))) << qPrintable(error);
    // The first server still answers every client.
    EXPECT_EQ(m_client->post(QStringLiteral("exam/checkyk"), {}).status, 200);
}

TEST_F(Hardening, AChunkedBodyOverTheLimitIsRefusedAndStoresNothing)
{
    httplib::Client http("127.0.0.1", m_server.port());
    const size_t total = 3 * Api::kMaxBody;
    const std::string head = "userAccount=u&contact=c&rmark=";
    auto reply = http.Post(
        "/PendarWeb/exam/feedback_add",
        [&](size_t offset, httplib::DataSink& sink) {
            if (offset == 0)
                sink.write(head.data(), head.size());
            else if (offset < total)
                sink.write(std::string(64 * 1024, 'a').data(), 64 * 1024);
            else
                sink.done();
            return true;
        },
        "application/x-www-form-urlencoded");
    // Either the refusal arrives, or the server closes on the sender mid-body.
    if (reply) {
        EXPECT_EQ(reply->status, 413);
    }
    EXPECT_EQ(feedbackCount(), 0);

    // A small chunked body is still fine.
    auto small = http.Post(
        "/PendarWeb/exam/feedback_add",
        [&](size_t offset, httplib::DataSink& sink) {
            if (offset == 0)
                sink.write(head.data(), head.size());
            else
                sink.done();
            return true;
        },
        "application/x-www-form-urlencoded");
    ASSERT_TRUE(small);
    EXPECT_EQ(small->status, 200);
    EXPECT_EQ(feedbackCount(), 1);
}

TEST_F(Hardening, AContentLengthThatIsNotAPlainNumberIsRefused)
{
    const QByteArray body = "userAccount=u&contact=c&rmark=x";
    for (const QByteArray& length : {QByteArray("31abc"), QByteArray("+31"), QByteArray("-1"), QByteArray("3 1")}) {
        const QByteArray request = "POST /PendarWeb/exam/feedback_add HTTP/1.1\r\nHost: x\r\nContent-Type: "
                                   "application/x-www-form-urlencoded\r\nContent-Length: "
                                   + length + "\r\nConnection: close\r\n\r\n" + body;
        EXPECT_TRUE(rawExchange(request).contains(" 400")) << length.constData();
    }
    EXPECT_EQ(feedbackCount(), 0);
}

TEST_F(Hardening, TheAgreementAddressIgnoresAForgedHost)
{
    httplib::Client http("127.0.0.1", m_server.port());
    httplib::Headers forged{{"Host", "attacker.example:80"}};
    auto reply = http.Post("/PendarWeb/exam/pactUrl_list", forged, "", "application/x-www-form-urlencoded");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 200);
    EXPECT_EQ(reply->body.find("attacker"), std::string::npos) << reply->body;
    EXPECT_NE(reply->body.find(QStringLiteral("127.0.0.1:%1").arg(m_server.port()).toStdString()), std::string::npos) << reply->body;

    ServerInstance published;
    QString error;
    const ServerOptions options = ServerOptions::parse({"--listen", "127.0.0.1:0", "--public-url", "https://bank.example/", "--db",
                                                        m_dir.filePath(QStringLiteral("p.sqlite"))},
                                                       &error)
                                      .value();
    ASSERT_TRUE(published.start(options, &error)) << qPrintable(error);
    ApiClient client(published);
    EXPECT_EQ(client.post(QStringLiteral("exam/pactUrl_list"), {}).array().at(0)["pactUrl"].toString(),
              QStringLiteral("https://bank.example/PendarWeb/agreement.html"));
}

TEST_F(Hardening, DatabaseFilesAreTheOwnersAlone)
{
    m_client->registerUser(QStringLiteral("owner01"));
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFileInfo info(m_server.databaseFile() + suffix);
        ASSERT_TRUE(info.exists()) << qPrintable(info.filePath());
        EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
                  QFileDevice::Permissions()) << qPrintable(info.filePath());
    }
}

// Opens `count` connections that each hold a worker: kept-alive ones that finished a
// request and idle, or slow ones that never finish their request head.
std::vector<std::unique_ptr<QTcpSocket>> holdConnections(int port, int count, bool slow)
{
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < count; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!socket->waitForConnected(5000))
            break;
        socket->write(slow ? QByteArray("POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\n")
                           : QByteArray("POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n"));
        socket->waitForBytesWritten(5000);
        if (!slow)
            socket->waitForReadyRead(5000);
        held.push_back(std::move(socket));
    }
    return held;
}

TEST_F(Hardening, HeldConnectionsDoNotStarveANewClient)
{
    m_client->registerUser(QStringLiteral("patient1"), QStringLiteral("pw-5678"));
    const auto idle = holdConnections(m_server.port(), 150, false);
    const auto slow = holdConnections(m_server.port(), 150, true);
    ASSERT_EQ(idle.size() + slow.size(), 300u);

    ApiClient fresh(m_server);
    const auto login = fresh.post(QStringLiteral("user/login"), {{"account", "patient1"}, {"pwd", "pw-5678"}});
    EXPECT_EQ(login.status, 200);
    EXPECT_EQ(login.object().value("username").toString(), QStringLiteral("patient1"));
}

TEST(HardeningLimits, BeyondEveryWorkerAndTheQueueANewClientIsRefusedAtOnce)
{
    ServerInstance server;
    server.setWorkerLimits({.minWorkers = 2, .maxWorkers = 2, .maxQueued = 1, .refusalWorkers = 1});
    QString error;
    ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    const auto slow = holdConnections(server.port(), 3, true);   // two served, one queued
    ASSERT_EQ(slow.size(), 3u);

    ApiClient late(server);
    EXPECT_EQ(late.post(QStringLiteral("exam/checkyk"), {}).status, 503);
}

} // namespace
