#include "platform/ui/TouchInjector.h"

#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

bool TouchInjector::tap(const View& view)
{
    auto window = view.window();
    if (!window)
        return false;
    tap(*window, view.convertPointTo(view.bounds().center(), nullptr));
    return true;
}

void TouchInjector::tap(Window& window, const Point& windowPoint)
{
    touchDown(window, windowPoint);
    touchUp(window, windowPoint);
}

void TouchInjector::drag(core::ManualClock& clock, Window& window, const Point& from, const Point& to, double duration,
                         int steps)
{
    steps = std::max(1, steps);
    touchDown(window, from);
    for (int i = 1; i <= steps; ++i) {
        clock.advance(duration / steps);
        const double t = double(i) / steps;
        touchMove(window, from + (to - from) * t);
    }
    touchUp(window, to);
}

void TouchInjector::touchDown(Window& window, const Point& windowPoint)
{
    window.sendTouch(Touch::Phase::Began, windowPoint, core::Clock::now());
}

void TouchInjector::touchMove(Window& window, const Point& windowPoint)
{
    window.sendTouch(Touch::Phase::Moved, windowPoint, core::Clock::now());
}

void TouchInjector::touchUp(Window& window, const Point& windowPoint)
{
    window.sendTouch(Touch::Phase::Ended, windowPoint, core::Clock::now());
}

void TouchInjector::touchCancel(Window& window, const Point& windowPoint)
{
    window.sendTouch(Touch::Phase::Cancelled, windowPoint, core::Clock::now());
}

} // namespace ui
