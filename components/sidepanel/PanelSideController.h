#pragma once

#include "components/sidepanel/PanelWrapController.h"

#include <memory>

// A wrap controller standing on a side of a container in place of the controller it wraps.
// It keeps the wrapped view at a width (left, right) or height (top, bottom), anchored to the
// side view's outer edge; the automatic size is the side's visible size.
class PanelSideController : public PanelWrapController {
public:
    // A constrained size of 0 or less means automatic.
    static constexpr double kAutomaticSize = -1;

    static std::shared_ptr<PanelSideController> create(std::shared_ptr<ui::ViewController> controller,
                                                       double constrainedSize = kAutomaticSize);
    static std::shared_ptr<PanelSideController> autoConstrainedSideControllerWithViewController(
        std::shared_ptr<ui::ViewController> controller);
    static std::shared_ptr<PanelSideController> sideControllerWithViewController(
        std::shared_ptr<ui::ViewController> controller, double constrained);

    // The side controller wrapping the controller (or its navigation controller); null when
    // its wrapper is a plain wrap controller or there is none.
    static std::shared_ptr<PanelSideController> sideController(ui::ViewController& controller);

    double constrainedSize() const { return m_constrainedSize; }
    void setConstrainedSize(double size) { setConstrainedSize(size, true); }
    void setConstrainedSize(double size, bool animated);

    void shrinkSide() { shrinkSideAnimated(true); }
    void shrinkSideAnimated(bool animated);

    void viewWillAppear(bool animated) override;
    void willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration) override;

protected:
    PanelSideController(std::shared_ptr<ui::ViewController> controller, double constrainedSize);
    void viewDidLoad() override;

private:
    void constrainWrappedView();

    double m_constrainedSize = kAutomaticSize;
};
