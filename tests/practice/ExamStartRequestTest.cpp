#include "practice/ExamListRequest.h"

#include "tests/practice/ExamStartFixture.h"

namespace {

using Pairs = QList<QPair<QString, QString>>;

const QJsonObject kDirectory{{"code", "CBD1"}, {"name", "计算机系统概述"}};
const QJsonObject kChapter{{"code", "CBD1C1"}, {"name", "计算机发展与分类"}, {"TDirectory", QJsonObject{{"code", "CBD1"}}}};
const QJsonObject kNode{{"code", "CBD1C1N1"},
                        {"name", "发展历程"},
                        {"TChapter", QJsonObject{{"code", "CBD1C1"}, {"TDirectory", QJsonObject{{"code", "CBD1"}}}}}};
const QJsonObject kPaper{{"code", "CBP1"}, {"name", "计算机基础历年真题（一）"}};

using ExamStartRequestTest = ExamStartFixture;

// The list each kind asks for, its body in the server's order and the title the screen shows.
TEST_F(ExamStartRequestTest, EveryKindSendsItsExactBody)
{
    CommonUtil::setAccount(QJsonObject{{"code", "U9"}});
    CommonUtil::setSubjectCode(QString("CB"));
    CommonUtil::setSpecialNum(0);
    CommonUtil::setFastNum(7);
    struct Case {
        int type;
        QJsonObject data;
        bool ordered;
        int errorType;
        Pairs pieces;
        QString titleAndPath;
    };
    const QString chapterTitle = "专项练习（计算机发展与分类）";
    const Case cases[] = {
        {0, kPaper, true, 0, {{"paperCode", "CBP1"}}, "计算机基础历年真题（一）@exam/paper_exam_list"},
        {1, kDirectory, true, 0, {{"directoryCode", "CBD1"}, {"exam_num", "0"}, {"type", "0"}},
         "专项练习（计算机系统概述）@exam/chapter_exam_list"},
        {2, kChapter, false, 0, {{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C1"}, {"exam_num", "0"}, {"type", "1"}},
         chapterTitle + "@exam/chapter_exam_list"},
        {3, kNode, false, 0,
         {{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C1"}, {"nodeCode", "CBD1C1N1"}, {"exam_num", "0"}, {"type", "1"}},
         "专项练习（发展历程）@exam/chapter_exam_list"},
        {4, {}, false, 0, {{"type", "2"}, {"exam_num", "7"}}, "快速练习@exam/chapter_exam_list"},
        {5, {}, true, 0, {{"type", "2"}, {"exam_num", "7"}}, "组卷练习@exam/testPaper_exam_list"},
        {6, kPaper, true, 0, {{"paperCode", "CBP1"}, {"keep_code", "K1"}, {"error_type", "1"}},
         "错题计算机基础历年真题（一）@exam/error_paper_exam_list"},
        {6, kPaper, true, 2, {{"paperCode", "CBP1"}, {"keep_code", "K1"}, {"error_type", "0"}},
         "收藏本计算机基础历年真题（一）@exam/error_paper_exam_list"},
        {7, kDirectory, false, 0,
         {{"directoryCode", "CBD1"}, {"exam_num", "0"}, {"keep_code", "K1"}, {"error_type", "1"}, {"type", "1"}},
         "错题专项练习（计算机系统概述）@exam/error_chapter_exam_list"},
        {8, kChapter, true, 0, {{"chapterCode", "CBD1C1"}, {"exam_num", "0"}, {"keep_code", "K1"}, {"error_type", "1"}, {"type", "0"}},
         "错题专项练习（计算机发展与分类）@exam/error_chapter_exam_list"},
        {9, kNode, true, 1,
         {{"chapterCode", "CBD1C1"}, {"nodeCode", "CBD1C1N1"}, {"exam_num", "0"}, {"keep_code", "K1"}, {"error_type", "0"}, {"type", "0"}},
         "收藏本专项练习（发展历程）@exam/error_chapter_exam_list"},
        {10, QJsonObject{{"code", "R1"}, {"recordName", "上次练习"}}, true, 0, {{"recordCode", "R1"}}, "上次练习@exam/record_exam_list"},
        {6, QJsonObject{{"name", "卷"}}, true, 0, {{"paperCode", "(null)"}, {"keep_code", "(null)"}, {"error_type", "1"}},
         "错题卷@exam/error_paper_exam_list"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.type << " ordered " << c.ordered << " error_type " << c.errorType);
        CommonUtil::setIsDistill(c.ordered);
        const bool keeps = c.type >= 6 && c.type <= 9 && c.data.contains("code");
        const auto request = ExamListRequest::forKind(c.type, c.data, c.errorType, keeps ? "K1" : QString());
        ASSERT_TRUE(request);
        EXPECT_EQ(request->title() + "@" + request->path(), c.titleAndPath);
        const Pairs trailer{{"subjectCode", "CB"}, {"record_remark", request->title()}, {"user_code", "U9"}};
        EXPECT_EQ(request->body().pairs(), c.pieces + trailer);
    }
    EXPECT_FALSE(ExamListRequest::forKind(11, kPaper, 0, QString()));
}

} // namespace
