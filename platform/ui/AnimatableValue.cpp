#include "platform/ui/AnimatableValue.h"

#include <cmath>
#include <numbers>

namespace ui {

namespace {

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

Point lerp(Point a, Point b, double t)
{
    return {lerp(a.x, b.x, t), lerp(a.y, b.y, t)};
}

Size lerp(Size a, Size b, double t)
{
    return {lerp(a.width, b.width, t), lerp(a.height, b.height, t)};
}

Rect lerp(const Rect& a, const Rect& b, double t)
{
    return {lerp(a.origin, b.origin, t), lerp(a.size, b.size, t)};
}

Color lerp(const Color& a, const Color& b, double t)
{
    return {lerp(a.r(), b.r(), t), lerp(a.g(), b.g(), t), lerp(a.b(), b.b(), t), lerp(a.alpha(), b.alpha(), t)};
}

// M = R(angle) · [[sx, shear], [0, sy]] plus translation: interpolating these parts keeps a
// rotation a rotation all the way (a matrix blend would shrink it half-way).
struct Parts {
    double angle, sx, sy, shear, tx, ty;
};

Parts decompose(const Transform& m)
{
    const double sx = std::hypot(m.a, m.b);
    if (sx == 0)
        return {0, 0, m.d, m.c, m.tx, m.ty};
    return {std::atan2(m.b, m.a), sx, (m.a * m.d - m.b * m.c) / sx, (m.a * m.c + m.b * m.d) / sx, m.tx, m.ty};
}

Transform compose(const Parts& p)
{
    const double c = std::cos(p.angle), s = std::sin(p.angle);
    return {c * p.sx, s * p.sx, c * p.shear - s * p.sy, s * p.shear + c * p.sy, p.tx, p.ty};
}

Transform lerp(const Transform& a, const Transform& b, double t)
{
    const Parts pa = decompose(a), pb = decompose(b);
    double da = pb.angle - pa.angle;
    if (da > std::numbers::pi)
        da -= 2 * std::numbers::pi;
    else if (da < -std::numbers::pi)
        da += 2 * std::numbers::pi;
    return compose({pa.angle + da * t, lerp(pa.sx, pb.sx, t), lerp(pa.sy, pb.sy, t), lerp(pa.shear, pb.shear, t),
                    lerp(pa.tx, pb.tx, t), lerp(pa.ty, pb.ty, t)});
}

Path lerp(const Path& a, const Path& b, double t)
{
    return Path::interpolate(a, b, t);
}

} // namespace

AnimatableValue interpolate(const AnimatableValue& from, const AnimatableValue& to, double t)
{
    if (from.index() != to.index())
        return t > 0 ? to : from;
    return std::visit(
        [&](const auto& a) -> AnimatableValue {
            using T = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<T, std::monostate>)
                return a;
            else
                return lerp(a, std::get<T>(to), t);
        },
        from);
}

} // namespace ui
