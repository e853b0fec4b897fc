#pragma once

#include <cstddef>
#include <mutex>

namespace server {

class MemoryTrimmer;

// The bytes that the bodies being received at once may hold, server-wide. Each connection
// may hold a body up to the limit, so without a bound the sum grew with the connections
// (2,000 bodies just under 1 MiB took the server to 2.6 GiB). A body takes its room before
// its buffer grows and gives it back when the buffer goes; one that finds no room is
// refused. What comes back is reported to the trimmer, which hands it to the system.
class BodyBudget {
public:
    BodyBudget(std::size_t bytes, MemoryTrimmer* trimmer);

    BodyBudget(const BodyBudget&) = delete;
    BodyBudget& operator=(const BodyBudget&) = delete;

    // Takes `bytes` when they fit; false, and nothing taken, when they do not.
    bool take(std::size_t bytes);
    void give(std::size_t bytes);
    std::size_t used() const;

private:
    const std::size_t m_bytes;
    MemoryTrimmer* const m_trimmer;
    mutable std::mutex m_mutex;
    std::size_t m_used = 0;
};

} // namespace server
