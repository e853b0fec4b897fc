#pragma once

#include <QColor>

namespace ui {

// An RGBA colour, components from 0 to 1 (device RGB).
class Color {
public:
    constexpr Color() = default;   // clear
    constexpr Color(double r, double g, double b, double a = 1.0) : m_r(r), m_g(g), m_b(b), m_a(a) {}

    // 0xRRGGBB; bits above the lowest 24 are ignored.
    static Color fromRGB(unsigned int rgb, double alpha = 1.0);
    static Color fromWhite(double white, double alpha = 1.0);
    static Color fromQColor(const QColor& c);

    static Color clear() { return {0, 0, 0, 0}; }
    static Color black() { return {0, 0, 0, 1}; }
    static Color white() { return {1, 1, 1, 1}; }
    static Color gray() { return {0.5, 0.5, 0.5, 1}; }
    static Color darkGray() { return {1.0 / 3, 1.0 / 3, 1.0 / 3, 1}; }
    static Color lightGray() { return {2.0 / 3, 2.0 / 3, 2.0 / 3, 1}; }
    static Color red() { return {1, 0, 0, 1}; }
    static Color green() { return {0, 1, 0, 1}; }
    static Color blue() { return {0, 0, 1, 1}; }
    static Color yellow() { return {1, 1, 0, 1}; }
    static Color orange() { return {1, 0.5, 0, 1}; }

    double r() const { return m_r; }
    double g() const { return m_g; }
    double b() const { return m_b; }
    double alpha() const { return m_a; }
    bool isClear() const { return m_a <= 0; }

    Color withAlpha(double alpha) const { return {m_r, m_g, m_b, alpha}; }
    QColor toQColor() const;

    bool operator==(const Color&) const = default;

private:
    double m_r = 0, m_g = 0, m_b = 0, m_a = 0;
};

} // namespace ui
