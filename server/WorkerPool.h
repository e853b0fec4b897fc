#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace server {

// The server's connection workers. A kept-alive or slow connection holds its worker
// for as long as it stays open, so the pool grows on demand (up to `maxWorkers`) instead
// of letting a few hundred held connections starve everyone else. Beyond that, up to
// `maxQueued` connections wait for a worker; past even that, a connection is answered
// 503 at once by a small set of refusal workers rather than left waiting.
class WorkerPool : public httplib::TaskQueue {
public:
    struct Limits {
        size_t minWorkers = 16;
        size_t maxWorkers = 1024;
        size_t maxQueued = 256;
        size_t refusalWorkers = 4;
    };

    explicit WorkerPool(Limits limits);
    ~WorkerPool() override;

    void enqueue(std::function<void()> fn) override;
    void shutdown() override;

    // True on a refusal worker: the request it reads is to be answered 503.
    static bool isRefusing();
    // Three quarters of the workers busy: kept-alive connections should close after
    // their reply instead of holding a worker while idle.
    bool isRunningLow() const;

private:
    struct Queue {
        std::deque<std::function<void()>> jobs;
        std::vector<std::thread> threads;
        size_t idle = 0;
        // One per queue, so that a job wakes one worker of its own queue rather
        // than every idle worker of both.
        std::condition_variable wake;
    };

    void work(Queue& queue, bool refusing);
    void startWorker(Queue& queue, bool refusing);

    const Limits m_limits;
    mutable std::mutex m_mutex;
    Queue m_served;
    Queue m_refused;
    std::atomic<size_t> m_busy{0};
    bool m_shutdown = false;
};

} // namespace server
