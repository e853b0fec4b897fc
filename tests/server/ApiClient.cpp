#include "tests/server/ApiClient.h"

#include "server/Database.h"
#include "tests/server/PostgresCluster.h"

#include <QJsonDocument>
#include <QUrl>

#include <httplib.h>

#include <atomic>
#include <thread>
#include <vector>

QJsonArray ApiClient::Result::array() const
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(body)).array();
}

QJsonObject ApiClient::Result::object() const
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(body)).object();
}

ApiClient::ApiClient(const server::ServerInstance& server)
    : m_http(std::make_unique<httplib::Client>(server.host().toStdString(), server.port()))
{
    m_http->set_keep_alive(true);
    m_http->set_tcp_nodelay(true);
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
    const auto res = m_http->Post(("/PendarWeb/" + path).toStdString(), body, "application/x-www-form-urlencoded");
    return res ? Result{res->status, res->body} : Result{};
}

ApiClient::Result ApiClient::get(const std::string& target)
{
    const auto res = m_http->Get(target);
    return res ? Result{res->status, res->body} : Result{};
}

QJsonObject ApiClient::registerUser(const QString& name, const QString& password)
{
    return post(QStringLiteral("user/register"), {{"account", name}, {"pwd", password}}).object();
}

#ifdef QBANK_TEST_POSTGRES
// The same tests on PostgreSQL: one throw-away cluster for the process, a database per test,
// skipped where no cluster can start.
namespace {
PostgresCluster& cluster()
{
    static PostgresCluster instance;
    return instance;
}
struct StopCluster : ::testing::Environment {
    void TearDown() override { cluster().stop(); }
};
const auto* const s_stopCluster = ::testing::AddGlobalTestEnvironment(new StopCluster);
} // namespace
#endif

void ServerTest::SetUp()
{
    QString error;
#ifdef QBANK_TEST_POSTGRES
    static QString whyNot;
    static const bool running = cluster().start(&whyNot);
    if (!running)
        GTEST_SKIP() << "no PostgreSQL for this test: " << qPrintable(whyNot);
    server::ServerOptions options;
    options.port = 0;
    options.seed = m_seed;
    options.database = cluster().newDatabase();
    ASSERT_TRUE(server.start(options, &error)) << qPrintable(error);
#else
    ASSERT_TRUE(server.startTemporary(m_seed, &error)) << qPrintable(error);
#endif
    client = std::make_unique<ApiClient>(server);
    user = client->registerUser(QStringLiteral("tester01")).value("code").toString();
}

QString ServerTest::snapshot()
{
    QStringList parts;
    for (const char* table : {"account", "keep_entry", "keep_item", "practice_record", "feedback"})
        parts << server.database().scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).toString();
    return parts.join(QLatin1Char('/'));
}

void expectParallelWritersLoseNothing(server::ServerInstance& server)
{
    constexpr int kClients = 8;
    constexpr int kQuestions = 12;
    ApiClient setup(server);
    std::vector<QString> users;
    for (int i = 0; i < kClients; ++i)
        users.push_back(setup.registerUser(QStringLiteral("parallel%1").arg(i)).value("code").toString());
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < kClients; ++i) {
        threads.emplace_back([&, i] {
            ApiClient client(server);
            const Fields who{{"subjectCode", "CB"}, {"user_code", users[i]}};
            for (int q = 1; q <= kQuestions; ++q) {
                const QString code = QStringLiteral("CBQ%1").arg(q + i, 3, 10, QLatin1Char('0'));
                for (const char* type : {"0", "1"})
                    failures += client.post("exam/error_keep_add", who + Fields{{"type", type}, {"code", code}}).status != 200;
                const Fields run{{"type", "2"}, {"exam_num", "10"}, {"record_remark", "并发"}};
                failures += client.post("exam/chapter_exam_list", who + run).status != 200;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    for (const QString& code : users) {
        const Fields who{{"subjectCode", "CB"}, {"user_code", code}};
        EXPECT_EQ(setup.post("exam/error_keep_count", who).object(), (QJsonObject{{"errorCount", kQuestions}, {"keepCount", kQuestions}}));
        EXPECT_EQ(setup.post("exam/record_list", who).array().size(), kQuestions);
    }
}
