#pragma once

#include "platform/ui/AnimatableValue.h"
#include "platform/ui/TimingFunction.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace ui {

class Layer;

// An animation of one property of a layer, named by key path ("position", "position.x",
// "bounds", "opacity", "transform", "backgroundColor", "shadowPath", "path", ...; see
// Layer::valueForKeyPath).
//
// The clock model: adding an animation never changes the layer's model values; what is drawn
// (Layer::presentation()) is the model with every running animation applied at
// core::Clock::now(). Timing is on that clock: beginTime is an absolute clock time, 0 meaning
// "the moment it is added". A duration of 0 takes the enclosing transaction's duration, or
// 0.25 s. An animation ends at beginTime + duration × max(1, repeatCount); then, on the run
// loop, it is removed from its layer when removedOnCompletion, and onStop(true) runs. An
// animation removed or replaced before its end gets onStop(false), posted.
//
// Layer::addAnimation adds a copy (clone()), so changing an animation after adding it changes
// nothing that runs.
class Animation {
public:
    enum class FillMode { Removed, Forwards, Backwards, Both };

    virtual ~Animation() = default;

    QString keyPath() const { return m_keyPath; }
    void setKeyPath(const QString& keyPath) { m_keyPath = keyPath; }
    double duration() const { return m_duration; }
    void setDuration(double seconds) { m_duration = seconds; }
    double beginTime() const { return m_beginTime; }
    void setBeginTime(double clockTime) { m_beginTime = clockTime; }
    double repeatCount() const { return m_repeatCount; }      // may be infinity
    void setRepeatCount(double count) { m_repeatCount = count; }
    TimingFunction timingFunction() const { return m_timing; }
    void setTimingFunction(const TimingFunction& f) { m_timing = f; }
    bool isRemovedOnCompletion() const { return m_removedOnCompletion; }
    void setRemovedOnCompletion(bool removed) { m_removedOnCompletion = removed; }
    FillMode fillMode() const { return m_fillMode; }
    void setFillMode(FillMode mode) { m_fillMode = mode; }

    // The animation delegate's did-start and did-stop; both run from the run loop.
    std::function<void()> onStart;
    std::function<void(bool finished)> onStop;

    // Seconds of the whole run (duration × repeats); infinity for endless repeats.
    double activeDuration() const;
    // The value this animation gives the property at eased progress p (0..1);
    // modelValue stands in for a missing from- or to-value.
    virtual AnimatableValue valueAt(double progress, const AnimatableValue& modelValue) const = 0;
    virtual std::shared_ptr<Animation> clone() const = 0;

    // Timing on the clock: the eased progress at time `now` or nullopt when the animation
    // has no effect then (before a begin without backwards fill, after the end without
    // forwards fill).
    std::optional<double> progressAt(double now) const;

protected:
    Animation() = default;
    Animation(const Animation&) = default;
    Animation& operator=(const Animation&) = default;

private:
    QString m_keyPath;
    double m_duration = 0;
    double m_beginTime = 0;
    double m_repeatCount = 0;
    TimingFunction m_timing = TimingFunction::defaultTiming();
    bool m_removedOnCompletion = true;
    FillMode m_fillMode = FillMode::Removed;
};

} // namespace ui
