#pragma once

#include "platform/core/RunLoop.h"

#include <functional>
#include <memory>

namespace core {

// The main queue: runs fn on the main thread on the next run-loop turn. Thread-safe
// (dispatch_async(dispatch_get_main_queue()), performSelectorOnMainThread:).
void post(std::function<void()> fn);

// performSelector:withObject:afterDelay: with the owner as target. The owner is held weakly:
// if it has died by the due time fn is dropped unrun. cancelAll(owner) drops every pending
// after() of that owner (cancelPreviousPerformRequestsWithTarget:); pass the same pointer
// as owner.get(), e.g. `this` from inside T.
RunLoop::TaskId afterImpl(double delay, const void* ownerKey, std::weak_ptr<const void> owner,
                          std::function<void()> fn);

template<class T>
RunLoop::TaskId after(double delay, const std::shared_ptr<T>& owner, std::function<void()> fn)
{
    return afterImpl(delay, static_cast<const void*>(owner.get()), std::weak_ptr<const void>(owner), std::move(fn));
}

void cancelAll(const void* owner);
// Number of pending after() calls of that owner (tests).
std::size_t pendingCount(const void* owner);

// dispatch_after on the main queue: a delayed block with no owner; cancellable by id.
RunLoop::TaskId afterDelay(double delay, std::function<void()> fn);
void cancel(RunLoop::TaskId id);

} // namespace core
