#include "tests/server/ApiClient.h"

using namespace server;

using CatalogApi = ServerTest;

// Every count in the chapter tree is the number of questions that scope draws; element 0 of a
// chapter's nodes counts the chapter's own questions.
TEST_F(CatalogApi, ChapterCountsMatchTheQuestionsEachScopeDrawsAndEveryChapterHasANote)
{
    auto drawn = [&](const Fields& scope) {
        return post("exam/chapter_exam_list", scope + Fields{{"exam_num", "0"}, {"type", "0"}, {"subjectCode", "CB"}, {"user_code", user}}).array();
    };
    const QJsonArray directories = post("exam/directory_list", {{"subjectCode", "CB"}}).array();
    ASSERT_GE(directories.size(), 3);
    for (const QJsonValue& directory : directories) {
        const QString dir = directory["code"].toString();
        ASSERT_GE(directory["chapters"].toArray().size(), 3);
        for (const QJsonValue& chapter : directory["chapters"].toArray()) {
            const QJsonArray nodes = chapter["nodes"].toArray();
            ASSERT_GE(nodes.size(), 4) << "element 0 plus at least three nodes";
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

