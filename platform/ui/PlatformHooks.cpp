#include "platform/ui/PlatformHooks.h"

#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <mutex>
#include <set>

namespace ui {

namespace {

struct Chains {
    PlatformHooks::PresentFn present;
    PlatformHooks::NavigationControllerFn navigationController;
    PlatformHooks::NavigationItemFn navigationItem;
    PlatformHooks::AddSubviewFn addSubview;
    // The installOnce() keys whose hooks these chains hold; kept with the chains so that
    // restoring the defaults forgets them too.
    std::set<std::string> installedKeys;
};

Chains platformDefaults()
{
    Chains c;
    c.present = [](ViewController& receiver, const std::shared_ptr<ViewController>& controller, bool animated,
                   std::function<void()> completion) {
        receiver.presentViewControllerDirect(controller, animated, std::move(completion));
    };
    c.navigationController = [](ViewController& receiver) -> std::shared_ptr<ViewController> {
        return NavigationController::enclosing(receiver);
    };
    c.navigationItem = [](ViewController& receiver) { return receiver.navigationItemDirect(); };
    c.addSubview = [](View& parent, const std::shared_ptr<View>& child) { parent.addSubviewDirect(child); };
    return c;
}

Chains& chains()
{
    static Chains c = platformDefaults();
    return c;
}

} // namespace

void PlatformHooks::installPresentHook(PresentHook hook)
{
    chains().present = [hook = std::move(hook), previous = chains().present](
                           ViewController& receiver, const std::shared_ptr<ViewController>& controller, bool animated,
                           std::function<void()> completion) {
        hook(receiver, controller, animated, std::move(completion), previous);
    };
}

void PlatformHooks::installNavigationControllerHook(NavigationControllerHook hook)
{
    chains().navigationController = [hook = std::move(hook), previous = chains().navigationController](
                                        ViewController& receiver) { return hook(receiver, previous); };
}

void PlatformHooks::installNavigationItemHook(NavigationItemHook hook)
{
    chains().navigationItem = [hook = std::move(hook), previous = chains().navigationItem](ViewController& receiver) {
        return hook(receiver, previous);
    };
}

void PlatformHooks::installAddSubviewHook(AddSubviewHook hook)
{
    chains().addSubview = [hook = std::move(hook), previous = chains().addSubview](
                              View& parent, const std::shared_ptr<View>& child) { hook(parent, child, previous); };
}

const PlatformHooks::PresentFn& PlatformHooks::present()
{
    return chains().present;
}

const PlatformHooks::NavigationControllerFn& PlatformHooks::navigationController()
{
    return chains().navigationController;
}

const PlatformHooks::NavigationItemFn& PlatformHooks::navigationItem()
{
    return chains().navigationItem;
}

const PlatformHooks::AddSubviewFn& PlatformHooks::addSubview()
{
    return chains().addSubview;
}

void PlatformHooks::installOnce(const std::string& key, const std::function<void()>& install)
{
    // Recursive: one component's installer may install another's first.
    static std::recursive_mutex mutex;
    std::lock_guard lock(mutex);
    if (!chains().installedKeys.insert(key).second)
        return;
    install();
}

void PlatformHooks::restoreDefaults()
{
    chains() = platformDefaults();
}

} // namespace ui
