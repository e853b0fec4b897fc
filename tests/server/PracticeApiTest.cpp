#include "tests/server/ApiClient.h"

#include <QRegularExpression>
#include <QSet>

using namespace server;

static QStringList codesOf(const QJsonArray& questions)
{
    QStringList codes;
    for (const QJsonValue& q : questions)
        codes << q["code"].toString();
    return codes;
}

class PracticeApi : public ServerTest {
protected:
    ApiClient::Result list(const QString& path, const Fields& fields, const QString& title = "练习")
    {
        return post(path, fields + Fields{{"subjectCode", "CB"}, {"record_remark", title}, {"user_code", user}});
    }
    QJsonArray records() { return post("exam/record_list", {{"subjectCode", "CB"}, {"user_code", user}}).array(); }
};

// A scope's draw holds only its questions: in order the first n, at random all of them once.
TEST_F(PracticeApi, DrawsHonourScopeCountAndOrder)
{
    const Fields node{{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C2"}, {"nodeCode", "CBD1C2N2"}};
    const QJsonArray inOrder = list("exam/chapter_exam_list", node + Fields{{"exam_num", "150"}, {"type", "0"}}).array();
    const QStringList all = codesOf(inOrder);
    ASSERT_GE(all.size(), 5);
    for (const QJsonValue& q : inOrder)
        EXPECT_EQ(q["TChapterNode"]["code"], "CBD1C2N2");
    EXPECT_EQ(codesOf(list("exam/chapter_exam_list", node + Fields{{"exam_num", "3"}, {"type", "0"}}).array()), all.mid(0, 3));
    const QStringList random = codesOf(list("exam/chapter_exam_list", node + Fields{{"exam_num", "150"}, {"type", "1"}}).array());
    EXPECT_TRUE(std::is_permutation(random.begin(), random.end(), all.begin(), all.end()));

    // Quick practice and a composed paper draw distinct questions of the subject alone, a
    // composed paper set out by category; a count of 0 gives a usable list below five hundred.
    for (const char* path : {"exam/chapter_exam_list", "exam/testPaper_exam_list"}) {
        const QStringList codes = codesOf(list(path, {{"type", "2"}, {"exam_num", "20"}}).array());
        EXPECT_EQ(QSet<QString>(codes.begin(), codes.end()).size(), 20) << path;
        EXPECT_EQ(codes.filter(QRegularExpression("^CB")).size(), 20) << path;
    }
    const QJsonArray composed = list("exam/testPaper_exam_list", {{"type", "2"}, {"exam_num", "40"}}).array();
    for (int i = 1; i < composed.size(); ++i)
        EXPECT_LE(composed.at(i - 1)["category"].toInt(), composed.at(i)["category"].toInt());
    const qsizetype unbounded = list("exam/chapter_exam_list", {{"type", "2"}, {"exam_num", "0"}}).array().size();
    EXPECT_TRUE(unbounded > 100 && unbounded < 500) << unbounded;
}

// A run with questions is recorded under its title, newest first, for its user alone, and
// replays as the same bytes without filing another; an empty run is not recorded.
TEST_F(PracticeApi, APracticeRunIsRecordedAndReplaysAsTheSameBytes)
{
    EXPECT_EQ(list("exam/paper_exam_list", {{"paperCode", "NOPAPER"}}).body, "[]");
    const auto paper = list("exam/paper_exam_list", {{"paperCode", "CBP1"}}, "第一次");
    for (const QJsonValue& q : paper.array())
        EXPECT_EQ(q["TExamPaper"]["code"], "CBP1");
    EXPECT_EQ(list("exam/paper_exam_list", {{"paperCode", "CBP1"}}, "第一次").body, paper.body);
    const auto run = list("exam/chapter_exam_list", {{"directoryCode", "CBD1"}, {"exam_num", "12"}, {"type", "1"}}, "第二次");
    ASSERT_EQ(run.array().size(), 12);
    const QJsonArray saved = records();
    ASSERT_EQ(saved.size(), 3) << "an empty run is not recorded";
    EXPECT_EQ(saved.at(0)["recordName"], "第二次");
    EXPECT_EQ(list("exam/record_exam_list", {{"recordCode", saved.at(0)["code"].toString()}}).body, run.body);
    EXPECT_EQ(list("exam/record_exam_list", {{"recordCode", saved.at(2)["code"].toString()}}).body, paper.body);
    EXPECT_NE(list("exam/paper_exam_list", {{"paperCode", "CBP2"}}).body, paper.body);
    EXPECT_EQ(records().size(), 4) << "replays file no record";
    const QString other = client->registerUser("learner2").value("code").toString();
    EXPECT_TRUE(post("exam/record_list", {{"subjectCode", "CB"}, {"user_code", other}}).array().isEmpty());
    EXPECT_EQ(post("exam/record_exam_list", {{"recordCode", saved.at(0)["code"].toString()}, {"subjectCode", "CB"}, {"user_code", other}}).status,
              404);
}

// Every count in the chapter tree is the number of questions that scope draws; element 0 of a
// chapter's nodes counts the chapter's own questions.
TEST_F(PracticeApi, ChapterCountsMatchTheQuestionsEachScopeDrawsAndEveryChapterHasANote)
{
    auto drawn = [&](const Fields& scope) {
        return post("exam/chapter_exam_list", scope + Fields{{"exam_num", "0"}, {"type", "0"}, {"subjectCode", "CB"}, {"user_code", user}}).array();
    };
    for (const QJsonValue& directory : post("exam/directory_list", {{"subjectCode", "CB"}}).array()) {
        const QString dir = directory["code"].toString();
        for (const QJsonValue& chapter : directory["chapters"].toArray()) {
            const QJsonArray nodes = chapter["nodes"].toArray();
            EXPECT_EQ(chapter["TDirectory"]["code"], dir);
            int total = 0;
            for (int m = 0; m < nodes.size(); ++m) {
                EXPECT_EQ(nodes.at(m)["TChapter"]["code"], chapter["code"]);
                EXPECT_EQ(nodes.at(m)["TChapter"]["TDirectory"]["code"], dir);
                total += nodes.at(m)["count"].toInt();
                if (m == 0)
                    continue;
                const QJsonArray inNode = drawn({{"directoryCode", dir}, {"chapterCode", chapter["code"].toString()}, {"nodeCode", nodes.at(m)["code"].toString()}});
                EXPECT_EQ(inNode.size(), nodes.at(m)["count"].toInt());
                for (const QJsonValue& q : inNode)
                    EXPECT_EQ(q["TChapterNode"]["code"], nodes.at(m)["code"]);
            }
            const QJsonArray inChapter = drawn({{"directoryCode", dir}, {"chapterCode", chapter["code"].toString()}});
            EXPECT_EQ(inChapter.size(), total);
            int own = 0;
            for (const QJsonValue& q : inChapter)
                own += q["TChapterNode"]["code"].toString().isEmpty();
            EXPECT_EQ(own, nodes.at(0)["count"].toInt());
        }
    }
    int chapters = 0;
    for (const QJsonValue& directory : post("exam/note_directory_list", {{"subjectCode", "CB"}}).array()) {
        EXPECT_FALSE(directory["name"].toString().isEmpty());
        for (const QJsonValue& chapter : directory["chapters"].toArray()) {
            ++chapters;
            const auto note = post("exam/note_get", {{"subjectCode", "CB"}, {"chapterId", chapter["code"].toString()}});
            EXPECT_TRUE(note.object().value("data")["remark"].toString().startsWith('<'));
        }
    }
    EXPECT_EQ(chapters, 9);
}

