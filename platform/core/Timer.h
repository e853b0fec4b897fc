#pragma once

#include "platform/core/RunLoop.h"

#include <functional>
#include <memory>

namespace core {

// NSTimer: a one-shot or repeating timer on the main run loop, on Clock time.
//
// Lifetimes as on the phone: the run loop keeps a valid timer alive (the caller may drop its
// pointer); invalidate() releases the callback. A repeating timer fires at start + k * interval
// without drift and skips fires it missed. The owner-tied factory holds its owner weakly: once
// the owner is gone the timer invalidates itself instead of firing.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Callback = std::function<void(Timer&)>;

    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Callback fn);
    template<class T>
    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats,
                                                 const std::shared_ptr<T>& owner, Callback fn)
    {
        return scheduledTimerImpl(interval, repeats, std::weak_ptr<const void>(owner), true, std::move(fn));
    }

    ~Timer();

    // Runs the callback now; a one-shot timer is then invalidated, a repeating one keeps its schedule.
    void fire();
    void invalidate();
    bool isValid() const { return m_valid; }
    double interval() const { return m_interval; }
    bool repeats() const { return m_repeats; }
    double fireDate() const { return m_fireDate; }   // Clock time of the next fire

private:
    struct Private {};
    static std::shared_ptr<Timer> scheduledTimerImpl(double interval, bool repeats,
                                                     std::weak_ptr<const void> owner, bool hasOwner, Callback fn);
public:
    Timer(Private, double interval, bool repeats, std::weak_ptr<const void> owner, bool hasOwner, Callback fn);

private:
    void arm(double dueTime);
    void onDue();
    bool ownerGone() const;

    double m_interval;
    bool m_repeats;
    bool m_valid = true;
    bool m_hasOwner;
    double m_fireDate = 0;
    double m_anchor = 0;      // the grid's origin: fire k is due at m_anchor + k * m_interval
    long long m_fires = 0;
    std::weak_ptr<const void> m_owner;
    Callback m_fn;
    RunLoop::TaskId m_task = 0;
};

} // namespace core
