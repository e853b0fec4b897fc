#pragma once

#include "platform/ui/InterfaceOrientation.h"

#include <memory>

namespace ui {

class View;
class Window;

// Turns a window's interface to a new orientation, as the phone did when the device turned,
// in its two-step form.
//
// The controllers that turn are the window's root controller and the controllers it presents,
// those whose views are in the window; the platform passes each call on to the children whose
// views are inside a controller's view while it answers
// shouldAutomaticallyForwardRotationMethods(). The topmost of them decides
// (shouldAutorotateToInterfaceOrientation). The ones a full-screen presentation covers (their
// views loaded but out of the window) are asked the same question once the turn goes ahead;
// their answers do not count and they are not turned: their views take the new orientation
// when they are put back, and a controller that keeps geometry of its own records the
// question and replays the turn as it appears again. Then, for a duration d:
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

    // Lays a view at the window's top level across the window in the interface's present
    // orientation: turned about the window's centre, its width and height swapped in landscape.
    static void fitToInterface(const Window& window, View& view);
};

} // namespace ui
