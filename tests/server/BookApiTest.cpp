#include "tests/server/ApiClient.h"

#include "server/storage/Database.h"

using namespace server;

// The book kind's wire forms differ by path: adding says 0 wrong / 1 favourite, listing
// 1 / 2, replaying 1 / 0, clearing 1 / 0.
class BookApi : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        m_node = run("exam/chapter_exam_list", {{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C2"}, {"nodeCode", "CBD1C2N2"}});
        m_chapter = run("exam/chapter_exam_list", {{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C2"}});
        m_paper = run("exam/paper_exam_list", {{"paperCode", "CBP3"}});
        ASSERT_GE(m_node.size(), 3);
        ASSERT_GE(m_paper.size(), 2);
    }

    QJsonArray run(const QString& path, Fields fields)
    {
        fields << Fields{{"exam_num", "150"}, {"type", "0"}, {"subjectCode", "CB"}, {"record_remark", "错题"}, {"user_code", user}};
        return post(path, fields).array();
    }

    // The store files a question by its own record, whatever parents the client sends.
    ApiClient::Result keep(const QJsonValue& q, const QString& type)
    {
        return post("exam/error_keep_add", {{"subjectCode", "CB"}, {"user_code", user}, {"type", type}, {"code", q["code"].toString()},
                                            {"anwer", q["smallExams"][0]["answer"].toString()}});
    }

    QJsonObject counts(const QString& who) { return post("exam/error_keep_count", {{"subjectCode", "CB"}, {"user_code", who}}).object(); }
    QJsonArray book(const QString& type) { return post("exam/directory_list", {{"subjectCode", "CB"}, {"type", type}, {"user_code", user}}).array(); }

    QJsonArray m_node;
    QJsonArray m_chapter;
    QJsonArray m_paper;
};

TEST_F(BookApi, CountsFollowAddsPerBookAndUserWithoutDuplicates)
{
    EXPECT_EQ(counts(user), (QJsonObject{{"errorCount", 0}, {"keepCount", 0}}));
    for (const QJsonValue& q : {m_node.at(0), m_node.at(0), m_node.at(1)})
        EXPECT_EQ(keep(q, "0").body, "1");
    keep(m_paper.at(0), "1");
    EXPECT_EQ(counts(user), (QJsonObject{{"errorCount", 2}, {"keepCount", 1}}));
    EXPECT_EQ(counts(client->registerUser("keeper02").value("code").toString()), (QJsonObject{{"errorCount", 0}, {"keepCount", 0}}));
    EXPECT_EQ(server.database().scalar("SELECT answer FROM keep_item WHERE question_code = ?", {m_node.at(0)["code"].toString()}).toString(),
              m_node.at(0)["smallExams"][0]["answer"].toString()) << "a wrong answer keeps the answer it carried";
}

// A directory entry holds only chapters and nodes with questions, element 0 of a chapter's
// nodes counting its own; a paper entry comes after, with its paper.
TEST_F(BookApi, TheErrorBookTreeShowsOnlyHeldRowsWithTheirCounts)
{
    QJsonValue own;
    for (const QJsonValue& q : std::as_const(m_chapter)) {
        if (q["TChapterNode"]["code"].toString().isEmpty())
            own = q;
    }
    ASSERT_TRUE(own.isObject()) << "the sample chapter needs a question outside its nodes";
    for (const QJsonValue& q : {m_node.at(0), m_node.at(1), own, m_paper.at(0)})
        keep(q, "0");

    const QJsonValue none(QJsonValue::Undefined);
    const std::pair<QString, QJsonValue> expected[] = {
        {"0.type", 1}, {"0.count", 3}, {"0.directory.code", "CBD1"}, {"0.chapters.0.chapter.code", "CBD1C2"},
        {"0.chapters.0.chapter.TDirectory.code", "CBD1"}, {"0.chapters.0.count", 3}, {"0.chapters.1", none},
        {"0.chapters.0.nodes.0.count", 1}, {"0.chapters.0.nodes.1.node.code", "CBD1C2N2"},
        {"0.chapters.0.nodes.1.node.TChapter.code", "CBD1C2"}, {"0.chapters.0.nodes.1.count", 2}, {"0.chapters.0.nodes.2", none},
        {"1.type", 0}, {"1.count", 1}, {"1.paper.code", "CBP3"}, {"2", none}};
    const QJsonValue entries = book("1");
    for (const auto& [path, value] : expected) {
        QJsonValue at = entries;
        for (const QString& key : path.split('.'))
            at = at.isArray() ? at[key.toInt()] : at[key];
        EXPECT_EQ(at, value) << qPrintable(path);
    }
    EXPECT_TRUE(book("2").isEmpty());
}

TEST_F(BookApi, EntriesReplayTheirQuestionsByScope)
{
    for (const QJsonValue& q : {m_node.at(0), m_node.at(1), m_paper.at(1)})
        keep(q, "1");
    const QJsonArray entries = book("2");
    ASSERT_EQ(entries.size(), 2);
    const QString directoryEntry = entries.at(0)["code"].toString();
    const QList<Fields> scopes = {{{"directoryCode", "CBD1"}}, {{"chapterCode", "CBD1C2"}}, {{"chapterCode", "CBD1C2"}, {"nodeCode", "CBD1C2N2"}}};
    for (const Fields& scope : scopes) {
        const QJsonArray questions = run("exam/error_chapter_exam_list", scope + Fields{{"keep_code", directoryEntry}, {"error_type", "0"}});
        ASSERT_EQ(questions.size(), 2) << qPrintable(scope.last().first);
        EXPECT_EQ(questions.at(0)["code"], m_node.at(0)["code"]);
    }
    const auto one = post("exam/error_chapter_exam_list", {{"directoryCode", "CBD1"}, {"exam_num", "1"}, {"keep_code", directoryEntry},
                                                           {"error_type", "0"}, {"type", "1"}, {"subjectCode", "CB"}, {"user_code", user}});
    EXPECT_EQ(one.array().size(), 1);
    const QJsonArray paper = run("exam/error_paper_exam_list", {{"paperCode", "CBP3"}, {"keep_code", entries.at(1)["code"].toString()}, {"error_type", "0"}});
    ASSERT_EQ(paper.size(), 1);
    EXPECT_EQ(paper.at(0)["code"], m_paper.at(1)["code"]);
}

// Deleting the last question of an entry removes the entry; clearing one book leaves the other.
TEST_F(BookApi, DeletesAndClearsTakeOnlyWhatTheyName)
{
    keep(m_paper.at(0), "0");
    keep(m_paper.at(1), "0");
    keep(m_node.at(1), "1");
    const QString entry = book("1").at(0)["code"].toString();
    auto remove = [&](const QJsonValue& q) {
        return post("exam/delexam", {{"subjectCode", "CB"}, {"usercode", user}, {"examCode", q["code"].toString()}, {"errorCode", entry}}).body;
    };
    EXPECT_EQ(remove(m_paper.at(0)), "1");
    EXPECT_EQ(remove(m_paper.at(0)), "0") << "already gone";
    EXPECT_EQ(book("1").at(0)["count"], 1);
    EXPECT_EQ(remove(m_paper.at(1)), "1");
    EXPECT_TRUE(book("1").isEmpty());

    keep(m_node.at(0), "0");
    auto clear = [&](const char* type) { return post("exam/celarall", {{"subjectCode", "CB"}, {"type", type}, {"usercode", user}}).body; };
    EXPECT_EQ(clear("1"), "1");
    EXPECT_EQ(counts(user), (QJsonObject{{"errorCount", 0}, {"keepCount", 1}}));
    EXPECT_EQ(clear("0"), "1");
    EXPECT_EQ(counts(user), (QJsonObject{{"errorCount", 0}, {"keepCount", 0}}));
}

