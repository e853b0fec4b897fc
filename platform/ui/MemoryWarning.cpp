#include "platform/ui/MemoryWarning.h"

#include "platform/ui/ViewController.h"

#include <algorithm>
#include <set>
#include <vector>

namespace ui {

namespace {

std::vector<std::weak_ptr<ViewController>>& tracked()
{
    static std::vector<std::weak_ptr<ViewController>> controllers;
    return controllers;
}

// The controllers that hear the warning from a controller that is told (and so on down),
// which the platform must not tell again.
std::set<const ViewController*> relayed(const std::vector<std::shared_ptr<ViewController>>& told)
{
    std::set<const ViewController*> seen;
    std::vector<std::shared_ptr<ViewController>> pending = told;
    while (!pending.empty()) {
        const auto controller = pending.back();
        pending.pop_back();
        for (const auto& relay : controller->memoryWarningRelays()) {
            if (relay && seen.insert(relay.get()).second)
                pending.push_back(relay);
        }
    }
    return seen;
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
    const auto heardThroughOthers = relayed(alive);
    for (const auto& controller : alive) {
        if (!heardThroughOthers.count(controller.get()))
            controller->didReceiveMemoryWarning();
    }
    // Latest loaded first: a container's view usually loads after (around) its children's, so
    // it lets go first and may still take their views out of its own (the wrap controller
    // does), before they go in turn.
    for (auto it = alive.rbegin(); it != alive.rend(); ++it)
        (*it)->unloadViewIfOutOfWindow();
}

} // namespace ui
