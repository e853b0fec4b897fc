#pragma once

#include <memory>

class PanelWrapController;
namespace ui {
class ViewController;
}

// What a wrap controller adds to every view controller: the weak back reference from a
// wrapped controller to its wrapper, and the navigation lookups through which a wrapped
// controller answers with its wrapper's navigation controller and item.
class WrapControllerItem {
public:
    // Installs the navigation hooks unless they are in place (again after
    // PlatformHooks::restoreDefaults()). The
    // container's own hooks must come after these (SidePanelItem::install() sees to it), so
    // that a contained controller is first redirected to its container.
    static void install();

    // The wrapper of the controller or of its navigation controller, or null.
    static std::shared_ptr<PanelWrapController> wrapController(ui::ViewController& controller);
    // The back reference alone. It is weak: it reads null once the wrapper has gone.
    static std::shared_ptr<PanelWrapController> wrapControllerCore(ui::ViewController& controller);
    static void setWrapController(ui::ViewController& controller, const std::shared_ptr<PanelWrapController>& wrapper);
};
