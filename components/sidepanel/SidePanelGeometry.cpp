#include "components/sidepanel/SidePanelGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool SidePanelGeometry::isSide(SidePanelSide side)
{
    return side >= SidePanelSide::Left && side <= SidePanelSide::Bottom;
}

bool SidePanelGeometry::isHorizontal(SidePanelSide side)
{
    return side == SidePanelSide::Left || side == SidePanelSide::Right;
}

SidePanelOffsetOrientation SidePanelGeometry::orientationOfSide(SidePanelSide side)
{
    if (isHorizontal(side))
        return SidePanelOffsetOrientation::Horizontal;
    if (side == SidePanelSide::Top || side == SidePanelSide::Bottom)
        return SidePanelOffsetOrientation::Vertical;
    return static_cast<SidePanelOffsetOrientation>(0);
}

SidePanelSide SidePanelGeometry::oppositeOfSide(SidePanelSide side)
{
    switch (side) {
    case SidePanelSide::Left: return SidePanelSide::Right;
    case SidePanelSide::Right: return SidePanelSide::Left;
    case SidePanelSide::Top: return SidePanelSide::Bottom;
    case SidePanelSide::Bottom: return SidePanelSide::Top;
    default: return SidePanelSide::None;
    }
}

SidePanelSide SidePanelGeometry::firstSide(SidePanelOffsetOrientation orientation)
{
    return orientation == SidePanelOffsetOrientation::Horizontal ? SidePanelSide::Left : SidePanelSide::Top;
}

SidePanelSide SidePanelGeometry::secondSide(SidePanelOffsetOrientation orientation)
{
    return orientation == SidePanelOffsetOrientation::Horizontal ? SidePanelSide::Right : SidePanelSide::Bottom;
}

double SidePanelGeometry::along(const ui::Point& point, SidePanelOffsetOrientation orientation)
{
    return orientation == SidePanelOffsetOrientation::Horizontal ? point.x : point.y;
}

double SidePanelGeometry::limitOffset(double offset, SidePanelOffsetOrientation orientation, ui::Size reference,
                                      double maxLedge, bool hasFirstSide, bool hasSecondSide)
{
    // Anything but horizontal counts as vertical, as the sliding rectangle does.
    const double extent = orientation == SidePanelOffsetOrientation::Horizontal ? reference.width : reference.height;
    if (hasFirstSide && hasSecondSide)
        return offset;
    if (hasFirstSide && maxLedge > 0)
        return std::min(offset, extent - maxLedge);
    if (hasSecondSide && maxLedge > 0)
        return std::max(offset, maxLedge - extent);
    return offset;
}

ui::Size SidePanelGeometry::slidingSize(double limitedOffset, SidePanelOffsetOrientation orientation,
                                        bool resizesCenterView, ui::Size reference, ui::Rect centerBounds)
{
    if (!resizesCenterView)
        return reference;
    if (orientation == SidePanelOffsetOrientation::Horizontal)
        return {centerBounds.width() - std::fabs(limitedOffset), centerBounds.height()};
    return {centerBounds.width(), centerBounds.height() - std::fabs(limitedOffset)};
}

ui::Rect SidePanelGeometry::slidingRect(double limitedOffset, SidePanelOffsetOrientation orientation,
                                        bool resizesCenterView, ui::Size reference, ui::Rect centerBounds)
{
    // A shrinking centre keeps its origin for a right or bottom side and loses width from the far edge.
    const double along = resizesCenterView && limitedOffset < 0 ? 0 : limitedOffset;
    const ui::Size size = slidingSize(limitedOffset, orientation, resizesCenterView, reference, centerBounds);
    if (orientation == SidePanelOffsetOrientation::Horizontal)
        return {ui::Point(along, 0), size};
    return {ui::Point(0, along), size};
}

double SidePanelGeometry::ledgeOffset(SidePanelSide side, double ledge, ui::Size reference)
{
    switch (side) {
    case SidePanelSide::Left: return reference.width - ledge;
    case SidePanelSide::Right: return ledge - reference.width;
    case SidePanelSide::Top: return reference.height - ledge;
    case SidePanelSide::Bottom: return ledge - reference.height;
    default: return 0;
    }
}

bool SidePanelGeometry::isSideClosed(SidePanelSide side, ui::Rect frame, ui::Size reference)
{
    switch (side) {
    case SidePanelSide::Left: return frame.minX() <= 0;
    case SidePanelSide::Right: return frame.maxX() >= reference.width;
    case SidePanelSide::Top: return frame.minY() <= 0;
    case SidePanelSide::Bottom: return frame.maxY() >= reference.height;
    default: return true;
    }
}

bool SidePanelGeometry::isSideOpen(SidePanelSide side, ui::Rect frame, ui::Size reference, double ledge)
{
    // Exact comparisons on purpose: a side is open only when the view stands at its ledge.
    switch (side) {
    case SidePanelSide::Left: return frame.minX() - (reference.width - ledge) == 0;
    case SidePanelSide::Right: return frame.maxX() - ledge == 0;
    case SidePanelSide::Top: return frame.minY() - (reference.height - ledge) == 0;
    case SidePanelSide::Bottom: return frame.maxY() - ledge == 0;
    default: return false;
    }
}

double SidePanelGeometry::sizeAsLedge(double size, SidePanelSide side, SidePanelSizeMode mode, ui::Size reference)
{
    if (mode == SidePanelSizeMode::Ledge)
        return size;
    return (isHorizontal(side) ? reference.width : reference.height) - size;
}

double SidePanelGeometry::ledgeAsSize(double ledge, SidePanelSide side, SidePanelSizeMode mode, ui::Size reference)
{
    // The conversion is its own inverse.
    return sizeAsLedge(ledge, side, mode, reference);
}

double SidePanelGeometry::panLocation(double location, bool hasFirstSide, bool hasSecondSide, double firstOpenOffset,
                                      double secondOpenOffset, bool elastic)
{
    double p = location;
    if (!hasFirstSide)
        p = std::min(0.0, p);
    if (!hasSecondSide)
        p = std::max(0.0, p);
    const double clamped = std::max(std::min(p, firstOpenOffset), secondOpenOffset);
    if (!elastic)
        return clamped;
    const double overshoot = std::fabs(p) - std::fabs(clamped);
    if (!(overshoot > 0))
        return p;
    // Below single precision's resolution the logarithm is 0; the finger is at the edge then.
    const float stretch = std::log(float(overshoot) + 1.0f);
    if (stretch == 0)
        return p;
    const double direction = p < 0 ? -1.0 : 1.0;
    return clamped + direction * (overshoot / stretch) * 2;
}

double SidePanelGeometry::flingDuration(double position, double target, double velocity)
{
    return std::fabs(target - position) / std::fabs(velocity) * 1.25;
}

std::optional<std::vector<std::int32_t>> SidePanelGeometry::previewBounceHeights(double distance, double numberOfBounces,
                                                                              double dampingFactor, double duration)
{
    if (!(numberOfBounces > 0) || !std::isfinite(numberOfBounces))
        return std::nullopt;
    if (!(duration >= 0) || !std::isfinite(duration) || !std::isfinite(distance))
        return std::nullopt;
    // Single precision and this order of operations on purpose: every height is truncated to
    // a whole point, so a different rounding moves whole keyframes.
    unsigned steps = 100;
    const float hundredths = std::floor(float(duration * 100.0));
    if (hundredths < 100)
        steps = unsigned(hundredths);
    std::vector<std::int32_t> heights;
    heights.reserve(steps);
    if (steps == 0)
        return heights;
    const float period = float(2 * duration / numberOfBounces);
    const float w = float(6.283185307179586 / double(period));
    float z = float(dampingFactor);
    if (!(z > 0.0001f))
        z = 0.0001f;
    if (!(z < 0.9999f))
        z = 0.9999f;
    const float s = std::sqrt(1.0f - std::pow(z, 2.0f));
    const float ws = w / s;
    const float k = period * 0.18f;
    // c makes the curve reach the distance at 0.18 of a period.
    const float c = float(distance * double(w)) / (std::exp(((-z / s) * k) * w) * std::sin(k * w));
    if (!std::isfinite(c))
        return std::nullopt;
    const double a = double(c / w);
    constexpr double kMaxHeight = std::numeric_limits<std::int32_t>::max();
    for (unsigned i = 0; i < steps; ++i) {
        const float t = float(double(float(i) / float(steps)) * duration);
        const float e = std::exp(((-z) * ws) * t);
        const double r = std::sin(double(w * t));
        const double height = std::fabs(double(e) * (a * r));
        heights.push_back(height < kMaxHeight ? std::int32_t(height) : std::numeric_limits<std::int32_t>::max());
    }
    return heights;
}
