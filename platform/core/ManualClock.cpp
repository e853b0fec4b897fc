#include "platform/core/ManualClock.h"

#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"

#include <algorithm>

namespace core {

ManualClock::ManualClock(double start)
    : m_now(start)
{
    const double before = Clock::now();
    Clock::install(this);
    RunLoop::main().rebase(m_now - before);
}

ManualClock::~ManualClock()
{
    const double before = m_now;
    Clock::install(nullptr);
    RunLoop::main().rebase(Clock::now() - before);
}

void ManualClock::advance(double seconds)
{
    RunLoop& loop = RunLoop::main();
    const double target = m_now + std::max(0.0, seconds);
    // Each task runs at its own due time (runNextDue moves m_now), and the work it posts or
    // schedules joins the same pass, so chains of work unfold in time order.
    auto pass = [&] {
        for (;;) {
            loop.drainPosted();
            if (!loop.runNextDue(target))
                break;
        }
    };
    pass();
    m_now = target;
    pass();
}

} // namespace core
