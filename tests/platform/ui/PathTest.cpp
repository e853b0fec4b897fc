#include "platform/ui/Path.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

static void expectRectNear(const Rect& a, const Rect& b, double tolerance = 1e-6)
{
    EXPECT_NEAR(a.x(), b.x(), tolerance);
    EXPECT_NEAR(a.y(), b.y(), tolerance);
    EXPECT_NEAR(a.width(), b.width(), tolerance);
    EXPECT_NEAR(a.height(), b.height(), tolerance);
}

// Angles run from +x towards +y (down): increasing angles turn clockwise on screen.
TEST(PathTest, ArcsFollowTheAngleConvention)
{
    const auto inc = Path::ArcDirection::Increasing, dec = Path::ArcDirection::Decreasing;
    const std::tuple<const char*, double, double, Path::ArcDirection, Rect> cases[] = {
        {"top to 3 o'clock, increasing", -M_PI / 2, 0, inc, {0, -10, 10, 10}},
        {"top to 3 o'clock, decreasing: the other three quarters", -M_PI / 2, 0, dec, {-10, -10, 20, 20}},
        {"3 o'clock to 6 o'clock", 0, M_PI / 2, inc, {0, 0, 10, 10}},
        {"full circle from the top", -M_PI / 2, 3 * M_PI / 2, inc, {-10, -10, 20, 20}},
        {"from pi to a negative angle, increasing: through the top", M_PI, -M_PI / 2, inc, {-10, -10, 10, 10}},
        {"from -pi to a positive angle, decreasing: through the bottom", -M_PI, M_PI / 2, dec, {-10, 0, 10, 10}},
    };
    for (const auto& [what, start, end, dir, box] : cases) {
        SCOPED_TRACE(what);
        const Path arc = Path::arc(Point(0, 0), 10, start, end, dir);
        expectRectNear(arc.boundingBox(), box);
        EXPECT_NEAR(arc.currentPoint().x, 10 * std::cos(end), 1e-9);
        EXPECT_NEAR(arc.currentPoint().y, 10 * std::sin(end), 1e-9);
    }
    EXPECT_EQ(Path::arc(Point(5, 5), 10, 1, 1, Path::ArcDirection::Increasing).boundingBox().size, Size());

    // An angle out of acos's domain leaves the path as it was, drawable.
    Path p = Path::rect(Rect(0, 0, 10, 10));
    p.addArc({5, 5}, 3, M_PI, -std::acos(1.5), Path::ArcDirection::Increasing);
    EXPECT_EQ(p, Path::rect(Rect(0, 0, 10, 10)));
}

TEST(PathTest, TangentArcsAndRoundedRectsRoundTheirCorners)
{
    // The bar's rounded left end: from the middle of the left edge, round the top-left corner.
    Path p;
    p.moveTo({2, 10});
    p.addArcToPoint({2, 2}, {10, 2}, 8);
    EXPECT_NEAR(p.currentPoint().x, 10, 1e-9);
    EXPECT_NEAR(p.currentPoint().y, 2, 1e-9);
    expectRectNear(p.boundingBox(), Rect(2, 2, 8, 8));

    // Collinear points or no radius: a plain line to the corner.
    Path straight;
    straight.moveTo({0, 0});
    straight.addArcToPoint({10, 0}, {20, 0}, 5);
    EXPECT_EQ(straight.currentPoint(), Point(10, 0));

    // A rounded rectangle rounds only the chosen corners.
    const Rect r(0, 0, 100, 60);
    const unsigned corners[] = {Path::TopLeft, Path::TopRight, Path::BottomLeft, Path::BottomRight};
    const Point tips[] = {{0.5, 0.5}, {99.5, 0.5}, {0.5, 59.5}, {99.5, 59.5}};
    for (const unsigned chosen : {Path::TopLeft | Path::BottomLeft, Path::TopRight | Path::BottomRight,
                                  Path::TopLeft | Path::TopRight, Path::BottomLeft | Path::BottomRight, 0u,
                                  unsigned(Path::AllCorners)}) {
        SCOPED_TRACE(chosen);
        const Path p = Path::roundedRect(r, chosen, Size(8, 8));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(p.contains(tips[i]), !(chosen & corners[i])) << i;
        expectRectNear(p.boundingBox(), r);
    }
    // Radii beyond half a side are limited to it: a 20 × 20 square with radius 50 is a circle.
    EXPECT_FALSE(Path::roundedRect(Rect(0, 0, 20, 20), 50).contains({1.5, 1.5}));
    EXPECT_TRUE(Path::roundedRect(Rect(0, 0, 20, 20), 50).contains({10, 1}));
}

TEST(PathTest, InterpolationAndTransforms)
{
    const Path a = Path::rect(Rect(0, 0, 10, 10));
    const Path b = Path::rect(Rect(10, 10, 30, 50));
    expectRectNear(Path::interpolate(a, b, 0.5).boundingBox(), Rect(5, 5, 20, 30));
    // Paths of different structure switch once the animation has begun.
    const Path circle = Path::ellipse(Rect(0, 0, 10, 10));
    EXPECT_EQ(Path::interpolate(a, circle, 0), a);
    EXPECT_EQ(Path::interpolate(a, circle, 0.01), circle);

    expectRectNear(a.transformed(Transform::translation(5, 7)).boundingBox(), Rect(5, 7, 10, 10));
    Path line;
    line.lineTo({3, 4});   // no current point: starts there
    EXPECT_EQ(line.currentPoint(), Point(3, 4));
}
