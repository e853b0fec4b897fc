#include "server/http/WorkerPool.h"

#include <chrono>

#include <pthread.h>

namespace server {

WorkerPool::WorkerPool(std::size_t threads)
{
    m_threads.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) {
        m_threads.emplace_back([this] { work(); });
        // Named so that profiles tell the handlers' time from the network's.
        pthread_setname_np(m_threads.back().native_handle(), "qbank-worker");
    }
}

WorkerPool::~WorkerPool()
{
    stop();
}

namespace {
// How long an idle worker keeps looking before it sleeps.
constexpr auto kLookFor = std::chrono::microseconds(100);
} // namespace

void WorkerPool::post(std::function<void()> job)
{
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
        wake = m_looking == 0 && m_sleeping > 0;
    }
    if (wake)
        m_wake.notify_one();
}

std::function<void()> WorkerPool::next()
{
    std::unique_lock lock(m_mutex);
    if (m_jobs.empty() && !m_stopping) {
        ++m_looking;
        const auto until = std::chrono::steady_clock::now() + kLookFor;
        while (m_jobs.empty() && !m_stopping && std::chrono::steady_clock::now() < until) {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
        --m_looking;
        ++m_sleeping;
        m_wake.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
        --m_sleeping;
    }
    if (m_jobs.empty())
        return {};
    std::function<void()> job = std::move(m_jobs.front());
    m_jobs.pop_front();
    // A job left behind while this worker was the one looking would wait for nobody.
    if (!m_jobs.empty() && m_looking == 0 && m_sleeping > 0)
        m_wake.notify_one();
    return job;
}

void WorkerPool::work()
{
    while (std::function<void()> job = next())
        job();
}

void WorkerPool::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (auto& thread : m_threads) {
        if (thread.joinable())
            thread.join();
    }
    m_threads.clear();
}

} // namespace server
