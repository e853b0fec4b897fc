#include "tests/server/ApiClient.h"

#include "server/ServerInstance.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace server;

namespace {

class CatalogApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_server.startTemporary(ServerOptions::Seed::Sample, &error)) << qPrintable(error);
        m_client = std::make_unique<ApiClient>(m_server);
        m_user = m_client->registerUser(QStringLiteral("reader01")).value("code").toString();
    }

    QJsonArray chapterTree(const QString& subject)
    {
        return m_client->post(QStringLiteral("exam/directory_list"), {{"subjectCode", subject}}).array();
    }

    // The questions a chapter practice run draws for a scope, in order.
    QJsonArray drawn(const Fields& scope)
    {
        Fields fields = scope;
        fields << qMakePair(QStringLiteral("exam_num"), QStringLiteral("0")) << qMakePair(QStringLiteral("type"), QStringLiteral("0"))
               << qMakePair(QStringLiteral("subjectCode"), QStringLiteral("CB")) << qMakePair(QStringLiteral("user_code"), m_user);
        return m_client->post(QStringLiteral("exam/chapter_exam_list"), fields).array();
    }

    ServerInstance m_server;
    std::unique_ptr<ApiClient> m_client;
    QString m_user;
};

TEST_F(CatalogApi, SubjectMenuGroupsSubjectsByType)
{
    const auto reply = m_client->post(QStringLiteral("exam/subject_type_list"), {{"type", "focus-c"}});
    ASSERT_EQ(reply.status, 200);
    const QJsonArray types = reply.array();
    ASSERT_GE(types.size(), 2);
    QSet<QString> codes;
    for (const QJsonValue& type : types) {
        EXPECT_FALSE(type["typeName"].toString().isEmpty());
        ASSERT_TRUE(type["TSubjects"].isArray());
        for (const QJsonValue& subject : type["TSubjects"].toArray()) {
            EXPECT_FALSE(subject["subjectName"].toString().isEmpty());
            codes << subject["code"].toString();
        }
    }
    EXPECT_GE(codes.size(), 3);
}

TEST_F(CatalogApi, PaperListsSeparatePastAndSprintPapers)
{
    QSet<QString> seen;
    for (const char* kind : {"0", "1"}) {
        const QJsonArray papers = m_client->post(QStringLiteral("exam/paper_list"), {{"examType", kind}, {"subjectCode", "CB"}}).array();
        ASSERT_GE(papers.size(), 3) << kind;
        for (const QJsonValue& paper : papers) {
            EXPECT_TRUE(paper["difficulty"].isDouble());
            EXPECT_FALSE(paper["name"].toString().isEmpty());
            EXPECT_FALSE(seen.contains(paper["code"].toString())) << "a paper is listed as both past and sprint";
            seen << paper["code"].toString();
        }
    }
    EXPECT_TRUE(m_client->post(QStringLiteral("exam/paper_list"), {{"examType", "0"}, {"subjectCode", "nope"}}).array().isEmpty());
}

TEST_F(CatalogApi, ChapterCountsMatchTheQuestionsEachScopeDraws)
{
    const QJsonArray directories = chapterTree(QStringLiteral("CB"));
    ASSERT_GE(directories.size(), 3);
    for (const QJsonValue& directory : directories) {
        ASSERT_GE(directory["chapters"].toArray().size(), 3);
        for (const QJsonValue& chapter : directory["chapters"].toArray()) {
            const QJsonArray nodes = chapter["nodes"].toArray();
            ASSERT_GE(nodes.size(), 4) << "element 0 plus at least three nodes";
            EXPECT_EQ(chapter["TDirectory"]["code"].toString(), directory["code"].toString());
            int total = 0;
            for (int m = 0; m < nodes.size(); ++m) {
                const QJsonValue node = nodes.at(m);
                EXPECT_EQ(node["TChapter"]["code"].toString(), chapter["code"].toString());
                EXPECT_EQ(node["TChapter"]["TDirectory"]["code"].toString(), directory["code"].toString());
                total += node["count"].toInt();
                if (m == 0)
                    continue;
                const QJsonArray inNode = drawn({{"directoryCode", directory["code"].toString()},
                                                 {"chapterCode", chapter["code"].toString()},
                                                 {"nodeCode", node["code"].toString()}});
                EXPECT_EQ(inNode.size(), node["count"].toInt()) << qPrintable(node["name"].toString());
                for (const QJsonValue& q : inNode)
                    EXPECT_EQ(q["TChapterNode"]["code"].toString(), node["code"].toString());
            }
            const QJsonArray inChapter = drawn({{"directoryCode", directory["code"].toString()},
                                                {"chapterCode", chapter["code"].toString()}});
            EXPECT_EQ(inChapter.size(), total) << "element 0 must count the chapter's own questions";
            int own = 0;
            for (const QJsonValue& q : inChapter)
                own += q["TChapterNode"]["code"].toString().isEmpty() ? 1 : 0;
            EXPECT_EQ(own, nodes.at(0)["count"].toInt());
        }
    }
}

TEST_F(CatalogApi, EveryChapterHasANote)
{
    const auto reply = m_client->post(QStringLiteral("exam/note_directory_list"), {{"subjectCode", "CB"}});
    ASSERT_EQ(reply.status, 200);
    int chapters = 0;
    for (const QJsonValue& directory : reply.array()) {
        EXPECT_FALSE(directory["name"].toString().isEmpty());
        for (const QJsonValue& chapter : directory["chapters"].toArray()) {
            ++chapters;
            const auto note = m_client->post(QStringLiteral("exam/note_get"),
                                             {{"subjectCode", "CB"}, {"chapterId", chapter["code"].toString()}});
            ASSERT_EQ(note.status, 200);
            EXPECT_TRUE(note.object().value("data").toObject().value("remark").toString().startsWith(QLatin1Char('<')));
        }
    }
    EXPECT_EQ(chapters, 9);
}

TEST_F(CatalogApi, NoteOfAnotherSubjectsChapterIsNotFound)
{
    const auto reply = m_client->post(QStringLiteral("exam/note_get"), {{"subjectCode", "GM"}, {"chapterId", "CBD1C1"}});
    EXPECT_EQ(reply.status, 404);
}

} // namespace
