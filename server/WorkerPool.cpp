#include "server/WorkerPool.h"

namespace server {

namespace {
thread_local bool t_refusing = false;
}

WorkerPool::WorkerPool(Limits limits)
    : m_limits(limits)
{
    std::lock_guard lock(m_mutex);
    for (size_t i = 0; i < m_limits.minWorkers; ++i)
        startWorker(m_served, false);
}

WorkerPool::~WorkerPool()
{
    shutdown();
}

bool WorkerPool::isRefusing()
{
    return t_refusing;
}

bool WorkerPool::isRunningLow() const
{
    return m_busy.load(std::memory_order_relaxed) * 4 >= m_limits.maxWorkers * 3;
}

void WorkerPool::startWorker(Queue& queue, bool refusing)
{
    ++queue.idle;
    queue.threads.emplace_back([this, &queue, refusing] { work(queue, refusing); });
}

void WorkerPool::enqueue(std::function<void()> fn)
{
    Queue* chosen = &m_served;
    {
        std::lock_guard lock(m_mutex);
        // Jobs already handed to idle workers that have not woken yet are not waiting.
        const size_t waiting = m_served.jobs.size() > m_served.idle ? m_served.jobs.size() - m_served.idle : 0;
        const bool workerFree = m_served.idle > m_served.jobs.size();
        if (workerFree || m_served.threads.size() < m_limits.maxWorkers) {
            if (!workerFree)
                startWorker(m_served, false);
        } else if (waiting >= m_limits.maxQueued) {
            chosen = &m_refused;
            if (m_refused.threads.size() < m_limits.refusalWorkers && m_refused.idle <= m_refused.jobs.size())
                startWorker(m_refused, true);
        }
        chosen->jobs.push_back(std::move(fn));
    }
    chosen->wake.notify_one();
}

void WorkerPool::work(Queue& queue, bool refusing)
{
    t_refusing = refusing;
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            queue.wake.wait(lock, [&] { return !queue.jobs.empty() || m_shutdown; });
            if (queue.jobs.empty())
                return;
            job = std::move(queue.jobs.front());
            queue.jobs.pop_front();
            --queue.idle;
        }
        if (!refusing)
            m_busy.fetch_add(1, std::memory_order_relaxed);
        job();
        if (!refusing)
            m_busy.fetch_sub(1, std::memory_order_relaxed);
        std::lock_guard lock(m_mutex);
        ++queue.idle;
    }
}

void WorkerPool::shutdown()
{
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return;
        m_shutdown = true;
        threads.swap(m_served.threads);
        for (auto& t : m_refused.threads)
            threads.push_back(std::move(t));
        m_refused.threads.clear();
    }
    m_served.wake.notify_all();
    m_refused.wake.notify_all();
    // Jobs still queued run first: each is a connection the acceptor has handed over.
    for (auto& t : threads)
        t.join();
}

} // namespace server
