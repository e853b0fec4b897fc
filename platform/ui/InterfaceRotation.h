#pragma once

#include "platform/ui/InterfaceOrientation.h"

#include <memory>

namespace ui {

class View;
class ViewController;
class Window;

// Turns a window's interface to a new orientation, as the phone did when the device turned,
// in its two-step form.
//
// The controllers that turn are the window's root controller and the controllers it presents,
// those whose views are in the window; the platform passes each call on to the children whose
// views are inside a controller's view while it answers
// shouldAutomaticallyForwardRotationMethods(). The topmost of them decides
// (shouldAutorotateToInterfaceOrientation). Those a full-screen presentation covers are not
// turned; see ask(). Then, for a duration d:
//   at once: willRotateToInterfaceOrientation(to, d), then, inside the first half's
//            animation, willAnimateFirstHalfOfRotationToInterfaceOrientation(to, d/2);
//   at d/2:  the status bar takes the new orientation, the window's views turn to it (a
//            landscape interface has the window's width and height swapped) and, inside the
//            second half's animation, willAnimateRotationToInterfaceOrientation(to, d/2) and
//            willAnimateSecondHalfOfRotationFromInterfaceOrientation(from, d/2);
//   at d:    didRotateFromInterfaceOrientation(from).
// Nothing in the app turns the interface; tests do.
class InterfaceRotation {
public:
    static constexpr double kDuration = 0.4;

    // False, and nothing happens, when the interface already has that orientation, the window
    // shows no controller, or the topmost controller refuses.
    static bool rotate(const std::shared_ptr<Window>& window, InterfaceOrientation to, double duration = kDuration);

    // Asks a controller, and the children the platform passes rotation calls to, whether the
    // interface may turn to `orientation`; the answers do not count. A controller that a
    // presentation covered while the interface turned is asked as it is uncovered, its view
    // still as it was: it may record the turn and replay it as it appears (the platform then
    // lays its view across the window in the new orientation). One whose view was let go
    // meanwhile is not asked, also when a new one loaded before it was uncovered: its new view
    // is laid out in the orientation of the day.
    static void ask(const std::shared_ptr<ViewController>& controller, InterfaceOrientation orientation);

    // Lays a view at the window's top level across the window in the interface's present
    // orientation: turned about the window's centre, its width and height swapped in landscape.
    static void fitToInterface(const Window& window, View& view);
};

} // namespace ui
