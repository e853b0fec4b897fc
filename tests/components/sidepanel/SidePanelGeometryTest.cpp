#include "components/sidepanel/SidePanelGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using G = SidePanelGeometry;
constexpr auto H = SidePanelOffsetOrientation::Horizontal;
constexpr auto V = SidePanelOffsetOrientation::Vertical;
const ui::Size portrait(320, 480);

SidePanelSide side(std::uint32_t raw) { return static_cast<SidePanelSide>(raw); }

TEST(SidePanelGeometry, OffsetLimitAppliesOnlyToTheLoneSidesEnd)
{
    struct Case { SidePanelOffsetOrientation o; double offset; bool first; bool second; double maxLedge; double expected; };
    const Case cases[] = {
        {H, 300, true, false, 100, 220},   // left only: capped at W - max
        {H, -50, true, false, 100, -50},   // the closed end is not limited
        {H, 300, true, true, 100, 300},    // two sides on the axis: no limit
        {H, -300, false, true, 100, -220}, // right only
        {H, 300, true, false, 0, 300},     // no maximum
        {V, -450, false, true, 100, -380}, // bottom only, against the height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        EXPECT_EQ(G::limitOffset(c.offset, c.o, portrait, c.maxLedge, c.first, c.second), c.expected);
    }
}

TEST(SidePanelGeometry, SlidingRectMovesOrShrinks)
{
    const ui::Rect bounds(0, 0, 320, 480);
    EXPECT_EQ(G::slidingRect(-100, H, true, portrait, bounds), ui::Rect(0, 0, 220, 480));
    EXPECT_EQ(G::slidingRect(100, H, true, portrait, bounds), ui::Rect(100, 0, 220, 480));
    EXPECT_EQ(G::slidingRect(276, H, false, portrait, bounds), ui::Rect(276, 0, 320, 480));
    EXPECT_EQ(G::slidingRect(-100, V, true, portrait, bounds), ui::Rect(0, 0, 320, 380));
    EXPECT_EQ(G::slidingRect(-100, V, false, portrait, bounds), ui::Rect(0, -100, 320, 480));
}

TEST(SidePanelGeometry, OpenClosedAndTransitioningByFrame)
{
    struct Case { std::uint32_t side; ui::Rect frame; double ledge; bool closed; bool open; };
    const Case cases[] = {
        {1, {276, 0, 320, 480}, 44, false, true},
        {1, {100, 0, 320, 480}, 44, false, false},
        {1, {276.0001, 0, 320, 480}, 44, false, false},   // the open test is exact
        {1, {0, 0, 320, 480}, 44, true, false},
        {2, {-276, 0, 320, 480}, 44, false, true},
        {4, {0, -436, 320, 480}, 44, false, true},
        {4, {0, -10, 320, 480}, 44, false, false},
        {9, {276, 0, 320, 480}, 44, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        EXPECT_EQ(G::isSideClosed(side(c.side), c.frame, portrait), c.closed);
        EXPECT_EQ(G::isSideOpen(side(c.side), c.frame, portrait, c.ledge), c.open);
    }
}

TEST(SidePanelGeometry, PanLocationIsClampedWithAnElasticGive)
{
    // Open offsets 276 (first side) and -276 (second side).
    struct Case { double location; bool first; bool second; bool elastic; double expected; double tolerance; };
    const Case cases[] = {
        {100, true, true, true, 100, 0},
        {286, true, true, true, 276 + 8.34, 0.005},
        {376, true, true, true, 276 + 43.34, 0.005},
        {-286, true, true, true, -276 - 8.34, 0.005},
        {376, true, true, false, 276, 0},
        {-50, true, false, true, 0, 0},      // no second side: nothing left of closed
        {50, false, true, true, 0, 0},       // no first side
        {276 + 1e-9, true, true, true, 276 + 1e-9, 1e-6},   // too small a give to stretch
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        const double p = G::panLocation(c.location, c.first, c.second, 276, -276, c.elastic);
        ASSERT_TRUE(std::isfinite(p));
        EXPECT_NEAR(p, c.expected, c.tolerance);
    }
}

} // namespace
