#pragma once

#include <memory>

class SidePanelController;
namespace ui {
class View;
class ViewController;
}

// What the container adds to every view controller and view: the back reference from a
// contained controller to its container, and the start-up hooks through which a contained
// controller's presentations and navigation lookups run through its container, and through
// which a container view entering a transition view is pinned to its top.
class SidePanelItem {
public:
    // Installs the platform hooks unless they are in place; after PlatformHooks::restoreDefaults()
    // the next call installs them again.
    static void install();

    // The container holding the controller, its navigation controller or, up that navigation
    // controller's stack, the nearest integrated one; else the wrapper's container; or null.
    static std::shared_ptr<SidePanelController> sidePanelController(ui::ViewController& controller);
    // The back reference alone. It is weak: it reads null once the container has gone.
    static std::shared_ptr<SidePanelController> sidePanelControllerCore(ui::ViewController& controller);
    static void setSidePanelController(ui::ViewController& controller, const std::shared_ptr<SidePanelController>& container);

    // Removes every animation of the view's layer and of its whole subtree.
    static void removeAllAnimationsRecursive(ui::View& view);

private:
    static std::shared_ptr<SidePanelController> integratedContainerOnStack(ui::ViewController& navigation);
    static void addSubviewAdjustingOffset(ui::View& parent, const std::shared_ptr<ui::View>& child);
};
