#include "platform/ui/KeyframeAnimation.h"

#include <algorithm>

namespace ui {

std::shared_ptr<KeyframeAnimation> KeyframeAnimation::create(const QString& keyPath)
{
    auto animation = std::shared_ptr<KeyframeAnimation>(new KeyframeAnimation);
    animation->setKeyPath(keyPath);
    return animation;
}

AnimatableValue KeyframeAnimation::valueAt(double progress, const AnimatableValue& modelValue) const
{
    const std::size_t n = m_values.size();
    if (n == 0)
        return modelValue;
    if (n == 1)
        return m_values.front();
    auto timeOf = [&](std::size_t i) {
        return m_keyTimes.size() == n ? m_keyTimes[i] : static_cast<double>(i) / static_cast<double>(n - 1);
    };
    if (progress <= timeOf(0))
        return m_values.front();
    for (std::size_t i = 1; i < n; ++i) {
        const double t1 = timeOf(i);
        if (progress > t1)
            continue;
        const double t0 = timeOf(i - 1);
        const double local = t1 > t0 ? (progress - t0) / (t1 - t0) : 1.0;
        return interpolate(m_values[i - 1], m_values[i], local);
    }
    return m_values.back();
}

std::shared_ptr<Animation> KeyframeAnimation::clone() const
{
    return std::shared_ptr<KeyframeAnimation>(new KeyframeAnimation(*this));
}

} // namespace ui
