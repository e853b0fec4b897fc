#include "tests/server/ApiClient.h"

#include "server/storage/Database.h"

#include <atomic>
#include <thread>
#include <vector>

using namespace server;

class Robustness : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        who = {{"subjectCode", "CB"}, {"user_code", user}};
        // Something in every book, so that a wrongly accepted delete or clear shows.
        for (const char* type : {"0", "1"})
            post("exam/error_keep_add", who + Fields{{"type", type}, {"code", "CBQ001"}});
        m_entry = post("exam/directory_list", who + Fields{{"type", "1"}}).array().at(0)["code"].toString();
    }

    QString m_entry;
    Fields who;
};

// Every path with a complete body, whose fields but a record's title it cannot do without.
TEST_F(Robustness, AMissingFieldOrAGarbageBodyIsABadRequestAndChangesNothing)
{
    const QList<QPair<QString, Fields>> paths = {
        {"user/login", {{"account", "tester01"}, {"pwd", "secret99"}}},
        {"user/register", {{"account", "robust02"}, {"pwd", "secret99"}}},
        {"exam/feedback_add", {{"rmark", "好"}, {"contact", "a@b"}, {"userAccount", "tester01"}}},
        {"exam/paper_list", {{"examType", "0"}, {"subjectCode", "CB"}}},
        {"exam/paper_exam_list", who + Fields{{"paperCode", "CBP1"}, {"record_remark", "t"}}},
        {"exam/chapter_exam_list", who + Fields{{"directoryCode", "CBD1"}, {"exam_num", "5"}, {"type", "0"}, {"record_remark", "t"}}},
        {"exam/testPaper_exam_list", who + Fields{{"type", "2"}, {"exam_num", "5"}}},
        {"exam/error_chapter_exam_list", who + Fields{{"directoryCode", "CBD1"}, {"exam_num", "5"}, {"keep_code", m_entry}, {"error_type", "1"}, {"type", "0"}}},
        {"exam/error_paper_exam_list", who + Fields{{"paperCode", ""}, {"keep_code", m_entry}, {"error_type", "1"}}},
        {"exam/error_keep_add", who + Fields{{"type", "0"}, {"code", "CBQ003"}}},
        {"exam/delexam", {{"subjectCode", "CB"}, {"usercode", user}, {"examCode", "CBQ001"}, {"errorCode", m_entry}}},
        {"exam/directory_list", {{"subjectCode", "CB"}}},
        {"exam/celarall", {{"subjectCode", "CB"}, {"type", "1"}, {"usercode", user}}},
        {"exam/error_keep_count", who},
        {"exam/record_list", who},
        {"exam/record_exam_list", who + Fields{{"recordCode", "R"}}},
        {"exam/note_directory_list", {{"subjectCode", "CB"}}},
        {"exam/note_get", {{"subjectCode", "CB"}, {"chapterId", "CBD1C1"}}},
    };
    const QString before = snapshot();
    for (const auto& [path, fields] : paths) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const Fields without = fields.mid(0, i) + fields.mid(i + 1);
            EXPECT_EQ(post(path, without).status, fields[i].first == "record_remark" ? 200 : 400) << qPrintable(path + " without " + fields[i].first);
        }
        for (const std::string& body : {std::string("%"), std::string("a=%G1"), std::string("subjectCode=%FF%FE"), std::string("\xFF\xFE\x00\x01", 4)})
            EXPECT_EQ(client->postRaw(path, body).status, 400) << qPrintable(path);
    }
    EXPECT_EQ(snapshot(), before);
}

// Each refusal with its own status: 400 for what no request may say, 403 for an unknown
// user, 404 for what is not there or not the user's.
TEST_F(Robustness, MalformedValuesUnknownUsersAndOthersEntriesAreRefusedWithTheirStatus)
{
    const QString stranger = client->registerUser("stranger").value("code").toString();
    const QString before = snapshot();
    const Fields draw{{"directoryCode", "CBD1"}, {"exam_num", "5"}, {"type", "0"}};
    const QList<std::tuple<int, QString, Fields>> bad = {
        {400, "exam/paper_list", {{"examType", "past"}, {"subjectCode", "CB"}}},
        {400, "exam/chapter_exam_list", who + Fields{{"directoryCode", "CBD1"}, {"exam_num", "many"}, {"type", "0"}}},
        {400, "exam/chapter_exam_list", who + Fields{{"directoryCode", "CBD1"}, {"exam_num", "5"}, {"type", "7"}}},
        {400, "exam/chapter_exam_list", who + Fields{{"directoryCode", ""}, {"exam_num", "5"}, {"type", "0"}}},
        {400, "exam/error_chapter_exam_list", who + Fields{{"exam_num", "5"}, {"keep_code", m_entry}, {"error_type", "1"}, {"type", "0"}}},
        {400, "exam/error_keep_add", who + Fields{{"type", "0"}, {"code", "NOSUCH"}}},
        {400, "exam/error_keep_add", Fields{{"subjectCode", "GM"}, {"user_code", user}, {"type", "0"}, {"code", "CBQ003"}}},
        {400, "exam/directory_list", who + Fields{{"type", "0"}}},
        {400, "exam/celarall", {{"subjectCode", "CB"}, {"type", "2"}, {"usercode", user}}},
        {403, "exam/error_keep_add", Fields{{"subjectCode", "CB"}, {"user_code", QString(32, u'0')}, {"type", "0"}, {"code", "CBQ003"}}},
        {403, "exam/celarall", {{"subjectCode", "CB"}, {"type", "1"}, {"usercode", "(null)"}}},
        {403, "exam/error_keep_count", {{"subjectCode", "CB"}, {"user_code", "' OR 1=1 --"}}},
        {404, "exam/error_chapter_exam_list", who + draw + Fields{{"keep_code", m_entry}, {"error_type", "0"}}},
        {404, "exam/error_chapter_exam_list",
         Fields{{"subjectCode", "CB"}, {"user_code", stranger}} + draw + Fields{{"keep_code", m_entry}, {"error_type", "1"}}},
        {404, "exam/error_paper_exam_list", who + Fields{{"paperCode", "CBP1"}, {"keep_code", "nosuch"}, {"error_type", "1"}}},
        {404, "exam/record_exam_list", who + Fields{{"recordCode", "nosuch"}}},
        {404, "exam/note_get", {{"subjectCode", "GM"}, {"chapterId", "CBD1C1"}}},
        {404, "exam/nothing", {}},
        {404, "../exam/checkyk", {}},
    };
    for (const auto& [status, path, fields] : bad)
        EXPECT_EQ(post(path, fields).status, status) << qPrintable(path);
    for (const char* target : {"/PendarWeb/exam/checkyk", "/PendarWeb/schema.sql"})
        EXPECT_EQ(client->get(target).status, 404) << target;
    EXPECT_EQ(post("exam/delexam", {{"subjectCode", "CB"}, {"usercode", stranger}, {"examCode", "CBQ001"}, {"errorCode", m_entry}}).body, "0");
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Robustness, SqlMetacharactersAreJustText)
{
    const QString name = "x'); DROP TABLE account; --";
    client->registerUser(name, "' OR '1'='1");
    EXPECT_EQ(post("user/login", {{"account", name}, {"pwd", "' OR '1'='1"}}).object().value("username"), name);
    EXPECT_EQ(post("user/login", {{"account", "tester01' --"}, {"pwd", "x"}}).body, "");
    EXPECT_TRUE(post("exam/paper_list", {{"examType", "0"}, {"subjectCode", "CB' OR '1'='1"}}).array().isEmpty());
    const QString title = "a'||'b\"; DELETE FROM practice_record; --";
    post("exam/paper_exam_list", {{"paperCode", "CBP1"}, {"subjectCode", "CB"}, {"record_remark", title}, {"user_code", user}});
    EXPECT_EQ(post("exam/record_list", who).array().at(0)["recordName"], title);
    EXPECT_EQ(server.database().scalar("SELECT COUNT(*) FROM account").toInt(), 2);
}

TEST_F(Robustness, ABodyOfOneMebibyteIsServedAndOneByteMoreIsRefused)
{
    const std::string head = "userAccount=tester01&contact=x&rmark=";
    const QString before = snapshot();
    EXPECT_EQ(client->postRaw("exam/feedback_add", head + std::string(1024 * 1024 + 1 - head.size(), 'a')).status, 413);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(client->postRaw("exam/feedback_add", head + std::string(1024 * 1024 - head.size(), 'a')).status, 200);
}

TEST_F(Robustness, ParallelWritersLoseNothingAndRacingRegistrationsMakeOneAccount)
{
    expectParallelWritersLoseNothing(server);
    std::atomic<int> created = 0, taken = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            const auto reply = ApiClient(server).post("user/register", {{"account", "samename"}, {"pwd", "secret99"}});
            created += reply.body.starts_with("{");
            taken += reply.body == "2";
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(std::pair(created.load(), taken.load()), std::pair(1, 7));
}

