#include "platform/ui/Geometry.h"

#include "platform/ui/Color.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

static void expectPointNear(Point a, Point b)
{
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
}

TEST(GeometryTest, RectsAreHalfOpen)
{
    const Rect a(0, 0, 100, 50);
    EXPECT_TRUE(a.contains(Point(0, 0)));
    EXPECT_FALSE(a.contains(Point(100, 10)));
    EXPECT_EQ(a.intersected(Rect(50, 25, 100, 100)), Rect(50, 25, 50, 25));
    EXPECT_FALSE(a.intersects(Rect(100, 0, 10, 10)));   // touching edges do not meet
    EXPECT_EQ(a.united(Rect(-10, 40, 20, 20)), Rect(-10, 0, 110, 60));
    EXPECT_EQ(a.united(Rect()), a);
    EXPECT_EQ(a.inset({1, 2, 3, 4}), Rect(2, 1, 94, 46));
    EXPECT_EQ(Rect(0.5, 1.2, 10.2, 3.3).integral(), Rect(0, 1, 11, 4));
    EXPECT_EQ(Rect(10, 20, -30, -40).standardized(), Rect(-20, -20, 30, 40));
}

TEST(GeometryTest, TransformsTurnClockwiseAndApplyTheFirstStepFirst)
{
    const Transform quarter = Transform::rotation(M_PI / 2);
    expectPointNear(quarter.apply(Point(1, 0)), Point(0, 1));   // right turns to down on a y-down screen
    const Transform move = Transform::translation(10, 0);
    expectPointNear(Transform::concat(move, quarter).apply(Point(0, 0)), Point(0, 10));
    expectPointNear(Transform::concat(quarter, move).apply(Point(0, 0)), Point(10, 0));
    expectPointNear(Transform::scale(2, 2).translated(5, 0).apply(Point(0, 0)), Point(10, 0));

    const Transform t = Transform::concat(Transform::concat(Transform::scale(2, 3), Transform::rotation(0.7)), move);
    expectPointNear(t.inverted().apply(t.apply(Point(3, 8))), Point(3, 8));
    const Rect box = Transform::rotation(M_PI / 4).apply(Rect(0, 0, 10, 10));
    EXPECT_NEAR(box.width(), 10 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(box.minX(), -10 / std::sqrt(2.0), 1e-9);
}

TEST(ColorTest, FromRGBReadsRedGreenBlueInThatOrder)
{
    EXPECT_EQ(Color::fromRGB(0x6FD7FD).toQColor(), QColor(0x6F, 0xD7, 0xFD));
    EXPECT_DOUBLE_EQ(Color::fromRGB(0x000000, 0.3).alpha(), 0.3);
}
