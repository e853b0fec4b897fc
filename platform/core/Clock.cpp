#include "platform/core/Clock.h"

#include "platform/core/ManualClock.h"

#include <chrono>
#include <cstdlib>

namespace core {

namespace {
ManualClock* s_manual = nullptr;

// Seconds since the first reading keep doubles precise to well under a microsecond.
const std::chrono::steady_clock::time_point s_epoch = std::chrono::steady_clock::now();
} // namespace

double Clock::steadyNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - s_epoch).count();
}

double Clock::now()
{
    return s_manual ? s_manual->now() : steadyNow();
}

bool Clock::isManual()
{
    return s_manual != nullptr;
}

ManualClock* Clock::manualClock()
{
    return s_manual;
}

void Clock::install(ManualClock* clock)
{
    if (clock && s_manual)
        std::abort();   // two manual clocks at once would make time ambiguous
    s_manual = clock;
}

} // namespace core
