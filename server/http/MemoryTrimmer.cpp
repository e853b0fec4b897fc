#include "server/http/MemoryTrimmer.h"

#include <malloc.h>
#include <pthread.h>

namespace server {

MemoryTrimmer::MemoryTrimmer(std::size_t threshold, std::chrono::milliseconds interval)
    : m_threshold(threshold)
    , m_interval(interval)
{
    m_thread = std::thread([this] { run(); });
    pthread_setname_np(m_thread.native_handle(), "qbank-trim");
}

MemoryTrimmer::~MemoryTrimmer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void MemoryTrimmer::released(std::size_t bytes)
{
    bool due = false;
    {
        std::lock_guard lock(m_mutex);
        const bool wasDue = m_released >= m_threshold;
        m_released += bytes;
        due = !wasDue && m_released >= m_threshold;
    }
    if (due)
        m_wake.notify_one();
}

int MemoryTrimmer::trims() const
{
    std::lock_guard lock(m_mutex);
    return m_trims;
}

void MemoryTrimmer::run()
{
    std::unique_lock lock(m_mutex);
    auto earliest = std::chrono::steady_clock::now();
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || m_released >= m_threshold; });
        // Releases come in bursts (a crowd's connections close within moments of each
        // other): one trim an interval gathers a burst instead of trimming for each.
        if (m_wake.wait_until(lock, earliest, [this] { return m_stopping; }))
            return;
        m_released = 0;
        lock.unlock();
        malloc_trim(0);
        lock.lock();
        ++m_trims;
        earliest = std::chrono::steady_clock::now() + m_interval;
    }
}

} // namespace server
