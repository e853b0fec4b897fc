#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

class Database;

// Group commit. Writes queue up; a writer that finds nobody leading becomes the
// leader and commits everything queued, its own write included, as one
// transaction on its own connection, each write inside its own savepoint (a
// write alone needs none). The others wait to hear that their write is
// committed, or get the exception that rolled their part alone back, and one of
// them leads the next batch. A waiting write is never handed to another thread
// to run, and a busy store commits many writes at once. Writes that nobody waits
// for are swept up by a flusher thread.
class WriteQueue {
public:
    explicit WriteQueue(Database& db);
    ~WriteQueue();

    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Must not be called from inside another write: the leader would wait on itself.
    void run(const std::function<void()>& work);
    // Queues a write that no reply depends on and returns at once; the next
    // batch commits it, at the latest after kFlushDelay. A failure is only
    // logged. A later run() returns after it has committed.
    void post(std::function<void()> work);

private:
    static constexpr std::chrono::milliseconds kFlushDelay{20};
    static constexpr size_t kFlushCount = 128;
    // Bounds on one transaction and on the writes waiting: a poster faster than
    // the store waits rather than letting the queue grow without end.
    static constexpr size_t kMaxBatch = 512;
    static constexpr size_t kMaxQueued = 1024;
    static constexpr std::chrono::microseconds kSpin{30};

    struct Job {
        std::function<void()> work;
        std::exception_ptr error;
        std::atomic<bool> done = false;
        bool detached = false;
        // Where the caller of run() sleeps; one wake-up per caller, not a herd.
        std::condition_variable* wake = nullptr;
    };

    // Commits what is queued as one batch. Called and returns with the lock held,
    // nobody else leading.
    void lead(std::unique_lock<std::mutex>& lock);
    void runBatch(const std::deque<Job*>& batch);
    // Commits posted writes that no waiting writer has taken along.
    void flushLoop();
    void runOne(Job& job);
    // Polls for the job to be done or the lead to be free for up to kSpin;
    // false when neither happened.
    bool awaitBriefly(std::unique_lock<std::mutex>& lock, const Job& job);

    Database& m_db;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    std::condition_variable m_flush;
    std::deque<Job*> m_queue;
    std::atomic<bool> m_leading = false;
    bool m_stopping = false;
    std::thread m_flusher;
};
