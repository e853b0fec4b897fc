#pragma once

#include "platform/ui/Animation.h"

namespace ui {

// From one value to another (either may be missing: the layer's model value stands in).
class BasicAnimation : public Animation {
public:
    static std::shared_ptr<BasicAnimation> create(const QString& keyPath);
    static std::shared_ptr<BasicAnimation> create(const QString& keyPath, AnimatableValue from,
                                                  AnimatableValue to, double duration);

    const AnimatableValue& fromValue() const { return m_from; }
    void setFromValue(AnimatableValue v) { m_from = std::move(v); }
    const AnimatableValue& toValue() const { return m_to; }
    void setToValue(AnimatableValue v) { m_to = std::move(v); }

    AnimatableValue valueAt(double progress, const AnimatableValue& modelValue) const override;
    std::shared_ptr<Animation> clone() const override;

private:
    AnimatableValue m_from;
    AnimatableValue m_to;
};

} // namespace ui
