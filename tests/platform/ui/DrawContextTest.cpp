#include "platform/ui/DrawContext.h"

#include "platform/ui/Renderer.h"

#include "tests/support/PixelProbe.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace ui;

namespace {

// Draws into a clear 100 × 100 point canvas at scale 2, as a layer's drawing would.
QImage draw(const std::function<void(DrawContext&)>& fn)
{
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.scale(2, 2);
        DrawContext ctx(painter);
        fn(ctx);
    }
    image.setDevicePixelRatio(2);
    return image;
}

// A pie of a quarter fills clockwise from the top: the top-right quarter only.
TEST(DrawContextTest, PieWedgeGrowsClockwiseFromTheTop)
{
    const QImage image = draw([](DrawContext& ctx) {
        const Point c(50, 50);
        ctx.setFillColor(Color::white());
        ctx.moveTo(c);
        ctx.addArc(c, 40, -M_PI / 2, 0.25 * 2 * M_PI - M_PI / 2, Path::ArcDirection::Increasing);
        ctx.closePath();
        ctx.fillPath();
        EXPECT_TRUE(ctx.currentPath().isEmpty());   // filling consumes the path
    });
    EXPECT_GT(Renderer::colorAt(image, {65, 35}).alpha(), 0.9);   // up and right
    for (const Point p : {Point(35, 35), Point(65, 65), Point(35, 65)})
        EXPECT_LT(Renderer::colorAt(image, p).alpha(), 0.1);
}

TEST(DrawContextTest, StateTransformAndClipAreSavedTogether)
{
    const QImage image = draw([](DrawContext& ctx) {
        ctx.setFillColor(Color::red());
        ctx.saveState();
        ctx.translate(50, 0);
        ctx.clipToRect(Rect(0, 0, 20, 20));
        ctx.setFillColor(Color::blue());
        EXPECT_EQ(ctx.currentTransform().apply(Point(0, 0)), Point(100, 0));   // scale 2 underneath
        ctx.fillRect(Rect(0, 0, 40, 40));
        ctx.restoreState();
        EXPECT_EQ(ctx.fillColor(), Color::red());
        ctx.fillRect(Rect(0, 50, 10, 10));
        ctx.setAlpha(0.5);
        ctx.fillRect(Rect(20, 50, 10, 10));
        ctx.restoreState();   // unbalanced: ignored
    });
    EXPECT_EQ(Renderer::colorAt(image, {60, 10}), Color::blue());
    EXPECT_LT(Renderer::colorAt(image, {80, 30}).alpha(), 0.01);   // clipped
    EXPECT_EQ(Renderer::colorAt(image, {5, 55}), Color::red());
    EXPECT_NEAR(Renderer::colorAt(image, {25, 55}).alpha(), 0.5, 0.01);
}

TEST(DrawContextTest, TextAlignsInItsBox)
{
    const Font font = Font::systemFont(12);
    const QString text = QStringLiteral("测试");
    const double w = font.widthOfText(text);
    const QImage image = draw([&](DrawContext& ctx) {
        ctx.drawText(text, Rect(0, 20, 100, 20), font, Color::black(), DrawContext::TextAlignment::Right);
        ctx.drawText(text, Rect(0, 50, 100, 20), font, Color::black(), DrawContext::TextAlignment::Center);
    });
    // Ink (in pixels, at scale 2) between two x positions of a line.
    auto inkBetween = [&](double y, double x0, double x1) {
        return pixels::count(image, [](const QColor& c) { return c.alpha() > 128; }, QRect(int(2 * x0), int(2 * y), int(2 * (x1 - x0)), 28));
    };
    EXPECT_GT(inkBetween(20, 100 - w, 100), 5);
    EXPECT_EQ(inkBetween(20, 0, 100 - w - 1), 0);
    EXPECT_GT(inkBetween(50, 50 - w / 2, 50 + w / 2), 5);
    EXPECT_EQ(inkBetween(50, 0, 50 - w / 2 - 1) + inkBetween(50, 50 + w / 2 + 1, 100), 0);
}

} // namespace
