#pragma once

#include <functional>
#include <memory>

namespace ui {

class ApplicationDelegate;

// The program entry: reads "--screen WxH@S" and "--screenshot FILE", makes the application
// (and a QGuiApplication when there is none), gives it the delegate the factory makes, sends
// did-finish-launching, then either shows the key window and runs the loop until it quits,
// or, with --screenshot, runs the loop until the screen settles (no request running, no
// animation that can be seen left to finish, no work due within a frame; a few seconds at
// most, one turn under a manual clock), writes the key window as a PNG and returns. Quitting
// sends the background and terminate steps. Returns the exit code.
int applicationMain(int argc, char** argv, const std::function<std::shared_ptr<ApplicationDelegate>()>& delegateFactory);

} // namespace ui
