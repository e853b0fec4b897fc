#include "tests/server/ApiClient.h"
#include "tests/server/PostgresCluster.h"

#include "server/ServerInstance.h"

#include <vector>

#include <gtest/gtest.h>

using namespace server;

namespace {

// The same store code on PostgreSQL: one journey through every kind of query the
// server makes, plus concurrent writers.
class Postgres : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString whyNot;
        if (!m_cluster.start(&whyNot))
            GTEST_SKIP() << "no PostgreSQL for this test: " << qPrintable(whyNot);
        ServerOptions options;
        options.port = 0;
        options.database = m_cluster.address();
        QString error;
        ASSERT_TRUE(m_server.start(options, &error)) << qPrintable(error);
        m_client = std::make_unique<ApiClient>(m_server);
    }

    PostgresCluster m_cluster;
    ServerInstance m_server;
    std::unique_ptr<ApiClient> m_client;
};

TEST_F(Postgres, ServesTheSampleBankAndTheBooks)
{
    const QJsonObject account = m_client->registerUser(QStringLiteral("pguser01"));
    const QString user = account.value("code").toString();
    ASSERT_FALSE(user.isEmpty());
    EXPECT_EQ(m_client->post(QStringLiteral("user/register"), {{"account", "pguser01"}, {"pwd", "x"}}).body, "2");
    EXPECT_EQ(m_client->post(QStringLiteral("user/login"), {{"account", "pguser01"}, {"pwd", "secret99"}}).object(), account);
    EXPECT_EQ(m_client->post(QStringLiteral("user/login"), {{"account", "pguser01"}, {"pwd", "wrong"}}).body, "");

    EXPECT_GE(m_client->post(QStringLiteral("exam/subject_type_list"), {{"type", "focus-c"}}).array().size(), 2);
    EXPECT_GE(m_client->post(QStringLiteral("exam/paper_list"), {{"examType", "1"}, {"subjectCode", "CB"}}).array().size(), 3);
    EXPECT_EQ(m_client->post(QStringLiteral("exam/directory_list"), {{"subjectCode", "CB"}}).array().size(), 3);
    EXPECT_EQ(m_client->post(QStringLiteral("exam/note_get"), {{"subjectCode", "CB"}, {"chapterId", "CBD1C1"}}).status, 200);

    const QJsonArray run = m_client->post(QStringLiteral("exam/chapter_exam_list"),
                                          {{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C2"}, {"exam_num", "4"}, {"type", "0"},
                                           {"subjectCode", "CB"}, {"record_remark", "专项练习（数制与编码）"}, {"user_code", user}})
                               .array();
    ASSERT_EQ(run.size(), 4);
    for (const QJsonValue& q : run) {
        EXPECT_EQ(m_client->post(QStringLiteral("exam/error_keep_add"),
                                 {{"subjectCode", "CB"}, {"user_code", user}, {"type", "0"}, {"code", q["code"].toString()}, {"anwer", "A"}})
                      .status,
                  200);
    }
    EXPECT_EQ(m_client->post(QStringLiteral("exam/error_keep_count"), {{"subjectCode", "CB"}, {"user_code", user}}).object(),
              (QJsonObject{{"errorCount", 4}, {"keepCount", 0}}));
    const QJsonArray book = m_client->post(QStringLiteral("exam/directory_list"), {{"subjectCode", "CB"}, {"type", "1"}, {"user_code", user}}).array();
    ASSERT_EQ(book.size(), 1);
    EXPECT_EQ(book.at(0)["count"].toInt(), 4);
    const QString entry = book.at(0)["code"].toString();
    const auto replay = m_client->post(QStringLiteral("exam/error_chapter_exam_list"),
                                       {{"chapterCode", "CBD1C2"}, {"exam_num", "150"}, {"keep_code", entry}, {"error_type", "1"}, {"type", "1"},
                                        {"subjectCode", "CB"}, {"record_remark", "错题"}, {"user_code", user}});
    EXPECT_EQ(replay.array().size(), 4);
    EXPECT_EQ(m_client->post(QStringLiteral("exam/delexam"),
                             {{"subjectCode", "CB"}, {"usercode", user}, {"examCode", run.at(0)["code"].toString()}, {"errorCode", entry}})
                  .body,
              "1");
    const QJsonArray records = m_client->post(QStringLiteral("exam/record_list"), {{"subjectCode", "CB"}, {"user_code", user}}).array();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(m_client->post(QStringLiteral("exam/record_exam_list"),
                             {{"recordCode", records.at(1)["code"].toString()}, {"subjectCode", "CB"}, {"user_code", user}})
                  .array(),
              run);
    EXPECT_EQ(m_client->post(QStringLiteral("exam/celarall"), {{"subjectCode", "CB"}, {"type", "1"}, {"usercode", user}}).status, 200);
    EXPECT_TRUE(m_client->post(QStringLiteral("exam/directory_list"), {{"subjectCode", "CB"}, {"type", "1"}, {"user_code", user}}).array().isEmpty());
}

TEST_F(Postgres, ParallelWritersLoseNothing)
{
    constexpr int kClients = 6;
    constexpr int kQuestions = 10;
    std::vector<QString> users;
    for (int i = 0; i < kClients; ++i)
        users.push_back(m_client->registerUser(QStringLiteral("pgpar%1x").arg(i)).value("code").toString());
    const int failures = ApiClient::inParallel(m_server, kClients, [&](ApiClient& client, int i) {
        int failed = 0;
        for (int q = 1; q <= kQuestions; ++q) {
            const auto reply = client.post(QStringLiteral("exam/error_keep_add"),
                                           {{"subjectCode", "CB"}, {"user_code", users[i]}, {"type", "1"},
                                            {"code", QStringLiteral("CBQ%1").arg(q, 3, 10, QLatin1Char('0'))}});
            failed += reply.status == 200 ? 0 : 1;
        }
        return failed;
    });
    EXPECT_EQ(failures, 0);
    for (const QString& user : users)
        EXPECT_EQ(m_client->post(QStringLiteral("exam/error_keep_count"), {{"subjectCode", "CB"}, {"user_code", user}}).object()["keepCount"].toInt(),
                  kQuestions);
}

} // namespace
