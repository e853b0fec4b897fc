#pragma once

#include "platform/ui/ViewController.h"

#include <memory>

class SidePanelController;

// The window's first root: once shown it loads the stored state and hands the window to the
// side-panel container that holds the home screen and the subject menu.
class RootViewController : public ui::ViewController {
public:
    static std::shared_ptr<RootViewController> create();

    void viewDidAppear(bool animated) override;
    void showSubject(const std::shared_ptr<void>& sender);

    // The container with the home screen at its centre and the subject menu on its left.
    static std::shared_ptr<SidePanelController> makeContainer();
    // The ledge that leaves the open menu as wide as its scaled entry image.
    static double leftSize();

protected:
    RootViewController() = default;
};
