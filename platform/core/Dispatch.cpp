#include "platform/core/Dispatch.h"

#include <unordered_map>
#include <unordered_set>

namespace core {

namespace {
// owner -> its pending after() tasks. Main thread only, like the run loop's tasks.
std::unordered_map<const void*, std::unordered_set<RunLoop::TaskId>>& registry()
{
    static auto* map = new std::unordered_map<const void*, std::unordered_set<RunLoop::TaskId>>;
    return *map;
}

void forget(const void* owner, RunLoop::TaskId id)
{
    auto it = registry().find(owner);
    if (it == registry().end())
        return;
    it->second.erase(id);
    if (it->second.empty())
        registry().erase(it);
}
} // namespace

void post(std::function<void()> fn)
{
    RunLoop::main().post(std::move(fn));
}

RunLoop::TaskId afterImpl(double delay, const void* ownerKey, std::weak_ptr<const void> owner, std::function<void()> fn)
{
    if (!ownerKey || !fn)
        return 0;
    auto id = std::make_shared<RunLoop::TaskId>(0);
    *id = RunLoop::main().schedule(delay, [ownerKey, id, owner = std::move(owner), fn = std::move(fn)] {
        forget(ownerKey, *id);
        // Held strongly for the call, so the owner cannot die half-way through its own work.
        auto strong = owner.lock();
        if (!strong)
            return;
        fn();
    });
    registry()[ownerKey].insert(*id);
    return *id;
}

void cancelAll(const void* owner)
{
    auto it = registry().find(owner);
    if (it == registry().end())
        return;
    auto ids = std::move(it->second);
    registry().erase(it);
    for (auto id : ids)
        RunLoop::main().cancel(id);
}

std::size_t pendingCount(const void* owner)
{
    auto it = registry().find(owner);
    return it == registry().end() ? 0 : it->second.size();
}

RunLoop::TaskId afterDelay(double delay, std::function<void()> fn)
{
    return RunLoop::main().schedule(delay, std::move(fn));
}

void cancel(RunLoop::TaskId id)
{
    RunLoop::main().cancel(id);
}

} // namespace core
