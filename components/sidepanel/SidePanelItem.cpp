#include "components/sidepanel/SidePanelItem.h"

#include "components/sidepanel/NavigationRedirect.h"
#include "components/sidepanel/PanelWrapController.h"
#include "components/sidepanel/SidePanelController.h"
#include "components/sidepanel/SidePanelView.h"
#include "components/sidepanel/WrapControllerItem.h"
#include "platform/core/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

namespace {

const char kSidePanelControllerKey[] = "SidePanelController";

// The container step of the navigation lookups: a contained controller answers with its
// container's navigation controller and item. Only the association is read here, because
// the full lookup itself asks navigationController.
ui::ViewController& navigationTarget(ui::ViewController& receiver)
{
    auto container = SidePanelItem::sidePanelControllerCore(receiver);
    return container ? static_cast<ui::ViewController&>(*container) : receiver;
}

} // namespace

void SidePanelItem::install()
{
    ui::PlatformHooks::installOnce("SidePanelItem", [] {
        // The wrap hooks go first so that these run before them.
        WrapControllerItem::install();
        ui::PlatformHooks::installPresentHook([](ui::ViewController& receiver, const std::shared_ptr<ui::ViewController>& controller,
                                                 bool animated, std::function<void()> completion,
                                                 const ui::PlatformHooks::PresentFn& previous) {
            auto container = sidePanelController(receiver);
            ui::ViewController& target = container ? static_cast<ui::ViewController&>(*container) : receiver;
            previous(target, controller, animated, std::move(completion));
        });
        NavigationRedirect::install(navigationTarget);
        ui::PlatformHooks::installAddSubviewHook(
            [](ui::View& parent, const std::shared_ptr<ui::View>& child, const ui::PlatformHooks::AddSubviewFn& previous) {
                addSubviewAdjustingOffset(parent, child);
                previous(parent, child);
            });
    });
}

std::shared_ptr<SidePanelController> SidePanelItem::sidePanelControllerCore(ui::ViewController& controller)
{
    return controller.attachments().get<SidePanelController>(kSidePanelControllerKey);
}

void SidePanelItem::setSidePanelController(ui::ViewController& controller,
                                           const std::shared_ptr<SidePanelController>& container)
{
    controller.attachments().set(kSidePanelControllerKey, container);
}

std::shared_ptr<SidePanelController> SidePanelItem::sidePanelController(ui::ViewController& controller)
{
    if (auto own = sidePanelControllerCore(controller))
        return own;
    if (auto navigation = controller.navigationController()) {
        if (auto viaNavigation = sidePanelControllerCore(*navigation))
            return viaNavigation;
        if (auto integrated = integratedContainerOnStack(*navigation))
            return integrated;
    }
    if (auto wrapper = WrapControllerItem::wrapController(controller))
        return sidePanelController(*wrapper);
    return nullptr;
}

// The nearest container up the stack that slides this navigation controller's view: the
// container itself or the one holding a controller on the stack.
std::shared_ptr<SidePanelController> SidePanelItem::integratedContainerOnStack(ui::ViewController& navigation)
{
    auto stack = dynamic_cast<ui::NavigationController*>(&navigation);
    if (!stack)
        return nullptr;
    const auto controllers = stack->viewControllers();
    for (auto it = controllers.rbegin(); it != controllers.rend(); ++it) {
        auto candidate = std::dynamic_pointer_cast<SidePanelController>(*it);
        if (!candidate)
            candidate = sidePanelControllerCore(**it);
        if (candidate && candidate->navigationControllerBehavior() == SidePanelNavigationControllerBehavior::Integrated)
            return candidate;
    }
    return nullptr;
}

void SidePanelItem::removeAllAnimationsRecursive(ui::View& view)
{
    view.layer()->removeAllAnimations();
    for (const auto& subview : view.subviews())
        removeAllAnimationsRecursive(*subview);
}

void SidePanelItem::addSubviewAdjustingOffset(ui::View& parent, const std::shared_ptr<ui::View>& child)
{
    auto panelView = std::dynamic_pointer_cast<SidePanelView>(child);
    if (!panelView || !parent.isTransitionView() || !panelView->needsOffsetAdjustment())
        return;
    const ui::Rect frame = panelView->frame();
    panelView->setFrame(ui::Rect(frame.x(), 0, frame.width(), frame.height() + frame.y()));
    auto position = panelView->layer()->animationForKey(QStringLiteral("position"));
    const double delay = position ? position->duration() : 0;
    // The block keeps the view alive until it has put the frame back.
    core::afterDelay(delay, [panelView, frame] { panelView->setFrame(frame); });
    removeAllAnimationsRecursive(*panelView);
}
