#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace ui {

// Float geometry in points, y pointing down, as every layout rule of the app is written.
// All values are double; nothing rounds unless a function says so.

struct Point {
    double x = 0;
    double y = 0;

    constexpr Point() = default;
    constexpr Point(double x_, double y_) : x(x_), y(y_) {}

    Point operator+(const Point& o) const { return {x + o.x, y + o.y}; }
    Point operator-(const Point& o) const { return {x - o.x, y - o.y}; }
    Point operator*(double f) const { return {x * f, y * f}; }
    bool operator==(const Point&) const = default;

    QPointF toQPointF() const { return {x, y}; }
    static Point fromQPointF(const QPointF& p) { return {p.x(), p.y()}; }
};

struct Size {
    double width = 0;
    double height = 0;

    constexpr Size() = default;
    constexpr Size(double w, double h) : width(w), height(h) {}

    bool isEmpty() const { return width <= 0 || height <= 0; }
    Size operator*(double f) const { return {width * f, height * f}; }
    bool operator==(const Size&) const = default;

    QSizeF toQSizeF() const { return {width, height}; }
};

struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    bool operator==(const EdgeInsets&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(double x, double y, double w, double h) : origin(x, y), size(w, h) {}
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }
    // The min/mid/max helpers read a standardised rectangle, so a negative size still works.
    double minX() const;
    double midX() const;
    double maxX() const;
    double minY() const;
    double midY() const;
    double maxY() const;
    Point center() const { return {midX(), midY()}; }

    bool isEmpty() const { return size.width == 0 || size.height == 0; }
    Rect standardized() const;
    // Smallest rectangle of whole numbers containing this one.
    Rect integral() const;
    bool contains(const Point& p) const;   // half-open: minX <= x < maxX
    bool contains(const Rect& r) const;
    bool intersects(const Rect& r) const;
    Rect intersected(const Rect& r) const;  // empty (all zero) when they do not meet
    Rect united(const Rect& r) const;
    Rect insetBy(double dx, double dy) const;
    Rect inset(const EdgeInsets& e) const;
    Rect offsetBy(double dx, double dy) const;

    bool operator==(const Rect&) const = default;

    QRectF toQRectF() const { return {origin.x, origin.y, size.width, size.height}; }
    static Rect fromQRectF(const QRectF& r) { return {r.x(), r.y(), r.width(), r.height()}; }
};

// An affine transform in the phone's convention: a point maps to
// (a·x + c·y + tx, b·x + d·y + ty). With y pointing down, a positive rotation angle
// turns clockwise on screen. concat(t1, t2) applies t1 first, then t2.
struct Transform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static Transform identity() { return {}; }
    static Transform translation(double tx, double ty);
    static Transform scale(double sx, double sy);
    static Transform rotation(double angle);
    static Transform concat(const Transform& first, const Transform& second);

    Transform translated(double tx, double ty) const;   // translate, then this
    Transform scaled(double sx, double sy) const;       // scale, then this
    Transform rotated(double angle) const;              // rotate, then this
    Transform inverted() const;                         // itself when not invertible
    bool isIdentity() const { return *this == Transform(); }
    bool isInvertible() const;

    Point apply(const Point& p) const;
    Size apply(const Size& s) const;     // ignores the translation
    Rect apply(const Rect& r) const;     // bounding box of the transformed corners

    // Decomposition used to interpolate transforms: rotation angle, scales and translation.
    double rotationAngle() const;

    bool operator==(const Transform&) const = default;

    QTransform toQTransform() const { return QTransform(a, b, c, d, tx, ty); }
    static Transform fromQTransform(const QTransform& t);
};

} // namespace ui
