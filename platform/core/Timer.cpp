#include "platform/core/Timer.h"

#include "platform/core/Clock.h"

#include <cmath>

namespace core {

namespace {
// NSTimer's floor for repeating intervals; also keeps a zero interval from looping forever
// inside ManualClock::advance().
constexpr double MinimumInterval = 0.0001;
} // namespace

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Callback fn)
{
    return scheduledTimerImpl(interval, repeats, {}, false, std::move(fn));
}

std::shared_ptr<Timer> Timer::scheduledTimerImpl(double interval, bool repeats, std::weak_ptr<const void> owner,
                                                 bool hasOwner, Callback fn)
{
    auto timer = std::make_shared<Timer>(Private{}, interval, repeats, std::move(owner), hasOwner, std::move(fn));
    timer->m_anchor = Clock::now();
    timer->m_fires = 1;
    timer->arm(timer->m_anchor + timer->m_interval);
    return timer;
}

Timer::Timer(Private, double interval, bool repeats, std::weak_ptr<const void> owner, bool hasOwner, Callback fn)
    : m_interval(interval > 0 ? interval : (repeats ? MinimumInterval : 0))
    , m_repeats(repeats)
    , m_hasOwner(hasOwner)
    , m_owner(std::move(owner))
    , m_fn(std::move(fn))
{
    if (m_repeats && m_interval < MinimumInterval)
        m_interval = MinimumInterval;
}

Timer::~Timer()
{
    if (m_task)
        RunLoop::main().cancel(m_task);
}

void Timer::arm(double dueTime)
{
    m_fireDate = dueTime;
    // The task holds the timer strongly: the run loop keeps a valid timer alive, as NSRunLoop does.
    m_task = RunLoop::main().scheduleAt(dueTime, [self = shared_from_this()] { self->onDue(); });
}

bool Timer::ownerGone() const
{
    return m_hasOwner && m_owner.expired();
}

void Timer::onDue()
{
    m_task = 0;
    if (!m_valid)
        return;
    if (ownerGone()) {
        invalidate();
        return;
    }
    if (m_repeats) {
        // Fires stay on the grid m_anchor + k * interval, computed by multiplication so that
        // no rounding error accumulates (three 0.3 s fires fall due by 0.9 s). A clock switch
        // moves the due time off the grid; the grid then re-anchors on it.
        const double due = RunLoop::main().currentTaskDueTime();
        if (std::fabs(due - (m_anchor + m_fires * m_interval)) > 1e-9)
            m_anchor = due - m_fires * m_interval;
        const double now = Clock::now();
        ++m_fires;
        // Fires missed while the loop was busy are skipped, as NSTimer skips them.
        if (m_anchor + m_fires * m_interval <= now)
            m_fires = static_cast<long long>(std::floor((now - m_anchor) / m_interval)) + 1;
        arm(m_anchor + m_fires * m_interval);
    }
    fire();
}

void Timer::fire()
{
    if (!m_valid)
        return;
    auto self = shared_from_this();
    std::shared_ptr<const void> owner;
    if (m_hasOwner) {
        owner = m_owner.lock();   // the owner stays alive during its callback
        if (!owner) {
            invalidate();
            return;
        }
    }
    auto fn = m_fn;   // a copy: the callback may invalidate the timer and release m_fn
    if (fn)
        fn(*this);
    if (!m_repeats)
        invalidate();
}

void Timer::invalidate()
{
    if (!m_valid)
        return;
    m_valid = false;
    if (m_task) {
        const auto task = m_task;
        m_task = 0;
        RunLoop::main().cancel(task);
    }
    // Released outside the member: the callback's captures may hold the last reference to us.
    auto fn = std::move(m_fn);
    m_fn = nullptr;
}

} // namespace core
