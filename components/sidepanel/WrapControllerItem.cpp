#include "components/sidepanel/WrapControllerItem.h"

#include "components/sidepanel/NavigationRedirect.h"
#include "components/sidepanel/PanelWrapController.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/ViewController.h"

namespace {

const char kWrapControllerKey[] = "WrapController";

// The wrap step of the navigation lookups: a wrapped controller answers with its wrapper's.
ui::ViewController& navigationTarget(ui::ViewController& receiver)
{
    auto wrapper = WrapControllerItem::wrapControllerCore(receiver);
    return wrapper ? static_cast<ui::ViewController&>(*wrapper) : receiver;
}

} // namespace

void WrapControllerItem::install()
{
    ui::PlatformHooks::installOnce("WrapControllerItem", [] { NavigationRedirect::install(navigationTarget); });
}

std::shared_ptr<PanelWrapController> WrapControllerItem::wrapControllerCore(ui::ViewController& controller)
{
    return controller.attachments().get<PanelWrapController>(kWrapControllerKey);
}

void WrapControllerItem::setWrapController(ui::ViewController& controller, const std::shared_ptr<PanelWrapController>& wrapper)
{
    controller.attachments().set(kWrapControllerKey, wrapper);
}

std::shared_ptr<PanelWrapController> WrapControllerItem::wrapController(ui::ViewController& controller)
{
    if (auto own = wrapControllerCore(controller))
        return own;
    if (auto navigation = controller.navigationController())
        return wrapController(*navigation);
    return nullptr;
}
