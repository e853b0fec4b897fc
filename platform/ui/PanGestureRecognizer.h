#pragma once

#include "platform/ui/GestureRecognizer.h"

#include <deque>

namespace ui {

// A drag: begins once the finger has moved 10 points, changes with every move, ends when it
// lifts. Translation is measured from where the finger went down; velocity (points per
// second) from the moves of the last 0.1 s of clock time.
class PanGestureRecognizer : public GestureRecognizer {
public:
    static constexpr double kBeginDistance = 10;
    static constexpr double kVelocityWindow = 0.1;

    static std::shared_ptr<PanGestureRecognizer> create(std::function<void(GestureRecognizer&)> action = {});

    // In the coordinates of `view` (null: the window's); translation ignores the view's
    // position but follows its rotation and scale.
    Point translationInView(const View* view) const;
    void setTranslation(const Point& translation, const View* view);
    Point velocityInView(const View* view) const;

protected:
    PanGestureRecognizer() = default;

    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;
    void reset() override;

private:
    struct Sample {
        Point location;   // window coordinates
        double time;
    };
    void addSample(const Point& location, double time);
    Point windowVector(const Point& v, const View* view, bool toView) const;

    Point m_origin;       // window coordinates where translation is zero
    Point m_current;
    std::deque<Sample> m_samples;
    Point m_releaseVelocity;
};

} // namespace ui
