#pragma once

#include "components/sidepanel/SidePanelTypes.h"
#include "platform/ui/Geometry.h"

#include <cstdint>
#include <optional>
#include <vector>

// The container's arithmetic, kept apart from its views so that it can be reasoned about
// (and tested) on plain numbers. W and H are always the reference bounds' width and height.
class SidePanelGeometry {
public:
    static constexpr SidePanelSide kSides[] = {SidePanelSide::Left, SidePanelSide::Right, SidePanelSide::Top,
                                               SidePanelSide::Bottom};
    // The index of a side in the container's per-side arrays.
    static std::size_t slot(SidePanelSide side) { return static_cast<std::size_t>(side); }

    static bool isSide(SidePanelSide side);   // 1 to 4
    static bool isHorizontal(SidePanelSide side);
    // Horizontal for left and right, vertical for top and bottom, 0 for anything else.
    static SidePanelOffsetOrientation orientationOfSide(SidePanelSide side);
    static SidePanelSide oppositeOfSide(SidePanelSide side);
    // The sides an axis reveals: positive offsets the first, negative ones the second.
    static SidePanelSide firstSide(SidePanelOffsetOrientation orientation);
    static SidePanelSide secondSide(SidePanelOffsetOrientation orientation);
    // The point's coordinate along the axis.
    static double along(const ui::Point& point, SidePanelOffsetOrientation orientation);

    // The offset after the maximum-ledge limit. Only an axis with exactly one side controller
    // is limited, and only at that side's end.
    static double limitOffset(double offset, SidePanelOffsetOrientation orientation, ui::Size reference,
                              double maxLedge, bool hasFirstSide, bool hasSecondSide);

    // Where the sliding view stands for an already limited offset.
    static ui::Rect slidingRect(double limitedOffset, SidePanelOffsetOrientation orientation,
                                bool resizesCenterView, ui::Size reference, ui::Rect centerBounds);
    static ui::Size slidingSize(double limitedOffset, SidePanelOffsetOrientation orientation,
                                bool resizesCenterView, ui::Size reference, ui::Rect centerBounds);

    // The offset of a fully open side; 0 outside 1 to 4.
    static double ledgeOffset(SidePanelSide side, double ledge, ui::Size reference);

    // Whether the sliding frame leaves the side closed, or stands exactly at its ledge.
    static bool isSideClosed(SidePanelSide side, ui::Rect slidingFrame, ui::Size reference);
    static bool isSideOpen(SidePanelSide side, ui::Rect slidingFrame, ui::Size reference, double ledge);

    static double sizeAsLedge(double size, SidePanelSide side, SidePanelSizeMode mode, ui::Size reference);
    static double ledgeAsSize(double ledge, SidePanelSide side, SidePanelSizeMode mode, ui::Size reference);

    // Where a finger at `location` (origin plus translation along the axis) puts the sliding
    // view: clamped to the two open offsets, with a logarithmic give past them when elastic.
    static double panLocation(double location, bool hasFirstSide, bool hasSecondSide, double firstOpenOffset,
                              double secondOpenOffset, bool elastic);
    // How long a release at `velocity` points per second takes from `position` to `target`.
    static double flingDuration(double position, double target, double velocity);

    // The swing heights of a preview bounce, one per hundredth of a second (at most 100), in
    // whole points before any limit or direction is applied; nullopt when the request cannot
    // make a curve (no bounces, a negative or non-finite duration, a distance out of range).
    static std::optional<std::vector<std::int32_t>> previewBounceHeights(double distance, double numberOfBounces,
                                                                         double dampingFactor, double duration);
};
