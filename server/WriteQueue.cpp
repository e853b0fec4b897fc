#include "server/WriteQueue.h"

#include "server/Connections.h"
#include "server/StorageError.h"
#include "server/Transaction.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>

#include <pthread.h>

namespace server {

WriteQueue::WriteQueue(Connections& db)
    : m_db(db)
{
    m_writer = std::thread([this] { writerLoop(); });
}

WriteQueue::~WriteQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_work.notify_one();
    // The writer commits what is still queued before it ends.
    m_writer.join();
}

void WriteQueue::run(const std::function<void()>& work)
{
    auto job = std::make_shared<Job>();
    job->work = work;
    bool alone = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            throw StorageError("the store is closing");
        ++m_queuedCount;
        alone = !m_writing && m_queue.empty();
        if (alone) {
            m_writing = true;
        } else {
            m_queue.push_back(job);
            m_waiterQueued = true;
        }
    }
    if (alone) {
        commitAlone(job);
    } else {
        // Costs nothing while the writer is busy: only a sleeping writer is woken.
        m_work.notify_one();
        awaitDone(*job);
    }
    if (job->error)
        std::rethrow_exception(job->error);
}

void WriteQueue::commitAlone(const std::shared_ptr<Job>& job)
{
    // Nobody is writing and nothing waits: handing the write to the writer would
    // only add two wake-ups (the writer's and then the caller's), each a wait for
    // a processor on a busy machine. The caller commits it on its own connection.
    runBatch(Batch{job});
    bool othersQueued = false;
    {
        std::lock_guard lock(m_mutex);
        m_writing = false;
        ++m_endedCount;
        if (m_awaiting > 0)
            m_ended.notify_all();
        othersQueued = !m_queue.empty();
    }
    if (othersQueued)
        m_work.notify_one();
}

void WriteQueue::awaitDone(const Job& job)
{
    // A caller yields its processor rather than sleeping while its batch runs: a
    // sleeper has to be woken (a system call on the writer's time), and on a busy
    // machine then waits for a processor before it can answer; a yielding caller
    // stays runnable and hands its processor to whoever has work, the writer
    // included. Under load that doubled the writes answered per second. Past
    // kYieldFor (a batch held up by the disk) it sleeps instead.
    const auto giveUp = std::chrono::steady_clock::now() + kYieldFor;
    while (!job.done.load(std::memory_order_acquire)) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            while (!job.done.load(std::memory_order_acquire))
                job.done.wait(0, std::memory_order_acquire);
            return;
        }
        std::this_thread::yield();
    }
}

void WriteQueue::post(std::function<void()> work)
{
    auto job = std::make_shared<Job>();
    job->work = std::move(work);
    job->detached = true;
    std::unique_lock lock(m_mutex);
    while (m_queue.size() >= kMaxQueued && !m_stopping) {
        m_work.notify_one();
        m_room.wait(lock);
    }
    m_queue.push_back(std::move(job));
    ++m_queuedCount;
    if (m_queue.size() == kFlushCount)
        m_work.notify_one();
}

void WriteQueue::awaitQueued()
{
    std::unique_lock lock(m_mutex);
    const uint64_t target = m_queuedCount;
    if (m_endedCount >= target)
        return;
    ++m_awaiting;
    // Posted writes need not wait for company any longer.
    m_work.notify_one();
    m_ended.wait(lock, [&] { return m_endedCount >= target; });
    --m_awaiting;
}

bool WriteQueue::awaitWork(std::unique_lock<std::mutex>& lock)
{
    const auto due = [this] {
        if (m_writing)
            return false;
        return m_stopping || m_waiterQueued || m_queue.size() >= kFlushCount || (m_awaiting > 0 && !m_queue.empty());
    };
    // Posted writes alone wait for company, up to kFlushDelay.
    if (!due())
        m_work.wait_for(lock, kFlushDelay, due);
    return !(m_stopping && m_queue.empty());
}

void WriteQueue::writerLoop()
{
    pthread_setname_np(pthread_self(), "qbank-writer");
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!awaitWork(lock))
            return;
        // Woken by the time limit while a caller commits alone: its turn comes next.
        if (m_queue.empty() || m_writing)
            continue;
        const auto end = m_queue.begin() + static_cast<std::ptrdiff_t>(std::min(m_queue.size(), kMaxBatch));
        Batch batch(std::make_move_iterator(m_queue.begin()), std::make_move_iterator(end));
        m_queue.erase(m_queue.begin(), end);
        m_waiterQueued = std::any_of(m_queue.begin(), m_queue.end(), [](const auto& job) { return !job->detached; });
        m_writing = true;
        lock.unlock();
        m_room.notify_all();
        runBatch(batch);
        // Waking callers outside the lock: a woken caller needs nothing more from
        // the queue, and the next callers can queue meanwhile.
        for (const auto& job : batch) {
            if (job->detached) {
                if (job->error)
                    qWarning("qbank-server: a queued write failed");
                continue;
            }
            job->done.store(1, std::memory_order_release);
        }
        // Every caller still yielding is released by the stores above; only then
        // the sleepers, one system call each.
        for (const auto& job : batch) {
            if (!job->detached)
                job->done.notify_one();
        }
        const size_t ended = batch.size();
        batch.clear();
        lock.lock();
        m_writing = false;
        m_endedCount += ended;
        if (m_awaiting > 0)
            m_ended.notify_all();
    }
}

void WriteQueue::runBatch(const Batch& batch)
{
    // A savepoint costs two statements around every write, yet writes almost never
    // fail: the batch runs without them first, and only when a write fails is it
    // rolled back whole and run again with one savepoint per write.
    if (batch.size() > 1 && runTogether(batch))
        return;
    runApart(batch);
}

bool WriteQueue::runTogether(const Batch& batch)
{
    try {
        Transaction tx(m_db);
        for (const auto& job : batch)
            job->work();
        tx.commit();
        return true;
    } catch (...) {
        return false;
    }
}

void WriteQueue::runApart(const Batch& batch)
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
            for (const auto& job : batch)
                runOne(*job);
        }
        tx.commit();
    } catch (...) {
        // The batch as a whole did not commit: nobody's write is stored.
        for (const auto& job : batch) {
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

} // namespace server
