#include "practice/ReportViewController.h"

#include "components/hud/ProgressHUD.h"
#include "platform/core/FormBody.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "practice/ReportLine.h"
#include "practice/ReportViewControllerDelegate.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QDir>
#include <QImage>
#include <algorithm>

namespace {

// The practice screen's side: each call, marked when the report no longer covered it then.
class RecordingPracticeScreen : public ReportViewControllerDelegate {
public:
    void showErrorAnalyze() override { note("error"); }
    void showAllAnalyze() override { note("all"); }

    std::shared_ptr<ReportViewController> report;
    QStringList calls;

private:
    void note(const QString& call)
    {
        auto presenter = report->presentingViewController();
        const bool covered = presenter && presenter->presentedViewController() == report && !report->isTransitioning();
        calls << call + (covered ? "" : " (uncovered)");
    }
};

class ReportViewControllerTest : public AppTest {
protected:
    // Fills and presents a report as the practice screen does after grading.
    std::shared_ptr<ReportViewController> present(int type, const QStringList& flags, float score = 0,
                                                  const QString& title = "计算机基础历年真题（一）")
    {
        m_root = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        m_window->setRootViewController(m_root);
        auto report = ReportViewController::create();
        report->setType(type);
        report->setRtitle(title);
        report->setExamArr(flags);
        report->setPaper(QJsonObject{{"code", "CBP1"}});
        report->setScoure(score);
        report->setDelegate(m_practice);
        report->setAnswerCount(flags.size());
        m_practice->report = report;
        m_root->presentViewController(report, false);
        EXPECT_TRUE(pumpUntil([&] { return !report->isTransitioning(); }));
        m_window->layoutIfNeeded();
        return report;
    }

    static std::shared_ptr<ui::ScrollView> scrollOf(ReportViewController& report)
    {
        return std::dynamic_pointer_cast<ui::ScrollView>(report.view()->viewWithTag(ReportViewController::ScrollViewTag));
    }

    // The numbered tiles in order, with "R" or "B" for their colour.
    static std::vector<std::pair<ui::Rect, QString>> tiles(ReportViewController& report, QString* colours = nullptr)
    {
        std::vector<std::pair<ui::Rect, QString>> found;
        for (const auto& v : scrollOf(report)->subviews()) {
            auto image = std::dynamic_pointer_cast<ui::ImageView>(v);
            if (!image || !image->image().name().contains("exam_num_"))
                continue;
            found.push_back({image->frame(), std::dynamic_pointer_cast<ui::Label>(image->subviews().front())->text()});
            if (colours)
                *colours += image->image().name().contains("exam_num_red") ? 'R' : 'B';
        }
        return found;
    }

    static bool shows(ReportViewController& report, const QString& text)
    {
        return std::dynamic_pointer_cast<ui::Label>(findByLabel(report.view(), text)) != nullptr;
    }

    static QString screenshotPath(const QString& name)
    {
        const QString folder = qEnvironmentVariable("QBANK_SCREENSHOTS", QDir::tempPath());
        QDir().mkpath(folder);
        return QDir(folder).filePath(name);
    }

    std::shared_ptr<RecordingPracticeScreen> m_practice = std::make_shared<RecordingPracticeScreen>();
    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
};

TEST_F(ReportViewControllerTest, ScoreLayoutShowsScoreCountsTitleAndOneTilePerFlag)
{
    auto report = present(ReportViewController::ScoreLayout, {"0", "1", "0", "x", "1", "0", "0", "0", "1", "0", "0", "0"}, 85);
    EXPECT_EQ(report->titleLabel()->text(), "练习报告");
    auto score = std::dynamic_pointer_cast<ui::Label>(findByLabel(report->view(), "85.0"));
    ASSERT_TRUE(score);
    EXPECT_EQ(score->textColor(), ui::Color::red());
    EXPECT_TRUE(shows(*report, "12"));
    EXPECT_TRUE(shows(*report, "本次练习答对了9道"));   // "x" counts as right
    EXPECT_TRUE(shows(*report, "考试类型：计算机基础历年真题（一）"));
    QString colours;
    const auto found = tiles(*report, &colours);
    EXPECT_EQ(colours, "BRBBRBBBRBBB");
    EXPECT_EQ(found.back().second, "12");
    EXPECT_TRUE(m_window->renderImage().save(screenshotPath("report-score-layout.png")));

    // A long title keeps to two lines; a missing one leaves the prefix alone.
    const QString longTitle(60, QChar(0x9898));
    report = present(0, {}, 0, longTitle);
    auto title = std::dynamic_pointer_cast<ui::Label>(findByLabel(report->view(), "考试类型：" + longTitle));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->visibleLines().size(), 2);
    EXPECT_TRUE(shows(*present(0, {}, 0, QString()), "考试类型："));
}

TEST_F(ReportViewControllerTest, TilesFillRowsOfTenWithEqualGapsAndButtonsFollow)
{
    for (int count : {0, 10, 11, 20}) {
        SCOPED_TRACE(count);
        auto report = present(ReportViewController::ScoreLayout, QStringList(count, "1"));
        const auto found = tiles(*report);
        ASSERT_EQ(int(found.size()), count);
        EXPECT_TRUE(shows(*report, "本次练习答对了0道"));
        auto wrong = findByLabel(report->view(), "查看错题解析");
        auto all = findByLabel(report->view(), "查看全部解析");
        ASSERT_TRUE(wrong && all);
        const double width = scrollOf(*report)->frame().width();
        if (count >= 10) {
            // Eleven equal gaps across the width: the first column's inset is the gap.
            const double gap = found[0].first.x();
            EXPECT_NEAR(found[9].first.maxX() + gap, width, 1e-6);
            EXPECT_NEAR(found[1].first.x() - found[0].first.maxX(), gap, 1e-6);
        }
        if (count > 10) {
            EXPECT_NEAR(found[10].first.x(), found[0].first.x(), 1e-6);
            EXPECT_NEAR(found[10].first.y() - found[0].first.maxY(), found[0].first.x(), 1e-6);
        }
        // The buttons stand 20 below the last row, less what each row's height lost to whole points.
        const int rows = (count + 9) / 10;
        const double gapAbove = count ? wrong->frame().y() - found.back().first.maxY() : 20;
        EXPECT_LE(gapAbove, 20);
        EXPECT_GT(gapAbove, 20 - rows - 1e-9);
        EXPECT_EQ(all->frame().y(), wrong->frame().y());
        EXPECT_NEAR(all->frame().x() - wrong->frame().maxX(), 10, 1e-6);
        EXPECT_NEAR(wrong->frame().x() + all->frame().maxX(), width, 1e-6);   // the pair is centred
        EXPECT_EQ(scrollOf(*report)->contentSize().height, all->frame().maxY() + 10);
    }
}

TEST_F(ReportViewControllerTest, EveryOtherKindShowsTheCountLayout)
{
    for (int type : {1, 2, -1}) {
        SCOPED_TRACE(type);
        auto report = present(type, {"0", "1", "0"}, 4);
        EXPECT_FALSE(shows(*report, "4.0"));
        EXPECT_TRUE(shows(*report, "本次练习你答对了2道"));
        EXPECT_TRUE(shows(*report, "3"));
        EXPECT_EQ(tiles(*report).size(), 3u);
    }
    EXPECT_TRUE(m_window->renderImage().save(screenshotPath("report-count-layout.png")));
    auto empty = present(1, {});
    EXPECT_TRUE(shows(*empty, "本次练习你答对了0道"));
    EXPECT_TRUE(shows(*empty, "0"));
}

TEST_F(ReportViewControllerTest, ReviewButtonsTellThePracticeScreenFirstAndBackTellsNobody)
{
    const std::pair<QString, QStringList> cases[] = {
        {"查看错题解析", {"error"}},
        {"查看全部解析", {"all"}},
        {"back", {}},
    };
    for (const auto& [control, calls] : cases) {
        SCOPED_TRACE(control.toStdString());
        m_practice->calls.clear();
        auto report = present(0, {"0", "1"}, 2);
        if (control == "back")
            ASSERT_TRUE(ui::TouchInjector::tap(*report->backButton()));
        else
            ASSERT_TRUE(tapLabel(report->view(), control));
        EXPECT_EQ(m_practice->calls, calls);
        ASSERT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
        // Reviewing keeps what the report showed; back lets it all go.
        const bool back = control == "back";
        EXPECT_EQ(report->examArr().isEmpty(), back);
        EXPECT_EQ(report->rtitle().isEmpty(), back);
        EXPECT_EQ(report->paper().isEmpty(), back);
        EXPECT_EQ(!report->delegate(), back);
        EXPECT_EQ(report->view()->subviews().empty(), back);
    }
}

// A chart reply fills the chart box (2001) and the label box (2002) that a screen provides.
TEST_F(ReportViewControllerTest, ChartReplyDrawsTheScoresAndShowsPercentages)
{
    StubServer server;
    useServer(server.baseUrl());
    struct Case {
        QByteArray reply;
        QJsonArray points;
        QStringList percentages;
    };
    const Case cases[] = {
        {R"({"scores":[{"score":60},{"score":"90"},{"other":1},{"score":150}],"defeat":8523,"avg":50})",
         {60, "90", QJsonValue(), 150}, {"85.23%", "0.50%"}},
        {"[1,2]", {}, {"0.00%", "0.00%"}},
        {"oops", {}, {"0.00%", "0.00%"}},
        {R"({"scores":"x","defeat":"7"})", {}, {"0.07%", "0.00%"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        auto report = present(0, {"0", "0", "1"}, 120);
        auto scroll = scrollOf(*report);
        const double top = scroll->contentSize().height;   // below the review buttons
        auto chartBox = ui::View::create(ui::Rect(0, top + 30, scroll->frame().width(), 170));
        chartBox->setTag(2001);
        auto labelBox = ui::View::create(ui::Rect(0, top, scroll->frame().width(), 30));
        labelBox->setTag(2002);
        std::vector<std::shared_ptr<ui::Label>> labels;
        for (int tag : {2003, 2004}) {
            labels.push_back(ui::Label::create(ui::Rect(150 * (tag - 2003) + 20, 0, 150, 30)));
            labels.back()->setTag(tag);
            labelBox->addSubview(labels.back());
        }
        scroll->addSubview(chartBox);
        scroll->addSubview(labelBox);

        server.setReply("exam/score_chart", 200, c.reply);
        auto request = ServerRequest::send("exam/score_chart", core::FormBody{}, 0, report->view(), report);
        ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
        ASSERT_EQ(chartBox->subviews().size(), 1u);
        auto chart = std::dynamic_pointer_cast<ReportLine>(chartBox->subviews().front());
        ASSERT_TRUE(chart);
        EXPECT_EQ(chart->data(), c.points);
        EXPECT_EQ(chart->maxValue(), 150);
        EXPECT_EQ(chart->lineColor(), ui::Color::green());
        EXPECT_EQ(chart->layer()->sublayers().size(), 1u);
        EXPECT_EQ(QStringList({labels[0]->text(), labels[1]->text()}), c.percentages);
        EXPECT_FALSE(CommonUtil::waitOverlay());
    }

    // Without the boxes the reply changes nothing and still ends the wait.
    auto bare = present(0, {"0"});
    const size_t before = scrollOf(*bare)->subviews().size();
    auto request = ServerRequest::send("exam/score_chart", core::FormBody{}, 0, bare->view(), bare);
    ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
    EXPECT_EQ(scrollOf(*bare)->subviews().size(), before);
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

} // namespace
