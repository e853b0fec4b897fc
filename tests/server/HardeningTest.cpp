// The server facing unlucky or hostile peers: a second server on its address, bodies that
// lie about their size, forged Host headers, held connections, and who may read its files.
#include "tests/server/ApiClient.h"

#include "server/storage/Database.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

using namespace server;

// Opens a connection (from `source`, any loopback address, when given) that sends `request`
// and, when `waitForReply`, returns the status line of the answer; else the connection stays
// open for the caller to hold.
static QByteArray send(int port, const QByteArray& request, bool waitForReply = true, std::vector<std::unique_ptr<QTcpSocket>>* held = nullptr,
                       const QHostAddress& source = QHostAddress())
{
    auto socket = std::make_unique<QTcpSocket>();
    if (!source.isNull())
        socket->bind(source);
    socket->connectToHost("127.0.0.1", port);
    socket->waitForConnected(5000);
    socket->write(request);
    socket->waitForBytesWritten(5000);
    QByteArray reply;
    while (waitForReply && !reply.contains("\r\n") && socket->waitForReadyRead(5000))
        reply += socket->readAll();
    if (held)
        held->push_back(std::move(socket));
    return reply.left(reply.indexOf("\r\n"));
}

const QByteArray kIdle = "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n";
const QByteArray kUnfinished = "POST /PendarWeb/exam/checkyk HTTP/1.1\r\nHost: x\r\n";

using Hardening = ServerTest;

// Nobody else may serve on the address, nor read or write the database files.
TEST_F(Hardening, TheAddressAndTheFilesAreTheServersAlone)
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
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QFileInfo info(server.databaseFile() + suffix);
        EXPECT_TRUE(info.exists()) << qPrintable(info.filePath());
        EXPECT_EQ((info.permissions() & 0x0077).toInt(), 0) << qPrintable(info.filePath());
    }
}

// A chunked body is bounded by the same mebibyte as one with a length; a length that is not a
// plain number is refused rather than read as its leading digits.
TEST_F(Hardening, BodiesThatLieAboutTheirSizeAreRefusedAndStoreNothing)
{
    const QByteArray head = "POST /PendarWeb/exam/feedback_add HTTP/1.1\r\nHost: x\r\nConnection: close\r\n";
    const QByteArray body = "userAccount=u&contact=c&rmark=";
    auto chunked = [&](int total) {
        const QByteArray first = body + QByteArray(total - body.size() - 1, 'a');
        return head + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray::number(first.size(), 16) + "\r\n" + first + "\r\n1\r\nb\r\n0\r\n\r\n";
    };
    auto feedback = [&] { return server.database().scalar("SELECT COUNT(*) FROM feedback").toInt(); };
    EXPECT_EQ(send(server.port(), chunked(1024 * 1024 + 1)), "HTTP/1.1 413 Payload Too Large");
    for (const QByteArray& length : {QByteArray("30abc"), QByteArray("+30"), QByteArray("-1"), QByteArray("3 0")})
        EXPECT_EQ(send(server.port(), head + "Content-Length: " + length + "\r\n\r\n" + body), "HTTP/1.1 400 Bad Request") << length.data();
    EXPECT_EQ(feedback(), 0);
    EXPECT_EQ(send(server.port(), chunked(1024 * 1024)), "HTTP/1.1 200 OK");
    EXPECT_EQ(feedback(), 1);
}

// The agreement's address is the server's own, or the published one, never what a Host
// header claims; the page it names is served.
TEST_F(Hardening, TheAgreementAddressIgnoresAForgedHost)
{
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", server.port());
    socket.write("POST /PendarWeb/exam/pactUrl_list HTTP/1.1\r\nHost: attacker.example\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    QByteArray reply;
    while (socket.waitForReadyRead(5000))
        reply += socket.readAll();
    const QString url = QJsonDocument::fromJson(reply.mid(reply.indexOf("\r\n\r\n") + 4)).array().at(0)["pactUrl"].toString();
    EXPECT_EQ(url, QStringLiteral("http://127.0.0.1:%1/PendarWeb/agreement.html").arg(server.port()));
    EXPECT_TRUE(client->get(QUrl(url).path().toStdString()).text().contains("用户协议"));

    ServerInstance published;
    QTemporaryDir dir;
    QString error;
    const auto options = ServerOptions::parse({"--listen", "127.0.0.1:0", "--public-url", "https://bank.example/", "--db", dir.filePath("p.sqlite")}, &error);
    ASSERT_TRUE(published.start(options.value(), &error)) << qPrintable(error);
    EXPECT_EQ(ApiClient(published).post("exam/pactUrl_list", {}).array().at(0)["pactUrl"], "https://bank.example/PendarWeb/agreement.html");
}

// Idle kept-alive connections and slow ones that never finish their head, from many addresses
// (each within its cap); three hundred of them still leave room for a new client.
TEST_F(Hardening, HeldConnectionsDoNotStarveANewClient)
{
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 150; ++i) {
        const QHostAddress source(QStringLiteral("127.0.1.%1").arg(1 + i / 30));
        send(server.port(), kIdle, true, &held, source);
        send(server.port(), kUnfinished, false, &held, source);
    }
    EXPECT_EQ(ApiClient(server).post("user/login", {{"account", "tester01"}, {"pwd", "secret99"}}).object().value("code"), user);
}

TEST(HardeningLimits, BeyondItsConnectionCapAnAddressIsRefusedAtOnceUntilOneCloses)
{
    ServerInstance server;
    HttpLimits limits;
    limits.maxConnectionsPerAddress = 3;
    server.setHttpLimits(limits);
    QString error;
    ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < 3; ++i)
        send(server.port(), kUnfinished, false, &held);
    // Refused as soon as it is accepted, before it has sent a thing: a request sent after the
    // refusal can meet the closed socket, whose reset may wipe the 503 before it is read.
    EXPECT_EQ(send(server.port(), QByteArray()), "HTTP/1.1 503 Service Unavailable");
    held.pop_back();
    // The server learns of the close asynchronously; the place comes back soon after.
    QByteArray status;
    for (int i = 0; i < 200 && status != "HTTP/1.1 200 OK"; ++i)
        status = send(server.port(), kIdle);
    EXPECT_EQ(status, "HTTP/1.1 200 OK");
}
