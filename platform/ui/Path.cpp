#include "platform/ui/Path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ui {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

// The signed sweep (positive = increasing angle) of an arc from start to end.
double sweepOf(double start, double end, Path::ArcDirection dir)
{
    double d = dir == Path::ArcDirection::Increasing ? end - start : start - end;
    if (d >= kTwoPi) {
        d = kTwoPi;
    } else {
        d = std::fmod(d, kTwoPi);
        if (d < 0)
            d += kTwoPi;
    }
    return dir == Path::ArcDirection::Increasing ? d : -d;
}

double length(Point p)
{
    return std::hypot(p.x, p.y);
}

} // namespace

Path Path::rect(const Rect& r)
{
    Path p;
    p.addRect(r);
    return p;
}

Path Path::ellipse(const Rect& r)
{
    Path p;
    p.addEllipse(r);
    return p;
}

Path Path::roundedRect(const Rect& r, double radius)
{
    return roundedRect(r, AllCorners, Size(radius, radius));
}

Path Path::roundedRect(const Rect& rect, unsigned corners, Size radii)
{
    const Rect r = rect.standardized();
    const double rx = std::clamp(radii.width, 0.0, r.width() / 2);
    const double ry = std::clamp(radii.height, 0.0, r.height() / 2);
    auto radiusOf = [&](unsigned corner) { return (corners & corner) && rx > 0 && ry > 0 ? Size(rx, ry) : Size(); };
    const Size tl = radiusOf(TopLeft), tr = radiusOf(TopRight), bl = radiusOf(BottomLeft), br = radiusOf(BottomRight);
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();

    // Clockwise on screen from the top edge, as the phone builds it; Qt angles run the other way.
    QPainterPath q;
    q.moveTo(x + tl.width, y);
    q.lineTo(x + w - tr.width, y);
    if (!tr.isEmpty())
        q.arcTo(QRectF(x + w - 2 * tr.width, y, 2 * tr.width, 2 * tr.height), 90, -90);
    q.lineTo(x + w, y + h - br.height);
    if (!br.isEmpty())
        q.arcTo(QRectF(x + w - 2 * br.width, y + h - 2 * br.height, 2 * br.width, 2 * br.height), 0, -90);
    q.lineTo(x + bl.width, y + h);
    if (!bl.isEmpty())
        q.arcTo(QRectF(x, y + h - 2 * bl.height, 2 * bl.width, 2 * bl.height), 270, -90);
    q.lineTo(x, y + tl.height);
    if (!tl.isEmpty())
        q.arcTo(QRectF(x, y, 2 * tl.width, 2 * tl.height), 180, -90);
    q.closeSubpath();
    return fromQPainterPath(q);
}

Path Path::arc(Point center, double radius, double startAngle, double endAngle, ArcDirection dir)
{
    Path p;
    p.addArc(center, radius, startAngle, endAngle, dir);
    return p;
}

void Path::moveTo(Point p)
{
    m_path.moveTo(p.toQPointF());
}

void Path::lineTo(Point p)
{
    if (isEmpty())
        m_path.moveTo(p.toQPointF());
    else
        m_path.lineTo(p.toQPointF());
}

void Path::quadCurveTo(Point control, Point end)
{
    if (isEmpty())
        m_path.moveTo(control.toQPointF());
    m_path.quadTo(control.toQPointF(), end.toQPointF());
}

void Path::curveTo(Point c1, Point c2, Point end)
{
    if (isEmpty())
        m_path.moveTo(c1.toQPointF());
    m_path.cubicTo(c1.toQPointF(), c2.toQPointF(), end.toQPointF());
}

void Path::addArc(Point center, double radius, double startAngle, double endAngle, ArcDirection dir)
{
    // An angle computed out of its domain (acos of more than 1) must not poison the path.
    if (!std::isfinite(center.x) || !std::isfinite(center.y) || !std::isfinite(radius) || !std::isfinite(startAngle)
        || !std::isfinite(endAngle))
        return;
    const Point start(center.x + radius * std::cos(startAngle), center.y + radius * std::sin(startAngle));
    if (isEmpty())
        m_path.moveTo(start.toQPointF());
    else
        m_path.lineTo(start.toQPointF());
    const double sweep = sweepOf(startAngle, endAngle, dir);
    if (sweep == 0 || radius <= 0)
        return;
    const QRectF box(center.x - radius, center.y - radius, 2 * radius, 2 * radius);
    m_path.arcTo(box, -degrees(startAngle), -degrees(sweep));
}

void Path::addArcToPoint(Point p1, Point p2, double radius)
{
    if (isEmpty()) {
        moveTo(p1);
        return;
    }
    const Point p0 = currentPoint();
    const Point a = p0 - p1, b = p2 - p1;
    const double la = length(a), lb = length(b);
    const double cross = a.x * b.y - a.y * b.x;
    if (radius <= 0 || la == 0 || lb == 0 || std::abs(cross) < 1e-12 * la * lb) {
        lineTo(p1);
        return;
    }
    const Point u = a * (1 / la), v = b * (1 / lb);
    const double theta = std::acos(std::clamp(u.x * v.x + u.y * v.y, -1.0, 1.0));
    const double t = radius / std::tan(theta / 2);
    const Point t1 = p1 + u * t, t2 = p1 + v * t;
    const Point bisector = u + v;
    const Point center = p1 + bisector * (radius / std::sin(theta / 2) / length(bisector));
    const double a1 = std::atan2(t1.y - center.y, t1.x - center.x);
    const double a2 = std::atan2(t2.y - center.y, t2.x - center.x);
    double d = a2 - a1;
    while (d > std::numbers::pi)
        d -= kTwoPi;
    while (d <= -std::numbers::pi)
        d += kTwoPi;
    addArc(center, radius, a1, a1 + d, d >= 0 ? ArcDirection::Increasing : ArcDirection::Decreasing);
}

void Path::addRect(const Rect& r)
{
    m_path.addRect(r.toQRectF());
}

void Path::addEllipse(const Rect& r)
{
    m_path.addEllipse(r.toQRectF());
}

void Path::addPath(const Path& other)
{
    m_path.addPath(other.m_path);
}

void Path::closeSubpath()
{
    m_path.closeSubpath();
}

Point Path::currentPoint() const
{
    return Point::fromQPointF(m_path.currentPosition());
}

Rect Path::boundingBox() const
{
    if (isEmpty())
        return {};
    return Rect::fromQRectF(m_path.boundingRect());
}

bool Path::contains(const Point& p) const
{
    QPainterPath filled = m_path;
    filled.setFillRule(Qt::WindingFill);
    return filled.contains(p.toQPointF());
}

Path Path::transformed(const Transform& t) const
{
    return fromQPainterPath(t.toQTransform().map(m_path));
}

Path Path::interpolate(const Path& from, const Path& to, double t)
{
    const int n = from.m_path.elementCount();
    bool same = n == to.m_path.elementCount();
    for (int i = 0; same && i < n; ++i)
        same = from.m_path.elementAt(i).type == to.m_path.elementAt(i).type;
    if (!same)
        return t > 0 ? to : from;
    Path result = from;
    for (int i = 0; i < n; ++i) {
        const auto e0 = from.m_path.elementAt(i);
        const auto e1 = to.m_path.elementAt(i);
        result.m_path.setElementPositionAt(i, e0.x + (e1.x - e0.x) * t, e0.y + (e1.y - e0.y) * t);
    }
    return result;
}

} // namespace ui
