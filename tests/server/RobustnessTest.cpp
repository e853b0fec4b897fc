#include "tests/server/ApiClient.h"

#include "server/Database.h"
#include "server/ServerInstance.h"

#include <QSet>

#include <atomic>
#include <vector>

#include <gtest/gtest.h>

using namespace server;

namespace {

class Robustness : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_server.startTemporary(ServerOptions::Seed::Sample, &error)) << qPrintable(error);
        m_client = std::make_unique<ApiClient>(m_server);
        m_user = m_client->registerUser(QStringLiteral("robust01")).value("code").toString();
        // Something in every book, so that a wrongly accepted delete or clear shows.
        addToBook(QStringLiteral("CBQ001"), QStringLiteral("0"));
        addToBook(QStringLiteral("CBQ002"), QStringLiteral("1"));
        m_entry = m_client->post(QStringLiteral("exam/directory_list"), {{"subjectCode", "CB"}, {"type", "1"}, {"user_code", m_user}})
                      .array()
                      .at(0)["code"]
                      .toString();
    }

    ApiClient::Result addToBook(const QString& question, const QString& type)
    {
        return m_client->post(QStringLiteral("exam/error_keep_add"),
                              {{"subjectCode", "CB"}, {"user_code", m_user}, {"type", type}, {"code", question}, {"paper_code", ""},
                               {"directoryCode", "CBD1"}, {"chapter_code", "CBD1C1"}, {"node_code", "CBD1C1N1"}, {"anwer", "A"}});
    }

    // Row counts of every table a request can write.
    QString snapshot()
    {
        QStringList parts;
        for (const char* table : {"account", "keep_entry", "keep_item", "practice_record", "feedback"})
            parts << QString::number(m_server.database().scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).toInt());
        return parts.join(QLatin1Char('/'));
    }

    struct PathCase {
        QString path;
        Fields fields;
        QStringList required;
    };

    QList<PathCase> pathCases() const
    {
        const QString u = m_user;
        return {
            {"user/login", {{"account", "robust01"}, {"pwd", "secret99"}}, {"account", "pwd"}},
            {"user/register", {{"account", "robust02"}, {"pwd", "secret99"}}, {"account", "pwd"}},
            {"exam/feedback_add", {{"rmark", "好"}, {"contact", "a@b"}, {"userAccount", "robust01"}}, {"rmark", "contact", "userAccount"}},
            {"exam/paper_list", {{"examType", "0"}, {"subjectCode", "CB"}}, {"examType", "subjectCode"}},
            {"exam/paper_exam_list", {{"paperCode", "CBP1"}, {"subjectCode", "CB"}, {"record_remark", "t"}, {"user_code", u}},
             {"paperCode", "subjectCode", "user_code"}},
            {"exam/chapter_exam_list",
             {{"directoryCode", "CBD1"}, {"exam_num", "5"}, {"type", "0"}, {"subjectCode", "CB"}, {"record_remark", "t"}, {"user_code", u}},
             {"directoryCode", "exam_num", "type", "subjectCode", "user_code"}},
            {"exam/testPaper_exam_list", {{"type", "2"}, {"exam_num", "5"}, {"subjectCode", "CB"}, {"record_remark", "t"}, {"user_code", u}},
             {"type", "exam_num", "subjectCode", "user_code"}},
            {"exam/error_chapter_exam_list",
             {{"directoryCode", "CBD1"}, {"exam_num", "5"}, {"keep_code", m_entry}, {"error_type", "1"}, {"type", "0"},
              {"subjectCode", "CB"}, {"record_remark", "t"}, {"user_code", u}},
             {"directoryCode", "exam_num", "keep_code", "error_type", "type", "subjectCode", "user_code"}},
            {"exam/error_keep_add",
             {{"subjectCode", "CB"}, {"user_code", u}, {"type", "0"}, {"code", "CBQ003"}, {"paper_code", ""}, {"directoryCode", "CBD1"},
              {"chapter_code", "CBD1C1"}, {"node_code", ""}, {"anwer", "A"}},
             {"subjectCode", "user_code", "type", "code"}},
            {"exam/delexam", {{"subjectCode", "CB"}, {"usercode", u}, {"examCode", "CBQ001"}, {"errorCode", m_entry}},
             {"subjectCode", "usercode", "examCode", "errorCode"}},
            {"exam/directory_list", {{"subjectCode", "CB"}, {"type", "1"}, {"user_code", u}}, {"subjectCode", "user_code"}},
            {"exam/celarall", {{"subjectCode", "CB"}, {"type", "1"}, {"usercode", u}}, {"subjectCode", "type", "usercode"}},
            {"exam/error_keep_count", {{"subjectCode", "CB"}, {"user_code", u}}, {"subjectCode", "user_code"}},
            {"exam/record_list", {{"subjectCode", "CB"}, {"user_code", u}}, {"subjectCode", "user_code"}},
            {"exam/note_directory_list", {{"subjectCode", "CB"}}, {"subjectCode"}},
            {"exam/note_get", {{"subjectCode", "CB"}, {"chapterId", "CBD1C1"}}, {"subjectCode", "chapterId"}},
        };
    }

    ServerInstance m_server;
    std::unique_ptr<ApiClient> m_client;
    QString m_user;
    QString m_entry;
};

TEST_F(Robustness, AMissingFieldIsRefusedAndChangesNothing)
{
    for (const PathCase& c : pathCases()) {
        for (const QString& key : c.required) {
            Fields fields;
            for (const auto& pair : c.fields) {
                if (pair.first != key)
                    fields << pair;
            }
            const QString before = snapshot();
            const auto reply = m_client->post(c.path, fields);
            EXPECT_NE(reply.status, 200) << qPrintable(c.path + " without " + key);
            EXPECT_EQ(snapshot(), before) << qPrintable(c.path + " without " + key);
        }
    }
}

TEST_F(Robustness, MalformedNumbersAndUnknownUsersAreRefused)
{
    const QString before = snapshot();
    const QList<QPair<QString, Fields>> bad = {
        {"exam/paper_list", {{"examType", "past"}, {"subjectCode", "CB"}}},
        {"exam/chapter_exam_list", {{"directoryCode", "CBD1"}, {"exam_num", "many"}, {"type", "0"}, {"subjectCode", "CB"}, {"user_code", m_user}}},
        {"exam/chapter_exam_list", {{"directoryCode", "CBD1"}, {"exam_num", "5"}, {"type", "7"}, {"subjectCode", "CB"}, {"user_code", m_user}}},
        {"exam/error_keep_add", {{"subjectCode", "CB"}, {"user_code", "0123456789abcdef0123456789abcdef"}, {"type", "0"}, {"code", "CBQ003"}}},
        {"exam/error_keep_add", {{"subjectCode", "CB"}, {"user_code", m_user}, {"type", "0"}, {"code", "NOSUCH"}}},
        {"exam/error_keep_add", {{"subjectCode", "GM"}, {"user_code", m_user}, {"type", "0"}, {"code", "CBQ003"}}},
        {"exam/celarall", {{"subjectCode", "CB"}, {"type", "1"}, {"usercode", "(null)"}}},
        {"exam/paper_exam_list", {{"paperCode", "CBP1"}, {"subjectCode", "CB"}, {"record_remark", "t"}, {"user_code", "(null)"}}},
    };
    for (const auto& [path, fields] : bad)
        EXPECT_NE(m_client->post(path, fields).status, 200) << qPrintable(path);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Robustness, GarbageBodiesAreRefusedOnEveryPath)
{
    const QString before = snapshot();
    for (const PathCase& c : pathCases()) {
        for (const std::string& body : std::vector<std::string>{"%", "a=%G1", "subjectCode=%FF%FE", std::string("\xFF\xFE\x00\x01", 4)})
            EXPECT_EQ(m_client->postRaw(c.path, body).status, 400) << qPrintable(c.path);
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Robustness, SqlMetacharactersAreJustText)
{
    const QString name = QStringLiteral("x'); DROP TABLE account; --");
    const QJsonObject account = m_client->registerUser(name, QStringLiteral("' OR '1'='1"));
    EXPECT_EQ(account.value("username").toString(), name);
    EXPECT_EQ(m_client->post(QStringLiteral("user/login"), {{"account", name}, {"pwd", "' OR '1'='1"}}).object(), account);
    EXPECT_EQ(m_client->post(QStringLiteral("user/login"), {{"account", "robust01' --"}, {"pwd", "x"}}).body, "");
    EXPECT_TRUE(m_client->post(QStringLiteral("exam/paper_list"), {{"examType", "0"}, {"subjectCode", "CB' OR '1'='1"}}).array().isEmpty());
    EXPECT_EQ(m_client->post(QStringLiteral("exam/error_keep_count"), {{"subjectCode", "CB"}, {"user_code", "' OR 1=1 --"}}).status, 403);
    const QString title = QStringLiteral("a'||'b\"; DELETE FROM practice_record; --");
    m_client->post(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "CBP1"}, {"subjectCode", "CB"}, {"record_remark", title}, {"user_code", m_user}});
    const QJsonArray records = m_client->post(QStringLiteral("exam/record_list"), {{"subjectCode", "CB"}, {"user_code", m_user}}).array();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records.at(0)["recordName"].toString(), title);
    EXPECT_EQ(m_server.database().scalar(QStringLiteral("SELECT COUNT(*) FROM account")).toInt(), 2);
}

TEST_F(Robustness, BodiesOverOneMebibyteAreRefused)
{
    const QString before = snapshot();
    const std::string prefix = "userAccount=robust01&contact=x&rmark=";
    const std::string tooLong = prefix + std::string(1024 * 1024, 'a');
    EXPECT_EQ(m_client->postRaw(QStringLiteral("exam/feedback_add"), tooLong).status, 413);
    EXPECT_EQ(snapshot(), before);
    const std::string fits = prefix + std::string(1024 * 1024 - prefix.size(), 'a');
    EXPECT_EQ(m_client->postRaw(QStringLiteral("exam/feedback_add"), fits).status, 200);
}

TEST_F(Robustness, UnknownPathsAndMethodsAreNotFound)
{
    EXPECT_EQ(m_client->post(QStringLiteral("exam/nothing"), {}).status, 404);
    EXPECT_EQ(m_client->post(QStringLiteral("../exam/checkyk"), {}).status, 404);
    EXPECT_EQ(m_client->get("/PendarWeb/exam/checkyk").status, 404);
    EXPECT_EQ(m_client->get("/PendarWeb/schema.sql").status, 404);
}

TEST_F(Robustness, ParallelWritersLoseNothing)
{
    constexpr int kClients = 8;
    constexpr int kQuestions = 12;
    std::vector<QString> users;
    for (int i = 0; i < kClients; ++i)
        users.push_back(m_client->registerUser(QStringLiteral("parallel%1").arg(i)).value("code").toString());
    const int failures = ApiClient::inParallel(m_server, kClients, [&](ApiClient& client, int i) {
        int failed = 0;
        for (int q = 1; q <= kQuestions; ++q) {
            const QString code = QStringLiteral("CBQ%1").arg(q + i, 3, 10, QLatin1Char('0'));
            for (const char* type : {"0", "1"}) {
                const auto reply = client.post(QStringLiteral("exam/error_keep_add"),
                                               {{"subjectCode", "CB"}, {"user_code", users[i]}, {"type", type}, {"code", code}});
                failed += reply.status == 200 ? 0 : 1;
            }
            const auto run = client.post(QStringLiteral("exam/chapter_exam_list"),
                                         {{"type", "2"}, {"exam_num", "10"}, {"subjectCode", "CB"}, {"record_remark", "并发"}, {"user_code", users[i]}});
            failed += run.status == 200 ? 0 : 1;
        }
        return failed;
    });
    EXPECT_EQ(failures, 0);
    for (const QString& user : users) {
        const QJsonObject counts = m_client->post(QStringLiteral("exam/error_keep_count"), {{"subjectCode", "CB"}, {"user_code", user}}).object();
        EXPECT_EQ(counts, (QJsonObject{{"errorCount", kQuestions}, {"keepCount", kQuestions}}));
        EXPECT_EQ(m_client->post(QStringLiteral("exam/record_list"), {{"subjectCode", "CB"}, {"user_code", user}}).array().size(), kQuestions);
    }
}

TEST_F(Robustness, RacingRegistrationsOfOneNameCreateOneAccount)
{
    constexpr int kClients = 8;
    std::atomic<int> taken = 0;
    // Each body answers 1 when its registration made the account.
    const int created = ApiClient::inParallel(m_server, kClients, [&](ApiClient& client, int) {
        const auto reply = client.post(QStringLiteral("user/register"), {{"account", "samename"}, {"pwd", "secret99"}});
        if (reply.body == "2")
            ++taken;
        return reply.status == 200 && !reply.body.empty() && reply.body.front() == '{' ? 1 : 0;
    });
    EXPECT_EQ(created, 1);
    EXPECT_EQ(taken.load(), kClients - 1);
}

} // namespace
