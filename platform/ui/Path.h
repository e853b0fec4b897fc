#pragma once

#include "platform/ui/Geometry.h"

#include <QPainterPath>

namespace ui {

// A vector path (the phone's bezier path / mutable path), a value type over QPainterPath.
//
// Angles are measured from the +x axis towards +y, which points down the screen, so an arc
// drawn in increasing angle turns clockwise on screen and -π/2 is the top of a circle.
class Path {
public:
    enum class ArcDirection { Increasing, Decreasing };
    // Corner bits as the phone numbers them.
    enum Corner : unsigned {
        TopLeft = 1,
        TopRight = 2,
        BottomLeft = 4,
        BottomRight = 8,
        AllCorners = 15,
    };

    Path() = default;
    static Path rect(const Rect& r);
    static Path ellipse(const Rect& r);
    static Path roundedRect(const Rect& r, double radius);
    // Only the corners in `corners` are rounded, with radii (rx, ry), each limited to half
    // the rectangle's side.
    static Path roundedRect(const Rect& r, unsigned corners, Size radii);
    static Path arc(Point center, double radius, double startAngle, double endAngle, ArcDirection dir);
    static Path fromQPainterPath(const QPainterPath& p) { Path r; r.m_path = p; return r; }

    void moveTo(Point p);
    void lineTo(Point p);   // from the current point; starts a subpath at p when there is none
    void quadCurveTo(Point control, Point end);
    void curveTo(Point control1, Point control2, Point end);
    // A circular arc around center. With a current point, a straight line first joins it to
    // the arc's start. A sweep of 2π or more in either direction draws the full circle.
    void addArc(Point center, double radius, double startAngle, double endAngle, ArcDirection dir);
    // The tangent arc: a line from the current point towards p1, then an arc of `radius`
    // tangent to the lines (current → p1) and (p1 → p2), ending on the second line.
    // Collinear points or a zero radius give a line to p1.
    void addArcToPoint(Point p1, Point p2, double radius);
    void addRect(const Rect& r);
    void addEllipse(const Rect& r);
    void addPath(const Path& other);
    void closeSubpath();

    bool isEmpty() const { return m_path.elementCount() == 0; }
    bool hasCurrentPoint() const { return !isEmpty(); }
    Point currentPoint() const;
    // Box of the path's points, curves included, control points excluded. Empty path: 0,0,0,0.
    Rect boundingBox() const;
    bool contains(const Point& p) const;   // non-zero winding fill rule
    Path transformed(const Transform& t) const;
    int elementCount() const { return m_path.elementCount(); }

    // Element-wise interpolation (paths of the same structure); otherwise `to` once t > 0.
    static Path interpolate(const Path& from, const Path& to, double t);

    const QPainterPath& qpainterPath() const { return m_path; }
    bool operator==(const Path& o) const { return m_path == o.m_path; }

private:
    QPainterPath m_path;
};

} // namespace ui
