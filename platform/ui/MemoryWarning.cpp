#include "platform/ui/MemoryWarning.h"

#include "platform/ui/ViewController.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace ui {

namespace {

std::vector<std::weak_ptr<ViewController>>& tracked()
{
    static std::vector<std::weak_ptr<ViewController>> controllers;
    return controllers;
}

bool isTracked(const ViewController& controller)
{
    const auto& list = tracked();
    return std::any_of(list.begin(), list.end(), [&](const auto& weak) { return weak.lock().get() == &controller; });
}

// A controller that forwards neither appearance nor rotation to its children by itself passes
// them the warning too (it knows which of them to tell); the platform tells them only through
// it, so each hears the warning once. It passes it on only when it hears it itself.
bool toldByParent(const ViewController& controller)
{
    const auto parent = controller.parentViewController();
    if (!parent || parent->shouldAutomaticallyForwardAppearanceMethods() || parent->shouldAutomaticallyForwardRotationMethods())
        return false;
    return isTracked(*parent) || toldByParent(*parent);
}

} // namespace

void MemoryWarning::track(const std::shared_ptr<ViewController>& controller)
{
    auto& list = tracked();
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto& weak) { return weak.expired(); }), list.end());
    const bool known = std::any_of(list.begin(), list.end(), [&](const auto& weak) { return weak.lock() == controller; });
    if (!known)
        list.push_back(controller);
}

void MemoryWarning::post()
{
    // Held for the whole warning: a controller that lets go of another (its child) in its
    // callback does not make the walk touch a dead one.
    std::vector<std::shared_ptr<ViewController>> alive;
    for (const auto& weak : tracked()) {
        if (auto controller = weak.lock())
            alive.push_back(controller);
    }
    std::vector<std::shared_ptr<ViewController>> told;
    std::copy_if(alive.begin(), alive.end(), std::back_inserter(told), [](const auto& c) { return !toldByParent(*c); });
    for (const auto& controller : told)
        controller->didReceiveMemoryWarning();
    // Latest loaded first: a container's view usually loads after (around) its children's, so
    // it lets go first and may still take their views out of its own (the wrap controller
    // does), before they go in turn.
    for (auto it = alive.rbegin(); it != alive.rend(); ++it)
        (*it)->unloadViewIfOutOfWindow();
}

} // namespace ui
