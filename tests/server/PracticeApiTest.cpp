#include "tests/server/ApiClient.h"

#include "server/ServerInstance.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace server;

namespace {

QStringList codesOf(const QJsonArray& questions)
{
    QStringList codes;
    for (const QJsonValue& q : questions)
        codes << q["code"].toString();
    return codes;
}

class PracticeApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_server.startTemporary(ServerOptions::Seed::Sample, &error)) << qPrintable(error);
        m_client = std::make_unique<ApiClient>(m_server);
        m_user = m_client->registerUser(QStringLiteral("learner1")).value("code").toString();
    }

    // The common trailer every question list ends with.
    Fields trailer(const QString& title) const
    {
        return {{"subjectCode", "CB"}, {"record_remark", title}, {"user_code", m_user}};
    }

    ApiClient::Result list(const QString& path, Fields fields, const QString& title)
    {
        fields << trailer(title);
        return m_client->post(path, fields);
    }

    QJsonArray records()
    {
        return m_client->post(QStringLiteral("exam/record_list"), {{"subjectCode", "CB"}, {"user_code", m_user}}).array();
    }

    ServerInstance m_server;
    std::unique_ptr<ApiClient> m_client;
    QString m_user;
};

TEST_F(PracticeApi, PaperQuestionsCarryEverythingThePracticeScreenReads)
{
    const auto reply = list(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "CBP1"}}, QStringLiteral("计算机基础历年真题（一）"));
    ASSERT_EQ(reply.status, 200);
    const QJsonArray questions = reply.array();
    ASSERT_FALSE(questions.isEmpty());
    for (const QJsonValue& q : questions) {
        EXPECT_TRUE(q["category"].isDouble());
        EXPECT_TRUE(q["score"].isDouble());
        EXPECT_TRUE(q["detail"].toString().startsWith(QLatin1Char('<')));
        EXPECT_TRUE(q["analyze"].toString().startsWith(QLatin1Char('<')));
        EXPECT_EQ(q["TExamPaper"]["code"].toString(), QStringLiteral("CBP1"));
        EXPECT_TRUE(q["TChapter"]["TDirectory"].isObject());
        EXPECT_TRUE(q["TChapterNode"].isObject());
        const QJsonArray parts = q["smallExams"].toArray();
        ASSERT_FALSE(parts.isEmpty());
        const QJsonValue part = parts.at(0);
        const int category = part["category"].toInt();
        const QJsonArray options = part["examOptions"].toArray();
        if (category == 0 || category == 1 || category == 5) {
            ASSERT_GE(options.size(), 2);
            for (int i = 0; i < options.size(); ++i)
                EXPECT_EQ(options.at(i)["orderby"].toInt(), i);
        }
    }
}

TEST_F(PracticeApi, ChapterPracticeHonoursScopeCountAndOrder)
{
    const Fields node{{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C2"}, {"nodeCode", "CBD1C2N2"}};
    const QString title = QStringLiteral("专项练习（数制转换）");
    const QJsonArray all = list(QStringLiteral("exam/chapter_exam_list"), node + Fields{{"exam_num", "150"}, {"type", "0"}}, title).array();
    ASSERT_GE(all.size(), 5);
    for (const QJsonValue& q : all)
        EXPECT_EQ(q["TChapterNode"]["code"].toString(), QStringLiteral("CBD1C2N2"));
    const QJsonArray firstThree = list(QStringLiteral("exam/chapter_exam_list"), node + Fields{{"exam_num", "3"}, {"type", "0"}}, title).array();
    EXPECT_EQ(codesOf(firstThree), codesOf(all).mid(0, 3));
    const QJsonArray random = list(QStringLiteral("exam/chapter_exam_list"), node + Fields{{"exam_num", "150"}, {"type", "1"}}, title).array();
    QStringList sortedRandom = codesOf(random);
    EXPECT_EQ(QSet<QString>(sortedRandom.begin(), sortedRandom.end()).size(), all.size());
    QStringList sortedAll = codesOf(all);
    sortedRandom.sort();
    sortedAll.sort();
    EXPECT_EQ(sortedRandom, sortedAll);
}

TEST_F(PracticeApi, QuickPracticeAndComposedPaperDrawFromTheWholeSubject)
{
    for (const char* path : {"exam/chapter_exam_list", "exam/testPaper_exam_list"}) {
        const QJsonArray drawn = list(QString::fromLatin1(path), {{"type", "2"}, {"exam_num", "20"}}, QStringLiteral("快速练习")).array();
        ASSERT_EQ(drawn.size(), 20) << path;
        const QStringList codes = codesOf(drawn);
        EXPECT_EQ(QSet<QString>(codes.begin(), codes.end()).size(), 20) << path;
        for (const QString& code : codes)
            EXPECT_TRUE(code.startsWith(QLatin1String("CB"))) << "drawn from another subject: " << qPrintable(code);
    }
    const QJsonArray composed = list(QStringLiteral("exam/testPaper_exam_list"), {{"type", "2"}, {"exam_num", "40"}}, QStringLiteral("组卷练习")).array();
    for (int i = 1; i < composed.size(); ++i)
        EXPECT_LE(composed.at(i - 1)["category"].toInt(), composed.at(i)["category"].toInt()) << "a composed paper is set out by category";
}

TEST_F(PracticeApi, ADrawCountOfZeroStillGivesAUsableListBelowFiveHundred)
{
    const QJsonArray drawn = list(QStringLiteral("exam/chapter_exam_list"), {{"type", "2"}, {"exam_num", "0"}}, QStringLiteral("快速练习")).array();
    EXPECT_GT(drawn.size(), 100);
    EXPECT_LT(drawn.size(), 500);
}

TEST_F(PracticeApi, APracticeRunIsRecordedAndReplaysInTheSameOrder)
{
    ASSERT_TRUE(records().isEmpty());
    const QString title = QStringLiteral("专项练习（计算机系统概述）");
    const QJsonArray run = list(QStringLiteral("exam/chapter_exam_list"),
                                {{"directoryCode", "CBD1"}, {"exam_num", "12"}, {"type", "1"}}, title)
                               .array();
    ASSERT_EQ(run.size(), 12);
    const QJsonArray saved = records();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.at(0)["recordName"].toString(), title);

    const auto replay = list(QStringLiteral("exam/record_exam_list"), {{"recordCode", saved.at(0)["code"].toString()}}, title);
    ASSERT_EQ(replay.status, 200);
    EXPECT_EQ(replay.array(), run);
    EXPECT_EQ(records().size(), 1) << "replaying a record files no new one";
}

TEST_F(PracticeApi, RecordsAreListedNewestFirstAndPrivate)
{
    list(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "CBP1"}}, QStringLiteral("第一次"));
    list(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "CBP2"}}, QStringLiteral("第二次"));
    const QJsonArray mine = records();
    ASSERT_EQ(mine.size(), 2);
    EXPECT_EQ(mine.at(0)["recordName"].toString(), QStringLiteral("第二次"));

    const QString other = m_client->registerUser(QStringLiteral("learner2")).value("code").toString();
    EXPECT_TRUE(m_client->post(QStringLiteral("exam/record_list"), {{"subjectCode", "CB"}, {"user_code", other}}).array().isEmpty());
    const auto stolen = m_client->post(QStringLiteral("exam/record_exam_list"),
                                       {{"recordCode", mine.at(0)["code"].toString()}, {"subjectCode", "CB"},
                                        {"record_remark", "x"}, {"user_code", other}});
    EXPECT_NE(stolen.status, 200);
}

TEST_F(PracticeApi, APaperIsServedAsTheSameBytesEveryTime)
{
    // The first answer builds the paper's list, later ones come from memory, and
    // a replay builds it again question by question: all three must agree.
    const QString title = QStringLiteral("计算机基础历年真题（一）");
    const auto first = list(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "CBP1"}}, title);
    const auto second = list(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "CBP1"}}, title);
    ASSERT_EQ(first.status, 200);
    ASSERT_FALSE(first.array().isEmpty());
    EXPECT_EQ(second.body, first.body);
    const QJsonArray saved = records();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_NE(saved.at(0)["code"], saved.at(1)["code"]);
    const auto replay = list(QStringLiteral("exam/record_exam_list"), {{"recordCode", saved.at(0)["code"].toString()}}, title);
    EXPECT_EQ(replay.body, first.body);
    const auto other = list(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "CBP2"}}, title);
    EXPECT_NE(other.body, first.body) << "each paper has its own list";
}

TEST_F(PracticeApi, AnEmptyRunIsNotRecorded)
{
    const auto reply = list(QStringLiteral("exam/paper_exam_list"), {{"paperCode", "NOPAPER"}}, QStringLiteral("无"));
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.array().isEmpty());
    EXPECT_TRUE(records().isEmpty());
}

} // namespace
