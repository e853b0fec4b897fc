#include "platform/ui/MemoryWarning.h"

#include "platform/ui/ViewController.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace ui {

namespace {

using Controllers = std::vector<std::shared_ptr<ViewController>>;

std::vector<std::weak_ptr<ViewController>>& tracked()
{
    static std::vector<std::weak_ptr<ViewController>> controllers;
    return controllers;
}

// Who has heard the post under way (held until it ends); null between posts.
std::set<std::shared_ptr<ViewController>>* g_heard = nullptr;

class PostScope {
public:
    PostScope() : m_previous(std::exchange(g_heard, &m_heard)) {}
    ~PostScope() { g_heard = m_previous; }
    PostScope(const PostScope&) = delete;
    PostScope& operator=(const PostScope&) = delete;

private:
    std::set<std::shared_ptr<ViewController>> m_heard;
    std::set<std::shared_ptr<ViewController>>* m_previous;
};

void tell(const std::shared_ptr<ViewController>& controller)
{
    if (!controller || (g_heard && !g_heard->insert(controller).second))
        return;
    controller->didReceiveMemoryWarning();
}

// Those named as hearing the warning through another controller (and through those, on down):
// they wait until the one passing it on has been told.
Controllers relayed(const Controllers& told)
{
    std::set<const ViewController*> seen;
    Controllers named;
    Controllers pending = told;
    while (!pending.empty()) {
        const auto controller = pending.back();
        pending.pop_back();
        for (const auto& relay : controller->memoryWarningRelays()) {
            if (relay && seen.insert(relay.get()).second) {
                pending.push_back(relay);
                named.push_back(relay);
            }
        }
    }
    return named;
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

void MemoryWarning::pass(const std::shared_ptr<ViewController>& controller)
{
    tell(controller);
}

void MemoryWarning::post()
{
    // Held for the whole warning: a controller that lets go of another (its child) in its
    // callback does not make the walk touch a dead one.
    Controllers alive;
    for (const auto& weak : tracked()) {
        if (auto controller = weak.lock())
            alive.push_back(controller);
    }
    {
        PostScope post;
        const Controllers waiting = relayed(alive);
        for (const auto& controller : alive) {
            if (std::find(waiting.begin(), waiting.end(), controller) == waiting.end())
                tell(controller);
        }
        // Whoever a relay did not tell after all (one that handles the warning itself), a
        // named controller whose view never loaded included.
        for (const auto& controller : alive)
            tell(controller);
        for (const auto& controller : waiting)
            tell(controller);
    }
    // Latest loaded first: a container's view usually loads after (around) its children's, so
    // it lets go first and may still take their views out of its own (the wrap controller
    // does), before they go in turn.
    for (auto it = alive.rbegin(); it != alive.rend(); ++it)
        (*it)->unloadViewIfOutOfWindow();
}

} // namespace ui
