#include "components/sidepanel/NavigationRedirect.h"

#include "platform/ui/PlatformHooks.h"
#include "platform/ui/ViewController.h"

void NavigationRedirect::install(Target target)
{
    ui::PlatformHooks::installNavigationControllerHook(
        [target](ui::ViewController& receiver, const ui::PlatformHooks::NavigationControllerFn& previous) {
            return previous(target(receiver));
        });
    ui::PlatformHooks::installNavigationItemHook(
        [target](ui::ViewController& receiver, const ui::PlatformHooks::NavigationItemFn& previous) {
            return previous(target(receiver));
        });
}
