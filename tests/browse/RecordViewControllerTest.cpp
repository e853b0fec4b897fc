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

// What the user filed (two wrong answers, one favourite, a paper run) is what the hub counts
// and the records list shows; each button opens its book, a tapped record replays its run.
TEST_F(RecordViewControllerTest, TheHubAndTheRecordsShowWhatWasFiled)
{
    server::ServerInstance& server = startSignedIn();
    const QString subject = *CommonUtil::getSubjectCode();
    for (const auto& [type, code] : {std::pair{"0", "CBQ088"}, std::pair{"0", "CBQ089"}, std::pair{"1", "CBQ001"}})
        postForm(server, "exam/error_keep_add", {{"subjectCode", subject}, {"user_code", userCode()}, {"type", type}, {"code", code}});
    const QJsonArray run = postForm(server, "exam/paper_exam_list",
                                    {{"paperCode", "CBP2"}, {"subjectCode", subject}, {"user_code", userCode()}, {"record_remark", "练习一"}})
                               .toArray();
    open();
    EXPECT_EQ(counts(), QStringList({"2道题目", "1道题目"}));
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "practice-hub"));
    for (const auto& [label, type] : {std::pair{"错题本", 0}, std::pair{"收藏本", 1}}) {
        ASSERT_TRUE(tapLabel(m_hub->view(), label));
        auto book = std::dynamic_pointer_cast<EroorExamViewController>(m_hub->presentedViewController());
        ASSERT_TRUE(book && pumpUntil([&] { return !book->isTransitioning() && !book->isLoading(); }));
        EXPECT_EQ(book->type(), type);
        m_hub->dismissViewController(false);
        ASSERT_TRUE(pumpUntil([&] { return !m_hub->presentedViewController(); }));
    }

    auto records = present(ExerciseRecordViewController::create());
    EXPECT_EQ(rowNames(*records), QStringList({"练习一"}));
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "practice-records"));
    ASSERT_TRUE(tapLabel(records->view(), "练习一"));
    auto exam = std::dynamic_pointer_cast<ExamStartViewController>(records->presentedViewController());
    ASSERT_TRUE(exam);
    EXPECT_EQ(exam->type(), 10);
    ASSERT_TRUE(pumpUntil([&] { return !exam->examArr().isEmpty(); }));
    EXPECT_EQ(codesOf(exam->examArr()), codesOf(run));
}

TEST_F(RecordViewControllerTest, CountsReadAsTheServerSendsThem)
{
    const std::tuple<int, QByteArray, QStringList> cases[] = {
        {200, R"({"errorCount":"12","keepCount":3})", {"12道题目", "3道题目"}},
        {200, R"({"errorCount":4294967301,"keepCount":1e3})", {"4294967301道题目", "1000道题目"}},
        {200, R"({"keepCount":null,"errorCount":[1]})", {"0道题目", "0道题目"}},
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
