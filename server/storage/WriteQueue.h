#pragma once

#include "server/http/NonBlockingScope.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace server {

class Connections;

// Group commit on one writer thread. Writes queue up in batches; the writer takes
// one batch at a time and runs it as one transaction on its own connection, then
// tells the batch's callers that their writes are committed, or hands a caller the
// exception that rolled its part alone back: a batch in which a write fails is
// rolled back and run again with each write in its own savepoint, so a write may
// run twice (only the committed run counts). Callers sleep on their batch's
// condition: waking them is one call for the whole batch, and wakes nobody of
// the next one. A busy writer never sleeps between batches. A caller that finds
// nothing queued and nobody writing commits its write itself.
class WriteQueue {
public:
    // Bound on the writes waiting: a poster faster than the store waits rather than
    // letting the queue grow without end. The queue holds a few hundred milliseconds
    // of records, so a writer kept off its processor for a while (a crowded machine, a
    // slow disk) holds up no request; a few megabytes at most.
    static constexpr size_t kMaxQueued = 8192;

    explicit WriteQueue(Connections& db);
    // Commits every write still queued, then stops the writer.
    ~WriteQueue();

    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Must not be called from inside another write: the writer would wait on
    // itself. `work` may run more than once, the earlier runs rolled back.
    void run(const std::function<void()>& work);
    // Queues a write like run() but returns at once; `committed` is called on the
    // writer's thread once the write has ended, with what it threw (null when it
    // committed). Nobody commits it alone: the writer is woken if idle.
    void runThen(std::function<void()> work, NonBlockingScope::Committed committed);
    // Queues a write that no reply depends on and returns at once; it is
    // committed with the next waiting write, or at the latest after kFlushDelay.
    // A failure is only logged. A later run() returns after it has committed.
    // Throws StorageError once the queue is stopping, rather than dropping it.
    // Inside a NonBlockingScope a full queue throws WouldBlock instead of waiting.
    void post(std::function<void()> work);
    // Returns once every write queued before the call has ended, without a
    // transaction of its own; at once when none is pending.
    void awaitQueued();
    // Writes queued and not yet taken for a commit.
    size_t queuedWrites();

private:
    static constexpr std::chrono::milliseconds kFlushDelay{20};
    static constexpr size_t kFlushCount = 128;
    static constexpr std::chrono::microseconds kLookFor{100};
    // Records left queued beyond this are written at the writer's usual priority.
    static constexpr size_t kSpareTimeBacklog = 1024;
    // Bound on one transaction.
    static constexpr size_t kMaxBatch = 512;

    struct Job {
        std::function<void()> work;
        std::exception_ptr error;
        bool detached = false;
        // Told of the outcome instead of a sleeping caller.
        NonBlockingScope::Committed committed;
    };
    // Writes committed together. Shared by the queue, the writer and the batch's
    // callers, so a caller woken late still finds its job's outcome.
    // A deque: a job never moves once queued, so queueing never copies the others.
    using Jobs = std::deque<Job>;
    struct Batch {
        Jobs jobs;
        // Callers asleep on `ended`, and jobs whose outcome is told through `committed`.
        size_t waiters = 0;
        size_t callbacks = 0;
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
    };

    void writerLoop();
    // Waits, with the lock held, until a batch is due; false once stopping with
    // nothing left.
    bool awaitWork(std::unique_lock<std::mutex>& lock);
    // The batch that takes new writes; a full one is closed and a new one opened.
    Batch& openBatch();
    // With the lock held: waits while the queue is full (refused in a NonBlockingScope);
    // false once stopping.
    bool awaitRoom(std::unique_lock<std::mutex>& lock);
    std::exception_ptr commitAlone(Job&& job);
    // Takes the oldest batch and commits it, the lock released meanwhile.
    void commitFront(std::unique_lock<std::mutex>& lock);
    void runBatch(Jobs& jobs);
    // All writes in one transaction without savepoints; false, nothing stored,
    // when any of them failed.
    bool runTogether(Jobs& jobs);
    // Each write in its own savepoint, so that a failing one is undone alone.
    void runApart(Jobs& jobs);
    void runOne(Job& job);
    static void release(Batch& batch);
    // Lowers the writer to the processors' spare time, or raises it back.
    static void runInSpareTime(bool spare);

    Connections& m_db;
    std::mutex m_mutex;
    // The writer sleeps here when nothing is due.
    std::condition_variable m_work;
    // Posters held back by a full queue sleep here.
    std::condition_variable m_room;
    // Oldest first; the last one takes new writes.
    std::deque<std::shared_ptr<Batch>> m_batches;
    size_t m_queuedJobs = 0;
    // Queued writes whose callers wait: the writer starts a batch at once.
    size_t m_waitersQueued = 0;
    // Callers of awaitQueued() sleep here.
    std::condition_variable m_ended;
    // Writes ever queued and writes whose batch has ended: batches run in queue
    // order, so a write has ended once the second count reaches its place.
    uint64_t m_queuedCount = 0;
    uint64_t m_endedCount = 0;
    int m_awaiting = 0;
    // A batch is running, on the writer or on a caller that found the queue empty.
    bool m_writing = false;
    // Whether anybody waited for the writer's last batch.
    bool m_lastBatchAwaited = false;
    bool m_stopping = false;
    std::thread m_writer;
};

} // namespace server
