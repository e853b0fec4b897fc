#include "tests/server/ApiClient.h"

#include "server/Database.h"
#include "server/ServerInstance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

using namespace server;

namespace {

// Wire forms of the book kind differ by path; these name them once.
const QString kAddWrong = QStringLiteral("0");
const QString kAddFavourite = QStringLiteral("1");
const QString kListErrorBook = QStringLiteral("1");
const QString kListFavourites = QStringLiteral("2");
const QString kClearErrorBook = QStringLiteral("1");
const QString kClearFavourites = QStringLiteral("0");
const QString kRunErrorBook = QStringLiteral("1");
const QString kRunFavourites = QStringLiteral("0");

class BookApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_server.startTemporary(ServerOptions::Seed::Sample, &error)) << qPrintable(error);
        m_client = std::make_unique<ApiClient>(m_server);
        m_user = m_client->registerUser(QStringLiteral("keeper01")).value("code").toString();
        m_nodeQuestions = chapterRun({{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C2"}, {"nodeCode", "CBD1C2N2"}});
        m_chapterQuestions = chapterRun({{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C2"}});
        m_paperQuestions = m_client->post(QStringLiteral("exam/paper_exam_list"),
                                          {{"paperCode", "CBP3"}, {"subjectCode", "CB"}, {"user_code", m_user}})
                               .array();
        ASSERT_GE(m_nodeQuestions.size(), 3);
        ASSERT_GE(m_paperQuestions.size(), 2);
    }

    QJsonArray chapterRun(Fields scope)
    {
        scope << Fields{{"exam_num", "150"}, {"type", "0"}, {"subjectCode", "CB"}, {"user_code", m_user}};
        return m_client->post(QStringLiteral("exam/chapter_exam_list"), scope).array();
    }

    // The body the practice screen sends for a favourite or a wrong answer.
    ApiClient::Result keep(const QJsonValue& q, const QString& type, const QString& user = QString())
    {
        Fields fields{{"subjectCode", "CB"},
                      {"user_code", user.isEmpty() ? m_user : user},
                      {"type", type},
                      {"code", q["code"].toString()},
                      {"paper_code", q["TExamPaper"]["code"].toString()},
                      {"directoryCode", q["TChapter"]["TDirectory"]["code"].toString()},
                      {"chapter_code", q["TChapter"]["code"].toString()},
                      {"node_code", q["TChapterNode"]["code"].toString()}};
        if (type == kAddWrong)
            fields << qMakePair(QStringLiteral("anwer"), q["smallExams"][0]["answer"].toString());
        return m_client->post(QStringLiteral("exam/error_keep_add"), fields);
    }

    QJsonObject counts(const QString& user = QString())
    {
        return m_client->post(QStringLiteral("exam/error_keep_count"),
                              {{"subjectCode", "CB"}, {"user_code", user.isEmpty() ? m_user : user}})
            .object();
    }

    QJsonArray book(const QString& type)
    {
        return m_client->post(QStringLiteral("exam/directory_list"), {{"subjectCode", "CB"}, {"type", type}, {"user_code", m_user}})
            .array();
    }

    ApiClient::Result run(const QString& path, Fields fields)
    {
        fields << Fields{{"subjectCode", "CB"}, {"record_remark", "错题"}, {"user_code", m_user}};
        return m_client->post(path, fields);
    }

    ServerInstance m_server;
    std::unique_ptr<ApiClient> m_client;
    QString m_user;
    QJsonArray m_nodeQuestions;
    QJsonArray m_chapterQuestions;
    QJsonArray m_paperQuestions;
};

TEST_F(BookApi, CountsFollowAddsPerBookWithoutDuplicates)
{
    EXPECT_EQ(counts(), (QJsonObject{{"errorCount", 0}, {"keepCount", 0}}));
    EXPECT_EQ(keep(m_nodeQuestions.at(0), kAddWrong).status, 200);
    EXPECT_EQ(keep(m_nodeQuestions.at(0), kAddWrong).status, 200);
    EXPECT_EQ(keep(m_nodeQuestions.at(1), kAddWrong).status, 200);
    EXPECT_EQ(keep(m_paperQuestions.at(0), kAddFavourite).status, 200);
    EXPECT_EQ(counts(), (QJsonObject{{"errorCount", 2}, {"keepCount", 1}}));

    const QString other = m_client->registerUser(QStringLiteral("keeper02")).value("code").toString();
    EXPECT_EQ(counts(other), (QJsonObject{{"errorCount", 0}, {"keepCount", 0}}));
}

TEST_F(BookApi, ConcurrentAddsSharingCommitsAreAllKept)
{
    // Every add replies only once its commit is done, so the counts read after
    // the replies must hold each of them, however the writes were batched.
    QJsonArray questions = m_chapterQuestions;
    for (const QJsonValue& q : std::as_const(m_paperQuestions))
        questions.append(q);
    std::vector<std::thread> writers;
    std::vector<int> failures(questions.size(), 0);
    for (qsizetype i = 0; i < questions.size(); ++i) {
        writers.emplace_back([&, i] {
            ApiClient client(m_server);
            Fields fields{{"subjectCode", "CB"}, {"user_code", m_user}, {"type", i % 2 ? kAddFavourite : kAddWrong},
                          {"code", questions.at(i)["code"].toString()}};
            failures[i] = client.post(QStringLiteral("exam/error_keep_add"), fields).status != 200;
        });
    }
    for (auto& t : writers)
        t.join();
    EXPECT_EQ(std::count(failures.begin(), failures.end(), 1), 0);
    const int favourites = int(questions.size() / 2);
    EXPECT_EQ(counts(), (QJsonObject{{"errorCount", int(questions.size()) - favourites}, {"keepCount", favourites}}));
}

TEST_F(BookApi, ErrorBookTreeShowsOnlyHeldRowsWithTheirCounts)
{
    keep(m_nodeQuestions.at(0), kAddWrong);
    keep(m_nodeQuestions.at(1), kAddWrong);
    QJsonValue own;
    for (const QJsonValue& q : m_chapterQuestions) {
        if (q["TChapterNode"]["code"].toString().isEmpty())
            own = q;
    }
    ASSERT_TRUE(own.isObject()) << "the sample chapter needs a question outside its nodes";
    keep(own, kAddWrong);
    keep(m_paperQuestions.at(0), kAddWrong);

    const QJsonArray entries = book(kListErrorBook);
    ASSERT_EQ(entries.size(), 2);
    const QJsonValue directory = entries.at(0);
    EXPECT_EQ(directory["type"].toInt(), 1);
    EXPECT_EQ(directory["count"].toInt(), 3);
    EXPECT_EQ(directory["directory"]["code"].toString(), QStringLiteral("CBD1"));
    const QJsonArray chapters = directory["chapters"].toArray();
    ASSERT_EQ(chapters.size(), 1) << "chapters holding nothing are left out";
    EXPECT_EQ(chapters.at(0)["chapter"]["code"].toString(), QStringLiteral("CBD1C2"));
    EXPECT_EQ(chapters.at(0)["chapter"]["TDirectory"]["code"].toString(), QStringLiteral("CBD1"));
    EXPECT_EQ(chapters.at(0)["count"].toInt(), 3);
    const QJsonArray nodes = chapters.at(0)["nodes"].toArray();
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes.at(0)["count"].toInt(), 1) << "element 0 carries the chapter's own questions";
    EXPECT_EQ(nodes.at(1)["node"]["code"].toString(), QStringLiteral("CBD1C2N2"));
    EXPECT_EQ(nodes.at(1)["node"]["TChapter"]["code"].toString(), QStringLiteral("CBD1C2"));
    EXPECT_EQ(nodes.at(1)["count"].toInt(), 2);

    const QJsonValue paper = entries.at(1);
    EXPECT_NE(paper["type"].toInt(), 1);
    EXPECT_EQ(paper["count"].toInt(), 1);
    EXPECT_EQ(paper["paper"]["code"].toString(), QStringLiteral("CBP3"));
    EXPECT_FALSE(paper["paper"]["name"].toString().isEmpty());
    EXPECT_TRUE(book(kListFavourites).isEmpty());
}

TEST_F(BookApi, EntriesReplayTheirQuestionsByScope)
{
    keep(m_nodeQuestions.at(0), kAddFavourite);
    keep(m_nodeQuestions.at(1), kAddFavourite);
    keep(m_paperQuestions.at(1), kAddFavourite);
    const QJsonArray entries = book(kListFavourites);
    ASSERT_EQ(entries.size(), 2);
    const QString directoryEntry = entries.at(0)["code"].toString();
    const QString paperEntry = entries.at(1)["code"].toString();

    const struct {
        const char* name;
        Fields scope;
    } scopes[] = {{"directory", {{"directoryCode", "CBD1"}}},
                  {"chapter", {{"chapterCode", "CBD1C2"}}},
                  {"node", {{"chapterCode", "CBD1C2"}, {"nodeCode", "CBD1C2N2"}}}};
    for (const auto& s : scopes) {
        const auto reply = run(QStringLiteral("exam/error_chapter_exam_list"),
                               s.scope + Fields{{"exam_num", "150"}, {"keep_code", directoryEntry}, {"error_type", kRunFavourites}, {"type", "0"}});
        ASSERT_EQ(reply.status, 200) << s.name;
        const QJsonArray questions = reply.array();
        ASSERT_EQ(questions.size(), 2) << s.name;
        EXPECT_EQ(questions.at(0)["code"], m_nodeQuestions.at(0)["code"]) << s.name;
    }
    const auto limited = run(QStringLiteral("exam/error_chapter_exam_list"),
                             {{"directoryCode", "CBD1"}, {"exam_num", "1"}, {"keep_code", directoryEntry}, {"error_type", kRunFavourites}, {"type", "1"}});
    EXPECT_EQ(limited.array().size(), 1);

    const auto paper = run(QStringLiteral("exam/error_paper_exam_list"),
                           {{"paperCode", "CBP3"}, {"keep_code", paperEntry}, {"error_type", kRunFavourites}});
    ASSERT_EQ(paper.status, 200);
    ASSERT_EQ(paper.array().size(), 1);
    EXPECT_EQ(paper.array().at(0)["code"], m_paperQuestions.at(1)["code"]);

    const auto wrongBook = run(QStringLiteral("exam/error_paper_exam_list"),
                               {{"paperCode", "CBP3"}, {"keep_code", paperEntry}, {"error_type", kRunErrorBook}});
    EXPECT_NE(wrongBook.status, 200) << "a favourites entry is not an error-book entry";
}

TEST_F(BookApi, DeletingTheLastQuestionOfAnEntryRemovesTheEntry)
{
    keep(m_paperQuestions.at(0), kAddWrong);
    keep(m_paperQuestions.at(1), kAddWrong);
    const QString entry = book(kListErrorBook).at(0)["code"].toString();
    auto remove = [&](const QJsonValue& q, const QString& errorCode) {
        return m_client->post(QStringLiteral("exam/delexam"),
                              {{"subjectCode", "CB"}, {"usercode", m_user}, {"examCode", q["code"].toString()}, {"errorCode", errorCode}});
    };
    EXPECT_EQ(remove(m_paperQuestions.at(0), entry).body, "1");
    EXPECT_EQ(remove(m_paperQuestions.at(0), entry).body, "0") << "already gone";
    EXPECT_EQ(counts()["errorCount"].toInt(), 1);
    EXPECT_EQ(book(kListErrorBook).at(0)["count"].toInt(), 1);
    EXPECT_EQ(remove(m_paperQuestions.at(1), entry).body, "1");
    EXPECT_TRUE(book(kListErrorBook).isEmpty());
}

TEST_F(BookApi, AnotherUserCannotDeleteOrReadMyEntries)
{
    keep(m_nodeQuestions.at(0), kAddWrong);
    const QString entry = book(kListErrorBook).at(0)["code"].toString();
    const QString thief = m_client->registerUser(QStringLiteral("keeper03")).value("code").toString();
    const auto removed = m_client->post(QStringLiteral("exam/delexam"),
                                        {{"subjectCode", "CB"}, {"usercode", thief}, {"examCode", m_nodeQuestions.at(0)["code"].toString()}, {"errorCode", entry}});
    EXPECT_EQ(removed.body, "0");
    const auto read = m_client->post(QStringLiteral("exam/error_chapter_exam_list"),
                                     {{"directoryCode", "CBD1"}, {"exam_num", "9"}, {"keep_code", entry}, {"error_type", kRunErrorBook},
                                      {"type", "0"}, {"subjectCode", "CB"}, {"record_remark", "x"}, {"user_code", thief}});
    EXPECT_NE(read.status, 200);
    EXPECT_EQ(counts()["errorCount"].toInt(), 1);
}

TEST_F(BookApi, ClearingOneBookLeavesTheOther)
{
    keep(m_nodeQuestions.at(0), kAddWrong);
    keep(m_paperQuestions.at(0), kAddWrong);
    keep(m_nodeQuestions.at(1), kAddFavourite);
    auto clear = [&](const QString& type) {
        return m_client->post(QStringLiteral("exam/celarall"), {{"subjectCode", "CB"}, {"type", type}, {"usercode", m_user}});
    };
    EXPECT_EQ(clear(kClearErrorBook).status, 200);
    EXPECT_EQ(counts(), (QJsonObject{{"errorCount", 0}, {"keepCount", 1}}));
    EXPECT_TRUE(book(kListErrorBook).isEmpty());
    EXPECT_EQ(book(kListFavourites).size(), 1);
    EXPECT_EQ(clear(kClearFavourites).status, 200);
    EXPECT_EQ(counts(), (QJsonObject{{"errorCount", 0}, {"keepCount", 0}}));
}

TEST_F(BookApi, AWrongAnswerKeepsTheAnswerItCarried)
{
    const QJsonValue q = m_nodeQuestions.at(0);
    keep(q, kAddWrong);
    const QString entry = book(kListErrorBook).at(0)["code"].toString();
    const QString stored = m_server.database()
                               .scalar(QStringLiteral("SELECT answer FROM keep_item WHERE entry_code = ? AND question_code = ?"),
                                       {entry, q["code"].toString()})
                               .toString();
    EXPECT_EQ(stored, q["smallExams"][0]["answer"].toString());
}

TEST_F(BookApi, UnknownKindsAreRefused)
{
    EXPECT_EQ(keep(m_nodeQuestions.at(0), QStringLiteral("2")).status, 400);
    EXPECT_EQ(m_client->post(QStringLiteral("exam/directory_list"), {{"subjectCode", "CB"}, {"type", "0"}, {"user_code", m_user}}).status, 400);
    EXPECT_EQ(m_client->post(QStringLiteral("exam/celarall"), {{"subjectCode", "CB"}, {"type", "2"}, {"usercode", m_user}}).status, 400);
    EXPECT_EQ(counts(), (QJsonObject{{"errorCount", 0}, {"keepCount", 0}}));
}

} // namespace
