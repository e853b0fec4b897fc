#include "practice/ReportViewController.h"

#include "appbase/ServerRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Path.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/ShapeLayer.h"
#include "practice/ReportLine.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"

namespace {

class ReportViewControllerTest : public ExamStartFixture {
protected:
    // Fills and presents a report as the practice screen does after grading.
    std::shared_ptr<ReportViewController> present(int type, const QStringList& flags, float score = 0)
    {
        auto report = ReportViewController::create();
        report->setType(type);
        report->setRtitle("计算机基础历年真题（一）");
        report->setExamArr(flags);
        report->setScoure(score);
        return ExamStartFixture::present(report);
    }

    static std::shared_ptr<ui::ScrollView> scrollOf(ReportViewController& report)
    {
        return std::dynamic_pointer_cast<ui::ScrollView>(report.view()->viewWithTag(ReportViewController::ScrollViewTag));
    }

    // The numbered tiles in order; `colours` gets "R" or "B" for each.
    static std::vector<ui::Rect> tiles(ReportViewController& report, QString* colours = nullptr)
    {
        std::vector<ui::Rect> found;
        for (const auto& v : scrollOf(report)->subviews()) {
            auto image = std::dynamic_pointer_cast<ui::ImageView>(v);
            if (!image || !image->image().name().contains("exam_num_"))
                continue;
            found.push_back(image->frame());
            if (colours)
                *colours += image->image().name().contains("exam_num_red") ? 'R' : 'B';
        }
        return found;
    }
};

TEST_F(ReportViewControllerTest, ScoreLayoutShowsScoreCountsTitleAndOneTilePerFlag)
{
    auto report = present(ReportViewController::ScoreLayout, {"0", "1", "0", "x", "1", "0", "0", "0", "1", "0", "0", "0"}, 85);
    auto score = std::dynamic_pointer_cast<ui::Label>(findByLabel(report->view(), "85.0"));
    ASSERT_TRUE(score);
    EXPECT_EQ(score->textColor(), ui::Color::red());
    EXPECT_TRUE(findByLabel(report->view(), "12"));
    EXPECT_TRUE(findByLabel(report->view(), "本次练习答对了9道")) << "\"x\" counts as right";
    EXPECT_TRUE(findByLabel(report->view(), "考试类型：计算机基础历年真题（一）"));
    EXPECT_TRUE(findByLabel(report->view(), "11")) << "tiles are numbered from 1";
    QString colours;
    tiles(*report, &colours);
    EXPECT_EQ(colours, "BRBBRBBBRBBB");
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "report-score-layout"));

    // Every other kind shows the count layout: no score, the count of flags, the right ones.
    report = present(1, {"0", "1", "0"}, 4);
    EXPECT_FALSE(findByLabel(report->view(), "4.0"));
    EXPECT_TRUE(findByLabel(report->view(), "本次练习你答对了2道"));
    EXPECT_TRUE(findByLabel(report->view(), "3"));
    EXPECT_EQ(tiles(*report).size(), 3u);
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "report-count-layout"));
}

TEST_F(ReportViewControllerTest, TilesFillRowsOfTenAcrossTheWidthAndTheButtonsFollow)
{
    for (int type : {int(ReportViewController::ScoreLayout), 1}) {
        SCOPED_TRACE(type);
        auto report = present(type, QStringList(11, "1"));
        const auto found = tiles(*report);
        ASSERT_EQ(found.size(), 11u);
        const double width = scrollOf(*report)->frame().width();
        // Eleven equal gaps across the width, the same gap between the rows.
        const double gap = found[0].x();
        EXPECT_GT(gap, 0);
        EXPECT_NEAR(found[9].maxX() + gap, width, 1e-6);
        EXPECT_NEAR(found[1].x() - found[0].maxX(), gap, 1e-6);
        EXPECT_NEAR(found[10].x(), found[0].x(), 1e-6);
        EXPECT_NEAR(found[10].y() - found[0].maxY(), gap, 1e-6);
        auto wrong = findByLabel(report->view(), "查看错题解析");
        auto all = findByLabel(report->view(), "查看全部解析");
        ASSERT_TRUE(wrong && all);
        EXPECT_GT(wrong->frame().y(), found.back().maxY());
        EXPECT_LE(wrong->frame().y(), found.back().maxY() + 20);
        EXPECT_EQ(all->frame().y(), wrong->frame().y());
        EXPECT_NEAR(wrong->frame().x() + all->frame().maxX(), width, 1e-6) << "the pair is centred";
        EXPECT_EQ(scrollOf(*report)->contentSize().height, all->frame().maxY() + 10);
    }
}

// A chart reply fills the chart box (2001) and the labels (2003, 2004) of the label box (2002)
// that a screen provides.
TEST_F(ReportViewControllerTest, ChartReplyDrawsTheScoresAndShowsPercentages)
{
    useServer(m_stub.baseUrl());
    m_stub.setReply("exam/score_chart", 200, R"({"scores":[{"score":60},{"other":1},{"score":"150"}],"defeat":8523,"avg":50})");
    auto report = present(0, {"0"});
    auto chartBox = ui::View::create(ui::Rect(0, 400, 300, 170));
    auto labelBox = ui::View::create(ui::Rect(0, 370, 300, 30));
    chartBox->setTag(2001);
    labelBox->setTag(2002);
    for (int tag : {2003, 2004}) {
        labelBox->addSubview(ui::Label::create(ui::Rect(150 * (tag - 2003), 0, 150, 30)));
        labelBox->subviews().back()->setTag(tag);
    }
    scrollOf(*report)->addSubview(chartBox);
    scrollOf(*report)->addSubview(labelBox);
    auto request = ServerRequest::send("exam/score_chart", core::FormBody{}, 0, report->view(), report);
    ASSERT_TRUE(pumpUntil([&] { return !request->isRunning(); }));
    auto chart = std::dynamic_pointer_cast<ReportLine>(chartBox->subviews().at(0));
    ASSERT_TRUE(chart);
    QStringList texts;
    for (const QJsonValue& point : chart->data())
        texts << point.toVariant().toString();
    for (const auto& label : labelBox->subviews())
        texts << std::static_pointer_cast<ui::Label>(label)->text();
    EXPECT_EQ(texts, (QStringList{"60", "", "150", "85.23%", "0.50%"}));
    EXPECT_EQ(chart->maxValue(), 150);
    EXPECT_FALSE(CommonUtil::waitOverlay());
}

TEST_F(ReportViewControllerTest, TheChartLineSpreadsOverTheWidthAndScalesToTheMaximum)
{
    auto line = ReportLine::create(ui::Rect(0, 0, 200, 284));
    line->setBackgroundColor(ui::Color::white());
    line->setData({75, "150", 0, 300});
    line->setLineColor(ui::Color::green());
    line->setMaxValue(150);
    line->drawLine();
    ASSERT_EQ(line->layer()->sublayers().size(), 1u);
    const QPainterPath& path = std::dynamic_pointer_cast<ui::ShapeLayer>(line->layer()->sublayers().back())->path()->qpainterPath();
    // From the bottom-left corner (a repeated point adds nothing to a path).
    const std::vector<ui::Point> expected{{0, 284}, {50, 142}, {100, 0}, {150, 284}, {200, -284}};
    ASSERT_EQ(path.elementCount(), int(expected.size()));
    for (int i = 0; i < path.elementCount(); ++i) {
        EXPECT_NEAR(path.elementAt(i).x, expected[i].x, 1e-9) << i;
        EXPECT_NEAR(path.elementAt(i).y, expected[i].y, 1e-9) << i;
    }
    const QImage image = ui::Renderer::renderLayer(*line->layer(), 2);
    EXPECT_TRUE(screenshot::save(image, "report-chart"));
    EXPECT_GT(pixels::at(image, {100, 0.5}, 2).green(), 128) << "150 reaches the top edge";
    EXPECT_TRUE(pixels::near(pixels::at(image, {20, 20}, 2), Qt::white, 0)) << "nothing is filled";

    line->setMaxValue(0);
    line->drawLine();
    EXPECT_EQ(line->layer()->sublayers().size(), 1u) << "without a scale nothing is drawn";
}

} // namespace

// The texts over the artwork stand clear of what it draws: the practice title right of the
// banner's accent stripe, and the count layout's right-answer line inside the card's face,
// above its bottom border.
TEST_F(ReportViewControllerTest, TextsStandClearOfTheArtworkUnderThem)
{
    auto report = present(1, {"0", "1", "0"});
    const QImage window = m_window->renderImage();
    const double s = ui::Screen::main().scale();
    auto imageView = [&](const std::shared_ptr<ui::View>& root, const QString& name) {
        for (const auto& v : root->subviews()) {
            auto image = std::dynamic_pointer_cast<ui::ImageView>(v);
            if (image && image->image().name().contains(name))
                return image;
        }
        return std::shared_ptr<ui::ImageView>();
    };
    auto pixelsOf = [&](const ui::Rect& r) { return QRect(int(r.x() * s), int(r.y() * s), int(r.width() * s), int(r.height() * s)); };

    const auto banner = imageView(report->view(), "report_title");
    ASSERT_TRUE(banner);
    const QRect bannerArea = pixelsOf(banner->convertRectTo(banner->bounds(), nullptr));
    int stripeRight = -1;
    int firstInk = bannerArea.right();
    for (int y = bannerArea.top(); y <= bannerArea.bottom(); ++y) {
        for (int x = bannerArea.left(); x <= bannerArea.right(); ++x) {
            const QColor c = window.pixelColor(x, y);
            if (x < bannerArea.left() + bannerArea.width() / 10 && c.hsvSaturation() > 150 && c.alpha() > 200)
                stripeRight = std::max(stripeRight, x);
            if (pixels::isInk(c))
                firstInk = std::min(firstInk, x);
        }
    }
    ASSERT_GE(stripeRight, 0) << "the banner has its stripe";
    EXPECT_GT(firstInk, stripeRight + 2 * s) << "the title starts clear of the stripe";

    const auto card = imageView(scrollOf(*report), "drill_cord_bg");
    ASSERT_TRUE(card);
    // The face is the card image's opaque part; its shadow below is see-through.
    const QImage art = card->image().qimage();
    int faceBottom = 0;
    for (int y = 0; y < art.height(); ++y) {
        if (art.pixelColor(art.width() / 4, y).alpha() > 250)
            faceBottom = y;
    }
    const ui::Rect cardRect = card->convertRectTo(card->bounds(), nullptr);
    const double faceBottomY = cardRect.y() + (faceBottom + 1) * cardRect.height() / art.height();
    QRect leftHalf = pixelsOf(cardRect);
    leftHalf.setWidth(leftHalf.width() / 2);
    const std::vector<int> inkRows = pixels::rowsWith(window, pixels::isInk, leftHalf);
    ASSERT_FALSE(inkRows.empty()) << "the right-answer line is drawn";
    EXPECT_LT(inkRows.back() / s, faceBottomY - 2) << "the line stays above the face's bottom border";
    EXPECT_GT(inkRows.front() / s, cardRect.y());
}
