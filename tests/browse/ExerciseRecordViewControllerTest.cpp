#include "browse/ExerciseRecordViewController.h"

#include "appbase/CommonUtil.h"
#include "platform/core/Record.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Window.h"
#include "practice/ExamStartViewController.h"
#include "tests/browse/BrowseTestSupport.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

namespace {

QStringList codesOf(const QJsonArray& questions)
{
    QStringList codes;
    for (const QJsonValue& q : questions)
        codes << core::Record::stringValue(core::Record::value(q, "code"));
    return codes;
}

class ExerciseRecordViewControllerTest : public AppTest {
protected:
    std::shared_ptr<ExerciseRecordViewController> open()
    {
        m_root = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        m_window->setRootViewController(m_root);
        m_records = ExerciseRecordViewController::create();
        m_root->presentViewController(m_records, false);
        EXPECT_TRUE(pumpUntil([&] {
            return !m_records->isLoading() && !m_records->isTransitioning() && overlaysGone(m_records->view());
        }));
        m_window->layoutIfNeeded();
        return m_records;
    }

    QStringList rowNames()
    {
        QStringList names;
        auto table = m_records->tableView();
        for (int row = 0; table && row < table->numberOfRowsInSection(0); ++row) {
            auto cell = table->cellForRowAtIndexPath(ui::IndexPath(0, row));
            auto label = cell ? std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(ExerciseRecordViewController::kNameLabelTag))
                              : nullptr;
            names << (label ? label->text() : QStringLiteral("<no row>"));
        }
        return names;
    }

    // A paper run as the practice screen files it; returns its questions.
    QJsonArray fileRun(server::ServerInstance& server, const QString& paper, const QString& name)
    {
        return postForm(server, "exam/paper_exam_list",
                        {{"paperCode", paper},
                         {"subjectCode", *CommonUtil::getSubjectCode()},
                         {"user_code", CommonUtil::getAccount()->value("code").toString()},
                         {"record_remark", name}})
            .toArray();
    }

    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ExerciseRecordViewController> m_records;
};

TEST_F(ExerciseRecordViewControllerTest, ARecordReplaysTheQuestionsOfItsRun)
{
    server::ServerInstance& server = startSignedIn();
    const QJsonArray first = fileRun(server, "CBP1", "第一次练习");
    const QJsonArray second = fileRun(server, "CBP2", "第二次练习");
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());

    open();
    EXPECT_EQ(m_records->titleLabel()->text(), "练习记录");
    const QStringList names = rowNames();
    ASSERT_EQ(names.size(), 2);
    EXPECT_TRUE(names.contains("第一次练习") && names.contains("第二次练习")) << names.join(",").toStdString();
    EXPECT_TRUE(m_window->renderImage().save(screenshotPath("practice-records.png")));

    ASSERT_TRUE(tapLabel(m_records->view(), "第二次练习"));
    auto exam = std::dynamic_pointer_cast<ExamStartViewController>(m_records->presentedViewController());
    ASSERT_TRUE(exam);
    EXPECT_EQ(exam->type(), 10);
    EXPECT_EQ(core::Record::stringValue(exam->data().value("recordName")), "第二次练习");
    EXPECT_TRUE(exam->keepCode().isEmpty());
    ASSERT_TRUE(pumpUntil([&] { return !exam->examArr().isEmpty(); }));
    EXPECT_EQ(codesOf(exam->examArr()), codesOf(second));
}

TEST_F(ExerciseRecordViewControllerTest, OnlyRecordsOfAListBecomeRows)
{
    struct Case {
        const char* name;
        int status;
        QByteArray body;
        QStringList rows;
    };
    const Case cases[] = {
        {"empty", 200, "[]", {}},
        {"objects only", 200, R"([{"code":"r1","recordName":"甲"},7,"x",null,{"code":"r2","recordName":"乙"}])", {"甲", "乙"}},
        {"not a list", 200, R"({"code":"r1","recordName":"甲"})", {}},
        {"not JSON", 200, "<html>", {}},
        {"error status", 500, R"([{"code":"r1","recordName":"甲"}])", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StubServer stub;
        stub.setReply("exam/record_list", c.status, c.body);
        useServer(stub.baseUrl());
        CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
        CommonUtil::setSubjectCode(QStringLiteral("CB"));
        open();
        EXPECT_EQ(rowNames(), c.rows);
        EXPECT_EQ(toastTexts(m_records->view()).contains(CommonUtil::kNetworkMessage), c.status != 200);
        ASSERT_EQ(stub.requests().size(), 1);
        EXPECT_EQ(stub.requests().first().body, "subjectCode=CB&user_code=u1");
        if (c.rows.size() == 2) {
            // The row handed over is the record at that position of the list, not of the reply.
            m_records->didSelectRowAtIndexPath(*m_records->tableView(), ui::IndexPath(0, 1));
            auto exam = std::dynamic_pointer_cast<ExamStartViewController>(m_records->presentedViewController());
            ASSERT_TRUE(exam);
            EXPECT_EQ(exam->data().value("code").toString(), "r2");
        }
    }
}

} // namespace
