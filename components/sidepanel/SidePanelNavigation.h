#pragma once

#include <memory>

class SidePanelController;
namespace ui {
class NavigationBar;
class NavigationController;
class ViewController;
}

// The container's dealings with navigation controllers: the one around it, whose view slides
// in integrated mode and whose bar takes pans, the one in the centre, and the push of a
// screen over the centre from the right side.
class SidePanelNavigation {
public:
    // The navigation controller around the container (through the navigation lookups), or null.
    static std::shared_ptr<ui::NavigationController> enclosing(SidePanelController& panel);
    // That navigation controller when the container is integrated with it, else null.
    static std::shared_ptr<ui::NavigationController> integrated(SidePanelController& panel);
    // The bar of `controller` when it is a navigation controller whose bar is shown, else null.
    static std::shared_ptr<ui::NavigationBar> shownBar(const std::shared_ptr<ui::ViewController>& controller);
    // Whose bar lets a pan begin on the sliding view in the navigation-bar-or-open mode: the
    // centre when it is a navigation controller, else the centre's navigation controller.
    static std::shared_ptr<ui::NavigationController> barController(SidePanelController& panel);

    // Snapshots the container, pushes `controller` onto the centre's navigation controller
    // (or the centre itself) with the right side closed behind the snapshot, and slides the
    // snapshot out to the left as the container comes back from the right.
    static void pushOverCenter(SidePanelController& panel, const std::shared_ptr<ui::ViewController>& controller);
};
