#pragma once

#include "platform/ui/Geometry.h"

namespace core {
class ManualClock;
}

namespace ui {

class View;
class Window;

// Drives touches for tests, as a finger would, stamped with core::Clock::now(). A drag
// advances the test's manual clock between its moves, which runs due run-loop work (and
// animations) as real time would.
class TouchInjector {
public:
    // A touch down and up at the centre of the view; false when the view is not in a window.
    static bool tap(const View& view);
    // A touch down and up at a point of the window.
    static void tap(Window& window, const Point& windowPoint);
    // Down at `from`, then `steps` moves evenly spaced in distance and time over `duration`
    // seconds of the manual clock, the last at `to`, then up at `to`.
    static void drag(core::ManualClock& clock, Window& window, const Point& from, const Point& to, double duration,
                     int steps = 10);

    static void touchDown(Window& window, const Point& windowPoint);
    static void touchMove(Window& window, const Point& windowPoint);
    static void touchUp(Window& window, const Point& windowPoint);
    static void touchCancel(Window& window, const Point& windowPoint);
};

} // namespace ui
