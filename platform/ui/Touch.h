#pragma once

#include "platform/ui/Geometry.h"

#include <memory>
#include <vector>

namespace ui {

class GestureRecognizer;
class View;
class Window;

// One finger on the screen (our mouse). Locations are kept in window coordinates and
// converted on request.
class Touch {
public:
    enum class Phase { Began, Moved, Stationary, Ended, Cancelled };

    static std::shared_ptr<Touch> create(const std::shared_ptr<Window>& window, const Point& location, double timestamp);

    Phase phase() const { return m_phase; }
    double timestamp() const { return m_timestamp; }
    // 2 for the second tap of a double tap, and so on.
    int tapCount() const { return m_tapCount; }
    void setTapCount(int count) { m_tapCount = count; }
    // The view hit when the touch began; it keeps the touch for its whole life.
    std::shared_ptr<View> view() const { return m_view.lock(); }
    std::shared_ptr<Window> window() const { return m_window.lock(); }

    // In the given view's coordinates; a null view means the window's.
    Point locationInView(const View* view) const;
    Point previousLocationInView(const View* view) const;

    // The window's updates as the finger moves.
    void update(Phase phase, const Point& windowLocation, double timestamp);
    void setView(const std::shared_ptr<View>& view) { m_view = view; }

private:
    std::weak_ptr<Window> m_window;
    std::weak_ptr<View> m_view;
    Point m_location;
    Point m_previous;
    double m_timestamp = 0;
    int m_tapCount = 1;
    Phase m_phase = Phase::Began;
};

} // namespace ui
