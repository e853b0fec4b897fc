#pragma once

#include <memory>

namespace ui {

class ViewController;

// The system's low-memory warning, as the phone sends it to every view controller.
//
// post() first tells every controller that has loaded a view (didReceiveMemoryWarning, in the
// order their views first loaded), and then lets go of each view that is loaded but in no
// window (the latest loaded first; out of its superview, if it has one), telling its
// controller viewDidUnload; the view loads again when next asked for. The unloading is the
// platform's own step, not part of didReceiveMemoryWarning, so a controller that overrides
// the warning without calling the base still gives its unused view back.
//
// Each controller hears a warning once. A controller that passes the warning on (a container
// to the controllers it holds) names them (memoryWarningRelays()) and tells them with pass();
// those wait for it, and the platform tells afterwards whoever should hear the warning and has
// not, so a relay that keeps the warning to itself leaves nobody out. Nothing in the app posts
// one; tests do.
class MemoryWarning {
public:
    static void post();

    // Passes the warning on to `controller`, from inside the passing controller's
    // didReceiveMemoryWarning(). During a post one that has heard it already is not told
    // again, and the platform does not tell one told here; outside a post it is simply told.
    static void pass(const std::shared_ptr<ViewController>& controller);

private:
    friend class ViewController;
    // Called as a controller's view loads; the controller is held weakly.
    static void track(const std::shared_ptr<ViewController>& controller);
};

} // namespace ui
