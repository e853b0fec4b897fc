#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace server {

// Password derivations (sign-ins that need the full check, registrations) on threads
// of their own, fewer than the processors, so that however many arrive they never
// take every processor from the other requests. At most kMaxInFlight derivations run
// or wait; a caller beyond that is refused at once (the server answers 503) instead of
// joining a queue that would only grow: a derivation costs tens of milliseconds, so a
// longer queue means answers later than any client waits.
class DerivationPool {
public:
    static constexpr int kMaxInFlight = 16;

    // Threads: half the processors, at least one.
    static int defaultThreads();

    explicit DerivationPool(int threads = defaultThreads());
    // Lets what is queued run, then stops the threads.
    ~DerivationPool();

    DerivationPool(const DerivationPool&) = delete;
    DerivationPool& operator=(const DerivationPool&) = delete;

    // Runs `work` on one of the pool's threads and returns once it has run,
    // rethrowing what it threw; the caller sleeps meanwhile. False at once, `work`
    // not run, when kMaxInFlight derivations are already running or waiting.
    bool run(const std::function<void()>& work);

private:
    struct Job {
        // The caller's: it waits for the job to end, so the work outlives the run.
        const std::function<void()>* work;
        std::promise<void> done;
    };

    void serve();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_queue;
    // Running and queued, counted from admission to the end of the work.
    int m_inFlight = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace server
