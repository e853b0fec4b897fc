#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace server {

class Connections;

// Group commit on one writer thread. Writes queue up; the writer takes
// everything queued as one transaction on its own connection, and after the
// commit tells each waiting caller that its write is committed, or hands it the
// exception that rolled its part alone back: a batch in which a write fails is
// rolled back and run again with each write in its own savepoint, so a write may
// run twice (only the committed run counts). A busy writer never sleeps between
// batches, so no wake-up stands between one commit and the next; a caller yields
// while its batch runs (see awaitDone). A caller that finds nothing queued and
// nobody writing commits its write itself.
class WriteQueue {
public:
    explicit WriteQueue(Connections& db);
    // Commits every write still queued, then stops the writer.
    ~WriteQueue();

    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Must not be called from inside another write: the writer would wait on
    // itself. `work` may run more than once, the earlier runs rolled back.
    void run(const std::function<void()>& work);
    // Queues a write that no reply depends on and returns at once; it is
    // committed with the next waiting write, or at the latest after kFlushDelay.
    // A failure is only logged. A later run() returns after it has committed.
    void post(std::function<void()> work);
    // Returns once every write queued before the call has ended, without a
    // transaction of its own; at once when none is pending.
    void awaitQueued();

private:
    static constexpr std::chrono::milliseconds kFlushDelay{20};
    static constexpr size_t kFlushCount = 128;
    // How long a caller yields for its batch before it sleeps (see awaitDone).
    static constexpr std::chrono::milliseconds kYieldFor{2};
    // Bounds on one transaction and on the writes waiting: a poster faster than
    // the store waits rather than letting the queue grow without end. The queue
    // holds a few hundred milliseconds of records, so a writer kept off its
    // processor for a while (a crowded machine, a slow disk) holds up no request;
    // a few megabytes at most.
    static constexpr size_t kMaxBatch = 512;
    static constexpr size_t kMaxQueued = 8192;

    // Shared between the caller and the writer, so that waking the caller never
    // touches memory the caller has already let go of.
    struct Job {
        std::function<void()> work;
        std::exception_ptr error;
        // 0 while queued or running, 1 once its batch has ended.
        std::atomic<int> done = 0;
        bool detached = false;
    };
    using Batch = std::vector<std::shared_ptr<Job>>;

    void writerLoop();
    // Waits, with the lock held, until a batch is due; false once stopping with
    // nothing left.
    bool awaitWork(std::unique_lock<std::mutex>& lock);
    void commitAlone(const std::shared_ptr<Job>& job);
    void runBatch(const Batch& batch);
    // All writes in one transaction without savepoints; false, nothing stored,
    // when any of them failed.
    bool runTogether(const Batch& batch);
    // Each write in its own savepoint, so that a failing one is undone alone.
    void runApart(const Batch& batch);
    void runOne(Job& job);
    static void awaitDone(const Job& job);

    Connections& m_db;
    std::mutex m_mutex;
    // The writer sleeps here when nothing is due.
    std::condition_variable m_work;
    // Posters held back by a full queue sleep here.
    std::condition_variable m_room;
    std::deque<std::shared_ptr<Job>> m_queue;
    // Callers of awaitQueued() sleep here.
    std::condition_variable m_ended;
    // Writes ever queued and writes whose batch has ended: batches run in queue
    // order, so a write has ended once the second count reaches its place.
    uint64_t m_queuedCount = 0;
    uint64_t m_endedCount = 0;
    int m_awaiting = 0;
    // A batch is running, on the writer or on a caller that found the queue empty.
    bool m_writing = false;
    // A caller waits on a queued write: the writer starts a batch at once.
    bool m_waiterQueued = false;
    bool m_stopping = false;
    std::thread m_writer;
};

} // namespace server
