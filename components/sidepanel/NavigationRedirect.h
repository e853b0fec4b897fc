#pragma once

namespace ui {
class ViewController;
}

// The shared shape of the container's and the wrapper's navigation lookups: a controller's
// navigation controller and navigation item are those of the controller that `target`
// names for it (itself when nothing holds it).
class NavigationRedirect {
public:
    using Target = ui::ViewController& (*)(ui::ViewController& receiver);

    // Installs both lookup hooks; each call installs a further pair, run before the earlier ones.
    static void install(Target target);
};
