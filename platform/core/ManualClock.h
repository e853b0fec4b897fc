#pragma once

namespace core {

// RAII: installs itself as the process clock while alive (tests only; main thread only).
//
// While a ManualClock is installed nothing time-based fires by itself; advance() runs, in
// time order, every run-loop task due up to now + seconds, setting now() to each task's
// due time while it runs, including tasks that those tasks schedule, and drains posted
// work after each task. It ends with now() == start + seconds and posted work drained.
//
// Installing or removing the clock keeps every pending task's remaining delay: a task due
// in 2 s under the steady clock is due in 2 s of manual time, and the other way round.
// Clocks do not nest: installing a second one while one is alive aborts.
class ManualClock {
public:
    explicit ManualClock(double start = 0);
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    double now() const { return m_now; }
    void advance(double seconds);

private:
    friend class RunLoop;
    double m_now;
};

} // namespace core
