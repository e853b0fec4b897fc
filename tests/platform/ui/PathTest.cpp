#include "platform/ui/Path.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

namespace {

void expectRectNear(const Rect& a, const Rect& b, double tolerance = 1e-6)
{
    EXPECT_NEAR(a.x(), b.x(), tolerance);
    EXPECT_NEAR(a.y(), b.y(), tolerance);
    EXPECT_NEAR(a.width(), b.width(), tolerance);
    EXPECT_NEAR(a.height(), b.height(), tolerance);
}

// Angles run from +x towards +y (down): increasing angles turn clockwise on screen.
TEST(PathTest, ArcsFollowTheAngleConvention)
{
    struct Case {
        const char* what;
        double start, end;
        Path::ArcDirection dir;
        Rect box;
    };
    const auto inc = Path::ArcDirection::Increasing, dec = Path::ArcDirection::Decreasing;
    const Case cases[] = {
        {"top to 3 o'clock, increasing", -M_PI / 2, 0, inc, {0, -10, 10, 10}},
        {"top to 3 o'clock, decreasing: the other three quarters", -M_PI / 2, 0, dec, {-10, -10, 20, 20}},
        {"3 o'clock to 6 o'clock", 0, M_PI / 2, inc, {0, 0, 10, 10}},
        {"full circle from the top", -M_PI / 2, 3 * M_PI / 2, inc, {-10, -10, 20, 20}},
        {"from pi to a negative angle, increasing: through the top", M_PI, -M_PI / 2, inc, {-10, -10, 10, 10}},
        {"from -pi to a positive angle, decreasing: through the bottom", -M_PI, M_PI / 2, dec, {-10, 0, 10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Path arc = Path::arc(Point(0, 0), 10, c.start, c.end, c.dir);
        expectRectNear(arc.boundingBox(), c.box);
        EXPECT_NEAR(arc.currentPoint().x, 10 * std::cos(c.end), 1e-9);
        EXPECT_NEAR(arc.currentPoint().y, 10 * std::sin(c.end), 1e-9);
    }
    EXPECT_EQ(Path::arc(Point(5, 5), 10, 1, 1, Path::ArcDirection::Increasing).boundingBox().size, Size());

    // An angle out of acos's domain leaves the path as it was, drawable.
    Path p = Path::rect(Rect(0, 0, 10, 10));
    p.addArc({5, 5}, 3, M_PI, -std::acos(1.5), Path::ArcDirection::Increasing);
    EXPECT_EQ(p, Path::rect(Rect(0, 0, 10, 10)));
}

TEST(PathTest, ArcJoinsTheCurrentPointWithALine)
{
    Path wedge;
    wedge.moveTo({20, 20});
    wedge.addArc({20, 20}, 10, -M_PI / 2, 0, Path::ArcDirection::Increasing);
    wedge.closeSubpath();
    EXPECT_TRUE(wedge.contains({24, 14}));    // inside the quarter from 12 to 3 o'clock
    EXPECT_FALSE(wedge.contains({16, 14}));   // the top-left quarter stays empty
    EXPECT_FALSE(wedge.contains({24, 24}));
}

TEST(PathTest, TangentArcRoundsACorner)
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
}

TEST(PathTest, RoundedRectRoundsOnlyTheChosenCorners)
{
    const Rect r(0, 0, 100, 60);
    struct Case {
        unsigned corners;
        bool tl, tr, bl, br;   // whether the corner is rounded off
    };
    const Case cases[] = {
        {Path::TopLeft | Path::BottomLeft, true, false, true, false},    // a left side: 5
        {Path::TopRight | Path::BottomRight, false, true, false, true},  // a right side: 10
        {Path::TopLeft | Path::TopRight, true, true, false, false},      // top: 3
        {Path::BottomLeft | Path::BottomRight, false, false, true, true},  // bottom: 12
        {0, false, false, false, false},
        {Path::AllCorners, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.corners);
        const Path p = Path::roundedRect(r, c.corners, Size(8, 8));
        EXPECT_EQ(p.contains({0.5, 0.5}), !c.tl);
        EXPECT_EQ(p.contains({99.5, 0.5}), !c.tr);
        EXPECT_EQ(p.contains({0.5, 59.5}), !c.bl);
        EXPECT_EQ(p.contains({99.5, 59.5}), !c.br);
        EXPECT_TRUE(p.contains({50, 30}));
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
    EXPECT_TRUE(Path().isEmpty());
    EXPECT_EQ(Path().boundingBox(), Rect());
    Path line;
    line.lineTo({3, 4});   // no current point: starts there
    EXPECT_EQ(line.currentPoint(), Point(3, 4));
}

} // namespace
