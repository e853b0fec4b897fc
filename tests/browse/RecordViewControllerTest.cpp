#include "browse/RecordViewController.h"

#include "browse/EroorExamViewController.h"
#include "browse/ExerciseRecordViewController.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "tests/browse/BrowseTestSupport.h"

namespace {

class RecordViewControllerTest : public BrowseFixture {
protected:
    // Presents the hub over a root screen in a window and waits until taps reach it.
    void open() { m_hub = present(RecordViewController::create()); }

    QStringList counts()
    {
        return {m_hub->countLabel(RecordViewController::kErrorButtonTag, RecordViewController::kErrorCountTag)->text(),
                m_hub->countLabel(RecordViewController::kKeepButtonTag, RecordViewController::kKeepCountTag)->text()};
    }

    // The screen a tap on the labelled control presents, once settled; the hub closes it again.
    template<class Screen>
    std::shared_ptr<Screen> opened(const QString& label)
    {
        EXPECT_TRUE(tapLabel(m_hub->view(), label));
        auto screen = std::dynamic_pointer_cast<Screen>(m_hub->presentedViewController());
        EXPECT_TRUE(screen && pumpUntil([&] { return !screen->isTransitioning() && !screen->isLoading(); }));
        m_hub->dismissViewController(false);
        EXPECT_TRUE(pumpUntil([&] { return !m_hub->presentedViewController(); }));
        return screen;
    }

    // The records list's rows, by the name each shows.
    QStringList rowNames(ExerciseRecordViewController& records)
    {
        QStringList names;
        auto table = records.tableView();
        for (int row = 0; table && row < table->numberOfRowsInSection(0); ++row) {
            auto cell = table->cellForRowAtIndexPath(ui::IndexPath(0, row));
            names << std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(ExerciseRecordViewController::kNameLabelTag))->text();
        }
        return names;
    }
    static QStringList codesOf(const QJsonArray& questions)
    {
        QStringList codes;
        for (const QJsonValue& q : questions)
            codes << q.toObject().value("code").toString();
        return codes;
    }

    std::shared_ptr<RecordViewController> m_hub;
};

// What the user filed (two wrong answers, one favourite) is what the hub counts; each button
// opens its book.
TEST_F(RecordViewControllerTest, CountsWhatWasFiledAndEachButtonOpensItsBook)
{
    server::ServerInstance& server = startSignedIn();
    const QString user = CommonUtil::getAccount()->value("code").toString();
    for (const auto& [type, code] : {std::pair{"0", "CBQ088"}, std::pair{"0", "CBQ089"}, std::pair{"1", "CBQ001"}})
        postForm(server, "exam/error_keep_add", {{"subjectCode", *CommonUtil::getSubjectCode()}, {"user_code", user}, {"type", type}, {"code", code}});
    open();
    EXPECT_EQ(m_hub->titleLabel()->text(), "我的练习");
    EXPECT_EQ(counts(), QStringList({"2道题目", "1道题目"}));
    // The two buttons touch, both at the left edge.
    const ui::Rect errors = findByLabel(m_hub->view(), "错题本")->frame();
    const ui::Rect keeps = findByLabel(m_hub->view(), "收藏本")->frame();
    EXPECT_EQ(errors.x() + keeps.x(), 0);
    EXPECT_EQ(keeps.y(), errors.maxY());
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "practice-hub"));

    auto errorBook = opened<EroorExamViewController>("错题本");
    ASSERT_TRUE(errorBook);
    EXPECT_EQ(errorBook->type(), 0);
    auto favourites = opened<EroorExamViewController>("收藏本");
    ASSERT_TRUE(favourites);
    EXPECT_EQ(favourites->type(), 1);
    ASSERT_TRUE(ui::TouchInjector::tap(*m_hub->backButton()));
    EXPECT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
}

TEST_F(RecordViewControllerTest, CountsReadAsTheServerSendsThem)
{
    const std::tuple<int, QByteArray, QStringList> cases[] = {
        {200, R"({"errorCount":"12","keepCount":3})", {"12道题目", "3道题目"}},
        {200, R"({"errorCount":4294967301,"keepCount":1e3})", {"4294967301道题目", "1000道题目"}},
        {200, R"({"keepCount":null,"errorCount":[1]})", {"0道题目", "0道题目"}},
        {200, R"([5,6])", {"0道题目", "0道题目"}},
        {500, R"({"errorCount":9,"keepCount":9})", {"0道题目", "0道题目"}},
    };
    useStub(QJsonObject{{"code", "u&1"}});
    for (const auto& [status, body, shown] : cases) {
        SCOPED_TRACE(body.toStdString());
        m_stub.setReply("exam/error_keep_count", status, body);
        open();
        EXPECT_EQ(counts(), shown);
        EXPECT_EQ(toastTexts(m_hub->view()).contains(CommonUtil::kNetworkMessage), status != 200);
        EXPECT_EQ(m_stub.requests().last().body, "subjectCode=CB&user_code=u%261");
    }
}

TEST_F(RecordViewControllerTest, ARecordReplaysTheQuestionsOfItsRun)
{
    server::ServerInstance& server = startSignedIn();
    QJsonArray runs[2];
    for (int i = 0; i < 2; ++i)
        runs[i] = postForm(server, "exam/paper_exam_list",
                           {{"paperCode", QString("CBP%1").arg(i + 1)}, {"subjectCode", *CommonUtil::getSubjectCode()},
                            {"user_code", CommonUtil::getAccount()->value("code").toString()}, {"record_remark", QString("练习%1").arg(i)}})
                      .toArray();
    ASSERT_FALSE(runs[1].isEmpty());
    auto records = present(ExerciseRecordViewController::create());
    QStringList names = rowNames(*records);
    names.sort();
    EXPECT_EQ(names, QStringList({"练习0", "练习1"}));
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "practice-records"));

    ASSERT_TRUE(tapLabel(records->view(), "练习1"));
    auto exam = std::dynamic_pointer_cast<ExamStartViewController>(records->presentedViewController());
    ASSERT_TRUE(exam);
    EXPECT_EQ(exam->type(), 10);
    ASSERT_TRUE(pumpUntil([&] { return !exam->examArr().isEmpty(); }));
    EXPECT_EQ(codesOf(exam->examArr()), codesOf(runs[1]));
}

TEST_F(RecordViewControllerTest, OnlyRecordsOfAListBecomeRows)
{
    const std::tuple<int, QByteArray, QStringList> cases[] = {
        {200, R"({"code":"r1","recordName":"甲"})", {}},
        {500, R"([{"code":"r1","recordName":"甲"}])", {}},
        {200, R"([{"code":"r1","recordName":"甲"},7,"x",null,{"code":"r2","recordName":"乙"}])", {"甲", "乙"}},
    };
    useStub();
    for (const auto& [status, body, rows] : cases) {
        SCOPED_TRACE(body.toStdString());
        m_stub.setReply("exam/record_list", status, body);
        auto records = present(ExerciseRecordViewController::create());
        EXPECT_EQ(rowNames(*records), rows);
        EXPECT_EQ(toastTexts(records->view()).contains(CommonUtil::kNetworkMessage), status != 200);
        EXPECT_EQ(m_stub.requests().last().body, "subjectCode=CB&user_code=u1");
        if (rows.size() == 2) {
            // The row handed over is the record at that position of the list, not of the reply.
            ASSERT_TRUE(tapLabel(records->view(), "乙"));
            auto exam = std::dynamic_pointer_cast<ExamStartViewController>(records->presentedViewController());
            ASSERT_TRUE(exam);
            EXPECT_EQ(exam->data().value("code").toString(), "r2");
        }
    }
}

} // namespace
