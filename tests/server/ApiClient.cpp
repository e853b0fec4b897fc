#include "tests/server/ApiClient.h"

#include "server/storage/Database.h"
#include "tests/server/PostgresCluster.h"
#include "tests/support/HttpTestClient.h"

#include <QUrl>

#include <atomic>
#include <thread>

ApiClient::ApiClient(const server::ServerInstance& server, const std::string& source)
    : m_http(std::make_unique<HttpTestClient>(server.host().toStdString(), server.port(), source))
{
}

ApiClient::~ApiClient() = default;

ApiClient::Result ApiClient::post(const QString& path, const Fields& fields)
{
    QByteArray body;
    for (const auto& [key, value] : fields)
        body += (body.isEmpty() ? "" : "&") + QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
    return postRaw(path, body.toStdString());
}

ApiClient::Result ApiClient::postRaw(const QString& path, const std::string& body)
{
    auto res = m_http->post(("/PendarWeb/" + path).toStdString(), body);
    return Result{res.status, std::move(res.body)};
}

ApiClient::Result ApiClient::get(const std::string& target)
{
    auto res = m_http->get(target);
    return Result{res.status, std::move(res.body)};
}

QJsonObject ApiClient::registerUser(const QString& name, const QString& password)
{
    return post("user/register", {{"account", name}, {"pwd", password}}).object();
}

#ifdef QBANK_TEST_POSTGRES
// One throw-away cluster for the process, a database per test, skipped where none can start.
namespace {
PostgresCluster s_cluster;
struct StopCluster : ::testing::Environment {
    void TearDown() override { s_cluster.stop(); }
};
const auto* const s_stopCluster = ::testing::AddGlobalTestEnvironment(new StopCluster);
} // namespace
#endif

void ServerTest::SetUp()
{
    QString error;
#ifdef QBANK_TEST_POSTGRES
    static const bool running = s_cluster.start(&error);
    if (!running)
        GTEST_SKIP() << "no PostgreSQL for this test: " << qPrintable(error);
    server::ServerOptions options;
    options.port = 0;
    options.seed = m_seed;
    options.database = s_cluster.newDatabase();
    ASSERT_TRUE(server.start(options, &error)) << qPrintable(error);
#else
    ASSERT_TRUE(server.startTemporary(m_seed, &error)) << qPrintable(error);
#endif
    client = std::make_unique<ApiClient>(server);
    user = client->registerUser("tester01").value("code").toString();
}

QString ServerTest::snapshot()
{
    QStringList counts;
    for (const char* table : {"account", "keep_entry", "keep_item", "practice_record", "feedback"})
        counts << server.database().scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toString();
    return counts.join('/');
}

void expectParallelWritersLoseNothing(server::ServerInstance& server)
{
    ApiClient setup(server);
    QList<Fields> users;
    for (int i = 0; i < 8; ++i)
        users << Fields{{"subjectCode", "CB"}, {"user_code", setup.registerUser(QStringLiteral("parallel%1").arg(i)).value("code").toString()}};
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            ApiClient client(server);
            for (int q = 1; q <= 12; ++q) {
                const QString code = QStringLiteral("CBQ%1").arg(q + i, 3, 10, QChar('0'));
                for (const Fields& write : {Fields{{"type", "0"}, {"code", code}}, Fields{{"type", "1"}, {"code", code}}})
                    failures += client.post("exam/error_keep_add", users[i] + write).status != 200;
                failures += client.post("exam/chapter_exam_list", users[i] + Fields{{"type", "2"}, {"exam_num", "10"}, {"record_remark", "并发"}}).status != 200;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    for (const Fields& who : users) {
        EXPECT_EQ(setup.post("exam/error_keep_count", who).object(), (QJsonObject{{"errorCount", 12}, {"keepCount", 12}}));
        EXPECT_EQ(setup.post("exam/record_list", who).array().size(), 12);
    }
}
