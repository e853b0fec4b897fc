#include "practice/ReportLine.h"

#include "platform/ui/Path.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/ShapeLayer.h"
#include "tests/support/AppTest.h"

#include <QDir>
#include <QImage>

namespace {

using ReportLineTest = AppTest;

std::shared_ptr<ReportLine> chart(const ui::Rect& frame, const QJsonArray& data, int maxValue)
{
    auto line = ReportLine::create(frame);
    line->setData(data);
    line->setLineColor(ui::Color::green());
    line->setMaxValue(maxValue);
    return line;
}

// The points the last drawn line passes through.
std::vector<ui::Point> points(const ReportLine& line)
{
    std::vector<ui::Point> found;
    auto shape = std::dynamic_pointer_cast<ui::ShapeLayer>(line.layer()->sublayers().back());
    const QPainterPath& path = shape->path()->qpainterPath();
    for (int i = 0; i < path.elementCount(); ++i)
        found.push_back({path.elementAt(i).x, path.elementAt(i).y});
    return found;
}

TEST_F(ReportLineTest, ValuesSpreadOverTheWidthAndScaleToTheMaximum)
{
    auto line = chart(ui::Rect(0, 0, 200, 284), {75, "150", 0, 300}, 150);
    line->drawLine();
    ASSERT_EQ(line->layer()->sublayers().size(), 1u);
    // From the bottom-left corner (a repeated point adds nothing to a path).
    const std::vector<ui::Point> expected{{0, 284}, {50, 142}, {100, 0}, {150, 284}, {200, -284}};
    const auto drawn = points(*line);
    ASSERT_EQ(drawn.size(), expected.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_NEAR(drawn[i].x, expected[i].x, 1e-9) << i;
        EXPECT_NEAR(drawn[i].y, expected[i].y, 1e-9) << i;
    }
    auto shape = std::dynamic_pointer_cast<ui::ShapeLayer>(line->layer()->sublayers().back());
    EXPECT_EQ(shape->strokeColor(), ui::Color::green());
    EXPECT_EQ(shape->fillColor(), ui::Color::clear());
}

TEST_F(ReportLineTest, EachCallAddsALineAndNothingDrawsWithoutAScale)
{
    auto line = chart(ui::Rect(0, 0, 200, 100), {10, 20}, 150);
    line->drawLine();
    line->drawLine();
    EXPECT_EQ(line->layer()->sublayers().size(), 2u);

    for (int maxValue : {0, -5}) {
        auto flat = chart(ui::Rect(0, 0, 200, 100), {10, 20}, maxValue);
        flat->drawLine();
        EXPECT_TRUE(flat->layer()->sublayers().empty()) << maxValue;
    }

    auto empty = chart(ui::Rect(0, 0, 200, 100), {}, 150);
    empty->drawLine();
    ASSERT_EQ(points(*empty).size(), 1u);   // the start point only: nothing to see
    EXPECT_EQ(points(*empty)[0].y, 100);
}

TEST_F(ReportLineTest, RendersAGreenPolyline)
{
    auto line = chart(ui::Rect(0, 0, 240, 160), {30, 90, 60, 120, 150, 45}, 150);
    line->setBackgroundColor(ui::Color::white());
    line->drawLine();
    const QImage image = ui::Renderer::renderLayer(*line->layer(), 2);
    EXPECT_TRUE(image.save(QDir(qEnvironmentVariable("QBANK_SCREENSHOTS", QDir::tempPath())).filePath("report-chart.png")));
    // The fifth value (150) reaches the top edge at x = 200.
    EXPECT_GT(ui::Renderer::colorAt(image, {200, 0.5}).g(), 0.5);
    EXPECT_EQ(ui::Renderer::colorAt(image, {20, 20}), ui::Color::white());
}

} // namespace
