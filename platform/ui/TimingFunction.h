#pragma once

namespace ui {

// An animation's pacing: a cubic Bézier from (0, 0) to (1, 1) with two control points.
class TimingFunction {
public:
    enum class Name { Linear, EaseIn, EaseOut, EaseInEaseOut, Default, Custom };

    TimingFunction() : TimingFunction(linear()) {}
    static TimingFunction linear();
    static TimingFunction easeIn();          // (0.42, 0) (1, 1)
    static TimingFunction easeOut();         // (0, 0) (0.58, 1)
    static TimingFunction easeInEaseOut();   // (0.42, 0) (0.58, 1)
    static TimingFunction defaultTiming();   // (0.25, 0.1) (0.25, 1)
    static TimingFunction controlPoints(double x1, double y1, double x2, double y2);

    Name name() const { return m_name; }
    // Eased progress for linear progress t in [0, 1].
    double value(double t) const;

    bool operator==(const TimingFunction&) const = default;

private:
    TimingFunction(Name n, double x1, double y1, double x2, double y2)
        : m_name(n), m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2) {}
    Name m_name;
    double m_x1, m_y1, m_x2, m_y2;
};

} // namespace ui
