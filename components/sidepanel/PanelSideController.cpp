#include "components/sidepanel/PanelSideController.h"

#include "components/sidepanel/SidePanelController.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/WrapControllerItem.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/View.h"

std::shared_ptr<PanelSideController> PanelSideController::create(std::shared_ptr<ui::ViewController> controller,
                                                                 double constrainedSize)
{
    auto side = std::shared_ptr<PanelSideController>(new PanelSideController(std::move(controller), constrainedSize));
    wrap(side);
    return side;
}

std::shared_ptr<PanelSideController> PanelSideController::autoConstrainedSideControllerWithViewController(
    std::shared_ptr<ui::ViewController> controller)
{
    return create(std::move(controller));
}

std::shared_ptr<PanelSideController> PanelSideController::sideControllerWithViewController(
    std::shared_ptr<ui::ViewController> controller, double constrained)
{
    return create(std::move(controller), constrained);
}

PanelSideController::PanelSideController(std::shared_ptr<ui::ViewController> controller, double constrainedSize)
    : PanelWrapController(std::move(controller))
    , m_constrainedSize(constrainedSize)
{
}

std::shared_ptr<PanelSideController> PanelSideController::sideController(ui::ViewController& controller)
{
    // A plain wrap controller is no side controller.
    return std::dynamic_pointer_cast<PanelSideController>(WrapControllerItem::wrapController(controller));
}

void PanelSideController::viewDidLoad()
{
    PanelWrapController::viewDidLoad();
    shrinkSide();
}

void PanelSideController::viewWillAppear(bool animated)
{
    PanelWrapController::viewWillAppear(animated);
    if (auto wrapped = wrappedController())
        view()->setBackgroundColor(wrapped->view()->backgroundColor());
    shrinkSideAnimated(animated);
}

void PanelSideController::willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    PanelWrapController::willAnimateRotationToInterfaceOrientation(orientation, duration);
    shrinkSideAnimated(true);
}

void PanelSideController::setConstrainedSize(double size, bool animated)
{
    m_constrainedSize = size;
    shrinkSideAnimated(animated);
}

void PanelSideController::shrinkSideAnimated(bool animated)
{
    if (!SidePanelItem::sidePanelController(*this))
        return;
    ui::Transaction::begin();
    if (animated) {
        ui::View::beginAnimations(QStringLiteral("shrinkSide"));
        ui::View::setAnimationDuration(0.3);
        ui::View::setAnimationCurve(ui::AnimationCurve::EaseInOut);
    }
    constrainWrappedView();
    if (animated)
        ui::View::commitAnimations();
    ui::Transaction::commit();
}

void PanelSideController::constrainWrappedView()
{
    auto container = SidePanelItem::sidePanelController(*this);
    auto wrapped = wrappedController();
    if (!container || !wrapped)
        return;
    const SidePanelSide side = container->sideForController(this);
    if (!SidePanelGeometry::isSide(side))
        return;
    const ui::Rect b = view()->bounds();
    const bool horizontal = SidePanelGeometry::isHorizontal(side);
    double size = m_constrainedSize;
    if (!(size > 0)) {
        switch (side) {
        case SidePanelSide::Left: size = container->leftViewSize(); break;
        case SidePanelSide::Right: size = container->rightViewSize(); break;
        case SidePanelSide::Top: size = container->topViewSize(); break;
        default: size = container->bottomViewSize(); break;
        }
    }
    // Past the side view's size the wrapped view reaches beyond it on the edge away from its anchor.
    const double d = (horizontal ? b.width() : b.height()) - size;
    ui::Rect frame;
    switch (side) {
    case SidePanelSide::Left: frame = ui::Rect(b.x(), b.y(), b.width() - d, b.height()); break;
    case SidePanelSide::Right: frame = ui::Rect(b.x() + d, b.y(), b.width() - d, b.height()); break;
    case SidePanelSide::Top: frame = ui::Rect(b.x(), b.y(), b.width(), b.height() - d); break;
    default: frame = ui::Rect(b.x(), b.y() + d, b.width(), b.height() - d); break;
    }
    wrapped->view()->setFrame(frame);
}
