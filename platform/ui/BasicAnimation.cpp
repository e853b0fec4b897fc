#include "platform/ui/BasicAnimation.h"

namespace ui {

std::shared_ptr<BasicAnimation> BasicAnimation::create(const QString& keyPath)
{
    auto animation = std::shared_ptr<BasicAnimation>(new BasicAnimation);
    animation->setKeyPath(keyPath);
    return animation;
}

std::shared_ptr<BasicAnimation> BasicAnimation::create(const QString& keyPath, AnimatableValue from,
                                                       AnimatableValue to, double duration)
{
    auto animation = create(keyPath);
    animation->setFromValue(std::move(from));
    animation->setToValue(std::move(to));
    animation->setDuration(duration);
    return animation;
}

AnimatableValue BasicAnimation::valueAt(double progress, const AnimatableValue& modelValue) const
{
    const AnimatableValue& from = hasValue(m_from) ? m_from : modelValue;
    const AnimatableValue& to = hasValue(m_to) ? m_to : modelValue;
    return interpolate(from, to, progress);
}

std::shared_ptr<Animation> BasicAnimation::clone() const
{
    return std::shared_ptr<BasicAnimation>(new BasicAnimation(*this));
}

} // namespace ui
