#include "server/WriteQueue.h"

#include "server/Database.h"
#include "server/Transaction.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <atomic>

WriteQueue::WriteQueue(Database& db)
    : m_db(db)
{
    m_flusher = std::thread([this] { flushLoop(); });
}

void WriteQueue::run(const std::function<void()>& work)
{
    std::condition_variable wake;
    Job job{work, nullptr, false, false, &wake};
    std::unique_lock lock(m_mutex);
    m_queue.push_back(&job);
    // The job lives on this stack frame until it is marked done. While another
    // thread leads, wait; a leader that stops before reaching this job wakes the
    // first waiting job's caller to lead next.
    while (!job.done) {
        if (!m_leading)
            lead(lock);
        else if (!awaitBriefly(lock, job))
            wake.wait(lock);
    }
    if (job.error)
        std::rethrow_exception(job.error);
}

bool WriteQueue::awaitBriefly(std::unique_lock<std::mutex>& lock, const Job& job)
{
    // A batch takes tens of microseconds; on a busy machine a thread put to sleep
    // for it waits far longer than that for a processor once woken.
    lock.unlock();
    const auto until = std::chrono::steady_clock::now() + kSpin;
    bool changed = false;
    do {
        for (int i = 0; i < 64 && !changed; ++i) {
            changed = job.done.load(std::memory_order_acquire) || !m_leading.load(std::memory_order_acquire);
#if defined(__x86_64__) || defined(__i386__)
            // Spares the sibling hardware thread, and the clock reads below.
            __builtin_ia32_pause();
#endif
        }
    } while (!changed && std::chrono::steady_clock::now() < until);
    // Retaking the lock also waits out a leader still touching this job; a
    // change after the last look was signalled to nobody, so look once more.
    lock.lock();
    return changed || job.done || !m_leading;
}

void WriteQueue::post(std::function<void()> work)
{
    auto* job = new Job{std::move(work), nullptr, false, true};
    std::unique_lock lock(m_mutex);
    while (m_queue.size() >= kMaxQueued) {
        m_flush.notify_one();
        m_finished.wait(lock);
    }
    m_queue.push_back(job);
    if (m_queue.size() == kFlushCount)
        m_flush.notify_one();
}

WriteQueue::~WriteQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_flush.notify_all();
    // The flusher commits what is still queued before it ends.
    m_flusher.join();
}

void WriteQueue::flushLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_flush.wait_for(lock, kFlushDelay, [this] { return m_stopping || m_queue.size() >= kFlushCount; });
        if (m_queue.empty()) {
            if (m_stopping)
                return;
            continue;
        }
        if (m_leading) {
            m_finished.wait(lock, [this] { return !m_leading; });
            continue;
        }
        lead(lock);
    }
}

void WriteQueue::lead(std::unique_lock<std::mutex>& lock)
{
    // One bounded batch only, so that leading never holds a reply back for long;
    // the rest goes to a waiting writer or to the flusher.
    m_leading = true;
    const auto end = m_queue.begin() + static_cast<std::ptrdiff_t>(std::min(m_queue.size(), kMaxBatch));
    std::deque<Job*> batch(m_queue.begin(), end);
    m_queue.erase(m_queue.begin(), end);
    lock.unlock();
    runBatch(batch);
    lock.lock();
    for (Job* job : batch) {
        if (!job->detached) {
            job->done = true;
            job->wake->notify_one();
            continue;
        }
        if (job->error)
            qWarning("qbank-server: a queued write failed");
        delete job;
    }
    m_leading = false;
    const auto next = std::find_if(m_queue.begin(), m_queue.end(), [](const Job* job) { return !job->detached; });
    if (next != m_queue.end())
        (*next)->wake->notify_one();
    m_finished.notify_all();
}

void WriteQueue::runBatch(const std::deque<Job*>& batch)
{
    try {
        Transaction tx(m_db);
        if (batch.size() == 1) {
            // Alone in its transaction a write needs no savepoint: rolling the
            // transaction back undoes it alone.
            try {
                batch.front()->work();
            } catch (...) {
                batch.front()->error = std::current_exception();
                return;
            }
        } else {
            for (Job* job : batch)
                runOne(*job);
        }
        tx.commit();
    } catch (...) {
        // The batch as a whole did not commit: nobody's write is stored.
        for (Job* job : batch) {
            if (!job->error)
                job->error = std::current_exception();
        }
    }
}

void WriteQueue::runOne(Job& job)
{
    m_db.command(QStringLiteral("SAVEPOINT one_write"));
    try {
        job.work();
    } catch (...) {
        job.error = std::current_exception();
        m_db.command(QStringLiteral("ROLLBACK TO SAVEPOINT one_write"));
    }
    m_db.command(QStringLiteral("RELEASE SAVEPOINT one_write"));
}
