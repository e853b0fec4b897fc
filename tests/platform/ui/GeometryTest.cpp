#include "platform/ui/Geometry.h"

#include "platform/ui/Color.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

namespace {

void expectPointNear(Point a, Point b)
{
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
}

TEST(GeometryTest, RectEdgesHoldForNegativeSizes)
{
    struct Case {
        Rect r;
        double minX, maxX, minY, maxY;
    };
    const Case cases[] = {
        {{10, 20, 30, 40}, 10, 40, 20, 60},
        {{10, 20, -30, -40}, -20, 10, -20, 20},
        {{0, 0, 0, 5}, 0, 0, 0, 5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(c.r.minX(), c.minX);
        EXPECT_DOUBLE_EQ(c.r.maxX(), c.maxX);
        EXPECT_DOUBLE_EQ(c.r.minY(), c.minY);
        EXPECT_DOUBLE_EQ(c.r.maxY(), c.maxY);
        EXPECT_DOUBLE_EQ(c.r.midX(), (c.minX + c.maxX) / 2);
    }
    EXPECT_EQ(Rect(10, 20, -30, -40).standardized(), Rect(-20, -20, 30, 40));
}

TEST(GeometryTest, RectSetOperations)
{
    const Rect a(0, 0, 100, 50);
    EXPECT_TRUE(a.contains(Point(0, 0)));
    EXPECT_FALSE(a.contains(Point(100, 10)));   // half-open
    EXPECT_TRUE(a.contains(Rect(10, 10, 90, 40)));
    EXPECT_EQ(a.intersected(Rect(50, 25, 100, 100)), Rect(50, 25, 50, 25));
    EXPECT_EQ(a.intersected(Rect(100, 0, 10, 10)), Rect());   // touching edges do not meet
    EXPECT_FALSE(a.intersects(Rect(100, 0, 10, 10)));
    EXPECT_EQ(a.united(Rect(-10, 40, 20, 20)), Rect(-10, 0, 110, 60));
    EXPECT_EQ(a.united(Rect()), a);
    EXPECT_EQ(a.insetBy(10, 5), Rect(10, 5, 80, 40));
    EXPECT_EQ(a.inset({1, 2, 3, 4}), Rect(2, 1, 94, 46));
    EXPECT_EQ(Rect(0.5, 1.2, 10.2, 3.3).integral(), Rect(0, 1, 11, 4));
    EXPECT_EQ(a.offsetBy(5, -5), Rect(5, -5, 100, 50));
}

TEST(GeometryTest, RotationTurnsClockwiseOnAScreenWithYDown)
{
    const Transform quarter = Transform::rotation(M_PI / 2);
    expectPointNear(quarter.apply(Point(1, 0)), Point(0, 1));   // right turns to down
    expectPointNear(quarter.apply(Point(0, 1)), Point(-1, 0));
    EXPECT_NEAR(quarter.rotationAngle(), M_PI / 2, 1e-12);
}

TEST(GeometryTest, ConcatAppliesTheFirstTransformFirst)
{
    const Transform move = Transform::translation(10, 0);
    const Transform turn = Transform::rotation(M_PI / 2);
    expectPointNear(Transform::concat(move, turn).apply(Point(0, 0)), Point(0, 10));
    expectPointNear(Transform::concat(turn, move).apply(Point(0, 0)), Point(10, 0));
    // translated/scaled/rotated put the new step before the existing transform.
    expectPointNear(Transform::scale(2, 2).translated(5, 0).apply(Point(0, 0)), Point(10, 0));
    expectPointNear(Transform::translation(5, 0).scaled(2, 2).apply(Point(1, 0)), Point(7, 0));
}

TEST(GeometryTest, InverseAndRectMapping)
{
    const Transform t = Transform::concat(Transform::concat(Transform::scale(2, 3), Transform::rotation(0.7)),
                                          Transform::translation(4, -5));
    const Point p(3, 8);
    expectPointNear(t.inverted().apply(t.apply(p)), p);
    EXPECT_TRUE(Transform::concat(t, t.inverted()).isIdentity() || std::abs(Transform::concat(t, t.inverted()).a - 1) < 1e-12);
    EXPECT_FALSE(Transform::scale(0, 1).isInvertible());
    EXPECT_EQ(Transform::scale(0, 1).inverted(), Transform::scale(0, 1));

    const Rect box = Transform::rotation(M_PI / 4).apply(Rect(0, 0, 10, 10));
    EXPECT_NEAR(box.width(), 10 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(box.minX(), -10 / std::sqrt(2.0), 1e-9);
    EXPECT_EQ(Transform::fromQTransform(t.toQTransform()), t);
}

TEST(ColorTest, FromRGBUsesTheLowestTwentyFourBits)
{
    const Color c = Color::fromRGB(0x6FD7FD);
    EXPECT_DOUBLE_EQ(c.r(), 111 / 255.0);
    EXPECT_DOUBLE_EQ(c.g(), 215 / 255.0);
    EXPECT_DOUBLE_EQ(c.b(), 253 / 255.0);
    EXPECT_DOUBLE_EQ(c.alpha(), 1.0);
    EXPECT_EQ(Color::fromRGB(0xFF6FD7FD), c);
    EXPECT_DOUBLE_EQ(Color::fromRGB(0x000000, 0.3).alpha(), 0.3);
    EXPECT_EQ(Color::green().toQColor(), QColor(0, 255, 0));
    EXPECT_EQ(Color(2, -1, 0.5, 1).toQColor().red(), 255);   // out of range clamps
    EXPECT_TRUE(Color::clear().isClear());
    EXPECT_EQ(Color::fromQColor(QColor(255, 0, 0, 0)).alpha(), 0);
}

} // namespace
