#pragma once

namespace core {

class ManualClock;

// The one clock behind every timed thing in the process: timers, delayed performs, the
// URL connection's time-out and the UI's animations. It reads the steady (monotonic) clock,
// in seconds, unless a ManualClock is alive, in which case time moves only when a test
// advances it.
class Clock {
public:
    static double now();
    static bool isManual();
    // The steady clock itself, whatever clock is installed (for real-time limits in tests).
    static double steadyNow();

private:
    friend class ManualClock;
    friend class RunLoop;
    static void install(ManualClock* clock);
    static ManualClock* manualClock();
};

} // namespace core
