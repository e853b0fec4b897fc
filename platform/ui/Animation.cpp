#include "platform/ui/Animation.h"

#include <cmath>
#include <limits>

namespace ui {

double Animation::activeDuration() const
{
    if (std::isinf(m_repeatCount))
        return std::numeric_limits<double>::infinity();
    return m_duration * std::max(1.0, m_repeatCount);
}

std::optional<double> Animation::progressAt(double now) const
{
    const double local = now - m_beginTime;
    const bool fillsBackwards = m_fillMode == FillMode::Backwards || m_fillMode == FillMode::Both;
    const bool fillsForwards = m_fillMode == FillMode::Forwards || m_fillMode == FillMode::Both;
    if (local < 0)
        return fillsBackwards ? std::optional<double>(m_timing.value(0)) : std::nullopt;
    const double active = activeDuration();
    if (local >= active) {
        if (!fillsForwards)
            return std::nullopt;
        return m_timing.value(1);
    }
    if (m_duration <= 0)
        return m_timing.value(1);
    const double within = std::fmod(local, m_duration) / m_duration;
    return m_timing.value(within);
}

} // namespace ui
