#include "platform/ui/MemoryWarning.h"

#include "platform/ui/ViewController.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {

std::vector<std::weak_ptr<ViewController>>& tracked()
{
    static std::vector<std::weak_ptr<ViewController>> controllers;
    return controllers;
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
    for (const auto& controller : alive)
        controller->didReceiveMemoryWarning();
    // Latest loaded first: a container's view usually loads after (around) its children's, so
    // it lets go first and may still take their views out of its own (the wrap controller
    // does), before they go in turn.
    for (auto it = alive.rbegin(); it != alive.rend(); ++it)
        (*it)->unloadViewIfOutOfWindow();
}

} // namespace ui
