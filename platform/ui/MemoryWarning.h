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
// the warning without calling the base still gives its unused view back. A controller that
// passes the warning on names whom it tells (memoryWarningRelays()); those hear it from it,
// not from the platform, so each controller hears it once. Nothing in the app
// posts one; tests do.
class MemoryWarning {
public:
    static void post();

private:
    friend class ViewController;
    // Called as a controller's view loads; the controller is held weakly.
    static void track(const std::shared_ptr<ViewController>& controller);
};

} // namespace ui
