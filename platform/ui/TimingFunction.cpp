#include "platform/ui/TimingFunction.h"

#include <algorithm>
#include <cmath>

namespace ui {

TimingFunction TimingFunction::linear() { return {Name::Linear, 0, 0, 1, 1}; }
TimingFunction TimingFunction::easeIn() { return {Name::EaseIn, 0.42, 0, 1, 1}; }
TimingFunction TimingFunction::easeOut() { return {Name::EaseOut, 0, 0, 0.58, 1}; }
TimingFunction TimingFunction::easeInEaseOut() { return {Name::EaseInEaseOut, 0.42, 0, 0.58, 1}; }
TimingFunction TimingFunction::defaultTiming() { return {Name::Default, 0.25, 0.1, 0.25, 1}; }

TimingFunction TimingFunction::controlPoints(double x1, double y1, double x2, double y2)
{
    return {Name::Custom, x1, y1, x2, y2};
}

double TimingFunction::value(double t) const
{
    t = std::clamp(t, 0.0, 1.0);
    if (m_name == Name::Linear)
        return t;
    // Solve x(s) = t for the curve parameter s (x is monotonic for control x in [0, 1]),
    // then read y(s).
    auto bezier = [](double p1, double p2, double s) {
        const double r = 1 - s;
        return 3 * r * r * s * p1 + 3 * r * s * s * p2 + s * s * s;
    };
    double lo = 0, hi = 1, s = t;
    for (int i = 0; i < 60; ++i) {
        const double x = bezier(m_x1, m_x2, s);
        if (std::abs(x - t) < 1e-10)
            break;
        if (x < t)
            lo = s;
        else
            hi = s;
        s = (lo + hi) / 2;
    }
    return bezier(m_y1, m_y2, s);
}

} // namespace ui
