#include "server/storage/WriteQueue.h"

#include "server/storage/Connections.h"
#include "server/storage/StorageError.h"
#include "server/storage/Transaction.h"
#include "server/http/WouldBlock.h"

#include <QString>
#include <QtGlobal>

#include <pthread.h>
#include <sched.h>

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
    m_room.notify_all();
    // The writer commits what is still queued before it ends.
    m_writer.join();
}

WriteQueue::Batch& WriteQueue::openBatch()
{
    if (m_batches.empty() || m_batches.back()->jobs.size() >= kMaxBatch)
        m_batches.push_back(std::make_shared<Batch>());
    return *m_batches.back();
}

void WriteQueue::run(const std::function<void()>& work)
{
    NonBlockingScope::refuseWait();
    std::shared_ptr<Batch> batch;
    size_t index = 0;
    bool wakeWriter = false;
    // Copied before the lock is taken: the work's captures may need allocating.
    Job job{work, {}, false, {}};
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            throw StorageError("the store is closing");
        ++m_queuedCount;
        if (!m_writing && m_queuedJobs == 0) {
            m_writing = true;
        } else {
            Batch& open = openBatch();
            index = open.jobs.size();
            open.jobs.push_back(std::move(job));
            ++open.waiters;
            ++m_queuedJobs;
            ++m_waitersQueued;
            batch = m_batches.back();
            wakeWriter = !m_writing;
        }
    }
    if (!batch) {
        if (const std::exception_ptr error = commitAlone(std::move(job)))
            std::rethrow_exception(error);
        return;
    }
    // While somebody writes the writer is busy or will be told when it ends, so
    // only an idle writer is woken.
    if (wakeWriter)
        m_work.notify_one();
    std::unique_lock lock(batch->mutex);
    batch->ended.wait(lock, [&] { return batch->done; });
    if (const std::exception_ptr error = batch->jobs[index].error)
        std::rethrow_exception(error);
}

std::exception_ptr WriteQueue::commitAlone(Job&& job)
{
    // Nobody is writing and nothing waits: handing the write to the writer would
    // only add two wake-ups (the writer's and then the caller's), each a wait for
    // a processor on a busy machine. The caller commits it on its own connection.
    Jobs alone;
    alone.push_back(std::move(job));
    runBatch(alone);
    std::unique_lock lock(m_mutex);
    ++m_endedCount;
    if (m_awaiting > 0)
        m_ended.notify_all();
    m_writing = false;
    const bool othersQueued = m_queuedJobs > 0;
    lock.unlock();
    if (othersQueued)
        m_work.notify_one();
    return alone.front().error;
}

void WriteQueue::commitFront(std::unique_lock<std::mutex>& lock)
{
    std::shared_ptr<Batch> batch = std::move(m_batches.front());
    m_batches.pop_front();
    const size_t count = batch->jobs.size();
    m_queuedJobs -= count;
    m_waitersQueued -= batch->waiters + batch->callbacks;
    m_lastBatchAwaited = batch->waiters + batch->callbacks > 0;
    // A reader waiting for the queued records waits for this batch too.
    const bool spareTime = !m_lastBatchAwaited && m_awaiting == 0 && m_queuedJobs < kSpareTimeBacklog;
    lock.unlock();
    m_room.notify_all();
    runInSpareTime(spareTime);
    runBatch(batch->jobs);
    release(*batch);
    // Hundreds of jobs and their captures are freed here, not under the lock
    // that every poster needs.
    batch.reset();
    lock.lock();
    m_endedCount += count;
    if (m_awaiting > 0)
        m_ended.notify_all();
}

bool WriteQueue::awaitRoom(std::unique_lock<std::mutex>& lock)
{
    while (m_queuedJobs >= kMaxQueued && !m_stopping) {
        NonBlockingScope::refuseWait();
        m_work.notify_one();
        m_room.wait(lock);
    }
    return !m_stopping;
}

void WriteQueue::post(std::function<void()> work)
{
    Job job{std::move(work), {}, true, {}};
    std::unique_lock lock(m_mutex);
    // The writer may already have ended: queued now, the write would be lost unseen.
    if (!awaitRoom(lock))
        throw StorageError("the store is closing");
    openBatch().jobs.push_back(std::move(job));
    ++m_queuedJobs;
    ++m_queuedCount;
    if (m_queuedJobs == kFlushCount)
        m_work.notify_one();
}

void WriteQueue::runThen(std::function<void()> work, NonBlockingScope::Committed committed)
{
    Job job{std::move(work), {}, false, std::move(committed)};
    bool wakeWriter = false;
    {
        std::unique_lock lock(m_mutex);
        if (!awaitRoom(lock)) {
            lock.unlock();
            job.committed(std::make_exception_ptr(StorageError("the store is closing")));
            return;
        }
        Batch& open = openBatch();
        open.jobs.push_back(std::move(job));
        ++open.callbacks;
        ++m_queuedJobs;
        ++m_queuedCount;
        ++m_waitersQueued;
        wakeWriter = !m_writing;
    }
    if (wakeWriter)
        m_work.notify_one();
}

size_t WriteQueue::queuedWrites()
{
    std::lock_guard lock(m_mutex);
    return m_queuedJobs;
}

void WriteQueue::awaitQueued()
{
    NonBlockingScope::refuseWait();
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
        return m_stopping || m_waitersQueued > 0 || m_queuedJobs >= kFlushCount || (m_awaiting > 0 && m_queuedJobs > 0);
    };
    // A writer that has just committed writes somebody waits for keeps looking for a
    // moment before it sleeps: the next such write then costs no wake-up call, which on
    // a busy machine is a wait for a processor (a quarter more book writes a second at
    // 8 connections). After records nobody waits for it sleeps at once, leaving the
    // processor to the requests.
    const auto lookUntil = std::chrono::steady_clock::now() + kLookFor;
    while (m_lastBatchAwaited && !due() && std::chrono::steady_clock::now() < lookUntil) {
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
    }
    // Posted writes alone wait for company, up to kFlushDelay.
    if (!due())
        m_work.wait_for(lock, kFlushDelay, due);
    return !(m_stopping && m_queuedJobs == 0);
}

void WriteQueue::writerLoop()
{
    pthread_setname_np(pthread_self(), "qbank-writer");
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!awaitWork(lock))
            return;
        // Woken by the time limit while a caller commits alone: its turn comes next.
        if (m_queuedJobs == 0 || m_writing)
            continue;
        m_writing = true;
        // Never asleep while writes are queued: no wake-up stands between one
        // commit and the next.
        commitFront(lock);
        m_writing = false;
    }
}

void WriteQueue::runInSpareTime(bool spare)
{
    // Records nobody waits for are written while the processors have nothing better to
    // do: a processor running only such work counts as free when a request's thread
    // wakes, so the requests never queue behind the writer (the paper list's p99 fell
    // from 3-4 times the bare reply's to about 1.3 at 8 connections). A write somebody
    // waits for, or a backlog, puts the writer back among the others.
    static thread_local bool current = false;
    if (spare == current)
        return;
    const sched_param none{};
    if (pthread_setschedparam(pthread_self(), spare ? SCHED_IDLE : SCHED_OTHER, &none) == 0)
        current = spare;
}

void WriteQueue::release(Batch& batch)
{
    for (const Job& job : batch.jobs) {
        if (job.detached && job.error)
            qWarning("qbank-server: a queued write failed");
    }
    if (batch.waiters > 0) {
        {
            std::lock_guard lock(batch.mutex);
            batch.done = true;
        }
        // One call wakes the batch's callers, and only them: nobody of the next batch.
        batch.ended.notify_all();
    }
    if (batch.callbacks == 0)
        return;
    for (const Job& job : batch.jobs) {
        if (job.committed)
            job.committed(job.error);
    }
}

void WriteQueue::runBatch(Jobs& jobs)
{
    // A savepoint costs two statements around every write, yet writes almost never
    // fail: the batch runs without them first, and only when a write fails is it
    // rolled back whole and run again with one savepoint per write.
    if (jobs.size() > 1 && runTogether(jobs))
        return;
    runApart(jobs);
}

bool WriteQueue::runTogether(Jobs& jobs)
{
    try {
        Transaction tx(m_db);
        for (Job& job : jobs)
            job.work();
        tx.commit();
        return true;
    } catch (...) {
        return false;
    }
}

void WriteQueue::runApart(Jobs& jobs)
{
    try {
        Transaction tx(m_db);
        if (jobs.size() == 1) {
            // Alone in its transaction a write needs no savepoint: rolling the
            // transaction back undoes it alone.
            try {
                jobs.front().work();
            } catch (...) {
                jobs.front().error = std::current_exception();
                return;
            }
        } else {
            for (Job& job : jobs)
                runOne(job);
        }
        tx.commit();
    } catch (...) {
        // The batch as a whole did not commit: nobody's write is stored.
        for (Job& job : jobs) {
            if (!job.error)
                job.error = std::current_exception();
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
