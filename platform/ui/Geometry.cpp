#include "platform/ui/Geometry.h"

#include <algorithm>
#include <cmath>

namespace ui {

double Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
double Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double Rect::midX() const { return origin.x + size.width / 2; }
double Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
double Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }
double Rect::midY() const { return origin.y + size.height / 2; }

Rect Rect::standardized() const
{
    return {minX(), minY(), std::abs(size.width), std::abs(size.height)};
}

Rect Rect::integral() const
{
    if (isEmpty())
        return standardized();
    const double x0 = std::floor(minX()), y0 = std::floor(minY());
    const double x1 = std::ceil(maxX()), y1 = std::ceil(maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

bool Rect::contains(const Point& p) const
{
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& r) const
{
    return r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY() && r.maxY() <= maxY();
}

bool Rect::intersects(const Rect& r) const
{
    return !intersected(r).isEmpty();
}

Rect Rect::intersected(const Rect& r) const
{
    const double x0 = std::max(minX(), r.minX()), y0 = std::max(minY(), r.minY());
    const double x1 = std::min(maxX(), r.maxX()), y1 = std::min(maxY(), r.maxY());
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::united(const Rect& r) const
{
    if (isEmpty())
        return r.standardized();
    if (r.isEmpty())
        return standardized();
    const double x0 = std::min(minX(), r.minX()), y0 = std::min(minY(), r.minY());
    const double x1 = std::max(maxX(), r.maxX()), y1 = std::max(maxY(), r.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::insetBy(double dx, double dy) const
{
    const Rect s = standardized();
    return {s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy};
}

Rect Rect::inset(const EdgeInsets& e) const
{
    return {origin.x + e.left, origin.y + e.top, size.width - e.left - e.right, size.height - e.top - e.bottom};
}

Rect Rect::offsetBy(double dx, double dy) const
{
    return {origin.x + dx, origin.y + dy, size.width, size.height};
}

Transform Transform::translation(double tx, double ty)
{
    return {1, 0, 0, 1, tx, ty};
}

Transform Transform::scale(double sx, double sy)
{
    return {sx, 0, 0, sy, 0, 0};
}

Transform Transform::rotation(double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return {c, s, -s, c, 0, 0};
}

Transform Transform::concat(const Transform& t1, const Transform& t2)
{
    return {t1.a * t2.a + t1.b * t2.c,
            t1.a * t2.b + t1.b * t2.d,
            t1.c * t2.a + t1.d * t2.c,
            t1.c * t2.b + t1.d * t2.d,
            t1.tx * t2.a + t1.ty * t2.c + t2.tx,
            t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

Transform Transform::translated(double x, double y) const { return concat(translation(x, y), *this); }
Transform Transform::scaled(double sx, double sy) const { return concat(Transform::scale(sx, sy), *this); }
Transform Transform::rotated(double angle) const { return concat(rotation(angle), *this); }

bool Transform::isInvertible() const
{
    return a * d - b * c != 0;
}

Transform Transform::inverted() const
{
    const double det = a * d - b * c;
    if (det == 0)
        return *this;
    return {d / det, -b / det, -c / det, a / det,
            (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

Point Transform::apply(const Point& p) const
{
    return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty};
}

Size Transform::apply(const Size& s) const
{
    return {a * s.width + c * s.height, b * s.width + d * s.height};
}

Rect Transform::apply(const Rect& r) const
{
    const Rect s = r.standardized();
    const Point corners[4] = {apply(Point(s.minX(), s.minY())), apply(Point(s.maxX(), s.minY())),
                              apply(Point(s.minX(), s.maxY())), apply(Point(s.maxX(), s.maxY()))};
    double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

double Transform::rotationAngle() const
{
    return std::atan2(b, a);
}

Transform Transform::fromQTransform(const QTransform& t)
{
    return {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
}

} // namespace ui
