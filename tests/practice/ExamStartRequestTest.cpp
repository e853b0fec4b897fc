#include "practice/ExamStartViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "appbase/ServerRequest.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/StubServer.h"

namespace {

using Pairs = QList<QPair<QString, QString>>;

const QJsonObject kDirectory{{"code", "CBD1"}, {"name", "计算机系统概述"}};
const QJsonObject kChapter{{"code", "CBD1C1"}, {"name", "计算机发展与分类"}, {"TDirectory", QJsonObject{{"code", "CBD1"}}}};
const QJsonObject kNode{{"code", "CBD1C1N1"},
                        {"name", "发展历程"},
                        {"TChapter", QJsonObject{{"code", "CBD1C1"}, {"TDirectory", QJsonObject{{"code", "CBD1"}}}}}};
const QJsonObject kPaper{{"code", "CBP1"}, {"name", "计算机基础历年真题（一）"}};

class ExamStartRequestTest : public ExamStartFixture {
protected:
    // The body the screen sends for a kind, as the server receives it, and its title.
    std::pair<Pairs, QString> sentBody(int type, const QJsonObject& data, int errorType = 0, const QString& keep = QString())
    {
        const int before = m_stub.requests().size();
        auto exam = open(type, data, errorType, keep);
        EXPECT_TRUE(pumpUntil([&] { return m_stub.requests().size() > before && exam->viewGroup(); }));
        if (m_stub.requests().size() <= before)
            return {};
        const auto request = m_stub.requests().last();
        const QString title = exam->etitle()->text();
        EXPECT_TRUE(leave());
        return {core::FormBody::decode(request.body), title + "@" + request.path};
    }

    StubServer m_stub;
};

TEST_F(ExamStartRequestTest, EveryKindSendsItsExactBody)
{
    useServer(m_stub.baseUrl());
    for (const char* path : {"exam/paper_exam_list", "exam/chapter_exam_list", "exam/testPaper_exam_list",
                                "exam/error_paper_exam_list", "exam/error_chapter_exam_list", "exam/record_exam_list"})
        m_stub.setReply(path, 200, "[]");
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
        {2, kChapter, true, 0, {{"directoryCode", "CBD1"}, {"chapterCode", "CBD1C1"}, {"exam_num", "0"}, {"type", "0"}},
         chapterTitle + "@exam/chapter_exam_list"},
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
        {7, kDirectory, true, 1,
         {{"directoryCode", "CBD1"}, {"exam_num", "0"}, {"keep_code", "K1"}, {"error_type", "0"}, {"type", "0"}},
         "收藏本专项练习（计算机系统概述）@exam/error_chapter_exam_list"},
        {7, kDirectory, false, 0,
         {{"directoryCode", "CBD1"}, {"exam_num", "0"}, {"keep_code", "K1"}, {"error_type", "1"}, {"type", "1"}},
         "错题专项练习（计算机系统概述）@exam/error_chapter_exam_list"},
        {8, kChapter, true, 0, {{"chapterCode", "CBD1C1"}, {"exam_num", "0"}, {"keep_code", "K1"}, {"error_type", "1"}, {"type", "0"}},
         "错题专项练习（计算机发展与分类）@exam/error_chapter_exam_list"},
        {9, kNode, true, 1,
         {{"chapterCode", "CBD1C1"}, {"nodeCode", "CBD1C1N1"}, {"exam_num", "0"}, {"keep_code", "K1"}, {"error_type", "0"}, {"type", "0"}},
         "收藏本专项练习（发展历程）@exam/error_chapter_exam_list"},
        {10, QJsonObject{{"code", "R1"}, {"recordName", "上次练习"}}, true, 0, {{"recordCode", "R1"}},
         "上次练习@exam/record_exam_list"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.type << " ordered " << c.ordered << " error_type " << c.errorType);
        CommonUtil::setIsDistill(c.ordered);
        const auto [pairs, titleAndPath] = sentBody(c.type, c.data, c.errorType, c.type >= 6 && c.type <= 9 ? "K1" : QString());
        const QString title = titleAndPath.section('@', 0, 0);
        const Pairs expected = c.pieces + Pairs{{"subjectCode", "CB"}, {"record_remark", title}, {"user_code", "U9"}};
        EXPECT_EQ(pairs, expected);
        EXPECT_EQ(titleAndPath, c.titleAndPath);
    }
}

// Missing values go out as the text a nil has always given; nothing is checked before sending.
TEST_F(ExamStartRequestTest, MissingValuesAndUnknownKinds)
{
    useServer(m_stub.baseUrl());
    m_stub.setReply("exam/error_paper_exam_list", 200, "[]");
    CommonUtil::setAccount(QJsonObject{{"code", "U9"}});
    CommonUtil::setSubjectCode(QString("CB"));
    const auto [pairs, titleAndPath] = sentBody(6, QJsonObject{{"name", "卷"}});
    EXPECT_EQ(pairs.value(0), (QPair<QString, QString>{"paperCode", "(null)"}));
    EXPECT_EQ(pairs.value(1), (QPair<QString, QString>{"keep_code", "(null)"}));

    // A kind no list exists for sends nothing and shows an empty run.
    for (int kind : {-1, 11}) {
        const int before = m_stub.requests().size();
        auto exam = open(kind);
        ASSERT_TRUE(pumpUntil([&] { return exam->viewGroup() != nullptr; }));
        EXPECT_EQ(m_stub.requests().size(), before);
        EXPECT_EQ(exam->countLabel()->text(), " | 0");
        EXPECT_EQ(exam->viewGroup()->subviews().size(), 1u);
        ASSERT_TRUE(leave());
    }
}

TEST_F(ExamStartRequestTest, ToolbarTitleAndTextSize)
{
    useServer(refusingServerUrl());
    struct Case {
        int type;
        int fontLevel;
        QString keepImage;
        double fontsize;
    };
    for (const Case& c : {Case{0, 0, "keep.png", 16}, Case{5, 1, "keep.png", 20}, Case{6, 2, "delerror.png", 24},
                          Case{10, 3, "delerror.png", 16}}) {
        SCOPED_TRACE(c.type);
        CommonUtil::setFont(c.fontLevel);
        auto exam = open(c.type, kPaper);
        EXPECT_EQ(exam->keepButton()->backgroundImageForState(ui::ControlState::Normal).name(), c.keepImage);
        EXPECT_EQ(exam->fontsize(), c.fontsize);
        EXPECT_EQ(exam->examCount()->text(), "1");
        // A refused list leaves the chrome and the title, with no pages.
        ASSERT_TRUE(pumpUntil([&] { return !exam->listRequest()->isRunning(); }));
        EXPECT_FALSE(exam->viewGroup());
        ASSERT_TRUE(leave());
    }
}

// Against the real bank: every kind's list answers with the questions held for it, and a
// paper run files a practice record that the record list then shows and replays.
TEST_F(ExamStartRequestTest, EveryKindGetsItsQuestionsFromTheServer)
{
    startSignedIn();
    CommonUtil::setSpecialNum(5);
    CommonUtil::setFastNum(5);
    const QString subject = *CommonUtil::getSubjectCode();
    for (const char* type : {"0", "1"}) {
        for (const char* question : {"CBQ088", "CBQ001"})
            post("exam/error_keep_add", core::FormBody{{"subjectCode", subject}, {"user_code", userCode()}, {"type", type}, {"code", question}});
    }
    auto entryCode = [&](const QString& bookType, const char* home) {
        for (const QJsonValue& entry : bookTree(bookType)) {
            if (entry.toObject().contains(home))
                return entry.toObject().value("code").toString();
        }
        return QString();
    };

    struct Case {
        int type;
        QJsonObject data;
        int errorType;
        QString keep;
    };
    const QList<Case> cases{
        {0, kPaper, 0, {}}, {1, kDirectory, 0, {}}, {2, kChapter, 0, {}}, {3, kNode, 0, {}},
        {4, {}, 0, {}}, {5, {}, 0, {}},
        {6, kPaper, 0, entryCode("1", "paper")}, {6, kPaper, 1, entryCode("2", "paper")},
        {7, kDirectory, 0, entryCode("1", "directory")}, {8, kChapter, 1, entryCode("2", "directory")},
        {9, kNode, 0, entryCode("1", "directory")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.type << " error_type " << c.errorType);
        auto exam = open(c.type, c.data, c.errorType, c.keep);
        ASSERT_TRUE(pumpUntil([&] { return exam->viewGroup() != nullptr; }));
        EXPECT_EQ(exam->listRequest()->statusCode(), 200);
        EXPECT_GT(exam->pageCount(), 0);
        EXPECT_EQ(exam->countLabel()->text(), QString(" | %1").arg(exam->pageCount()));
        ASSERT_TRUE(leave());
    }

    const QJsonArray records = QJsonDocument::fromJson(post("exam/record_list", core::FormBody{{"subjectCode", subject}, {"user_code", userCode()}})).array();
    QJsonObject paperRecord;
    for (const QJsonValue& r : records) {
        if (r.toObject().value("recordName").toString() == kPaper.value("name").toString())
            paperRecord = r.toObject();
    }
    ASSERT_FALSE(paperRecord.isEmpty());
    auto replay = open(10, paperRecord);
    ASSERT_TRUE(pumpUntil([&] { return replay->viewGroup() != nullptr; }));
    EXPECT_EQ(replay->etitle()->text(), kPaper.value("name").toString());
    EXPECT_EQ(replay->pageCount(), 9);
}

} // namespace
