#pragma once

#include <memory>
#include <vector>

namespace ui {

class Touch;

// A touch event: every touch of the gesture in progress, with the event's time.
class Event {
public:
    Event(std::vector<std::shared_ptr<Touch>> touches, double timestamp)
        : m_touches(std::move(touches)), m_timestamp(timestamp) {}

    const std::vector<std::shared_ptr<Touch>>& allTouches() const { return m_touches; }
    double timestamp() const { return m_timestamp; }

private:
    std::vector<std::shared_ptr<Touch>> m_touches;
    double m_timestamp;
};

} // namespace ui
