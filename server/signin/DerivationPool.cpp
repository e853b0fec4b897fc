#include "server/signin/DerivationPool.h"

#include "server/http/NonBlockingScope.h"

#include <algorithm>
#include <exception>

#include <pthread.h>

namespace server {

int DerivationPool::defaultThreads()
{
    return std::max(1, int(std::thread::hardware_concurrency() / 2));
}

DerivationPool::DerivationPool(int threads)
{
    for (int i = 0; i < std::max(1, threads); ++i)
        m_threads.emplace_back([this] { serve(); });
}

DerivationPool::~DerivationPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (auto& thread : m_threads)
        thread.join();
}

bool DerivationPool::run(const std::function<void()>& work)
{
    NonBlockingScope::refuseWait();
    std::future<void> done;
    {
        std::lock_guard lock(m_mutex);
        if (m_inFlight >= kMaxInFlight || m_stopping)
            return false;
        ++m_inFlight;
        m_queue.push_back(Job{&work, {}});
        done = m_queue.back().done.get_future();
    }
    m_wake.notify_one();
    done.get();
    return true;
}

void DerivationPool::serve()
{
    pthread_setname_np(pthread_self(), "qbank-derive");
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        std::exception_ptr error;
        try {
            (*job.work)();
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        // Counted out before the caller hears, so its next call finds the room free.
        --m_inFlight;
        lock.unlock();
        if (error)
            job.done.set_exception(error);
        else
            job.done.set_value();
        lock.lock();
    }
}

} // namespace server
