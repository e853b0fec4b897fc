#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class Database;

// Group commit on one writer thread. Writes queue up; the writer takes
// everything queued as one transaction on its own connection, each write inside
// its own savepoint (a write alone needs none), and after the commit tells each
// waiting caller that its write is committed, or hands it the exception that
// rolled its part alone back. A busy writer never sleeps between batches, so no
// wake-up stands between one commit and the next, and a caller sleeps once.
class WriteQueue {
public:
    explicit WriteQueue(Database& db);
    // Commits every write still queued, then stops the writer.
    ~WriteQueue();

    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Must not be called from inside another write: the writer would wait on itself.
    void run(const std::function<void()>& work);
    // Queues a write that no reply depends on and returns at once; it is
    // committed with the next waiting write, or at the latest after kFlushDelay.
    // A failure is only logged. A later run() returns after it has committed.
    void post(std::function<void()> work);

private:
    static constexpr std::chrono::milliseconds kFlushDelay{20};
    static constexpr size_t kFlushCount = 128;
    // Bounds on one transaction and on the writes waiting: a poster faster than
    // the store waits rather than letting the queue grow without end.
    static constexpr size_t kMaxBatch = 512;
    static constexpr size_t kMaxQueued = 1024;

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
    void runBatch(const Batch& batch);
    void runOne(Job& job);
    static void awaitDone(const Job& job);

    Database& m_db;
    std::mutex m_mutex;
    // The writer sleeps here when nothing is due.
    std::condition_variable m_work;
    // Posters held back by a full queue sleep here.
    std::condition_variable m_room;
    std::deque<std::shared_ptr<Job>> m_queue;
    // A caller waits on a queued write: the writer starts a batch at once.
    bool m_waiterQueued = false;
    bool m_stopping = false;
    std::thread m_writer;
};
