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

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    bool m_stopping = false;
};

} // namespace server
