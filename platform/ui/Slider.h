#pragma once

#include "platform/ui/Control.h"

#include <memory>

namespace ui {

// A value between a minimum and a maximum, shown as a thumb on a track and changed by
// dragging the thumb.
//
// Only a touch that lands on the thumb (grown by kThumbTouchMargin, so a fingertip beside a
// small thumb still catches it) starts a drag; a touch elsewhere on the track changes
// nothing and stays a plain touch of the control. The drag moves the value by the finger's
// travel, so the thumb keeps its place under the finger. A continuous slider sends
// value-changed at every move that changes the value; otherwise once, as the finger lifts,
// when the drag changed it. A value set from code sends nothing.
class Slider : public Control {
public:
    static constexpr double kThumbSize = 28;
    static constexpr double kThumbTouchMargin = 10;
    static constexpr double kTrackHeight = 2;
    // The phone's slider height, for callers that make one without a frame in mind.
    static constexpr double kDefaultHeight = 34;

    static std::shared_ptr<Slider> create(const Rect& frame = Rect());

    float value() const { return m_value; }
    // Held within [minimumValue, maximumValue].
    void setValue(float value, bool animated = false);
    float minimumValue() const { return m_minimumValue; }
    // A limit that passes the other one moves it along, and the value follows.
    void setMinimumValue(float minimum);
    float maximumValue() const { return m_maximumValue; }
    void setMaximumValue(float maximum);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) { m_continuous = continuous; }

    // Where the thumb stands for the current value, in the slider's own space.
    Rect thumbRect() const;

protected:
    explicit Slider(const Rect& frame);

    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;
    void draw(DrawContext& context) override;

private:
    float clamped(float value) const;
    // The thumb's centre travels this far from the minimum to the maximum.
    double travel() const;
    void dragTo(double fingerX);

    float m_value = 0;
    float m_minimumValue = 0;
    float m_maximumValue = 1;
    bool m_continuous = true;
    bool m_dragging = false;
    double m_grabOffset = 0;    // finger x minus thumb centre x when the drag began
    float m_valueAtGrab = 0;
};

} // namespace ui
