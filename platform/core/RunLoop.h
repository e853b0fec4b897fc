#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace core {

class RunLoopPrivate;

// The main run loop, layered over Qt's event loop (a QCoreApplication must exist).
//
// It holds two kinds of work: posted work (FIFO, runs on the next turn) and scheduled tasks
// (each due at an instant of Clock::now()). In production a single-shot QTimer wakes the
// loop for the earliest due task; with a ManualClock installed only ManualClock::advance()
// runs tasks. Everything runs on the main thread; post() alone may be called from any
// thread (it is the "main queue").
class RunLoop {
public:
    using TaskId = std::uint64_t;

    static RunLoop& main();

    void post(std::function<void()> fn);                             // next turn, FIFO; thread-safe
    TaskId schedule(double delaySeconds, std::function<void()> fn);  // due at Clock::now() + delay
    TaskId scheduleAt(double dueTime, std::function<void()> fn);      // due at an absolute clock time
    void cancel(TaskId id);                                          // unknown or finished ids are ignored
    bool isScheduled(TaskId id) const;
    double dueTime(TaskId id) const;   // NaN when id is not scheduled
    std::size_t scheduledCount() const;
    // When the loop next has work: Clock::now() while posted work waits, else the earliest
    // task's due time, infinity when there is none (for waiting until the loop is idle).
    double nextWorkTime() const;
    // The due time of the task that is running now (for repeating timers that must not drift);
    // Clock::now() when no task is running.
    double currentTaskDueTime() const;

    // One turn: Qt events, then posted work, then tasks due by now (steady clock only).
    void processPending();
    // Pumps turns until done() holds or realTimeoutSeconds of real time have passed; for
    // tests over real I/O. Returns done(). done() is asked after every turn and at least every
    // checkIntervalSeconds: a caller whose condition only changes through events, posted work
    // or tasks may ask seldom and let the process sleep.
    bool runUntil(const std::function<bool()>& done, double realTimeoutSeconds = 10,
                  double checkIntervalSeconds = 0.01);
    int run();
    void quit(int code = 0);

    // Drops every scheduled task and every posted work item (tests, between scenarios).
    void reset();

private:
    friend class ManualClock;
    RunLoop();
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    void drainPosted();
    bool runNextDue(double upTo, TaskId maxId = ~TaskId(0)); // earliest task due by upTo, if any
    void runDue();                   // every task due now (steady clock), then re-arms the wake-up
    void rearm();
    void rebase(double offset);     // shifts every due time (clock switch)

    std::unique_ptr<RunLoopPrivate> d;
};

} // namespace core
