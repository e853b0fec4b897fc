#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace server {

// Hands memory freed in bulk back to the system. The allocator keeps what is freed for
// reuse: a large body comes from an arena once the mmap threshold has risen to the size of
// the largest block freed, so after a crowd of large bodies the server stayed near its peak
// (991 MiB after 2,000 bodies of 1 MiB had gone). Callers report what they released; once
// that passes a threshold a thread of its own trims the heap, at most once per interval,
// so no request waits for the trim and a stream of releases costs one trim per interval.
class MemoryTrimmer {
public:
    MemoryTrimmer(std::size_t threshold, std::chrono::milliseconds interval);
    ~MemoryTrimmer();

    MemoryTrimmer(const MemoryTrimmer&) = delete;
    MemoryTrimmer& operator=(const MemoryTrimmer&) = delete;

    // Any thread: `bytes` have been freed.
    void released(std::size_t bytes);
    // Trims made so far.
    int trims() const;

private:
    void run();

    const std::size_t m_threshold;
    const std::chrono::milliseconds m_interval;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::size_t m_released = 0;
    int m_trims = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace server
