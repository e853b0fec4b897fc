#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace server {

// The threads that run request handlers, which may wait for the database; the
// network threads hand them requests and never wait themselves. The pool has a fixed
// size; its queue needs no bound of its own, as each connection has at most one
// request in it and connections are capped.
//
// A worker that finds the queue empty yields its processor for a moment before it
// sleeps: under load the next request comes within microseconds and is taken without
// a wake-up call, which on a crowded machine is a wait for a processor on the path of
// every request. Only when no worker is looking is a sleeper woken.
class WorkerPool {
public:
    explicit WorkerPool(std::size_t threads);
    ~WorkerPool();

    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void post(std::function<void()> job);
    // Runs the jobs already queued, then ends every thread.
    void stop();

private:
    void work();
    // The next job, or none once stopping with nothing queued.
    std::function<void()> next();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    // Guarded by m_mutex: workers yielding before they sleep, and workers asleep.
    int m_looking = 0;
    int m_sleeping = 0;
    bool m_stopping = false;
};

} // namespace server
