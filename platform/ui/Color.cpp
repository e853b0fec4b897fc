#include "platform/ui/Color.h"

#include <algorithm>

namespace ui {

Color Color::fromRGB(unsigned int rgb, double alpha)
{
    return {((rgb & 0xFF0000) >> 16) / 255.0, ((rgb & 0xFF00) >> 8) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Color Color::fromWhite(double white, double alpha)
{
    return {white, white, white, alpha};
}

Color Color::fromQColor(const QColor& c)
{
    return {c.redF(), c.greenF(), c.blueF(), c.alphaF()};
}

QColor Color::toQColor() const
{
    auto clamp = [](double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); };
    return QColor::fromRgbF(clamp(m_r), clamp(m_g), clamp(m_b), clamp(m_a));
}

} // namespace ui
