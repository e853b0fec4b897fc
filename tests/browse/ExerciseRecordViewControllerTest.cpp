#include "browse/ExerciseRecordViewController.h"

#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "tests/browse/BrowseTestSupport.h"

namespace {

QStringList codesOf(const QJsonArray& questions)
{
    QStringList codes;
    for (const QJsonValue& q : questions)
        codes << core::Record::stringValue(core::Record::value(q, "code"));
    return codes;
}

class ExerciseRecordViewControllerTest : public BrowseFixture {
protected:
    void open() { m_records = present(ExerciseRecordViewController::create()); }

    QStringList rowNames()
    {
        QStringList names;
        auto table = m_records->tableView();
        for (int row = 0; table && row < table->numberOfRowsInSection(0); ++row) {
            auto cell = table->cellForRowAtIndexPath(ui::IndexPath(0, row));
            names << std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(ExerciseRecordViewController::kNameLabelTag))->text();
        }
        return names;
    }

    std::shared_ptr<ExerciseRecordViewController> m_records;
};

// Two paper runs filed as the practice screen files them: a tapped record replays its run.
TEST_F(ExerciseRecordViewControllerTest, ARecordReplaysTheQuestionsOfItsRun)
{
    server::ServerInstance& server = startSignedIn();
    QJsonArray runs[2];
    for (int i = 0; i < 2; ++i)
        runs[i] = postForm(server, "exam/paper_exam_list",
                           {{"paperCode", QString("CBP%1").arg(i + 1)}, {"subjectCode", *CommonUtil::getSubjectCode()},
                            {"user_code", CommonUtil::getAccount()->value("code").toString()}, {"record_remark", QString("练习%1").arg(i)}})
                      .toArray();
    ASSERT_FALSE(runs[1].isEmpty());
    open();
    QStringList names = rowNames();
    names.sort();
    EXPECT_EQ(names, QStringList({"练习0", "练习1"}));
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "practice-records"));

    ASSERT_TRUE(tapLabel(m_records->view(), "练习1"));
    auto exam = std::dynamic_pointer_cast<ExamStartViewController>(m_records->presentedViewController());
    ASSERT_TRUE(exam);
    EXPECT_EQ(exam->type(), 10);
    ASSERT_TRUE(pumpUntil([&] { return !exam->examArr().isEmpty(); }));
    EXPECT_EQ(codesOf(exam->examArr()), codesOf(runs[1]));
}

TEST_F(ExerciseRecordViewControllerTest, OnlyRecordsOfAListBecomeRows)
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
        open();
        EXPECT_EQ(rowNames(), rows);
        EXPECT_EQ(toastTexts(m_records->view()).contains(CommonUtil::kNetworkMessage), status != 200);
        EXPECT_EQ(m_stub.requests().last().body, "subjectCode=CB&user_code=u1");
        if (rows.size() == 2) {
            // The row handed over is the record at that position of the list, not of the reply.
            ASSERT_TRUE(tapLabel(m_records->view(), "乙"));
            auto exam = std::dynamic_pointer_cast<ExamStartViewController>(m_records->presentedViewController());
            ASSERT_TRUE(exam);
            EXPECT_EQ(exam->data().value("code").toString(), "r2");
        }
    }
}

} // namespace
