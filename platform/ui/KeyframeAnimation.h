#pragma once

#include "platform/ui/Animation.h"

#include <vector>

namespace ui {

// Through a list of values in linear calculation mode. Without key times the values are
// spaced evenly over the duration (value i at i / (n − 1)); key times, when given, must be
// as many as the values, rising from 0 to 1. No values: the animation runs its time and ends
// without changing anything drawn; one value: that value throughout.
class KeyframeAnimation : public Animation {
public:
    static std::shared_ptr<KeyframeAnimation> create(const QString& keyPath);

    const std::vector<AnimatableValue>& values() const { return m_values; }
    void setValues(std::vector<AnimatableValue> values) { m_values = std::move(values); }
    const std::vector<double>& keyTimes() const { return m_keyTimes; }
    void setKeyTimes(std::vector<double> keyTimes) { m_keyTimes = std::move(keyTimes); }

    AnimatableValue valueAt(double progress, const AnimatableValue& modelValue) const override;
    std::shared_ptr<Animation> clone() const override;

private:
    std::vector<AnimatableValue> m_values;
    std::vector<double> m_keyTimes;
};

} // namespace ui
